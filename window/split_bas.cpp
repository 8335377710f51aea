#include "split_bas.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QStringList>
#include <QTranslator>
#include <memory>

#include "dialogs.h"
#include "single_instance.h"
#include "splitta_file.h"
#include "svg_pixmap.h"
#include "version.h"

namespace zirared::SplitBas {

int Main(int argc, char* argv[]) {
    QApplication application(argc, argv);
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
        dialogs->ShowMessage(
            nullptr, QString::fromUtf8(kProgramName) + QStringLiteral(" è già in esecuzione"),
            MessageKind::Information);
        return 0;
    }

    SplittaFile window(*dialogs);
    window.show();
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
