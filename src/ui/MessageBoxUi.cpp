#include "ui/MessageBoxUi.h"

#include "core/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace zelmora::ui {

namespace {
QMessageBox::Icon toIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MsgResult fromButton(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    default:
        return MsgResult::Cancel;
    }
}

MsgResult showBox(const MessageRequest& request) {
    QMessageBox box(toIcon(request.icon), request.title, request.text, toButtons(request.buttons));
    // Our own texts only, but keep them literal all the same.
    box.setTextFormat(Qt::PlainText);
    if (request.foreground) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.show();
        box.raise();
        box.activateWindow();
    }
    return fromButton(box.exec());
}
} // namespace

void installMessageBoxHandler() { setMessageHandler(showBox); }

} // namespace zelmora::ui
