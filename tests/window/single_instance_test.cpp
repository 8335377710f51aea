#include "single_instance.h"

#include <gtest/gtest.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <ostream>

#include "hand_over.h"
#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

const char* const kLockName = "zirared.lock";

// The id of a process that has certainly ended.
qint64 DeadProcessId() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

enum class Holder { LiveProcess, LiveProcessSinceLongAgo, DeadProcess };

struct LockCase {
    const char* why;
    Holder holder;
    bool startAllowed;
};

class SingleInstanceLock : public ::testing::TestWithParam<LockCase> {};

TEST_P(SingleInstanceLock, RefusesOnlyWhileTheHolderLives) {
    const LockCase& c = GetParam();
    QTemporaryDir dir;
    const QString lockPath = QDir(dir.path()).filePath(QLatin1String(kLockName));
    QLockFile held(lockPath);
    ASSERT_TRUE(held.tryLock(0));
    if (c.holder == Holder::LiveProcessSinceLongAgo) {
        // An hour-old lock of a running copy is still that copy's lock.
        const utimbuf anHourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
        ASSERT_EQ(utime(QFile::encodeName(lockPath).constData(), &anHourAgo), 0);
    }
    if (c.holder == Holder::DeadProcess) {
        // What a crash leaves: the lock file naming a process that no longer runs.
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray content = file.readAll();
        file.close();
        held.unlock();
        content.replace(0, content.indexOf('\n'), QByteArray::number(DeadProcessId()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
    }

    const auto lock = TryLockSingleInstance(dir.path());

    EXPECT_EQ(lock != nullptr, c.startAllowed);
    if (lock) {
        EXPECT_TRUE(lock->isLocked());
    }
}

INSTANTIATE_TEST_SUITE_P(Holders, SingleInstanceLock,
                         ::testing::Values(LockCase{"RunningCopy", Holder::LiveProcess, false},
                                           LockCase{"RunningCopyStartedLongAgo",
                                                    Holder::LiveProcessSinceLongAgo, false},
                                           LockCase{"CopyThatCrashed", Holder::DeadProcess, true}),
                         [](const auto& info) { return info.param.why; });

TEST(SecondStart, BringsTheRunningCopyToTheFrontShowsItsMessageAndEndsWithZero) {
    QTemporaryDir runtime;  // made private to the user, as a runtime directory must be
    QLockFile firstCopy(QDir(runtime.path()).filePath(QLatin1String(kLockName)));
    ASSERT_TRUE(firstCopy.tryLock(0));
    QByteArrayList requests;
    HandOverServer runningCopy([&](const QByteArray& path) {
        requests.append(path);
        return QString();
    });
    ASSERT_TRUE(runningCopy.Listen(HandOverSocketPath(runtime.path())));

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(ZIRARED_TEST_WINDOW_PATH), QStringList());

    // A window would keep the program in its event loop: it must end on its own.
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(requests, QByteArrayList{QByteArray()}) << "an empty request: come to the front";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString errors = QString::fromUtf8(second.readAllStandardError());
    EXPECT_TRUE(
        errors.contains(QStringLiteral("Zirared [informazione]: Zirared è già in esecuzione")))
        << errors.toStdString();
    EXPECT_TRUE(firstCopy.isLocked());
}

}  // namespace
}  // namespace zirared
