#include "operation_run.h"

#include <new>

#include "file_error.h"
#include "message_text.h"

namespace zirared {

Outcome OperationRun::Run() {
    try {
        return Body();
    } catch (const FileError& error) {
        return Trap(error.Number(), error.Description());
    } catch (const std::bad_alloc&) {
        return Trap(kOutOfMemoryNumber, DescribeSystemError(kOutOfMemoryNumber));
    }
}

Outcome OperationRun::Refuse(const std::string& text) {
    m_host.ShowMessage(text, MessageKind::Warning);
    return Outcome::Refused;
}

Outcome OperationRun::Trap(int number, const std::string& description) {
    TakeBack();
    m_host.ShowMessage(FailureText(description, number), MessageKind::Warning);
    GiveControlsBack();
    return Outcome::Failed;
}

}  // namespace zirared
