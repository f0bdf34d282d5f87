#include "support/ScriptedMessages.h"

namespace zelmora::test {

ScriptedMessages::ScriptedMessages() {
    m_previous = setMessageHandler([this](const MessageRequest& r) { return answer(r); });
}

ScriptedMessages::~ScriptedMessages() { setMessageHandler(std::move(m_previous)); }

MsgResult ScriptedMessages::answer(const MessageRequest& request) {
    m_shown.append(request);
    return m_answers.isEmpty() ? m_fallback : m_answers.takeFirst();
}

} // namespace zelmora::test
