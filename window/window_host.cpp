#include "window_host.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>

#include "dialogs.h"
#include "message_text.h"
#include "operation_flags.h"
#include "progress_bar.h"

namespace zirared {

QString FromEngineText(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1String(kLineBreak), QStringLiteral("\n"));
}

namespace {

// A pass over the event queue costs a few microseconds, as much as copying a whole block;
// one pass a millisecond keeps the window just as responsive at a fraction of the cost.
constexpr std::chrono::milliseconds kEventPassInterval{1};

// Drawing a label or the bar costs far more than a block under a real display server: each
// picture ends in a round trip to the server, which the copy waits for, and on a busy machine
// that wait can last a time slice. Ten pictures a second keep the bar and the status line
// moving for the eye at a small fraction of that cost.
constexpr std::chrono::milliseconds kFrameInterval{100};

}  // namespace

void EnableControls(const HostControls& controls, bool enabled) {
    // The two buttons share one place: the focus goes from the one leaving to the one coming,
    // rather than on to the next control (the tab strip, the slider being disabled).
    QPushButton* leaving = enabled ? controls.stop : controls.splitOpen;
    QPushButton* coming = enabled ? controls.splitOpen : controls.stop;
    if (leaving->hasFocus()) {
        coming->show();
        coming->setFocus(Qt::OtherFocusReason);
    }
    controls.splitOpen->setVisible(enabled);
    controls.sizeSlider->setEnabled(enabled);
    controls.stop->setVisible(!enabled);
    controls.escape->setEnabled(!enabled);
}

void SetStatusText(QLabel& label, const QString& text) {
    if (label.text() != text) {
        label.setText(text);
        label.repaint();
    }
}

WindowHost::WindowHost(Dialogs& dialogs, OperationFlags& flags, const HostControls& controls)
    : m_dialogs(dialogs), m_flags(flags), m_controls(controls) {
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_frameTimer, &QTimer::timeout, [this] { ShowLatest(); });
}

Answer WindowHost::ShowMessage(const std::string& text, MessageKind kind) {
    if (m_flags.EndRequested()) {
        return Answer::No;  // a process being ended must not wait for anyone
    }
    ShowLatest();
    m_flags.SetMessageOpen(true);
    const Answer answer = m_dialogs.ShowMessage(m_controls.window, FromEngineText(text), kind);
    m_flags.SetMessageOpen(false);
    return answer;
}

void WindowHost::SetSplitStatus(const std::string& text) {
    // The label may have been cleared by the window since, so the text alone is not enough.
    if (text != m_splitStatus || m_controls.splitStatus->text().isEmpty()) {
        m_splitStatus = text;
        m_splitStatusPending = true;
        ShowWhenFrameDue();
    }
}

void WindowHost::SetAssembleStatus(const std::string& text) {
    if (text != m_assembleStatus || m_controls.assembleStatus->text().isEmpty()) {
        m_assembleStatus = text;
        m_assembleStatusPending = true;
        ShowWhenFrameDue();
    }
}

void WindowHost::SetBusy(bool busy) {
    ShowLatest();
    zirared::EnableControls(m_controls, !busy);
}

void WindowHost::EnableAssembleControls(bool enabled) {
    ShowLatest();
    m_controls.assembleOpen->setEnabled(enabled);
    m_controls.deletePieces->setEnabled(enabled);
}

bool WindowHost::DeleteChoice() {
    return m_controls.deletePieces->isChecked();
}

void WindowHost::CreateProgressBar() {
    // Every copy lets events through and shows its state at its first block.
    m_lastEventPass = {};
    m_lastFrame = {};
    m_controls.bar->Create();
}

bool WindowHost::ProgressBarCreated() {
    return m_controls.bar->Created();
}

void WindowHost::SetProgress(std::int16_t value) {
    m_pendingProgress = value;
    ShowWhenFrameDue();
}

void WindowHost::RemoveProgressBar() {
    ShowLatest();
    m_controls.bar->Destroy();
}

void WindowHost::ShowWhenFrameDue() {
    const auto elapsed = std::chrono::steady_clock::now() - m_lastFrame;
    if (elapsed >= kFrameInterval) {
        ShowLatest();
    } else if (!m_frameTimer.isActive()) {
        m_frameTimer.start(std::chrono::ceil<std::chrono::milliseconds>(kFrameInterval - elapsed));
    }
}

void WindowHost::ShowLatest() {
    m_frameTimer.stop();
    m_lastFrame = std::chrono::steady_clock::now();
    if (m_splitStatusPending) {
        m_splitStatusPending = false;
        SetStatusText(*m_controls.splitStatus, FromEngineText(m_splitStatus));
    }
    if (m_assembleStatusPending) {
        m_assembleStatusPending = false;
        SetStatusText(*m_controls.assembleStatus, FromEngineText(m_assembleStatus));
    }
    if (m_pendingProgress) {
        const std::int16_t value = *m_pendingProgress;
        m_pendingProgress.reset();
        m_controls.bar->Value(value);
    }
}

void WindowHost::ProcessPendingEvents() {
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastEventPass < kEventPassInterval) {
        return;
    }
    QCoreApplication::processEvents();
    m_lastEventPass = std::chrono::steady_clock::now();
}

void WindowHost::ClearStopFlag() {
    m_flags.ClearStop();
}

bool WindowHost::StopRequested() {
    return m_flags.StopRequested();
}

bool WindowHost::EndRequested() {
    return m_flags.EndRequested();
}

}  // namespace zirared
