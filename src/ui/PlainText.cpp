#include "ui/PlainText.h"

#include <QLabel>
#include <QWidget>

namespace zelmora::ui {

QString escapeMnemonic(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

QString unescapeMnemonic(const QString& caption) {
    QString text = caption;
    text.replace(QLatin1String("&&"), QLatin1String("&"));
    return text;
}

QString menuCaption(const QString& text) {
    QString caption = escapeMnemonic(text);
    caption.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return caption;
}

void setPlainText(QLabel* label, const QString& text) {
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}

QString plainWindowTitle(const QString& text) {
    QString title = text;
    title.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    return title;
}

void setPlainWindowTitle(QWidget* window, const QString& text) {
    window->setWindowTitle(plainWindowTitle(text));
}

} // namespace zelmora::ui
