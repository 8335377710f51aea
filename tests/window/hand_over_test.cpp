#include "hand_over.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <cstdio>
#include <ostream>

#include "arriving_files.h"
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
    bool answered;
    QByteArray expectedPath;  // the file system's bytes; empty: come to the front
    QByteArray expectedReply;
};

const QByteArray kLongestPath = "/" + QByteArray(kMaxHandOverPathBytes - 1, 'a');
const QByteArray kAccepted = "\x06";

class HandOverRequest : public ::testing::TestWithParam<RequestCase> {
protected:
    void SetUp() override {
        m_socketPath = HandOverSocketPath(m_runtime.path());
        ASSERT_TRUE(m_server.Listen(m_socketPath));
    }

    QTemporaryDir m_runtime;
    QString m_socketPath;
    QByteArrayList m_received;
    // Refuses one name, as a window would a file that does not exist.
    HandOverServer m_server{[this](const QByteArray& path) {
        m_received.append(path);
        return path == "/tmp/manca" ? QStringLiteral("Il file /tmp/manca non esiste.") : QString();
    }};
};

TEST_P(HandOverRequest, ReachesTheWindowOnlyWhenWellFormedAndGetsItsAnswer) {
    const RequestCase& c = GetParam();
    // Sent from this thread, without blocking: the server answers from the same event loop.
    QLocalSocket client;
    client.connectToServer(m_socketPath);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.state() == QLocalSocket::ConnectedState; }));
    client.write(c.bytes);

    // Either way the server ends the conversation: with an answer, or by hanging up.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return client.state() == QLocalSocket::UnconnectedState; }, 10000));
    EXPECT_EQ(m_received, c.answered ? QByteArrayList{c.expectedPath} : QByteArrayList{});
    EXPECT_EQ(client.readAll(), c.expectedReply);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOverRequest,
    ::testing::Values(
        RequestCase{"AbsolutePath", Request("/tmp/dati.bin"), true, "/tmp/dati.bin", kAccepted},
        RequestCase{"AccentedPath", Request("/tmp/perché.000"), true, "/tmp/perché.000", kAccepted},
        RequestCase{"LongestAllowed", Request(kLongestPath), true, kLongestPath, kAccepted},
        RequestCase{"OneByteTooLong", Request(kLongestPath + "a"), false, {}, {}},
        RequestCase{"HugeAnnouncedLength", Request(0xFFFFFFFFU, "/tmp/x"), false, {}, {}},
        // A plain second start: the window only comes to the front.
        RequestCase{"ZeroLengthComesToTheFront", Request(QByteArray()), true, {}, kAccepted},
        RequestCase{"RelativePath", Request("dati.bin"), false, {}, {}},
        // A name need not be UTF-8: it arrives byte for byte.
        RequestCase{"NotUtf8", Request("/tmp/\xff\xfe.bin"), true, "/tmp/\xff\xfe.bin", kAccepted},
        RequestCase{"NulInside", Request(QByteArray("/tmp/a\0b", 8)), false, {}, {}},
        // Refused: the answer says so, and why, in UTF-8.
        RequestCase{"Refused", Request("/tmp/manca"), true, "/tmp/manca",
                    "\x15Il file /tmp/manca non esiste."},
        // Says 100 bytes, sends 6 and waits: cut off by the server's timeout.
        RequestCase{"TruncatedThenSilent", Request(100, "/tmp/x"), false, {}, {}}),
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

TEST(SecondStartWithAFile, HandsItToTheRunningCopyWhichTakesItAsADropEvenWithoutADisplay) {
    QTemporaryDir runtime;  // private to the user, as a runtime folder must be
    QTemporaryDir work;
    const QString source = QDir(work.path()).filePath(QStringLiteral("dati.bin"));
    const QByteArray data(1400 * 1024 + 777, 'z');  // two pieces at the start size
    WriteFile(source, data);
    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("cartella")));

    RunningCopy first(runtime.path());
    first.process().start(QStringLiteral(ZIRARED_TEST_WINDOW_PATH), QStringList());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo::exists(HandOverSocketPath(runtime.path())); }, 20000));

    // A relative name: the running copy works in another folder, so it gets the full path.
    // Only a file the window took ends the second start with 0; a refusal says why, there
    // and in the window.
    auto secondStart = [&](const QString& file, bool display, int exitCode, QString said) {
        said.replace(QStringLiteral("{dir}"), work.path());
        RunningCopy second(runtime.path());
        QProcessEnvironment environment = second.process().processEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            if (!display) {
                environment.remove(QString::fromLatin1(name));
            }
        }
        second.process().setProcessEnvironment(environment);
        second.process().setWorkingDirectory(work.path());
        second.process().start(QStringLiteral(ZIRARED_TEST_WINDOW_PATH), {file});
        // Waited for without blocking this thread, where nothing listens anyway.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return second.process().state() == QProcess::NotRunning; }, 20000));
        EXPECT_EQ(second.process().exitCode(), exitCode) << second.said().toStdString();
        EXPECT_FALSE(second.Said(QStringLiteral("già in esecuzione")));
        EXPECT_TRUE(second.Said(said)) << second.said().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return first.Said(said); }, 20000));
    };

    secondStart(QStringLiteral("manca.bin"), true, 1,
                QStringLiteral("Il file {dir}/manca.bin non esiste."));
    // Not a piece: the split, which asks first (the auto-answer says yes).
    secondStart(QStringLiteral("dati.bin"), true, 0, QString());
    const QString lastPiece = QDir(work.path()).filePath(QStringLiteral("dati.001"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.Said(QStringLiteral("[domanda]")); }, 20000))
        << first.said().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(lastPiece); }, 20000));

    // A piece: the assembly, which rebuilds the source. The socket needs no display: a
    // second start from a bare terminal reaches the window too.
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.Said(QStringLiteral("[informazione]")); }));
    ASSERT_TRUE(QFile::remove(source));
    secondStart(QStringLiteral("dati.000"), false, 0, QString());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QFile rebuilt(source);
            return rebuilt.open(QIODevice::ReadOnly) && rebuilt.readAll() == data;
        },
        20000))
        << first.said().toStdString();
    secondStart(QStringLiteral("cartella"), false, 1,
                QStringLiteral("{dir}/cartella è una cartella."));
}

// --- Files arriving while the window works ------------------------------------------------

enum class Moment { BeforeTheSplit, WhileItCopies, WhileItsLastMessageIsOpen };

struct ArrivalCase {
    const char* why;
    Moment moment;
    const char* name;
    const char* refusal;  // "{dir}" stands for the folder
};

class FileArriving : public ::testing::TestWithParam<ArrivalCase> {};

TEST_P(FileArriving, IsTakenWhenTheWindowIsFreeOrRefusedSayingWhy) {
    const ArrivalCase& c = GetParam();
    QTemporaryDir dir;
    const QByteArray data(1400 * 1024 + 777, 'z');  // two pieces at the start size
    WriteFile(dir.filePath(QStringLiteral("dati.bin")), data);
    WriteFile(dir.filePath(QStringLiteral("altro.bin")), data);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("cartella")));
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    window.show();
    ArrivingFiles arriving(window, dialogs);

    QString refusal = QStringLiteral("not offered");
    auto offer = [&] { refusal = arriving.Offer(QFile::encodeName(dir.filePath(c.name))); };
    dialogs.OnMessage([&](const ScriptedDialogs::Message& message) {
        if (message.kind == MessageKind::Question && c.moment == Moment::WhileItCopies) {
            QTimer::singleShot(0, offer);  // at the copy's first pass over events
        }
        if (message.text.contains(QStringLiteral("dati.bin\né stato diviso")) &&
            c.moment == Moment::WhileItsLastMessageIsOpen) {
            offer();
        }
    });
    if (c.moment == Moment::BeforeTheSplit) {
        offer();
    }
    EXPECT_EQ(arriving.Offer(QFile::encodeName(dir.filePath(QStringLiteral("dati.bin")))),
              QString());

    const QString expected =
        QString::fromUtf8(c.refusal).replace(QStringLiteral("{dir}"), dir.path());
    const QString taken = dir.filePath(QStringLiteral("altro.001"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return QFileInfo::exists(dir.filePath(QStringLiteral("dati.001"))) &&
                   !window.OperationActive() &&
                   (expected.isEmpty() ? QFileInfo::exists(taken)
                                       : dialogs.Shown(expected, MessageKind::Information) ||
                                             dialogs.Shown(expected, MessageKind::Warning));
        },
        20000));
    EXPECT_EQ(refusal, expected);
    EXPECT_EQ(QFileInfo::exists(taken), expected.isEmpty());
    for (const ScriptedDialogs::Message& message : dialogs.messages()) {
        EXPECT_EQ(message.owner, &window) << message.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileArriving,
    ::testing::Values(
        ArrivalCase{"BeforeTheSplit", Moment::BeforeTheSplit, "altro.bin", ""},
        ArrivalCase{"WhileItCopies", Moment::WhileItCopies, "altro.bin",
                    "Attendere la fine dell'operazione in corso."},
        // The user only has to close the box: the file waits for that, not for a new try.
        ArrivalCase{"WhileItsLastMessageIsOpen", Moment::WhileItsLastMessageIsOpen, "altro.bin",
                    ""},
        ArrivalCase{"Missing", Moment::BeforeTheSplit, "manca.bin",
                    "Il file {dir}/manca.bin non esiste."},
        ArrivalCase{"AFolder", Moment::WhileItsLastMessageIsOpen, "cartella",
                    "{dir}/cartella è una cartella."}),
    [](const auto& info) { return info.param.why; });

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
