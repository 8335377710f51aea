// Cost of the window host per copied block, and a 1 GiB split and join through the window
// against the same split and join through zirared-cli. Prints figures and ratios; never fails.
//
//   zirared_window_bench --cli PATH/zirared-cli [--dir /dev/shm] [--mib 1024] [--rounds 5]
//
// Run it under a real display server (bench/window_bench.sh uses Xvfb and the xcb platform):
// the offscreen platform draws into memory and hides what painting costs on a screen.

#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "dialogs.h"
#include "splitta_file.h"
#include "window_host.h"

namespace {

using zirared::Answer;
using zirared::MessageKind;

constexpr qint64 kBlock = 10240;
constexpr double kHostTargetMicroseconds = 5.0;
constexpr double kWindowTargetRatio = 1.15;

// Says Yes to everything and hands over the queued path: no modal loop in the timings.
class SilentDialogs final : public zirared::Dialogs {
public:
    Answer ShowMessage(QWidget*, const QString&, MessageKind) override { return Answer::Yes; }
    QString ChooseFileToOpen(QWidget*, const zirared::OpenFileRequest&) override { return m_path; }
    void SetPath(const QString& path) { m_path = path; }

private:
    QString m_path;
};

// changeEveryBlock: a new text and value at every block (tiny pieces), the most the screen
// could be asked to show; otherwise as a 1 GiB split at 40 units reports.
double HostMicrosecondsPerBlock(zirared::SplittaFile& window, qint64 blocks,
                                bool changeEveryBlock) {
    zirared::WindowHost& host = window.Host();
    host.CreateProgressBar();
    const qint64 blocksPerPiece = changeEveryBlock ? 1 : 57344000 / kBlock;
    QElapsedTimer timer;
    timer.start();
    for (qint64 block = 0; block < blocks; ++block) {
        const qint64 piece = block / blocksPerPiece + 1;
        host.SetSplitStatus("File n° " + std::to_string(piece) + "  di  19  in scrittura");
        host.SetProgress(
            static_cast<std::int16_t>(changeEveryBlock ? block % 101 : block * 100 / blocks));
        host.ProcessPendingEvents();
    }
    const double microseconds = static_cast<double>(timer.nsecsElapsed()) / 1000.0 / blocks;
    host.RemoveProgressBar();
    return microseconds;
}

double BareEventPassMicroseconds(qint64 passes) {
    QElapsedTimer timer;
    timer.start();
    for (qint64 i = 0; i < passes; ++i) {
        QCoreApplication::processEvents();
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1000.0 / passes;
}

bool WriteSource(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (qint64 written = 0; written < bytes; written += chunk.size()) {
        generator.fillRange(reinterpret_cast<quint32*>(chunk.data()), chunk.size() / 4);
        // The magic must not open the source, or the split would refuse it.
        chunk[0] = 'x';
        if (file.write(chunk.constData(), std::min<qint64>(chunk.size(), bytes - written)) < 0) {
            return false;
        }
    }
    return true;
}

void RemovePieces(const QString& source) {
    const QFileInfo info(source);
    QDir dir = info.dir();
    const QString stem = info.fileName().left(info.fileName().size() - 3);
    for (const QString& name :
         dir.entryList({stem + QStringLiteral("[0-9][0-9][0-9]")}, QDir::Files)) {
        dir.remove(name);
    }
}

double SecondsOf(const std::function<void()>& run) {
    QElapsedTimer timer;
    timer.start();
    run();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Wall time and processor time of one run: the difference is time spent waiting (for the X
// server, or for a processor on a busy machine). Each wait of the process's own (a reply of
// the X server) is a voluntary switch, and on a busy machine it may cost a whole time slice.
struct RunTimes {
    double wall = 0.0;
    double processor = 0.0;
    double waits = 0.0;
    double threadWaits = 0.0;  // of the thread that copies (the window's only)
};

RunTimes Usage(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return {0.0, seconds(usage.ru_utime) + seconds(usage.ru_stime),
            static_cast<double>(usage.ru_nvcsw)};
}

RunTimes Measure(int who, const std::function<void()>& run) {
    const RunTimes before = Usage(who);
    const RunTimes threadBefore = Usage(RUSAGE_THREAD);
    const double wall = SecondsOf(run);
    const RunTimes after = Usage(who);
    const RunTimes threadAfter = Usage(RUSAGE_THREAD);
    return {wall, after.processor - before.processor, after.waits - before.waits,
            threadAfter.waits - threadBefore.waits};
}

RunTimes RunCli(const QString& cli, const QStringList& arguments) {
    return Measure(RUSAGE_CHILDREN, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(cli, arguments);
        process.waitForFinished(-1);
    });
}

RunTimes RunWindow(const std::function<void()>& run) {
    return Measure(RUSAGE_SELF, run);
}

// Rounds alternate between the two, so that both see the same moments of a shared machine;
// `between` puts the folder back as each run found it.
void Compare(const char* what, qint64 mebibytes, int rounds, const std::function<RunTimes()>& cli,
             const std::function<RunTimes()>& window, const std::function<void()>& between) {
    std::vector<double> windowSeconds;
    std::vector<double> cliSeconds;
    std::vector<double> windowProcessor;
    std::vector<double> cliProcessor;
    std::vector<double> windowWaits;
    std::vector<double> cliWaits;
    std::vector<double> windowThreadWaits;
    for (int round = 0; round < rounds; ++round) {
        const RunTimes cliRun = cli();
        cliSeconds.push_back(cliRun.wall);
        cliProcessor.push_back(cliRun.processor);
        cliWaits.push_back(cliRun.waits);
        between();
        const RunTimes windowRun = window();
        windowSeconds.push_back(windowRun.wall);
        windowProcessor.push_back(windowRun.processor);
        windowWaits.push_back(windowRun.waits);
        windowThreadWaits.push_back(windowRun.threadWaits);
        between();
    }
    auto spread = [](const std::vector<double>& values) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        return QString::asprintf("%.3f-%.3f s", *low, *high);
    };
    std::printf("%s of %lld MiB, %d rounds:\n", what, mebibytes, rounds);
    std::printf(
        "  through the window:   median %.3f s, spread %s, processor %.3f s, waits %.0f (%.0f "
        "in the copying thread)\n",
        Median(windowSeconds), qPrintable(spread(windowSeconds)), Median(windowProcessor),
        Median(windowWaits), Median(windowThreadWaits));
    std::printf("  through zirared-cli:  median %.3f s, spread %s, processor %.3f s, waits %.0f\n",
                Median(cliSeconds), qPrintable(spread(cliSeconds)), Median(cliProcessor),
                Median(cliWaits));
    std::printf("  ratio window / cli:   median %.2f, best %.2f (target <= %.2f)\n",
                Median(windowSeconds) / Median(cliSeconds),
                *std::min_element(windowSeconds.begin(), windowSeconds.end()) /
                    *std::min_element(cliSeconds.begin(), cliSeconds.end()),
                kWindowTargetRatio);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    auto option = [&](const QString& name, const QString& fallback) {
        const auto at = arguments.indexOf(name);
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
    };
    const QString cli = option(QStringLiteral("--cli"), QString());
    const QString directory = option(QStringLiteral("--dir"), QStringLiteral("/dev/shm"));
    const qint64 mebibytes = option(QStringLiteral("--mib"), QStringLiteral("1024")).toLongLong();
    const int rounds = std::max(1, option(QStringLiteral("--rounds"), QStringLiteral("5")).toInt());
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));

    SilentDialogs dialogs;
    zirared::SplittaFile window(dialogs);
    window.show();
    QCoreApplication::processEvents();

    const qint64 blocks = mebibytes * 1024 * 1024 / kBlock;
    const double bare = BareEventPassMicroseconds(blocks);
    const double host = HostMicrosecondsPerBlock(window, blocks, false);
    const double busiest = HostMicrosecondsPerBlock(window, std::min<qint64>(blocks, 20000), true);
    std::printf("host per block (status + progress + event pass): %.2f us\n", host);
    std::printf("same, a new text and value at every block:      %.2f us\n", busiest);
    std::printf("bare event pass, same run:                      %.2f us\n", bare);
    std::printf("ratio host / bare event pass:                   %.2f\n", host / bare);
    std::printf("ratio host / %.1f us target:                     %.2f (target <= 1.00)\n",
                kHostTargetMicroseconds, host / kHostTargetMicroseconds);

    if (cli.isEmpty() || !QFileInfo(cli).isExecutable()) {
        std::printf("split comparison skipped: give --cli PATH/zirared-cli\n");
        return 0;
    }
    const QString source = QDir(directory).filePath(QStringLiteral("zirared_bench_source.bin"));
    if (!WriteSource(source, mebibytes * 1024 * 1024)) {
        std::printf("split comparison skipped: cannot write %s\n", qPrintable(source));
        return 0;
    }
    window.design().HScroll1->setValue(40);
    const QStringList splitArguments = {QStringLiteral("split"), QStringLiteral("--size"),
                                        QStringLiteral("40"), QStringLiteral("--yes"), source};
    // Question to completion message, as the user sees it (the boxes answer at once).
    Compare(
        "split", mebibytes, rounds, [&] { return RunCli(cli, splitArguments); },
        [&] {
            dialogs.SetPath(source);
            return RunWindow([&] { window.cmdOpen_Click(0); });
        },
        [&] { RemovePieces(source); });

    // The join rebuilds the source from one set of pieces, which it keeps.
    RunCli(cli, splitArguments);
    QFile::remove(source);
    const QString firstPiece = source.left(source.size() - 3) + QStringLiteral("000");
    Compare(
        "join", mebibytes, rounds,
        [&] {
            return RunCli(cli, {QStringLiteral("join"), QStringLiteral("--yes"), firstPiece});
        },
        [&] {
            dialogs.SetPath(firstPiece);
            return RunWindow([&] { window.cmdOpen_Click(1); });
        },
        [&] { QFile::remove(source); });
    RemovePieces(source);
    return 0;
}
