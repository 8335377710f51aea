// zirared-cli in a pipeline: split of standard input, join to standard output, each end of a
// real pipe held by this test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli_process.h"
#include "piece_bytes.h"

namespace zirared::testing {
namespace {

constexpr std::size_t kSizeUnit = 1433600;

// A pipe whose writing end a thread fills and, unless told, closes, as `tar c` would.
class Feeder {
public:
    explicit Feeder(std::string bytes, bool close = true) : m_bytes(std::move(bytes)) {
        if (::pipe2(m_ends, O_CLOEXEC) != 0) {
            throw std::runtime_error("no pipe");
        }
        m_thread = std::thread([this, close] {
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);  // a reader gone: EPIPE
            for (std::size_t done = 0; done < m_bytes.size();) {
                const ssize_t now =
                    ::write(m_ends[1], m_bytes.data() + done, m_bytes.size() - done);
                if (now <= 0) {
                    break;
                }
                done += static_cast<std::size_t>(now);
            }
            if (close) {
                ::close(std::exchange(m_ends[1], -1));
            }
        });
    }
    ~Feeder() {
        CloseReadEnd();
        m_thread.join();
        ::close(m_ends[1]);
    }
    int ReadEnd() const { return m_ends[0]; }
    // Once the child holds its copy: the child alone keeps the pipe open for reading.
    void CloseReadEnd() { ::close(std::exchange(m_ends[0], -1)); }

private:
    std::string m_bytes;
    int m_ends[2] = {-1, -1};
    std::thread m_thread;
};

class PipesTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (m_directory.Path() / name).string(); }
    // Joins the set of first to standard output: the source's bytes, nothing in the folder.
    void ExpectJoinedToOutput(const std::string& first, const std::vector<std::string>& names) {
        const CliRun join = RunCli({"join", Path(first), "--output", "-"});
        ASSERT_EQ(join.exitStatus, 0) << join.error;
        EXPECT_TRUE(join.output == m_original) << "the rebuilt bytes differ";
        EXPECT_EQ(join.error.find('\r'), std::string::npos) << "progress leaked into a pipe";
        EXPECT_EQ(FileNames(m_directory.Path()), names) << "nothing written in the folder";
    }
    // A set of report.doc made from a file, with its digest list.
    void MakeListedSet() {
        WriteFile(Path("report.doc"), m_original);
        ASSERT_EQ(RunCli({"split", "--yes", "--hash", Path("report.doc")}).exitStatus, 0);
        std::filesystem::remove(Path("report.doc"));
    }
    TempDirectory m_directory;
    const std::string m_original = PseudoRandomBytes(2 * kSizeUnit + 12345, 3);
};

TEST_F(PipesTest, StandardInputSplitsIntoASetThatJoinsToStandardOutput) {
    Feeder feeder(m_original);
    CliProcess split({"split", "--name", Path("backup.tar"), "-"}, feeder.ReadEnd());
    feeder.CloseReadEnd();
    ASSERT_EQ(split.ExitStatus(), 0) << split.Error();
    EXPECT_EQ(split.Output(), "") << "standard output carries nothing of a split";
    const std::vector<std::string> pieces = {"backup.000", "backup.001", "backup.002"};
    ASSERT_EQ(FileNames(m_directory.Path()), pieces);
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(ReadFile(Path(pieces[index])).substr(0, 16), test::PieceHeader(index, 3, "tar"));
    }
    ExpectJoinedToOutput("backup.000", pieces);
}

TEST_F(PipesTest, APlainSetJoinsToStandardOutputAsOurs) {
    const std::vector<std::string> pieces = {"f.bin.001", "f.bin.002", "f.bin.003"};
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        WriteFile(Path(pieces[k]), m_original.substr(k * kSizeUnit, kSizeUnit));
    }
    ExpectJoinedToOutput("f.bin.001", pieces);
}

TEST_F(PipesTest, AnAlteredPieceEndsTheJoinAfterTheBytesSentNamingIt) {
    MakeListedSet();
    std::string piece = ReadFile(Path("report.001"));
    piece[100] = static_cast<char>(piece[100] ^ 1);
    WriteFile(Path("report.001"), piece);
    const CliRun join = RunCli({"join", "--output=-", Path("report.000")});
    EXPECT_EQ(join.exitStatus, 1);
    EXPECT_TRUE(Contains(join.error, "report.001")) << join.error;
    EXPECT_GT(join.output.size(), kSizeUnit) << "the bytes are sent as they are read";
}

TEST_F(PipesTest, AReaderClosingEarlyEndsTheJoinWithTheLostOutputMessage) {
    MakeListedSet();
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const std::string output = "/proc/self/fd/" + std::to_string(ends[1]);
    CliProcess join({"join", "--output", "-", Path("report.000")}, -1, -1,
                    Inherited{0, -1, output.c_str()});
    ::close(ends[1]);
    char first = 0;
    EXPECT_EQ(::read(ends[0], &first, 1), 1);
    ::close(ends[0]);
    EXPECT_EQ(join.EndingSignal(), 0) << "no death by SIGPIPE";
    EXPECT_EQ(join.ExitStatus(), 1);
    EXPECT_TRUE(Contains(join.Error(), "zirared-cli: errore di scrittura sull'uscita standard: "))
        << join.Error();
}

TEST_F(PipesTest, ASignalMidInputLeavesNothing) {
    Feeder feeder(PseudoRandomBytes(100'000, 5), false);
    CliProcess split({"split", "--name", Path("backup.tar"), "-"}, feeder.ReadEnd());
    feeder.CloseReadEnd();
    while (FileNames(m_directory.Path()).empty()) {
        std::this_thread::yield();  // until the first piece is being written
    }
    ::kill(split.Pid(), SIGTERM);
    EXPECT_EQ(split.EndingSignal(), SIGTERM);
    EXPECT_EQ(FileNames(m_directory.Path()), std::vector<std::string>{});
}

TEST_F(PipesTest, ATerminalIsNoPlaceForTheBytes) {
    PseudoTerminal terminal;
    const std::string follower = "/proc/self/fd/" + std::to_string(terminal.follower);
    CliProcess join({"join", "--output", "-", Path("a.000")}, -1, -1,
                    Inherited{0, -1, follower.c_str()});
    CliProcess split({"split", "--name", Path("a.tar"), "-"}, terminal.follower);
    for (CliProcess* process : {&join, &split}) {
        EXPECT_EQ(process->ExitStatus(), 1);
        EXPECT_TRUE(Contains(process->Error(), "è un terminale")) << process->Error();
    }
    EXPECT_EQ(FileNames(m_directory.Path()), std::vector<std::string>{});
}

}  // namespace
}  // namespace zirared::testing
