#include "ui/PlainText.h"

#include <QLabel>

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

void setPlainText(QLabel* label, const QString& text) {
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}

} // namespace zelmora::ui
