#pragma once

#include "dialogs.h"

namespace zirared {

// Message boxes and the open-file dialog as Qt shows them.
class QtDialogs final : public Dialogs {
public:
    Answer ShowMessage(QWidget* owner, const QString& text, MessageKind kind) override;
    QString ChooseFileToOpen(QWidget* owner, const OpenFileRequest& request) override;
};

}  // namespace zirared
