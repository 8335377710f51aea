#pragma once

#include <QTimer>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "operation_services.h"

namespace zirared {

class SplittaFile;

// The services the piece engine asks of its host, supplied by the window's controls.
// The engine reports its status text and bar value for every block; the screen shows at most
// one new state per display frame, always the latest block's, and everything reported is on
// screen before a message, a change of busy state or the end of the bar.
class WindowHost final : public OperationServices {
public:
    explicit WindowHost(SplittaFile& window);

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
    void ShowWhenFrameDue();
    void ShowLatest();

    SplittaFile& m_window;
    // The engine sends the same status text for every block of a piece.
    std::string m_splitStatus;
    std::string m_assembleStatus;
    bool m_splitStatusPending = false;
    bool m_assembleStatusPending = false;
    std::optional<std::int16_t> m_pendingProgress;
    std::chrono::steady_clock::duration m_frameInterval;
    std::chrono::steady_clock::time_point m_lastFrame{};
    // Shows what the last blocks reported when no further block comes within the frame.
    QTimer m_frameTimer;
    std::chrono::steady_clock::time_point m_lastEventPass{};
};

}  // namespace zirared
