#pragma once

#include "core/ApplicationFlags.h"
#include "core/DirectoryRecords.h"

#include <QList>
#include <QString>
#include <QTime>

namespace zelmora {

// The settings record. Members carry the names of their keys in Zelmora.ini; members that are
// not stored in the file are in lowerCamelCase.

struct ConnectionSettings {
    qint16 SERVER_OS_TYPE = 0; // 0: office.exe, 1: office.cgi
    QString SERVER_URL = QStringLiteral("http://");
    QString programName = QStringLiteral("office.exe");
    QString programUrl = QStringLiteral("http://office.exe");
    qint16 TIMEOUT = 180;  // seconds
    qint16 PROXY_MODE = 0; // 0 system settings, 1 none, 2 PROXY_SERVER:PROXY_PORTNO
    QString PROXY_SERVER;
    qint32 PROXY_PORTNO = 0;
    bool SERVER_PASSWORD_REQUIRED = false;
    bool CHECK_USABLE_APPLICATION = true;
    ApplicationFlags usableApplications = AppAll;
    qint16 memberPermissionState = 0;
    qint16 GET_INTERVAL = 5;    // minutes
    qint16 UPDATE_INTERVAL = 3; // minutes
    qint16 ABSENSE_LEVEL = 10;  // idle minutes
    QString HERE_POSITION = QStringLiteral("在席");
    QString HERE_TELNO;
    qint16 GET_DATA_MODE = 1;
    bool ALWAYS_UPDATE_USERDATA = false;
    qint32 LASTLOGINUSER_GROUP = -1;
    qint32 LASTLOGINUSER_NAME = -1;

    // Sets programName from SERVER_OS_TYPE, ends SERVER_URL with "/" and rebuilds programUrl.
    void updateProgramUrl() {
        programName = SERVER_OS_TYPE == 1 ? QStringLiteral("office.cgi") : QStringLiteral("office.exe");
        if (!SERVER_URL.endsWith(QLatin1Char('/')))
            SERVER_URL += QLatin1Char('/');
        programUrl = SERVER_URL + programName;
    }
    bool isUsable(ApplicationFlag app) const { return !CHECK_USABLE_APPLICATION || (usableApplications & app); }
};

// End-of-day action; Unset (no key in the file) acts like None and writes neither key back.
enum class EndAction : qint16 { Unset = -2, None = -1, Auto = 0, Ask = 1 };

struct UserSettings {
    bool AUTO_LOGIN = false;
    QString PASSWORD; // scrambled text as stored in the file
    // Server logon ([SERVER_LOGON] line of the logon name).
    QString serverUserName;
    QString serverPassword;
    bool serverLogonSaved = false;
    bool NOTIFY_MAIL = true;
    bool NOTIFY_CIRCULAR = true;
    bool NOTIFY_MEMO = true;
    bool NOTIFY_NEW_ARTICLE = true;
    bool NOTIFY_WORKFLOW = true;
    qint32 LAST_NOTIFIED_ARTICLEID = 0;
    bool NOTIFY_SCHEDULE = true;
    QTime ALARM_TIMING = QTime(0, 10, 0);
    bool STARTUP_REGIST_POSITION = true;
    EndAction END_ACTION_TYPE = EndAction::Ask;
    QString END_REGIST_POSITION;
    QString ALARM_SOUNDFILE;
    QList<qint32> GROUP_DISP_ORDER;
    QList<qint32> STATUS_COLUMN_WIDTH = {1260, 1935, 375, 1320, 1485}; // twips
    qint32 WINDOWPOS_X = 0;                                            // twips
    qint32 WINDOWPOS_Y = 0;                                            // twips
};

struct Settings {
    ConnectionSettings connection;
    UserSettings user;
    // Directory of the server (held with the settings record; cached in UserData.dat).
    QList<GroupRecord> groups;
    QList<UserRecord> users;
};

} // namespace zelmora
