#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "dialogs.h"

namespace zirared {

// Dialogs that answer from a script: no modal loop, every request recorded.
class ScriptedDialogs final : public Dialogs {
public:
    struct Message {
        QString text;
        MessageKind kind;
        QWidget* owner = nullptr;
    };

    Answer ShowMessage(QWidget* owner, const QString& text, MessageKind kind) override;
    QString ChooseFileToOpen(QWidget* owner, const OpenFileRequest& request) override;

    // The next file dialog returns this (an empty path is a cancel; none queued: cancel).
    void QueueFile(const QString& path) { m_files.push_back(path); }
    // The next question gets this answer (none queued: Yes, the default button).
    void QueueAnswer(Answer answer) { m_answers.push_back(answer); }
    // Runs while a message is "open", as a user acting behind a modal box would.
    void OnMessage(std::function<void(const Message&)> action) { m_onMessage = std::move(action); }

    const std::vector<Message>& messages() const { return m_messages; }
    const std::vector<OpenFileRequest>& fileRequests() const { return m_fileRequests; }
    bool Shown(const QString& text, MessageKind kind) const;

private:
    std::deque<QString> m_files;
    std::deque<Answer> m_answers;
    std::function<void(const Message&)> m_onMessage;
    std::vector<Message> m_messages;
    std::vector<OpenFileRequest> m_fileRequests;
};

}  // namespace zirared
