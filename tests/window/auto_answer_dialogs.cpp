#include "auto_answer_dialogs.h"

#include <cstdio>

#include "version.h"

namespace zirared {

namespace {

const char* KindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return "warning";
        case MessageKind::Information:
            return "information";
        case MessageKind::Question:
            return "question";
        case MessageKind::Error:
            return "error";
    }
    return "message";
}

}  // namespace

Answer AutoAnswerDialogs::ShowMessage(QWidget* /*owner*/, const QString& text, MessageKind kind) {
    std::fprintf(stderr, "%s [%s]: %s\n", kProgramName, KindName(kind), text.toUtf8().constData());
    std::fflush(stderr);
    return Answer::Yes;
}

QString AutoAnswerDialogs::ChooseFileToOpen(QWidget* /*owner*/,
                                            const OpenFileRequest& /*request*/) {
    return {};
}

}  // namespace zirared
