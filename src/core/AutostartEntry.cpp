#include "core/AutostartEntry.h"

#include <QDir>

namespace zelmora {

QString autostartEntryPath(const QString& configHome) {
    return QDir(configHome).filePath(QStringLiteral("autostart/zelmora.desktop"));
}

QString desktopExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (const QChar c : argument)
        quote = quote || reserved.contains(c);
    QString text;
    for (const QChar c : argument) {
        if (quote &&
            (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')))
            text += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            text += QLatin1Char('%');
        text += c;
    }
    if (quote)
        text = QLatin1Char('"') + text + QLatin1Char('"');
    // The value is a string first: its backslashes are themselves escaped ("\\" is one "\").
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return text;
}

QString autostartEntryText(const QString& program, const QString& dataFolder) {
    QString exec = desktopExecArgument(program);
    if (!dataFolder.isEmpty())
        exec += QLatin1Char(' ') + desktopExecArgument(dataFolder);
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Zelmora\n"
                          "Name[ja]=ゼルモラ\n"
                          "Comment=Starts Zelmora at login\n"
                          "Comment[ja]=ログイン時にゼルモラを起動します\n"
                          "Exec=") +
           exec +
           QStringLiteral("\n"
                          "Icon=zelmora\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n");
}

} // namespace zelmora
