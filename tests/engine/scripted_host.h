#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "operation_services.h"

namespace zirared::test {

enum class CallKind {
    Message,
    SplitStatus,
    AssembleStatus,
    Busy,
    EnableAssemble,
    CreateBar,
    RemoveBar,
    Progress,
    EventPass,
    ClearStop,
};

struct HostCall {
    CallKind kind;
    std::string text;  // message or status text
    MessageKind messageKind = MessageKind::Warning;
    int value = 0;  // busy / enabled as 0 or 1, or the progress value
};

// A host that records every service call and plays a script: answers to questions come from
// a queue, and actions (a Stop click, a file changed behind the engine's back) run at chosen
// event passes.
class ScriptedHost final : public OperationServices {
public:
    void QueueAnswer(Answer answer) { m_answers.push_back(answer); }
    void SetDeleteChoice(bool ticked) { m_deleteChoice = ticked; }
    void SetStopFlag(bool requested) { m_stopRequested = requested; }
    void RequestStopAtEventPass(int pass);
    void AtEventPass(int pass, std::function<void()> action);
    // Runs action as every message is shown, before it is answered (what the user sees then).
    void AtEveryMessage(std::function<void()> action) { m_messageAction = std::move(action); }
    // Sets the end flag (the stop flag when !end) once moment(the last message shown) holds,
    // asked as either flag is read and as a message is shown: a signal arriving at a moment the
    // test picks by what stands on disk or is shown then. Replaces AtEveryMessage's action.
    void SignalWhen(std::function<bool(const std::string& shown)> moment, bool end);

    const std::vector<HostCall>& Calls() const { return m_calls; }
    std::vector<int> ProgressValues() const;
    int CountOf(CallKind kind) const;
    // The calls without the per-block ones (progress values, event passes) and with repeats
    // of the same status text collapsed, one "kind|text" line each.
    std::vector<std::string> Outline() const;
    // Questions asked beyond the queued answers (answered No).
    int UnexpectedQuestions() const { return m_unexpectedQuestions; }

    Answer ShowMessage(const std::string& text, MessageKind kind) override;
    void SetSplitStatus(const std::string& text) override;
    void SetAssembleStatus(const std::string& text) override;
    void SetBusy(bool busy) override;
    void EnableAssembleControls(bool enabled) override;
    bool DeleteChoice() override { return m_deleteChoice; }
    void CreateProgressBar() override;
    bool ProgressBarCreated() override { return m_barExists; }
    void SetProgress(std::int16_t value) override;
    void RemoveProgressBar() override;
    void ProcessPendingEvents() override;
    void ClearStopFlag() override;
    bool StopRequested() override { return FlagRead(m_stopRequested); }
    bool EndRequested() override { return FlagRead(m_endRequested); }

private:
    bool FlagRead(const bool& flag) {
        if (m_flagAction) {
            m_flagAction();
        }
        return flag;
    }

    std::vector<HostCall> m_calls;
    std::deque<Answer> m_answers;
    std::map<int, std::vector<std::function<void()>>> m_actions;
    std::function<void()> m_messageAction;
    std::function<void()> m_flagAction;
    bool m_deleteChoice = false;
    bool m_stopRequested = false;
    bool m_endRequested = false;
    bool m_barExists = false;
    int m_eventPasses = 0;
    int m_unexpectedQuestions = 0;
};

}  // namespace zirared::test
