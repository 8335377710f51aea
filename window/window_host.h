#pragma once

#include <chrono>
#include <string>

#include "operation_services.h"

namespace zirared {

class SplittaFile;

// The services the piece engine asks of its host, supplied by the window's controls.
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

private:
    SplittaFile& m_window;
    // The engine sends the same status text for every block of a piece.
    std::string m_splitStatus;
    std::string m_assembleStatus;
    std::chrono::steady_clock::time_point m_lastEventPass{};
};

}  // namespace zirared
