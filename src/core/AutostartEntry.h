#pragma once

#include <QString>

namespace zelmora {

// The session's autostart entry of the program: <config home>/autostart/zelmora.desktop, a
// desktop entry that desktop sessions (GNOME, KDE, Xfce, ...) start at login.

QString autostartEntryPath(const QString& configHome);

// One argument of an Exec line as a desktop entry stores it: quoted when it holds a space or
// another reserved character, '"', '`', '$' and '\' escaped inside the quotes, '%' doubled, and
// then every backslash doubled once more, as the file's string escaping requires. The argument holds
// no line break (the caller refuses one).
QString desktopExecArgument(const QString& argument);

// The entry: starts `program` (its path), with `dataFolder` as the data folder when not empty.
QString autostartEntryText(const QString& program, const QString& dataFolder);

} // namespace zelmora
