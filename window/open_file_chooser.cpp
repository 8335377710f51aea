#include "open_file_chooser.h"

#include <QFileInfo>
#include <QStringList>

namespace zirared {

QString ResolveDefaultExtension(const QString& typedPath, const QString& defaultExtension) {
    const QFileInfo typed(typedPath);
    if (typed.exists() || defaultExtension.isEmpty() || typed.fileName().contains(u'.')) {
        return typedPath;
    }
    const QString extended = typedPath + u'.' + defaultExtension;
    return QFileInfo::exists(extended) ? extended : typedPath;
}

OpenFileChooser::OpenFileChooser(QWidget* owner, const OpenFileRequest& request)
    : QFileDialog(owner, request.title, request.initialDirectory),
      m_defaultExtension(request.defaultExtension) {
    setObjectName(QStringLiteral("OpenFileChooser"));
    // The desktop's own dialog where the platform theme offers one (a portal under GNOME, KDE
    // or a sandbox), Qt's otherwise. Qt's keeps "caption (pattern)" apart and shows only the
    // caption.
    setOptions(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setNameFilter(request.filterCaption + QStringLiteral(" (") + request.filterPattern + u')');
    // No setDefaultSuffix: Qt would append it to every name without a dot and so hide
    // existing files without extension. accept() applies the extension only as a fallback.
    if (!request.initialFileName.isEmpty()) {
        selectFile(request.initialFileName);
    }
}

QString OpenFileChooser::chosenPath() const {
    if (result() != QDialog::Accepted) {
        return {};
    }
    if (!m_completedPath.isEmpty()) {
        return m_completedPath;
    }
    const QStringList files = selectedFiles();
    return files.size() == 1 ? files.front() : QString();
}

void OpenFileChooser::accept() {
    m_completedPath.clear();
    const QStringList files = selectedFiles();
    if (files.size() == 1) {
        const QString resolved = ResolveDefaultExtension(files.front(), m_defaultExtension);
        if (resolved != files.front()) {
            // selectFile() would not reach the name field while it has the focus, that is
            // whenever the user typed the name: Qt's dialog would then refuse the typed one.
            m_completedPath = resolved;
            QDialog::accept();
            return;
        }
    }
    QFileDialog::accept();
}

}  // namespace zirared
