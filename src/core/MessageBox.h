#pragma once

#include <QString>

#include <functional>

namespace zelmora {

enum class MsgIcon { None, Information, Question, Warning, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgResult { Ok, Cancel, Yes, No, Retry };

// Titles used throughout the program.
inline const QString kTitleError = QStringLiteral("エラー");
inline const QString kTitleConfirm = QStringLiteral("確認");
inline const QString kProgramName = QStringLiteral("ゼルモラ");

struct MessageRequest {
    QString title;
    MsgIcon icon = MsgIcon::None;
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    // Bring the box to the foreground even when no window of ours is active.
    bool foreground = false;
};

using MessageHandler = std::function<MsgResult(const MessageRequest&)>;

// Every message box of the program goes through here. The desktop program installs a handler
// that shows a real modal box; tests install an answerer; without a handler (command line)
// the message is written to stderr and the first button's "safe" answer is returned:
// Ok for Ok/OkCancel, No for Yes/No questions, Cancel for Retry/Cancel.
MsgResult showMessage(const MessageRequest& request);

inline MsgResult showMessage(const QString& title, MsgIcon icon, const QString& text,
                             MsgButtons buttons = MsgButtons::Ok, bool foreground = false) {
    return showMessage(MessageRequest{title, icon, text, buttons, foreground});
}

// Installs `handler` and returns the one it replaces (an empty function restores the default).
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace zelmora
