#include "cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace zirared::testing {
namespace {

std::string ReadWholeDescriptor(int fd) {
    std::string text;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = pread(fd, buffer, sizeof buffer, offset);
        if (got <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& arguments, int inputFd, int errorFd,
                       const Inherited& inherited) {
    m_outputFd = memfd_create("cli-stdout", 0);
    m_errorFd = errorFd >= 0 ? -1 : memfd_create("cli-stderr", 0);
    std::vector<char*> argv;
    std::string program = ZIRARED_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    m_pid = fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        const int input = inputFd >= 0 ? inputFd : open("/dev/null", O_RDONLY);
        dup2(input, STDIN_FILENO);
        dup2(inherited.output != nullptr ? open(inherited.output, O_WRONLY) : m_outputFd,
             STDOUT_FILENO);
        dup2(errorFd >= 0 ? errorFd : m_errorFd, STDERR_FILENO);
        signal(SIGINT, SIG_DFL);
        if (inherited.ignoredSignal != 0) {
            signal(inherited.ignoredSignal, SIG_IGN);
        }
        if (inherited.fileSizeLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(inherited.fileSizeLimit),
                               static_cast<rlim_t>(inherited.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
}

CliProcess::~CliProcess() {
    if (!m_exited) {
        kill(m_pid, SIGKILL);
        Wait();
    }
    close(m_outputFd);
    if (m_errorFd >= 0) {
        close(m_errorFd);
    }
}

bool CliProcess::HasExited() {
    if (!m_exited && waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
        m_exited = true;
    }
    return m_exited;
}

void CliProcess::Wait() {
    while (!m_exited) {
        if (waitpid(m_pid, &m_status, 0) == m_pid) {
            m_exited = true;
        } else if (errno != EINTR) {
            throw std::runtime_error("waitpid failed");
        }
    }
}

int CliProcess::ExitStatus() {
    Wait();
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

int CliProcess::EndingSignal() {
    Wait();
    return WIFSIGNALED(m_status) ? WTERMSIG(m_status) : 0;
}

std::string CliProcess::Output() {
    return ReadWholeDescriptor(m_outputFd);
}

std::string CliProcess::Error() {
    return m_errorFd >= 0 ? ReadWholeDescriptor(m_errorFd) : "";
}

CliRun RunCli(const std::vector<std::string>& arguments) {
    CliProcess process(arguments);
    const int status = process.ExitStatus();
    return {status, process.Output(), process.Error()};
}

PseudoTerminal::PseudoTerminal() {
    leader = posix_openpt(O_RDWR | O_NOCTTY);
    if (leader >= 0) {
        fcntl(leader, F_SETFD, FD_CLOEXEC);
    }
    if (leader < 0 || grantpt(leader) != 0 || unlockpt(leader) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    follower = open(ptsname(leader), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (follower < 0) {
        throw std::runtime_error("cannot open the pseudo-terminal follower");
    }
}

PseudoTerminal::~PseudoTerminal() {
    CloseFollower();
    close(leader);
}

void PseudoTerminal::CloseFollower() {
    if (follower >= 0) {
        close(follower);
        follower = -1;
    }
}

std::string PseudoTerminal::ReadUntilClosed() {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(leader, buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            return text;  // EIO once the last follower descriptor is closed
        }
    }
}

TempDirectory::TempDirectory(const std::filesystem::path& parent) {
    std::string pattern = (parent / "zirared-cli-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed in " + parent.string());
    }
    m_path = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string PseudoRandomBytes(std::size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(length, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> FileNames(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace zirared::testing
