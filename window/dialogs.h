#pragma once

#include <QString>
#include <memory>

#include "operation_services.h"

class QWidget;

namespace zirared {

// What the open-file dialog is asked for: one filter entry, an existing file only.
struct OpenFileRequest {
    QString title;
    QString initialFileName;
    QString initialDirectory;
    QString filterCaption;  // what the filter list shows
    QString filterPattern;  // what the filter lets through
    QString defaultExtension;
};

// Every modal dialog of the window goes through here, so tests can script the answers
// instead of waiting on a modal loop.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal, titled with the program name; Yes is the default of a question.
    virtual Answer ShowMessage(QWidget* owner, const QString& text, MessageKind kind) = 0;
    // The chosen path, or an empty string when nothing was chosen.
    virtual QString ChooseFileToOpen(QWidget* owner, const OpenFileRequest& request) = 0;
};

// The real Qt dialogs, whatever the environment: tests bring their own through a program
// of their own, never through a switch the installed window would obey.
std::unique_ptr<Dialogs> CreateDialogs();

}  // namespace zirared
