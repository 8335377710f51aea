#pragma once

#include <cstdint>
#include <string>

namespace zirared {

// Every message is modal and titled "Zirared"; texts are UTF-8 with CR LF line breaks.
enum class MessageKind { Warning, Information, Question, Error };

enum class Answer { Yes, No };

// The seam between the piece engine and its host. The engine runs one operation
// synchronously and reaches the user only through these calls; the host owns every
// piece of state that outlives the operation (labels, bar, stop flag, delete choice).
class OperationServices {
public:
    virtual ~OperationServices() = default;

    // Returns only when the user has answered; the answer matters for questions only.
    virtual Answer ShowMessage(const std::string& text, MessageKind kind) = 0;

    virtual void SetSplitStatus(const std::string& text) = 0;
    virtual void SetAssembleStatus(const std::string& text) = 0;

    // Busy: split chooser hidden, size slider disabled, Stop shown; idle: the reverse.
    virtual void SetBusy(bool busy) = 0;
    // The assemble chooser and the delete check box follow the argument.
    virtual void EnableAssembleControls(bool enabled) = 0;
    // True when the "delete pieces" check box is ticked now.
    virtual bool DeleteChoice() = 0;

    // Creates the bar (empty, range 0..100) and records whether that worked.
    virtual void CreateProgressBar() = 0;
    virtual bool ProgressBarCreated() = 0;
    // Below 0 shows empty, above 100 full; shown at once.
    virtual void SetProgress(std::int16_t value) = 0;
    // Called only while ProgressBarCreated() is true.
    virtual void RemoveProgressBar() = 0;

    // Runs the events already queued; other handlers of the host may run here. Called once
    // per block: a host may skip a pass that comes within a millisecond of its last one.
    virtual void ProcessPendingEvents() = 0;

    virtual void ClearStopFlag() = 0;
    virtual bool StopRequested() = 0;

    // True when the host is ending the process (a terminal host receiving SIGTERM, say): the
    // operation under way gives up at its next block and leaves the folder as it found it.
    virtual bool EndRequested() { return false; }
};

// Asks a question of the user. Once the host is ending the process the answer is No, whether
// the end came before the question or while it was shown: an ending signal must never turn
// into a Yes (from a host that answers every question Yes on its own, say).
inline Answer Ask(OperationServices& host, const std::string& question) {
    if (host.EndRequested()) {
        return Answer::No;
    }
    const Answer answer = host.ShowMessage(question, MessageKind::Question);
    return host.EndRequested() ? Answer::No : answer;
}

}  // namespace zirared
