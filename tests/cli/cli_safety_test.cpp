// Signals, special files and hostile names, seen from outside the process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
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
    int signal;
    int exitStatus;       // -1: ended by the signal itself, after cleaning up
    const char* message;  // what the program says before it ends, or nullptr
};

class EndingSignal : public ::testing::TestWithParam<SignalRow> {};

// Whatever ends the program mid-copy, the folder is left as the user had it: a split takes
// back its pieces, a join leaves the old file whole and no unfinished output.
TEST_P(EndingSignal, LeavesTheFolderAsItWas) {
    const SignalRow& row = GetParam();
    TempDirectory directory(LargeScratchParent());
    const auto source = directory.Path() / "big.bin";
    WriteLargeFile(source);
    ASSERT_EQ(std::filesystem::file_size(source), 1024u << 20) << "scratch space too small";
    std::vector<std::string> before = {"big.bin"};
    if (row.join) {
        ASSERT_EQ(RunCli({"split", "--yes", source.string()}).exitStatus, 0);
        WriteFile(source, "the old file");
        before = FileNames(directory.Path());
    }
    CliProcess process(row.join ? std::vector<std::string>{"join", "--yes",
                                                           (directory.Path() / "big.000").string()}
                                : std::vector<std::string>{"split", "--yes", source.string()});
    while (!HasTemporaryFile(directory.Path())) {
        ASSERT_FALSE(process.HasExited()) << "ended before writing: " << process.Error();
        std::this_thread::sleep_for(1ms);
    }
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!process.HasExited()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        kill(process.Pid(), row.signal);
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(process.ExitStatus(), row.exitStatus) << process.Error();
    if (row.message != nullptr) {
        EXPECT_TRUE(Contains(process.Error(), row.message)) << process.Error();
    }
    EXPECT_EQ(FileNames(directory.Path()), before);
    if (row.join) {
        EXPECT_EQ(ReadFile(source), "the old file");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, EndingSignal,
                         ::testing::Values(
                             // Ctrl-C is the split's Stop button: it ends with the stop's
                             // message and status, not by the signal.
                             SignalRow{"split_ctrl_c", false, SIGINT, 1,
                                       "Operazione terminata volontariamente"},
                             SignalRow{"split_sigterm", false, SIGTERM, -1, nullptr},
                             SignalRow{"split_sighup", false, SIGHUP, -1, nullptr},
                             SignalRow{"join_ctrl_c", true, SIGINT, 1, nullptr},
                             SignalRow{"join_sigterm", true, SIGTERM, -1, nullptr}),
                         [](const auto& info) { return std::string(info.param.why); });

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

TEST(HostileName, ControlCharactersNeverReachTheTerminal) {
    TempDirectory directory;
    const auto source = directory.Path() / "a\x1b]0;pwned\x07\x1b[2J.doc";
    WriteFile(source, PseudoRandomBytes(1433601, 4));
    const CliRun run = RunCli({"split", "--yes", source.string()});
    EXPECT_EQ(run.exitStatus, 0) << run.error;
    EXPECT_FALSE(Contains(run.error, "\x1b")) << "an escape sequence reached the terminal";
    EXPECT_TRUE(Contains(run.error, "a\\x1B]0;pwned\\x07\\x1B[2J.doc")) << run.error;
}

}  // namespace
}  // namespace zirared::testing
