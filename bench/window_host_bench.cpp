// Cost of the window host per copied block, and a 1 GiB split through the window host
// against the same split through zirared-cli. Prints figures and ratios; never fails.
//
//   zirared_window_bench --cli PATH/zirared-cli [--dir /dev/shm] [--mib 1024] [--rounds 5]
//
// Run it under a real display server (bench/window_bench.sh uses Xvfb and the xcb platform):
// the offscreen platform draws into memory and hides what painting costs on a screen.

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
constexpr double kSplitTargetRatio = 1.15;

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
    dialogs.SetPath(source);
    // Alternated, so that both see the same moments of a shared machine.
    std::vector<double> windowSeconds;
    std::vector<double> cliSeconds;
    for (int round = 0; round < rounds; ++round) {
        cliSeconds.push_back(SecondsOf([&] {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            process.setStandardErrorFile(QProcess::nullDevice());
            process.start(cli, {QStringLiteral("split"), QStringLiteral("--size"),
                                QStringLiteral("40"), QStringLiteral("--yes"), source});
            process.waitForFinished(-1);
        }));
        RemovePieces(source);
        // Question to completion message, as the user sees it (the boxes answer at once).
        windowSeconds.push_back(SecondsOf([&] { window.cmdOpen_Click(0); }));
        RemovePieces(source);
    }
    QFile::remove(source);
    const double bestWindow = *std::min_element(windowSeconds.begin(), windowSeconds.end());
    const double bestCli = *std::min_element(cliSeconds.begin(), cliSeconds.end());
    std::printf(
        "split of %lld MiB through the window host: best %.3f s, median %.3f s (%d rounds)\n",
        mebibytes, bestWindow, Median(windowSeconds), rounds);
    std::printf("same split through zirared-cli --yes:      best %.3f s, median %.3f s\n", bestCli,
                Median(cliSeconds));
    std::printf("ratio window / cli, best:                  %.2f (target <= %.2f)\n",
                bestWindow / bestCli, kSplitTargetRatio);
    std::printf("ratio window / cli, median:                %.2f\n",
                Median(windowSeconds) / Median(cliSeconds));
    return 0;
}
