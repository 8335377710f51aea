// The standard streams through the system's own pipes: descriptors 0 and 1 on POSIX, the
// standard handles through Win32 on Windows (run under Wine).
#include "standard_streams.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <csignal>
#endif

#include <string>

#include "file_error.h"
#include "test_files.h"

namespace zirared {
namespace {

#ifdef _WIN32
using End = HANDLE;
constexpr End kClosed = nullptr;
const DWORD kStream[2] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE};
void CloseEnd(End end) {
    CloseHandle(end);
}
std::size_t Transfer(End end, char* bytes, std::size_t size, bool write) {
    DWORD done = 0;
    const auto count = static_cast<DWORD>(size);
    const BOOL ok = write ? WriteFile(end, bytes, count, &done, nullptr)
                          : ReadFile(end, bytes, count, &done, nullptr);
    return ok ? done : 0;
}
#else
using End = int;
constexpr End kClosed = -1;
const int kStream[2] = {STDIN_FILENO, STDOUT_FILENO};
void CloseEnd(End end) {
    ::close(end);
}
std::size_t Transfer(End end, char* bytes, std::size_t size, bool write) {
    const ssize_t done = write ? ::write(end, bytes, size) : ::read(end, bytes, size);
    return done > 0 ? static_cast<std::size_t>(done) : 0;
}
#endif

// A pipe standing in for standard input (stream 0) or output (stream 1) during a test; the
// test holds the other end. Small transfers: the pipe holds them whole.
class RedirectedPipe {
public:
    explicit RedirectedPipe(int stream) : m_stream(stream) {
#ifdef _WIN32
        CreatePipe(&m_ends[0], &m_ends[1], nullptr, 1 << 20);
        m_saved = GetStdHandle(kStream[stream]);
        SetStdHandle(kStream[stream], m_ends[stream]);
#else
        EXPECT_EQ(::pipe(m_ends), 0);
        m_saved = ::dup(kStream[stream]);
        ::dup2(m_ends[stream], kStream[stream]);
        std::signal(SIGPIPE, SIG_IGN);  // a write without reader fails instead
#endif
    }
    ~RedirectedPipe() {
        CloseTestEnd();
#ifdef _WIN32
        SetStdHandle(kStream[m_stream], m_saved);
#else
        ::dup2(m_saved, kStream[m_stream]);
        ::close(m_saved);
#endif
        CloseEnd(m_ends[m_stream]);
    }
    std::size_t Transfer(std::string& bytes) {
        return zirared::Transfer(m_ends[1 - m_stream], bytes.data(), bytes.size(), m_stream == 0);
    }
    // As a program at the other end of a pipeline that ends.
    void CloseTestEnd() {
        if (m_ends[1 - m_stream] != kClosed) {
            CloseEnd(m_ends[1 - m_stream]);
            m_ends[1 - m_stream] = kClosed;
        }
    }

private:
    int m_stream;
    End m_ends[2] = {kClosed, kClosed};
    End m_saved = kClosed;
};

// Line breaks and a Ctrl-Z, which a text mode would turn, or take for the end.
const std::string kBytes = "a\nb\r\nc\x1A" + test::PatternBytes(30'000);

TEST(StandardStreams, BytesPassUnchangedAndTheInputEndsWithThePipe) {
    {
        RedirectedPipe pipe(1);
        StandardOutput output;
        output.Append({kBytes.data(), 1000});
        output.Append({kBytes.data() + 1000, kBytes.size() - 1000});
        output.Flush();
        std::string received(kBytes.size(), '\0');
        received.resize(pipe.Transfer(received));
        EXPECT_TRUE(received == kBytes);
    }
    RedirectedPipe pipe(0);
    std::string sent = kBytes;
    ASSERT_EQ(pipe.Transfer(sent), kBytes.size());
    pipe.CloseTestEnd();
    StandardInput input;
    std::string received(kBytes.size() + 1, '\0');
    EXPECT_EQ(input.ReadSome(received.data(), received.size()), kBytes.size());
    EXPECT_EQ(input.ReadSome(received.data(), received.size()), 0u) << "the end of the input";
    received.resize(kBytes.size());
    EXPECT_TRUE(received == kBytes);
}

TEST(StandardStreams, AReaderThatWentAwayLosesTheOutputAsABrokenPipe) {
    RedirectedPipe pipe(1);
    pipe.CloseTestEnd();
    StandardOutput output;
    output.Append({kBytes.data(), kBytes.size()});
    try {
        output.Flush();
        ADD_FAILURE() << "the write went through";
    } catch (const OutputLost& lost) {
        EXPECT_EQ(DescribeSystemError(lost.number),
                  "Pipe interrotta: il programma che leggeva i dati è terminato.");
        EXPECT_EQ(output.Lost(), lost.number);
    }
}

}  // namespace
}  // namespace zirared
