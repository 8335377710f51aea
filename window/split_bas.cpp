#include "split_bas.h"

#include <QApplication>
#include <QFile>
#include <QLockFile>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "dialogs.h"
#include "ending_signals.h"
#include "hand_over.h"
#include "private_folder.h"
#include "qt_translations.h"
#include "single_instance.h"
#include "splitta_file.h"
#include "svg_pixmap.h"
#include "version.h"
#include "window_arguments.h"

namespace zirared::SplitBas {

namespace {

// How long a second start waits for the running copy to take a file.
constexpr int kHandOverTimeoutMs = 10000;

// argv's own bytes: decoding them would turn a name that is not UTF-8 into another name.
QByteArrayList ArgumentsOf(int argc, char* argv[]) {
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QByteArray(argv[i]));
    }
    return arguments;
}

// The running copy has another working folder.
QByteArray AbsoluteName(const QByteArray& path) {
    if (path.startsWith('/')) {
        return path;
    }
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? path : QByteArray::fromStdString(here.native()) + '/' + path;
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
int SecondStart(Dialogs& dialogs, const QString& privateFolder, const QByteArray& fileToOpen) {
    const QString running =
        QString::fromUtf8(kProgramName) + QStringLiteral(" è già in esecuzione");
    if (fileToOpen.isEmpty()) {
        dialogs.ShowMessage(nullptr, running, MessageKind::Information);
        return 0;
    }
    if (HandOverFile(HandOverSocketPath(privateFolder), fileToOpen, kHandOverTimeoutMs)) {
        return 0;
    }
    dialogs.ShowMessage(
        nullptr,
        running + QStringLiteral(" e non ha ricevuto il file ") + QFile::decodeName(fileToOpen),
        MessageKind::Warning);
    return 1;
}

}  // namespace

int Main(int argc, char* argv[], DialogsFactory createDialogs) {
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
    // Qt has taken its own options out of argv by now.
    const WindowArguments arguments = ParseWindowArguments(ArgumentsOf(argc, argv));
    if (arguments.command == WindowCommand::UsageError) {
        Print(stderr, QStringLiteral("zirared: ") + arguments.error + QStringLiteral("\n") +
                          WindowUsageHint());
        return 2;
    }
    const QByteArray fileToOpen =
        arguments.command == WindowCommand::Open ? AbsoluteName(arguments.path) : QByteArray();
    EnsureResourcesLoaded();
    QApplication::setWindowIcon(ProgramIcon());
    // Qt's own texts (Sì/No, the file dialog) in Italian like ours, whatever the desktop's
    // language.
    InstallItalianQtTranslations(application);
    const std::unique_ptr<Dialogs> dialogs = createDialogs();

    // The lock and the socket share one folder, so whoever holds the lock is the one that
    // listens.
    const QString privateFolder = UserPrivateFolder();
    const std::unique_ptr<QLockFile> instanceLock = TryLockSingleInstance(privateFolder);
    if (!instanceLock) {
        return SecondStart(*dialogs, privateFolder, fileToOpen);
    }

    int status = 0;
    int endingSignal = 0;
    {
        SplittaFile window(*dialogs);
        EndingSignals endingSignals;
        QObject::connect(&endingSignals, &EndingSignals::endRequested, &window,
                         [&window] { window.EndNow(); });
        // Without a folder private to the user the program runs alone, as before.
        HandOverServer handOver;
        QObject::connect(&handOver, &HandOverServer::fileRequested, &window,
                         [&window](const QByteArray& path) {
                             BringToFront(window);
                             window.OpenAsDropped(path);
                         });
        handOver.Listen(HandOverSocketPath(privateFolder));
        window.show();
        if (!fileToOpen.isEmpty()) {
            // From the event loop, once the window is on screen, as a drop would arrive.
            QTimer::singleShot(0, &window,
                               [&window, fileToOpen] { window.OpenAsDropped(fileToOpen); });
        }
        status = QApplication::exec();
        endingSignal = endingSignals.Received();
    }  // the window, the socket and the signal actions are gone here
    if (endingSignal != 0) {
        instanceLock->unlock();
        EndBySignal(endingSignal);
    }
    return status;
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
