#pragma once

#include <QFileDialog>
#include <QString>

#include "dialogs.h"

namespace zirared {

// The name the user typed, or that name with the default extension appended when only
// the latter exists. A file that exists as typed always wins, so an existing file
// without extension can be chosen whatever the default extension is.
QString ResolveDefaultExtension(const QString& typedPath, const QString& defaultExtension);

// The open-file dialog, configured from a request: the platform's native one where there is
// one, Qt's own otherwise (whose filter list shows the request's caption exactly); one
// existing file only.
class OpenFileChooser final : public QFileDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OpenFileChooser)

public:
    OpenFileChooser(QWidget* owner, const OpenFileRequest& request);

    // The chosen path, or an empty string after a cancel.
    QString chosenPath() const;

protected:
    void accept() override;

private:
    QString m_defaultExtension;
    QString m_completedPath;  // the typed name with the default extension, when accepted so
};

}  // namespace zirared
