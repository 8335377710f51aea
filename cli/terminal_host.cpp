#include "terminal_host.h"

#include <optional>

#include "message_text.h"
#include "reply_parsing.h"
#include "stop_signal.h"
#include "terminal_text.h"

namespace zirared {
namespace {

constexpr const char* kPrompt = "Rispondere s (sì) o n (no): ";

}  // namespace

std::string FormatMessage(const std::string& text, MessageKind kind) {
    return std::string("Zirared (") + MessageKindName(kind) + "): " + ForTerminal(text) + "\n";
}

TerminalHost::TerminalHost(const TerminalSettings& settings, std::istream& input,
                           std::ostream& output)
    : m_settings(settings),
      m_input(input),
      m_output(output),
      m_progress(output, settings.outputIsTerminal, settings.columns) {}

TerminalHost::~TerminalHost() {
    m_progress.Commit();
}

Answer TerminalHost::ShowMessage(const std::string& text, MessageKind kind) {
    m_output.clear();  // a write cut by a signal must not silence the messages that follow
    m_progress.Commit();
    m_output << FormatMessage(text, kind) << std::flush;
    if (kind != MessageKind::Question) {
        return Answer::Yes;
    }
    return AskQuestion();
}

Answer TerminalHost::AskQuestion() {
    // A question asked after Ctrl-C or an ending signal is not the user's to agree to.
    if (StopSignalReceived()) {
        m_output << "Risposta: no (interruzione)\n" << std::flush;
        return Answer::No;
    }
    if (m_settings.assumeYes) {
        m_output << "Risposta: sì (--yes)\n" << std::flush;
        return Answer::Yes;
    }
    if (!m_settings.inputIsTerminal) {
        // A script that did not say --yes must never get files replaced or deleted.
        m_output << "Risposta: no (nessun terminale per rispondere; usare --yes)\n" << std::flush;
        return Answer::No;
    }
    if (m_settings.discardTypeAhead != nullptr) {
        m_settings.discardTypeAhead();
    }
    m_output << kPrompt << std::flush;
    std::string reply;
    while (!StopSignalReceived() && std::getline(m_input, reply)) {
        if (const std::optional<Answer> answer = ParseReply(reply)) {
            return *answer;
        }
        m_output << "Risposta non valida. " << kPrompt << std::flush;
    }
    m_input.clear();
    m_output.clear();
    m_output << (StopSignalReceived() ? "\nRisposta: no (interruzione)\n"
                                      : "\nRisposta: no (fine dell'ingresso)\n")
             << std::flush;
    return Answer::No;
}

void TerminalHost::SetSplitStatus(const std::string& text) {
    m_progress.SetStatus(text);
}

void TerminalHost::SetAssembleStatus(const std::string& text) {
    m_progress.SetStatus(text);
}

void TerminalHost::SetBusy(bool /*busy*/) {
    // The stop signals are armed before the operation starts (RunCli); idle changes
    // nothing: one process runs one operation, then ends.
}

void TerminalHost::EnableAssembleControls(bool /*enabled*/) {
    // No controls on a terminal, and no second operation can start inside this one.
}

bool TerminalHost::DeleteChoice() {
    return m_settings.deletePieces;
}

void TerminalHost::CreateProgressBar() {
    m_progressBarCreated = true;
    m_progress.ShowBar();
}

bool TerminalHost::ProgressBarCreated() {
    return m_progressBarCreated;
}

void TerminalHost::SetProgress(std::int16_t value) {
    m_progress.SetPercent(value);
}

void TerminalHost::RemoveProgressBar() {
    m_progress.HideBar();
    m_progressBarCreated = false;
}

void TerminalHost::ProcessPendingEvents() {
    m_progress.CountBlock();
}

void TerminalHost::ClearStopFlag() {
    // Once armed, a Ctrl-C pressed while the first piece was being created would be
    // lost if cleared here; the flag was cleared when it was armed.
    if (!StopSignalArmed()) {
        ClearStopSignal();
    }
}

bool TerminalHost::StopRequested() {
    return StopSignalReceived();
}

bool TerminalHost::EndRequested() {
    return StopSignalReceived();
}

}  // namespace zirared
