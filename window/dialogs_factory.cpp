#include <QtGlobal>

#include "auto_answer_dialogs.h"
#include "dialogs.h"
#include "qt_dialogs.h"

namespace zirared {

std::unique_ptr<Dialogs> CreateDialogs() {
    if (qEnvironmentVariableIsSet("ZIRARED_DIALOGS_AUTO_ANSWER")) {
        return std::make_unique<AutoAnswerDialogs>();
    }
    return std::make_unique<QtDialogs>();
}

}  // namespace zirared
