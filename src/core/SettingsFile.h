#pragma once

#include "core/Settings.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zelmora {

// Zelmora.ini: [COMMON], [SERVER_LOGON] and one section per user id, code page 932 with CR LF.
// Results are those of the settings operations: 0 done, -1 error with nothing changed,
// -2 file missing, -3 declined or not found.
enum SettingsResult : qint16 {
    SettingsDone = 0,
    SettingsError = -1,
    SettingsMissing = -2,
    SettingsNotFound = -3,
    SettingsDeclined = -3,
};

// What the readers and writers need to know about the running program.
struct SettingsContext {
    // Key of the [SERVER_LOGON] line and part of the stored password's key.
    QString logonName = QStringLiteral("COMMON");
    // Ids of the server's current groups: GROUP_DISP_ORDER keeps only these. std::nullopt keeps
    // every id as written (for tools that do not talk to the server).
    std::optional<QList<qint32>> groupIds;
    // Screen size in twips; WINDOWPOS_X/Y outside it are moved back. Invalid: kept as written.
    QSize screenTwips;
    // The logged-in user; PASSWORD is written only when AUTO_LOGIN is on and loggedIn is true.
    bool loggedIn = false;
    qint32 userId = -1;
    QString userName; // the user's name in the directory
    QString loginPassword;
};

qint16 ReadCommonSettings(const QString& path, ConnectionSettings& settings);
qint16 ReadServerLogon(const QString& path, const QString& logonName, QString& userName, QString& password,
                       bool& saved);
qint16 ReadUserSettings(const QString& path, const QString& section, UserSettings& user,
                        const SettingsContext& context);
// The stored (scrambled) PASSWORD of the section when its AUTO_LOGIN is ON, else empty.
QString ReadAutoLoginPassword(const QString& path, const QString& section);
// Per-user defaults. GROUP_DISP_ORDER and WINDOWPOS_X/Y depend on the directory and the screen and
// are set by SetDirectoryDefaults; ALARM_SOUNDFILE and the server logon are kept.
void ResetUserSettings(UserSettings& user);
// Defaults that need the group list and the screen (twips): every group in list order, and the
// window near the bottom right corner.
void SetDirectoryDefaults(UserSettings& user, const QList<qint32>& groupIds, QSize screenTwips);

// Rewrites the file. `section` is a user id in decimal (that user's section is written too) or
// "COMMON"/empty (every user section is copied unchanged). The new content goes to a temporary
// file beside the settings file that replaces it only once complete, so any failure leaves the
// old file as it was and returns -1. The file keeps its mode (a new one is 0600, readable by its
// owner only); a symbolic link in its place is refused (replaceFileContent).
qint16 WriteSettingsFile(const QString& path, const QString& section, const Settings& settings,
                         const SettingsContext& context);

// Lines of the file being written; text lines are encoded to code page 932.
class SettingsOutput {
public:
    void line(const QString& text);
    void raw(const QByteArray& bytes) { m_lines.append(bytes); }
    QByteArray bytes() const; // every line followed by CR LF
    bool encodingFailed() const { return m_encodingFailed; }

private:
    QList<QByteArray> m_lines;
    bool m_encodingFailed = false;
};

qint16 WriteCommonSection(SettingsOutput& file, const ConnectionSettings& settings);
qint16 WriteServerLogonSection(SettingsOutput& file, const Settings& settings, const SettingsContext& context);
qint16 WriteUserSection(SettingsOutput& file, const UserSettings& user, const SettingsContext& context);

// The file as lines: raw bytes (copied unchanged when rewriting) and their decoded text.
struct SettingsLines {
    QList<QByteArray> raw;
    QStringList text;
};
SettingsLines splitSettingsLines(const QByteArray& bytes);

// The readers on a file's content, without the file system (the file-missing cases are the
// callers'). Results as above.
qint16 readCommonSection(const SettingsLines& lines, ConnectionSettings& settings);
qint16 readUserSection(const SettingsLines& lines, const QString& section, UserSettings& user,
                       const SettingsContext& context);
qint16 readServerLogonSection(const SettingsLines& lines, const QString& logonName, QString& userName,
                              QString& password, bool& saved);
QString readAutoLoginPassword(const SettingsLines& lines, const QString& section);
// Index of the line after `header` when the section exists and is not the file's last line, else -1.
qsizetype findSectionBody(const SettingsLines& lines, const QString& header);
// The new file's content given the old one (nullptr when there is none).
QByteArray composeSettingsFile(const SettingsLines* old, const QString& section, const Settings& settings,
                               const SettingsContext& context);

// "予期しないエラーが発生しましたので終了します." and the end of the program, for an existing settings
// file that cannot be read or any other failure that the results above do not cover.
void reportUnexpectedSettingsError();
// Replaces what ends the program after that message (default: exit status 1); returns the old one.
using SettingsExitHandler = std::function<void()>;
SettingsExitHandler setSettingsExitHandler(SettingsExitHandler handler);

} // namespace zelmora
