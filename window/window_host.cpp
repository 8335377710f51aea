#include "window_host.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "dialogs.h"
#include "progress_bar.h"
#include "splitta_file.h"

namespace zirared {

namespace {

// Engine texts break lines with CR LF; Qt shows a line break as LF.
QString FromEngineText(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A pass over the event queue costs a few microseconds, as much as copying a whole block;
// one pass a millisecond keeps the window just as responsive at a fraction of the cost.
constexpr std::chrono::milliseconds kEventPassInterval{1};

}  // namespace

WindowHost::WindowHost(SplittaFile& window) : m_window(window) {}

Answer WindowHost::ShowMessage(const std::string& text, MessageKind kind) {
    return m_window.m_dialogs.ShowMessage(&m_window, FromEngineText(text), kind);
}

void WindowHost::SetSplitStatus(const std::string& text) {
    // The label may have been cleared by the window since, so the text alone is not enough.
    if (text != m_splitStatus || m_window.m_design.lblWorkProgress->text().isEmpty()) {
        m_splitStatus = text;
        SplittaFile::SetStatusText(m_window.m_design.lblWorkProgress, FromEngineText(text));
    }
}

void WindowHost::SetAssembleStatus(const std::string& text) {
    if (text != m_assembleStatus || m_window.m_design.lblWorkProgress1->text().isEmpty()) {
        m_assembleStatus = text;
        SplittaFile::SetStatusText(m_window.m_design.lblWorkProgress1, FromEngineText(text));
    }
}

void WindowHost::SetBusy(bool busy) {
    m_window.EnableControls(!busy);
}

void WindowHost::EnableAssembleControls(bool enabled) {
    m_window.m_design.cmdOpen[1]->setEnabled(enabled);
    m_window.m_design.chkKillFile->setEnabled(enabled);
}

bool WindowHost::DeleteChoice() {
    return m_window.m_design.chkKillFile->isChecked();
}

void WindowHost::CreateProgressBar() {
    m_lastEventPass = {};  // every copy lets events through at its first block
    m_window.CreateProgressBar();
}

bool WindowHost::ProgressBarCreated() {
    return m_window.ProgBarCreated();
}

void WindowHost::SetProgress(std::int16_t value) {
    m_window.ProgBar().Value(value);
}

void WindowHost::RemoveProgressBar() {
    m_window.ProgBar().Destroy();
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
    // A close asked for before the copy began still stops the split.
    m_window.m_stopRequested = m_window.m_closeRequested;
}

bool WindowHost::StopRequested() {
    return m_window.m_stopRequested;
}

}  // namespace zirared
