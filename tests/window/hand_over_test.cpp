#include "hand_over.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cstdio>
#include <ostream>

#include "drop_event.h"
#include "print_row.h"
#include "scripted_dialogs.h"
#include "splitta_file.h"

namespace zirared {
namespace {

using test::PrintTo;

// --- What a request may carry ---------------------------------------------------------

QByteArray Request(quint32 announcedLength, const QByteArray& payload) {
    QByteArray request(4, '\0');
    qToBigEndian<quint32>(announcedLength, request.data());
    return request + payload;
}

QByteArray Request(const QByteArray& payload) {
    return Request(static_cast<quint32>(payload.size()), payload);
}

struct RequestCase {
    const char* why;
    QByteArray bytes;
    bool accepted;
    QByteArray expectedPath;  // the file system's bytes
};

const QByteArray kLongestPath = "/" + QByteArray(kMaxHandOverPathBytes - 1, 'a');

class HandOverRequest : public ::testing::TestWithParam<RequestCase> {
protected:
    void SetUp() override {
        m_socketPath = HandOverSocketPath(m_runtime.path());
        ASSERT_TRUE(m_server.Listen(m_socketPath));
    }

    QTemporaryDir m_runtime;
    QString m_socketPath;
    HandOverServer m_server;
};

TEST_P(HandOverRequest, ReachesTheWindowOnlyWhenWellFormed) {
    const RequestCase& c = GetParam();
    QSignalSpy requested(&m_server, &HandOverServer::fileRequested);
    // Sent from this thread, without blocking: the server answers from the same event loop.
    QLocalSocket client;
    client.connectToServer(m_socketPath);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.state() == QLocalSocket::ConnectedState; }));
    client.write(c.bytes);

    // Either way the server ends the conversation: with a receipt, or by hanging up.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return client.state() == QLocalSocket::UnconnectedState; }, 10000));
    if (!c.accepted) {
        EXPECT_EQ(requested.count(), 0);
        EXPECT_EQ(client.bytesAvailable(), 0);
        return;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return requested.count() == 1; }));
    EXPECT_EQ(requested.at(0).at(0).toByteArray(), c.expectedPath);
    EXPECT_EQ(client.readAll(), QByteArray("\x06"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOverRequest,
    ::testing::Values(
        RequestCase{"AbsolutePath", Request("/tmp/dati.bin"), true, "/tmp/dati.bin"},
        RequestCase{"AccentedPath", Request("/tmp/perché.000"), true, "/tmp/perché.000"},
        RequestCase{"LongestAllowed", Request(kLongestPath), true, kLongestPath},
        RequestCase{"OneByteTooLong", Request(kLongestPath + "a"), false, {}},
        RequestCase{"HugeAnnouncedLength", Request(0xFFFFFFFFU, "/tmp/x"), false, {}},
        RequestCase{"ZeroLength", Request(QByteArray()), false, {}},
        RequestCase{"RelativePath", Request("dati.bin"), false, {}},
        // A name need not be UTF-8: it arrives byte for byte.
        RequestCase{"NotUtf8", Request("/tmp/\xff\xfe.bin"), true, "/tmp/\xff\xfe.bin"},
        RequestCase{"NulInside", Request(QByteArray("/tmp/a\0b", 8)), false, {}},
        // Says 100 bytes, sends 6 and waits: cut off by the server's timeout.
        RequestCase{"TruncatedThenSilent", Request(100, "/tmp/x"), false, {}}),
    [](const auto& info) { return info.param.why; });

// --- The whole road: a running copy and a second start --------------------------------

// The test window, which answers every question alone and prints every message on its error
// output; this collects what it says.
class RunningCopy {
public:
    explicit RunningCopy(const QString& runtime) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
    }
    ~RunningCopy() {
        m_process.kill();
        m_process.waitForFinished();
    }
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;

    QProcess& process() { return m_process; }
    bool Said(const QString& text) {
        m_said += QString::fromUtf8(m_process.readAllStandardError());
        return m_said.contains(text);
    }
    const QString& said() const { return m_said; }

private:
    QProcess m_process;
    QString m_said;
};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Whoever ends the window by a signal sees it end by that signal, its lock given back.
TEST(RunningCopy, EndsByTheSignalThatEndedIt) {
    QTemporaryDir runtime;
    RunningCopy copy(runtime.path());
    copy.process().start(QStringLiteral(ZIRARED_TEST_WINDOW_PATH), QStringList());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo::exists(HandOverSocketPath(runtime.path())); }, 20000));
    copy.process().terminate();  // SIGTERM
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.process().state() == QProcess::NotRunning; }));
    EXPECT_EQ(copy.process().exitStatus(), QProcess::CrashExit) << copy.said().toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(runtime.path()).filePath(QStringLiteral("zirared.lock"))));
}

TEST(SecondStartWithAFile, HandsItToTheRunningCopyWhichTakesItAsADrop) {
    QTemporaryDir runtime;  // private to the user, as a runtime folder must be
    QTemporaryDir work;
    const QString source = QDir(work.path()).filePath(QStringLiteral("dati.bin"));
    const QByteArray data(1400 * 1024 + 777, 'z');  // two pieces at the start size
    WriteFile(source, data);

    RunningCopy first(runtime.path());
    first.process().start(QStringLiteral(ZIRARED_TEST_WINDOW_PATH), QStringList());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo::exists(HandOverSocketPath(runtime.path())); }, 20000));

    // A relative name: the running copy works in another folder, so it gets the full path.
    auto secondStart = [&](const QString& file) {
        RunningCopy second(runtime.path());
        second.process().setWorkingDirectory(work.path());
        second.process().start(QStringLiteral(ZIRARED_TEST_WINDOW_PATH), {file});
        // Waited for without blocking this thread, where nothing listens anyway.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return second.process().state() == QProcess::NotRunning; }, 20000));
        EXPECT_EQ(second.process().exitCode(), 0) << second.said().toStdString();
        EXPECT_FALSE(second.Said(QStringLiteral("già in esecuzione")));
    };

    // Not a piece: the split, which asks first (the auto-answer says yes).
    secondStart(QStringLiteral("dati.bin"));
    const QString lastPiece = QDir(work.path()).filePath(QStringLiteral("dati.001"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.Said(QStringLiteral("[domanda]")); }, 20000))
        << first.said().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(lastPiece); }, 20000));

    // A piece: the assembly, which rebuilds the source.
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.Said(QStringLiteral("[informazione]")); }));
    ASSERT_TRUE(QFile::remove(source));
    secondStart(QStringLiteral("dati.000"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QFile rebuilt(source);
            return rebuilt.open(QIODevice::ReadOnly) && rebuilt.readAll() == data;
        },
        20000))
        << first.said().toStdString();
}

// --- A name that is not UTF-8, by every road into the window ---------------------------

enum class Road { CommandLine, SecondStart, Drop };

struct ByteNameCase {
    const char* why;
    Road road;
};

bool Exists(const QByteArray& path) {
    return access(path.constData(), F_OK) == 0;
}

// QProcess would pass the name as text, losing the byte: a shell makes it from octal.
void StartWithOctalName(RunningCopy& copy, const QString& folder, const char* octalName) {
    copy.process().setWorkingDirectory(folder);
    copy.process().start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$(printf \"$1\")\""),
         QStringLiteral(ZIRARED_TEST_WINDOW_PATH), QString::fromLatin1(octalName)});
}

class NameNotUtf8 : public ::testing::TestWithParam<ByteNameCase> {};

TEST_P(NameNotUtf8, ReachesTheSplitByteForByte) {
    QTemporaryDir runtime;
    QTemporaryDir work;
    const QByteArray folder = QFile::encodeName(work.path());
    const QByteArray source = folder + "/bad\xff.bin";
    std::FILE* file = std::fopen(source.constData(), "wb");
    ASSERT_NE(file, nullptr);
    const QByteArray data(1400 * 1024 + 777, 'z');  // two pieces at the start size
    ASSERT_EQ(std::fwrite(data.constData(), 1, data.size(), file),
              static_cast<size_t>(data.size()));
    ASSERT_EQ(std::fclose(file), 0);

    RunningCopy first(runtime.path());
    RunningCopy second(runtime.path());
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    switch (GetParam().road) {
        case Road::CommandLine:
            StartWithOctalName(first, work.path(), "bad\\377.bin");
            break;
        case Road::SecondStart:
            first.process().start(QStringLiteral(ZIRARED_TEST_WINDOW_PATH), QStringList());
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return QFileInfo::exists(HandOverSocketPath(runtime.path())); }, 20000));
            StartWithOctalName(second, work.path(), "bad\\377.bin");
            break;
        case Road::Drop:
            // As a file manager sends it: the byte percent-encoded.
            window.show();
            Drop(window.design().pictab[0],
                 {QUrl::fromEncoded("file://" + source.toPercentEncoding("/"))});
            break;
    }

    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return first.Said(QStringLiteral("[informazione]")) || dialogs.messages().size() > 1;
        },
        20000))
        << first.said().toStdString() << second.said().toStdString();
    EXPECT_TRUE(Exists(folder + "/bad\xff.000"));
    EXPECT_TRUE(Exists(folder + "/bad\xff.001"));
    EXPECT_FALSE(first.said().contains(QStringLiteral("Rilasciare")));
}

INSTANTIATE_TEST_SUITE_P(Roads, NameNotUtf8,
                         ::testing::Values(ByteNameCase{"CommandLine", Road::CommandLine},
                                           ByteNameCase{"SecondStart", Road::SecondStart},
                                           ByteNameCase{"Drop", Road::Drop}),
                         [](const auto& info) { return info.param.why; });

}  // namespace
}  // namespace zirared
