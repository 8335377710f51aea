#include "dialogs.h"
#include "qt_dialogs.h"

namespace zirared {

std::unique_ptr<Dialogs> CreateDialogs() {
    return std::make_unique<QtDialogs>();
}

}  // namespace zirared
