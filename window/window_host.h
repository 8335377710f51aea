#pragma once

#include <QTimer>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "operation_services.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QShortcut;
class QString;
class QWidget;

namespace zirared {

class Dialogs;
class OperationFlags;
class WindowProgressBar;

// The window's controls that the host drives, all children of `window`.
struct HostControls {
    QWidget* window = nullptr;  // parent of the messages
    QLabel* splitStatus = nullptr;
    QLabel* assembleStatus = nullptr;
    QPushButton* assembleOpen = nullptr;
    QCheckBox* deletePieces = nullptr;
    // Shown while idle: the split chooser and an enabled size slider; while busy: Stop and
    // its Escape key.
    QPushButton* splitOpen = nullptr;
    QScrollBar* sizeSlider = nullptr;
    QPushButton* stop = nullptr;
    QShortcut* escape = nullptr;
    WindowProgressBar* bar = nullptr;
};

// An engine text as Qt shows it: the engine breaks lines with CR LF, Qt with LF.
QString FromEngineText(const std::string& text);

// True: idle (split chooser shown, slider enabled, Stop hidden); False: busy. The focus on
// either button passes to the other.
void EnableControls(const HostControls& controls, bool enabled);

// Shows `text` at once, but repaints the label only when its text really changes.
void SetStatusText(QLabel& label, const QString& text);

// The services the piece engine asks of its host, supplied by the window's controls.
// The engine reports its status text and bar value for every block; the screen shows at most
// one new state per frame (ten a second), always the latest block's, and everything reported
// is on screen before a message, a change of busy state or the end of the bar.
class WindowHost final : public OperationServices {
public:
    WindowHost(Dialogs& dialogs, OperationFlags& flags, const HostControls& controls);

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

    Dialogs& m_dialogs;
    OperationFlags& m_flags;
    HostControls m_controls;
    // The engine sends the same status text for every block of a piece.
    std::string m_splitStatus;
    std::string m_assembleStatus;
    bool m_splitStatusPending = false;
    bool m_assembleStatusPending = false;
    std::optional<std::int16_t> m_pendingProgress;
    std::chrono::steady_clock::time_point m_lastFrame{};
    // Shows what the last blocks reported when no further block comes within the frame.
    QTimer m_frameTimer;
    std::chrono::steady_clock::time_point m_lastEventPass{};
};

}  // namespace zirared
