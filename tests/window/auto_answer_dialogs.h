#pragma once

#include "dialogs.h"

namespace zirared {

// Answers without showing anything, for zirared_test_window, the window as tests run it:
// messages go to standard error and take their default button, file dialogs are cancelled.
class AutoAnswerDialogs final : public Dialogs {
public:
    Answer ShowMessage(QWidget* owner, const QString& text, MessageKind kind) override;
    QString ChooseFileToOpen(QWidget* owner, const OpenFileRequest& request) override;
};

}  // namespace zirared
