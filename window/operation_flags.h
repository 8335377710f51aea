#pragma once

namespace zirared {

// What the window and the engine's host share about the operation under way: which one runs,
// and the requests to stop it, to close the window and to end the process. The window's
// handlers make the requests, the host answers the engine's questions from them; every rule
// that ties one flag to another lives here.
class OperationFlags {
public:
    enum class Activity { Idle, Choosing, Splitting, Assembling };

    Activity CurrentActivity() const { return m_activity; }
    void SetActivity(Activity activity) { m_activity = activity; }
    // True from the click on an open button (or a drop) until its operation has returned.
    bool Active() const { return m_activity != Activity::Idle; }

    // One of the operation's messages waits for the user: whatever it says, nothing is copied
    // until it closes.
    void SetMessageOpen(bool open) { m_messageOpen = open; }
    bool MessageOpen() const { return m_messageOpen; }
    // A file arriving from outside now may wait for its turn rather than be refused: nothing
    // runs, or what runs waits for the user to close one of its messages.
    bool FileMayWait() const {
        return !Active() || (m_messageOpen && m_activity != Activity::Choosing);
    }

    // The Stop button, or Escape while it is shown.
    void RequestStop() { m_stopRequested = true; }
    // The copy of a split or a join begins: a close asked for before it still stops a split.
    void ClearStop() { m_stopRequested = m_closeRequested && m_activity == Activity::Splitting; }
    bool StopRequested() const { return m_stopRequested; }

    // A close while an operation runs: the window waits for the operation, and a split stops
    // as if Stop had been clicked; an assembly runs to its end.
    void RequestClose() {
        m_closeRequested = true;
        if (m_activity == Activity::Splitting) {
            m_stopRequested = true;
        }
    }
    // The window closes for good.
    void ForgetClose() { m_closeRequested = false; }
    bool CloseRequested() const { return m_closeRequested; }

    // The process is asked to end (a signal); never taken back.
    void RequestEnd() { m_endRequested = true; }
    bool EndRequested() const { return m_endRequested; }

private:
    Activity m_activity = Activity::Idle;
    bool m_stopRequested = false;
    bool m_closeRequested = false;
    bool m_endRequested = false;
    bool m_messageOpen = false;
};

}  // namespace zirared
