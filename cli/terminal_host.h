#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include "operation_services.h"
#include "progress_line.h"

namespace zirared {

struct TerminalSettings {
    bool assumeYes = false;        // --yes: every question is answered Yes
    bool deletePieces = false;     // --delete-pieces: the ticked delete check box
    bool inputIsTerminal = false;  // questions are read only from a terminal
    // Drops keys typed before the question was shown (tcflush on the real terminal), so
    // that keys pressed during a long copy cannot answer the question that follows it.
    void (*discardTypeAhead)() = nullptr;
    bool outputIsTerminal = false;  // status and bar are drawn only on a terminal
    int columns = 80;
};

// The engine's host on a terminal: messages and questions as text on the error
// stream, status and progress redrawn in place, Ctrl-C as the split's Stop button and,
// with the other ending signals (stop_signal.h), as the end of a join that leaves nothing
// behind. A question asked after one of them is answered No, even with --yes.
class TerminalHost final : public OperationServices {
public:
    TerminalHost(const TerminalSettings& settings, std::istream& input, std::ostream& output);
    ~TerminalHost() override;

    TerminalHost(const TerminalHost&) = delete;
    TerminalHost& operator=(const TerminalHost&) = delete;

    Answer ShowMessage(const std::string& text, MessageKind kind) override;

    void SetSplitStatus(const std::string& text) override;
    void SetAssembleStatus(const std::string& text) override;

    void SetBusy(bool busy) override;
    void EnableAssembleControls(bool enabled) override;
    bool DeleteChoice() override;

    void CreateProgressBar() override;
    bool ProgressBarCreated() override;
    void SetProgress(std::int16_t value) override;
    void RemoveProgressBar() override;

    void ProcessPendingEvents() override;

    void ClearStopFlag() override;
    bool StopRequested() override;
    bool EndRequested() override;

private:
    Answer AskQuestion();

    TerminalSettings m_settings;
    std::istream& m_input;
    std::ostream& m_output;
    ProgressLine m_progress;
    bool m_progressBarCreated = false;
};

// The message as printed: "Zirared (avviso): " and the text, CR LF shown as LF and every
// other control character escaped.
std::string FormatMessage(const std::string& text, MessageKind kind);

}  // namespace zirared
