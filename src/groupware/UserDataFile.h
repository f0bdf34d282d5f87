#pragma once

#include "groupware/Records.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zelmora {

// UserData.dat, the cached user directory: one line per user in code page 932, each ended by CR LF,
// written as "id","name","True|False","number","groupId1",...,"groupIdN" without any escaping.
// Files of the Windows program load unchanged.

// Reads the file into `users` (replaced). Returns SettingsMissing when the file does not exist,
// otherwise SettingsDone, also after a read failure, which shows "ユーザーデータの読み込みに失敗しました"
// and keeps the users read up to the bad line. Lines without a "," between quotes are skipped.
// The caller suspends the resident timers around the call: a failure shows a modal box.
qint16 LoadUserData(QList<UserRecord>& users, const QString& path);

// Replaces the file with `users`. The new content goes to a temporary file beside it that takes
// its place only once complete, so a failure, reported as "ユーザーデータの保存に失敗しました", leaves the
// old file whole. Returns whether the file was written.
bool SaveUserData(const QList<UserRecord>& users, const QString& path);

// The file's content for `users`.
QByteArray composeUserData(const QList<UserRecord>& users);

// Reads the content of a file into `users` (appended). Returns false at the first line that is not
// a user record; the users before it have been appended.
bool parseUserData(const QByteArray& bytes, QList<UserRecord>& users);

} // namespace zelmora
