#include "operation_run.h"

#include <new>

#include "byte_streams.h"
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
    } catch (const OutputLost&) {
        // The host that gave the stream reports it; the run only cleans up.
        TakeBack();
        GiveControlsBack();
        return Outcome::Failed;
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
