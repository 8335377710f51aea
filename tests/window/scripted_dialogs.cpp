#include "scripted_dialogs.h"

namespace zirared {

Answer ScriptedDialogs::ShowMessage(QWidget* owner, const QString& text, MessageKind kind) {
    m_messages.push_back({text, kind, owner});
    if (m_onMessage) {
        m_onMessage(m_messages.back());
    }
    if (kind != MessageKind::Question || m_answers.empty()) {
        return Answer::Yes;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QString ScriptedDialogs::ChooseFileToOpen(QWidget* /*owner*/, const OpenFileRequest& request) {
    m_fileRequests.push_back(request);
    if (m_files.empty()) {
        return {};
    }
    const QString path = m_files.front();
    m_files.pop_front();
    return path;
}

bool ScriptedDialogs::Shown(const QString& text, MessageKind kind) const {
    for (const Message& message : m_messages) {
        if (message.text == text && message.kind == kind) {
            return true;
        }
    }
    return false;
}

}  // namespace zirared
