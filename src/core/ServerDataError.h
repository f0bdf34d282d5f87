#pragma once

#include <QString>

#include <functional>

namespace zelmora {

inline const QString kServerDataErrorText = QStringLiteral(
    "サーバーから必要なデータを取得できませんでした.\n"
    "ネットワーク、サーバーに障害が発生しているか、コンピュータ、サイボウズの設定が間違っている可能性があります.");

// Data the program cannot run without did not come from the server. Kind 1 tells the user so and
// ends the program through the emergency exit (EndProgram(4)); other kinds do nothing.
void ShowServerDataError(qint16 kind);

// What ends the program after that message. The desktop program installs EndProgram(4) with the
// unloading of its windows; the default ends the process with exit status 1. Returns the old one.
using EmergencyExitHandler = std::function<void()>;
EmergencyExitHandler setEmergencyExitHandler(EmergencyExitHandler handler);

} // namespace zelmora
