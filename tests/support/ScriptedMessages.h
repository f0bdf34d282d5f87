#pragma once

#include "core/MessageBox.h"

#include <QList>

namespace zelmora::test {

// Answers message boxes from a script and records every box shown, so that tests can drive
// questions and assert on the exact texts. Restores the previous handler when destroyed.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    // Answers given in order; when the script runs out, `fallback` answers.
    void enqueue(MsgResult answer) { m_answers.append(answer); }
    void setFallback(MsgResult answer) { m_fallback = answer; }

    const QList<MessageRequest>& shown() const { return m_shown; }
    int count() const { return int(m_shown.size()); }
    // Text of the last box shown, or an empty string.
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    void clear() { m_shown.clear(); }

private:
    MsgResult answer(const MessageRequest& request);

    QList<MsgResult> m_answers;
    QList<MessageRequest> m_shown;
    MsgResult m_fallback = MsgResult::Ok;
    MessageHandler m_previous;
};

} // namespace zelmora::test
