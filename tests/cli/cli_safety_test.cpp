// Signals, special files and hostile names, seen from outside the process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"

namespace zirared::testing {
namespace {

using namespace std::chrono_literals;

bool HasTemporaryFile(const std::filesystem::path& directory) {
    for (const auto& name : FileNames(directory)) {
        if (Contains(name, ".zirared-")) {
            return true;
        }
    }
    return false;
}

std::filesystem::path LargeScratchParent() {
    const std::filesystem::path shm = "/dev/shm";
    return std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
}

// 1 GiB: the copy runs long enough after its first file appears to deliver a signal.
void WriteLargeFile(const std::filesystem::path& path) {
    const std::string chunk = PseudoRandomBytes(1 << 20, 1);
    std::ofstream out(path, std::ios::binary);
    for (int megabyte = 0; megabyte < 1024; ++megabyte) {
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
}

struct SignalRow {
    const char* why;
    bool join;
    int signal;           // sent again and again once the copy runs; 0 for none
    int exitStatus;       // -1: ended by the signal itself, after cleaning up; 0: completed
    const char* message;  // what the program says before it ends, or nullptr
    Inherited inherited = {};
};

constexpr std::uintmax_t kLargeSize = 1024u << 20;

class EndingSignal : public ::testing::TestWithParam<SignalRow> {};

// Whatever ends the program mid-copy, the folder is left as the user had it: a split takes
// back its pieces, a join leaves the old file whole and no unfinished output. A signal the
// program must not end by leaves a complete result.
TEST_P(EndingSignal, LeavesTheFolderAsItWas) {
    const SignalRow& row = GetParam();
    TempDirectory directory(LargeScratchParent());
    const auto source = directory.Path() / "big.bin";
    WriteLargeFile(source);
    ASSERT_EQ(std::filesystem::file_size(source), kLargeSize) << "scratch space too small";
    std::vector<std::string> before = {"big.bin"};
    if (row.join) {
        ASSERT_EQ(RunCli({"split", "--yes", source.string()}).exitStatus, 0);
        WriteFile(source, "the old file");
        before = FileNames(directory.Path());
    }
    CliProcess process(row.join ? std::vector<std::string>{"join", "--yes",
                                                           (directory.Path() / "big.000").string()}
                                : std::vector<std::string>{"split", "--yes", source.string()},
                       -1, -1, row.inherited);
    while (row.signal != 0 && !HasTemporaryFile(directory.Path())) {
        ASSERT_FALSE(process.HasExited()) << "ended before writing: " << process.Error();
        std::this_thread::sleep_for(1ms);
    }
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (row.signal != 0 && !process.HasExited()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        kill(process.Pid(), row.signal);
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(process.ExitStatus(), row.exitStatus) << process.Error();
    EXPECT_EQ(process.EndingSignal(), row.exitStatus == -1 ? row.signal : 0);
    if (row.message != nullptr) {
        EXPECT_TRUE(Contains(process.Error(), row.message)) << process.Error();
    }
    if (row.exitStatus == 0) {
        EXPECT_FALSE(HasTemporaryFile(directory.Path()));
        EXPECT_EQ(std::filesystem::file_size(row.join ? source : directory.Path() / "big.000"),
                  row.join ? kLargeSize : 1433616u);
        return;
    }
    EXPECT_EQ(FileNames(directory.Path()), before);
    if (row.join) {
        EXPECT_EQ(ReadFile(source), "the old file");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EndingSignal,
    ::testing::Values(
        // Ctrl-C is the split's Stop button: it ends with the stop's message and status,
        // not by the signal.
        SignalRow{"split_ctrl_c", false, SIGINT, 1, "Operazione terminata volontariamente"},
        SignalRow{"split_sigterm", false, SIGTERM, -1, nullptr},
        SignalRow{"split_sighup", false, SIGHUP, -1, nullptr},
        SignalRow{"split_sigquit", false, SIGQUIT, -1, nullptr},
        SignalRow{"split_sigusr2", false, SIGUSR2, -1, nullptr},
        SignalRow{"join_ctrl_c", true, SIGINT, 1, nullptr},
        SignalRow{"join_sigterm", true, SIGTERM, -1, nullptr},
        SignalRow{"join_sigalrm", true, SIGALRM, -1, nullptr},
        SignalRow{"join_sigusr1", true, SIGUSR1, -1, nullptr},
        // A write past ulimit -f fails like a full disk instead of killing the process.
        SignalRow{"join_file_size_limit", true, 0, 1, "File troppo grande.", {0, 100 << 20}},
        // No write was cut short: there is nothing to fail, and nothing ends the copy.
        SignalRow{"join_sigpipe_sent", true, SIGPIPE, 0, nullptr},
        // nohup: a signal ignored when the program started stays ignored.
        SignalRow{"split_sighup_under_nohup", false, SIGHUP, 0, nullptr, {SIGHUP}}),
    [](const auto& info) { return std::string(info.param.why); });

// A signal that comes after the rebuilt file is in place, while the deletion question
// waits, keeps every piece and ends the program by that signal: never a success's status.
TEST(LateSignal, AtTheDeletionQuestionEndsTheProgramByIt) {
    for (const int signal : {SIGINT, SIGTERM}) {
        TempDirectory directory;
        const auto source = directory.Path() / "report.doc";
        const std::string bytes = PseudoRandomBytes(2 * 1433600 + 1, 6);
        WriteFile(source, bytes);
        ASSERT_EQ(RunCli({"split", "--yes", source.string()}).exitStatus, 0);
        std::filesystem::remove(source);
        PseudoTerminal terminal;
        CliProcess process({"join", "--delete-pieces", (directory.Path() / "report.000").string()},
                           terminal.follower);
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!Contains(process.Error(), "o n (no): ")) {
            ASSERT_FALSE(process.HasExited()) << process.Error();
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            std::this_thread::sleep_for(2ms);
        }
        kill(process.Pid(), signal);
        EXPECT_EQ(process.EndingSignal(), signal) << process.Error();
        EXPECT_EQ(FileNames(directory.Path()).size(), 4u);  // three pieces and report.doc
        EXPECT_EQ(ReadFile(source), bytes);
    }
}

struct SpecialFileRow {
    const char* why;
    std::vector<std::string> arguments;  // {fifo} is replaced by the FIFO's path
};

class SpecialFile : public ::testing::TestWithParam<SpecialFileRow> {};

// Opening a FIFO for reading waits for a writer: it must be refused instead.
TEST_P(SpecialFile, IsRefusedWithoutBlocking) {
    TempDirectory directory;
    const auto fifo = directory.Path() / "pipe.000";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> arguments = GetParam().arguments;
    for (auto& argument : arguments) {
        if (argument == "{fifo}") {
            argument = fifo.string();
        }
    }
    CliProcess process(arguments);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!process.HasExited() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    if (!process.HasExited()) {
        kill(process.Pid(), SIGKILL);
        FAIL() << "blocked on the FIFO";
    }
    EXPECT_EQ(process.ExitStatus(), 1);
    EXPECT_TRUE(Contains(process.Error(), fifo.string() + "\nNon è un file ordinario."))
        << process.Error();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpecialFile,
    ::testing::Values(SpecialFileRow{"split_source", {"split", "--yes", "{fifo}"}},
                      SpecialFileRow{"chosen_piece", {"join", "--yes", "{fifo}"}}),
    [](const auto& info) { return std::string(info.param.why); });

// CR LF is the messages' own line break: a name must not forge a line with it, nor send an
// escape sequence.
TEST(HostileName, NeverReachesTheTerminalAsItIs) {
    const std::vector<std::array<std::string, 3>> rows = {
        // name, forbidden, shown
        {"a\x1b]0;pwned\x07\x1b[2J.doc", "\x1b", "a\\x1B]0;pwned\\x07\\x1B[2J.doc"},
        {"a\r\nZirared (informazione): tutto a posto\r\n\x9b.doc",
         "\nZirared (informazione): tutto",
         "a\\x0D\\x0AZirared (informazione): tutto a posto\\x0D\\x0A\\x9B.doc"}};
    for (const auto& [name, forbidden, shown] : rows) {
        TempDirectory directory;
        const auto source = directory.Path() / name;
        WriteFile(source, PseudoRandomBytes(1433601, 4));
        const CliRun run = RunCli({"split", "--yes", source.string()});
        EXPECT_EQ(run.exitStatus, 0) << run.error;
        EXPECT_FALSE(Contains(run.error, forbidden)) << run.error;
        EXPECT_TRUE(Contains(run.error, shown)) << run.error;
    }
}

// Output that never reached standard output or error is a failure, not a success.
TEST(LostOutput, ExitsOne) {
    TempDirectory directory;
    const auto source = directory.Path() / "report.doc";
    WriteFile(source, PseudoRandomBytes(1433601, 7));
    ASSERT_EQ(RunCli({"split", "--yes", source.string()}).exitStatus, 0);
    const std::string first = (directory.Path() / "report.000").string();
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--help"}, {"--version"}, {"check", first}}) {
        CliProcess process(arguments, -1, -1, {0, -1, "/dev/full"});
        EXPECT_EQ(process.ExitStatus(), 1) << arguments[0];
        EXPECT_EQ(process.Error(),
                  "zirared-cli: errore di scrittura sull'uscita standard: Spazio insufficiente "
                  "sul disco.\n");
    }
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    CliProcess split({"split", "--yes", source.string()}, -1, full);
    EXPECT_EQ(split.ExitStatus(), 1);
    close(full);
}

}  // namespace
}  // namespace zirared::testing
