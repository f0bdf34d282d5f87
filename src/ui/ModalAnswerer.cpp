#include "ui/ModalAnswerer.h"

#include "core/Logging.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace zelmora::ui {

namespace {
QAbstractButton* messageBoxButton(QMessageBox* box, ModalAnswerer::Answer answer) {
    if (answer == ModalAnswerer::Answer::Cancel) {
        if (QAbstractButton* escape = box->escapeButton())
            return escape;
        for (QAbstractButton* button : box->buttons()) {
            const QMessageBox::ButtonRole role = box->buttonRole(button);
            if (role == QMessageBox::RejectRole || role == QMessageBox::NoRole)
                return button;
        }
    } else {
        for (QAbstractButton* button : box->buttons()) {
            const QMessageBox::ButtonRole role = box->buttonRole(button);
            if (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole)
                return button;
        }
    }
    const QList<QAbstractButton*> buttons = box->buttons();
    return buttons.isEmpty() ? nullptr : buttons.first();
}

QPushButton* confirmButton(QWidget* dialog) {
    for (const char* name : {"cmdOK", "cmdApply"}) {
        auto* button = dialog->findChild<QPushButton*>(QLatin1String(name));
        if (button && button->isVisible() && button->isEnabled())
            return button;
    }
    return nullptr;
}
// The answer may open a window of its own (a dialog's failed check shows a message box): it runs
// after the poll's handler has returned, since a timer does not fire again inside its own handler.
template <typename F> void later(QObject* context, F answer) {
    QTimer::singleShot(0, context, answer);
}
} // namespace

ModalAnswerer::ModalAnswerer(Answer answer, int delayMs, QObject* parent)
    : QObject(parent), m_answer(answer), m_delayMs(delayMs) {
    m_poll.setInterval(50);
    connect(&m_poll, &QTimer::timeout, this, &ModalAnswerer::check);
    m_poll.start();
}

ModalAnswerer* ModalAnswerer::fromEnvironment(QObject* parent) {
#ifndef ZELMORA_TEST_HOOKS
    Q_UNUSED(parent)
    return nullptr;
#else
    const QString value = qEnvironmentVariable("ZELMORA_TEST_ANSWER").trimmed().toLower();
    if (value.isEmpty())
        return nullptr;
    const Answer answer = value == QLatin1String("cancel") ? Answer::Cancel : Answer::Ok;
    qCWarning(lcApp) << "ZELMORA_TEST_ANSWER is set: modal windows are answered without the user";
    return new ModalAnswerer(answer, 300, parent);
#endif
}

void ModalAnswerer::check() {
    QWidget* window = QApplication::activeModalWidget();
    if (window != m_seen) {
        m_seen = window;
        m_seenFor.start();
        return;
    }
    if (!window || !window->isVisible() || m_seenFor.elapsed() < m_delayMs)
        return;
    m_seenFor.start();
    answer(window);
}

void ModalAnswerer::answer(QWidget* window) {
    const QString what = QLatin1String(window->metaObject()->className()) + QLatin1String(" \"") +
                         window->windowTitle() + QLatin1Char('"');
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        if (QAbstractButton* button = messageBoxButton(box, m_answer)) {
            qCInfo(lcApp).noquote() << "test answer:" << what << "with" << button->text();
            later(button, [button] { button->click(); });
        }
        return;
    }
    auto* dialog = qobject_cast<QDialog*>(window);
    if (!dialog)
        return;
    if (m_answer == Answer::Cancel) {
        qCInfo(lcApp).noquote() << "test answer:" << what << "with cancel";
        later(dialog, [dialog] { dialog->reject(); });
    } else if (QPushButton* button = confirmButton(dialog)) {
        qCInfo(lcApp).noquote() << "test answer:" << what << "with" << button->objectName();
        later(button, [button] { button->click(); });
    } else {
        qCInfo(lcApp).noquote() << "test answer:" << what << "with accept";
        later(dialog, [dialog] { dialog->accept(); });
    }
}

} // namespace zelmora::ui
