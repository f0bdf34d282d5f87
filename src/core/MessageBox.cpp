#include "core/MessageBox.h"

#include <cstdio>

namespace zelmora {

namespace {
MessageHandler& currentHandler() {
    static MessageHandler handler;
    return handler;
}

MsgResult defaultAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgResult::No;
    case MsgButtons::RetryCancel:
        return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}
} // namespace

MsgResult showMessage(const MessageRequest& request) {
    if (const auto& handler = currentHandler())
        return handler(request);
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(request.title), qUtf8Printable(request.text));
    return defaultAnswer(request.buttons);
}

MessageHandler setMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace zelmora
