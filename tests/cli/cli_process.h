#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zirared::testing {

// What the child inherits besides its descriptors, as a shell could hand it over.
struct Inherited {
    int ignoredSignal = 0;         // ignored from the start, as nohup leaves SIGHUP
    long fileSizeLimit = -1;       // bytes (ulimit -f), -1 for none
    const char* output = nullptr;  // a file for standard output instead of a capture
};

// zirared-cli run as a child process. Standard input comes from inputFd (or /dev/null),
// standard error goes to errorFd when given; whatever is not redirected is captured.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& arguments, int inputFd = -1,
                        int errorFd = -1, const Inherited& inherited = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool HasExited();  // does not block
    void Wait();
    // The exit status, or -1 when the process was killed by a signal.
    int ExitStatus();
    int EndingSignal();  // the signal that ended the process, 0 for none
    std::string Output();
    std::string Error();

private:
    pid_t m_pid = -1;
    int m_outputFd = -1;
    int m_errorFd = -1;
    bool m_exited = false;
    int m_status = 0;
};

struct CliRun {
    int exitStatus;
    std::string output;
    std::string error;
};

// Runs to the end with no terminal attached.
CliRun RunCli(const std::vector<std::string>& arguments);

// A pseudo-terminal: the child gets the follower side, the test talks to the leader.
struct PseudoTerminal {
    PseudoTerminal();
    ~PseudoTerminal();
    void CloseFollower();
    // Reads what the child wrote until every follower descriptor is closed.
    std::string ReadUntilClosed();
    int leader = -1;
    int follower = -1;
};

// A fresh directory, removed with everything in it at the end of the test.
class TempDirectory {
public:
    explicit TempDirectory(
        const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~TempDirectory();
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string PseudoRandomBytes(std::size_t length, unsigned seed);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);
// The names of the files in directory, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& directory);
bool Contains(const std::string& text, const std::string& part);

}  // namespace zirared::testing
