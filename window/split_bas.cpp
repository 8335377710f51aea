#include "split_bas.h"

#include <QApplication>
#include <QFile>
#include <QLockFile>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "arriving_files.h"
#include "dialogs.h"
#include "display_check.h"
#include "ending_signals.h"
#include "hand_over.h"
#include "piece_probe.h"
#include "private_folder.h"
#include "qt_translations.h"
#include "shown_name.h"
#include "single_instance.h"
#include "splitta_file.h"
#include "svg_pixmap.h"
#include "version.h"
#include "window_arguments.h"

namespace zirared::SplitBas {

namespace {

// A second start waits no longer than this for the running copy's answer.
constexpr std::chrono::milliseconds kHandOverLimit{2000};

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

// Messages on the terminal, where no window can show them.
class TerminalDialogs final : public Dialogs {
public:
    Answer ShowMessage(QWidget* /*owner*/, const QString& text, MessageKind /*kind*/) override {
        Print(stderr, QStringLiteral("zirared: ") + text + u'\n');
        return Answer::No;
    }
    QString ChooseFileToOpen(QWidget* /*owner*/, const OpenFileRequest& /*request*/) override {
        return {};
    }
};

void BringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

// A copy is running already: it gets the file, or comes to the front and the user learns that
// it runs. Only a file it took ends with status 0.
int SecondStart(Dialogs& dialogs, const QString& privateFolder, const QByteArray& fileToOpen) {
    const QString running =
        QString::fromUtf8(kProgramName) + QStringLiteral(" è già in esecuzione");
    const HandOverResult result =
        HandOverFile(HandOverSocketPath(privateFolder), fileToOpen, kHandOverLimit);
    if (fileToOpen.isEmpty()) {
        dialogs.ShowMessage(nullptr, running, MessageKind::Information);
        return 0;
    }
    switch (result.outcome) {
        case HandOverOutcome::Accepted:
            return 0;
        case HandOverOutcome::Refused:
            // The running window shows why; whoever started this copy reads it here.
            Print(stderr, QStringLiteral("zirared: ") + result.refusal + u'\n');
            return 1;
        case HandOverOutcome::NoAnswer:
            break;
    }
    dialogs.ShowMessage(nullptr,
                        running + QStringLiteral(" e non ha ricevuto il file ") +
                            QString::fromStdString(ShownName(fileToOpen.toStdString())),
                        MessageKind::Warning);
    return 1;
}

// The socket needs no display: a file still reaches the user's running window.
int StartWithoutDisplay(const WindowArguments& arguments, const QString& noDisplay) {
    if (arguments.command == WindowCommand::Open) {
        const QString privateFolder = UserPrivateFolder();
        if (!TryLockSingleInstance(privateFolder)) {
            TerminalDialogs terminal;
            return SecondStart(terminal, privateFolder, AbsoluteName(arguments.path));
        }
    }
    Print(stderr, noDisplay);
    return 1;
}

}  // namespace

int Main(int argc, char* argv[], DialogsFactory createDialogs) {
    // Answered before QApplication exists, which would need a display.
    const QByteArrayList commandLine = ArgumentsOf(argc, argv);
    const WindowArguments early = ParseWindowArguments(commandLine);
    if (early.command == WindowCommand::Help) {
        Print(stdout, WindowHelpText());
        return 0;
    }
    if (early.command == WindowCommand::Version) {
        Print(stdout, WindowVersionText());
        return 0;
    }
    const QByteArray earlyFile = early.command == WindowCommand::Open ? early.path : QByteArray();
    const QString noDisplay =
        NoDisplayText(earlyFile, !earlyFile.isEmpty() && StartsLikeAPiece(earlyFile));
    if (DisplayMissing(commandLine, ProcessDisplayEnvironment())) {
        return StartWithoutDisplay(early, noDisplay);
    }

    auto displayGuard = std::make_unique<DisplayFailureGuard>(noDisplay);
    QApplication application(argc, argv);
    displayGuard.reset();
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
    // Lets the desktop match the window to its menu entry (the Wayland app id).
    QApplication::setDesktopFileName(QStringLiteral(ZIRARED_APP_ID));
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
        window.show();
        ArrivingFiles arriving(window, *dialogs);
        // Without a folder private to the user the program runs alone, as before.
        HandOverServer handOver([&window, &arriving](const QByteArray& path) {
            BringToFront(window);
            return path.isEmpty() ? QString() : arriving.Offer(path);
        });
        handOver.Listen(HandOverSocketPath(privateFolder));
        if (!fileToOpen.isEmpty()) {
            arriving.Offer(fileToOpen);
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
