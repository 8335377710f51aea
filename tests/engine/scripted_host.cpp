#include "scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zirared::test {
namespace {

std::string KindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return "warning";
        case MessageKind::Information:
            return "information";
        case MessageKind::Question:
            return "question";
        case MessageKind::Error:
            return "error";
    }
    return "?";
}

}  // namespace

void ScriptedHost::RequestStopAtEventPass(int pass) {
    AtEventPass(pass, [this] { m_stopRequested = true; });
}

void ScriptedHost::AtEventPass(int pass, std::function<void()> action) {
    m_actions[pass].push_back(std::move(action));
}

void ScriptedHost::SignalWhen(std::function<bool(const std::string&)> moment, bool end) {
    m_flagAction = [this, moment = std::move(moment), end] {
        const auto shown = std::find_if(m_calls.rbegin(), m_calls.rend(), [](const HostCall& c) {
            return c.kind == CallKind::Message;
        });
        if (moment(shown == m_calls.rend() ? std::string() : shown->text)) {
            (end ? m_endRequested : m_stopRequested) = true;
        }
    };
    m_messageAction = m_flagAction;
}

std::vector<int> ScriptedHost::ProgressValues() const {
    std::vector<int> values;
    for (const auto& call : m_calls) {
        if (call.kind == CallKind::Progress) {
            values.push_back(call.value);
        }
    }
    return values;
}

int ScriptedHost::CountOf(CallKind kind) const {
    return static_cast<int>(std::count_if(m_calls.begin(), m_calls.end(),
                                          [kind](const HostCall& c) { return c.kind == kind; }));
}

std::vector<std::string> ScriptedHost::Outline() const {
    std::vector<std::string> lines;
    for (const auto& call : m_calls) {
        std::string line;
        switch (call.kind) {
            case CallKind::Message:
                line = KindName(call.messageKind) + "|" + call.text;
                break;
            case CallKind::SplitStatus:
                line = "split-status|" + call.text;
                break;
            case CallKind::AssembleStatus:
                line = "assemble-status|" + call.text;
                break;
            case CallKind::Busy:
                line = "busy|" + std::to_string(call.value);
                break;
            case CallKind::EnableAssemble:
                line = "enable|" + std::to_string(call.value);
                break;
            case CallKind::CreateBar:
                line = "bar|create";
                break;
            case CallKind::RemoveBar:
                line = "bar|remove";
                break;
            case CallKind::ClearStop:
                line = "clear-stop";
                break;
            case CallKind::Progress:
            case CallKind::EventPass:
                continue;
        }
        const bool repeatedStatus =
            line.find("-status|") != std::string::npos && !lines.empty() && lines.back() == line;
        if (!repeatedStatus) {
            lines.push_back(line);
        }
    }
    return lines;
}

Answer ScriptedHost::ShowMessage(const std::string& text, MessageKind kind) {
    m_calls.push_back({CallKind::Message, text, kind});
    if (m_messageAction) {
        m_messageAction();
    }
    if (kind != MessageKind::Question) {
        return Answer::Yes;
    }
    if (m_answers.empty()) {
        ++m_unexpectedQuestions;
        ADD_FAILURE() << "unexpected question: " << text;
        return Answer::No;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void ScriptedHost::SetSplitStatus(const std::string& text) {
    m_calls.push_back({CallKind::SplitStatus, text});
}

void ScriptedHost::SetAssembleStatus(const std::string& text) {
    m_calls.push_back({CallKind::AssembleStatus, text});
}

void ScriptedHost::SetBusy(bool busy) {
    m_calls.push_back({CallKind::Busy, {}, MessageKind::Warning, busy ? 1 : 0});
}

void ScriptedHost::EnableAssembleControls(bool enabled) {
    m_calls.push_back({CallKind::EnableAssemble, {}, MessageKind::Warning, enabled ? 1 : 0});
}

void ScriptedHost::CreateProgressBar() {
    m_calls.push_back({CallKind::CreateBar, {}});
    m_barExists = true;
}

void ScriptedHost::SetProgress(std::int16_t value) {
    m_calls.push_back({CallKind::Progress, {}, MessageKind::Warning, value});
}

void ScriptedHost::RemoveProgressBar() {
    EXPECT_TRUE(m_barExists) << "bar removed while none exists";
    m_calls.push_back({CallKind::RemoveBar, {}});
    m_barExists = false;
}

void ScriptedHost::ProcessPendingEvents() {
    m_calls.push_back({CallKind::EventPass, {}});
    const auto actions = m_actions.find(++m_eventPasses);
    if (actions != m_actions.end()) {
        for (const auto& action : actions->second) {
            action();
        }
    }
}

void ScriptedHost::ClearStopFlag() {
    m_calls.push_back({CallKind::ClearStop, {}});
    m_stopRequested = false;
}

}  // namespace zirared::test
