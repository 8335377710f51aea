#include "auto_answer_dialogs.h"

#include <cstdio>

#include "message_text.h"
#include "version.h"

namespace zirared {

Answer AutoAnswerDialogs::ShowMessage(QWidget* /*owner*/, const QString& text, MessageKind kind) {
    std::fprintf(stderr, "%s [%s]: %s\n", kProgramName, MessageKindName(kind),
                 text.toUtf8().constData());
    std::fflush(stderr);
    return Answer::Yes;
}

QString AutoAnswerDialogs::ChooseFileToOpen(QWidget* /*owner*/,
                                            const OpenFileRequest& /*request*/) {
    return {};
}

}  // namespace zirared
