#include "split_bas.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <memory>

#include "dialogs.h"
#include "ending_signals.h"
#include "hand_over.h"
#include "single_instance.h"
#include "splitta_file.h"
#include "svg_pixmap.h"
#include "version.h"
#include "window_arguments.h"

namespace zirared::SplitBas {

namespace {

// How long a second start waits for the running copy to take a file.
constexpr int kHandOverTimeoutMs = 10000;

QStringList ArgumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QFile::decodeName(argv[i]));
    }
    return arguments;
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
}

void BringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

// A copy is running already: it gets the file, or the user learns that it runs.
int SecondStart(Dialogs& dialogs, const QString& fileToOpen) {
    const QString running =
        QString::fromUtf8(kProgramName) + QStringLiteral(" è già in esecuzione");
    if (fileToOpen.isEmpty()) {
        dialogs.ShowMessage(nullptr, running, MessageKind::Information);
        return 0;
    }
    if (HandOverFile(HandOverSocketPath(), fileToOpen, kHandOverTimeoutMs)) {
        return 0;
    }
    dialogs.ShowMessage(nullptr,
                        running + QStringLiteral(" e non ha ricevuto il file ") + fileToOpen,
                        MessageKind::Warning);
    return 1;
}

}  // namespace

int Main(int argc, char* argv[]) {
    // Answered before QApplication exists, which would need a display.
    const WindowArguments early = ParseWindowArguments(ArgumentsOf(argc, argv));
    if (early.command == WindowCommand::Help) {
        Print(stdout, WindowHelpText());
        return 0;
    }
    if (early.command == WindowCommand::Version) {
        Print(stdout, WindowVersionText());
        return 0;
    }

    QApplication application(argc, argv);
    // Qt has taken its own options out by now.
    const WindowArguments arguments = ParseWindowArguments(QApplication::arguments().mid(1));
    if (arguments.command == WindowCommand::UsageError) {
        Print(stderr, QStringLiteral("zirared: ") + arguments.error + QStringLiteral("\n") +
                          WindowUsageHint());
        return 2;
    }
    // The running copy has another working folder.
    const QString fileToOpen = arguments.command == WindowCommand::Open
                                   ? QFileInfo(arguments.path).absoluteFilePath()
                                   : QString();
    EnsureResourcesLoaded();
    QApplication::setWindowIcon(ProgramIcon());
    // Standard buttons (Yes, No, Open ...) in the desktop's language, as the system's own
    // dialogs show them; without a translation they stay as Qt ships them.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }
    const std::unique_ptr<Dialogs> dialogs = CreateDialogs();

    const std::unique_ptr<QLockFile> instanceLock =
        TryLockSingleInstance(SingleInstanceLockDirectory());
    if (!instanceLock) {
        return SecondStart(*dialogs, fileToOpen);
    }

    SplittaFile window(*dialogs);
    EndingSignals endingSignals;
    QObject::connect(&endingSignals, &EndingSignals::endRequested, &window,
                     [&window] { window.EndNow(); });
    // Without a runtime folder private to the user the program runs alone, as before.
    HandOverServer handOver;
    QObject::connect(&handOver, &HandOverServer::fileRequested, &window,
                     [&window](const QString& path) {
                         BringToFront(window);
                         window.OpenAsDropped(path);
                     });
    handOver.Listen(HandOverSocketPath());
    window.show();
    if (!fileToOpen.isEmpty()) {
        // From the event loop, once the window is on screen, as a drop would arrive.
        QTimer::singleShot(0, &window, [&window, fileToOpen] { window.OpenAsDropped(fileToOpen); });
    }
    return QApplication::exec();
}

QString ShowOpenFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title,
                           const QString& initialFileName, const QString& filter,
                           const QString& initialDirectory, const QString& defaultExtension) {
    const QStringList filterParts = filter.split(QChar(u'\0'));
    OpenFileRequest request;
    request.title = title;
    request.initialFileName = initialFileName;
    request.initialDirectory = initialDirectory;
    request.filterCaption = filterParts.value(0);
    request.filterPattern = filterParts.value(1);
    if (request.filterPattern == QStringLiteral("*.*")) {
        request.filterPattern = QStringLiteral("*");
    }
    request.defaultExtension = defaultExtension;
    return dialogs.ChooseFileToOpen(owner, request);
}

}  // namespace zirared::SplitBas
