#include "core/MessageBox.h"

#include "core/Logging.h"

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

const char* answerName(MsgResult answer) {
    switch (answer) {
    case MsgResult::Ok:
        return "Ok";
    case MsgResult::Cancel:
        return "Cancel";
    case MsgResult::Yes:
        return "Yes";
    case MsgResult::No:
        return "No";
    case MsgResult::Retry:
        return "Retry";
    }
    return "?";
}
} // namespace

MsgResult showMessage(const MessageRequest& request) {
    // What the user was told is the first thing support asks for; our own texts hold no secrets.
    // Line breaks are written as \r and \n so that one box stays one line of the log.
    QString shown = request.text;
    shown.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n"));
    qCInfo(lcApp).noquote() << "message box:" << request.title << "|" << shown;
    if (const auto& handler = currentHandler()) {
        const MsgResult answer = handler(request);
        qCInfo(lcApp).noquote() << "message box answered:" << answerName(answer);
        return answer;
    }
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(request.title), qUtf8Printable(request.text));
    return defaultAnswer(request.buttons);
}

MessageHandler setMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace zelmora
