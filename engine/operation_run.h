#pragma once

#include <string>

#include "operation_outcome.h"
#include "operation_services.h"

namespace zirared {

// The frame the split and the join share. A file failure or exhausted memory anywhere in the
// body ends the run Failed: what the run wrote goes first (a process ended while the message
// is shown must not leave a partial file behind), then the message with the error's number,
// then the controls come back. A refusal is a warning, before anything is written. A stream
// that takes no more bytes (OutputLost) ends it Failed too, cleaned up, without a message.
class OperationRun {
public:
    Outcome Run();

protected:
    explicit OperationRun(OperationServices& host) : m_host(host) {}
    ~OperationRun() = default;

    virtual Outcome Body() = 0;
    // Removes or drops everything the run wrote; called before the failure is reported.
    virtual void TakeBack() = 0;
    // Leaves the host's controls as they were before the run.
    virtual void GiveControlsBack() = 0;

    Outcome Refuse(const std::string& text);

    OperationServices& m_host;

private:
    Outcome Trap(int number, const std::string& description);
};

}  // namespace zirared
