// The standard streams through the system's own pipes: descriptors 0 and 1 on POSIX, the
// standard handles through Win32 on Windows (run under Wine).
#include "standard_streams.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

#include <string>

#include "file_error.h"
#include "test_files.h"

namespace zirared {
namespace {

// A pipe put in place of standard input or output for the length of a test.
class RedirectedPipe {
public:
    explicit RedirectedPipe(bool input) : m_input(input) {
#ifdef _WIN32
        CreatePipe(&m_read, &m_write, nullptr, 1 << 20);
        m_saved = GetStdHandle(Which());
        SetStdHandle(Which(), m_input ? m_read : m_write);
#else
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        m_read = ends[0];
        m_write = ends[1];
        ::fcntl(m_write, F_SETPIPE_SZ, 1 << 20);
        m_saved = ::dup(Which());
        ::dup2(m_input ? m_read : m_write, Which());
        m_previousPipeAction = std::signal(SIGPIPE, SIG_IGN);
#endif
    }
    ~RedirectedPipe() {
        CloseReadEnd();
        CloseWriteEnd();
#ifdef _WIN32
        SetStdHandle(Which(), m_saved);
#else
        ::dup2(m_saved, Which());
        ::close(m_saved);
        std::signal(SIGPIPE, m_previousPipeAction);
#endif
    }
    RedirectedPipe(const RedirectedPipe&) = delete;
    RedirectedPipe& operator=(const RedirectedPipe&) = delete;

    void Send(const std::string& bytes) {
#ifdef _WIN32
        DWORD written = 0;
        WriteFile(m_write, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
#else
        EXPECT_EQ(::write(m_write, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
#endif
    }
    std::string Receive(std::size_t size) {
        std::string bytes(size, '\0');
        std::size_t got = 0;
        while (got < size) {
#ifdef _WIN32
            DWORD now = 0;
            if (!ReadFile(m_read, bytes.data() + got, static_cast<DWORD>(size - got), &now,
                          nullptr) ||
                now == 0) {
                break;
            }
#else
            const ssize_t now = ::read(m_read, bytes.data() + got, size - got);
            if (now <= 0) {
                break;
            }
#endif
            got += static_cast<std::size_t>(now);
        }
        bytes.resize(got);
        return bytes;
    }
    // The other end, as a program in a pipeline that ends: the stream and the descriptor
    // standing in for it both go.
    void CloseWriteEnd() {
        Close(m_write, !m_input);
    }
    void CloseReadEnd() {
        Close(m_read, m_input);
    }

private:
#ifdef _WIN32
    DWORD Which() const {
        return m_input ? STD_INPUT_HANDLE : STD_OUTPUT_HANDLE;
    }
    void Close(HANDLE& end, bool standing) {
        if (end != nullptr) {
            CloseHandle(end);
            end = nullptr;
        }
        if (standing) {
            SetStdHandle(Which(), nullptr);
        }
    }
    HANDLE m_read = nullptr;
    HANDLE m_write = nullptr;
    HANDLE m_saved = nullptr;
#else
    int Which() const {
        return m_input ? STDIN_FILENO : STDOUT_FILENO;
    }
    void Close(int& end, bool standing) {
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
        if (standing) {
            ::close(Which());
        }
    }
    int m_read = -1;
    int m_write = -1;
    int m_saved = -1;
    void (*m_previousPipeAction)(int) = nullptr;
#endif
    bool m_input;
};

TEST(StandardStreams, BytesPassUnchangedAndTheInputEndsWithThePipe) {
    // Line breaks and a Ctrl-Z, which a text mode would turn or take for an end.
    const std::string bytes = "a\nb\r\nc\x1A" + test::PatternBytes(300'000);
    {
        RedirectedPipe pipe(false);
        StandardOutput output;
        output.Append({bytes.data(), 1000});
        output.Append({bytes.data() + 1000, bytes.size() - 1000});
        output.Flush();
        EXPECT_TRUE(pipe.Receive(bytes.size()) == bytes);
    }
    RedirectedPipe pipe(true);
    pipe.Send(bytes);
    pipe.CloseWriteEnd();
    StandardInput input;
    std::string received(bytes.size() + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        const std::optional<std::size_t> now = input.ReadSome(received.data() + got, 65536);
        ASSERT_TRUE(now.has_value());
        if (*now == 0) {
            break;
        }
        got += *now;
    }
    received.resize(got);
    EXPECT_TRUE(received == bytes);
}

TEST(StandardStreams, AReaderThatWentAwayLosesTheOutputAsABrokenPipe) {
    RedirectedPipe pipe(false);
    pipe.CloseReadEnd();
    StandardOutput output;
    const std::string bytes = "rebuilt";
    output.Append({bytes.data(), bytes.size()});
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
