#include "qt_dialogs.h"

#include <QMessageBox>

#include "open_file_chooser.h"
#include "version.h"

namespace zirared {

namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Question:
            return QMessageBox::Question;
        case MessageKind::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Answer QtDialogs::ShowMessage(QWidget* owner, const QString& text, MessageKind kind) {
    const bool question = kind == MessageKind::Question;
    QMessageBox box(IconOf(kind), QString::fromUtf8(kProgramName), text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    // Paths in messages may contain '<' or '&': never let Qt guess rich text.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(question ? QMessageBox::Yes : QMessageBox::Ok);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::ChooseFileToOpen(QWidget* owner, const OpenFileRequest& request) {
    OpenFileChooser chooser(owner, request);
    chooser.exec();
    return chooser.chosenPath();
}

}  // namespace zirared
