#pragma once

#include <QString>

namespace zelmora {

// What the connection details dialog (frmSetInetDetail) edits, with the names of its members.
struct InetDetailValues {
    qint16 intTimeOut = 180;   // TIMEOUT, seconds
    qint16 intProxyMode = 0;   // PROXY_MODE: 0 browser settings, 1 none, 2 manual; -1 none chosen
    QString strProxyServer;    // PROXY_SERVER, empty unless manual
    qint32 lngProxyPortNo = 0; // PROXY_PORTNO, 0 unless manual
    bool bServerPassRequired = false;
    QString strServerID;
    QString strServerPassword;
    bool bSaveServerPassword = false;

    bool operator==(const InetDetailValues&) const = default;
};

namespace inetdetail {
inline const QString kTitle = QStringLiteral("接続の詳細設定");
inline const QString kTimeOutNotNumeric = QStringLiteral("タイムアウト時間には数値を入力してください");
inline const QString kTimeOutRange = QStringLiteral("タイムアウト時間には10～600の値を入力してください");
inline const QString kPortNotNumeric = QStringLiteral("プロキシポート番号には数値を入力してください");
inline const QString kPortRange = QStringLiteral("プロキシポート番号には0～65535の値を入力してください");
} // namespace inetdetail

// The dialog's controls as they stand when "設定" is pressed.
struct InetDetailForm {
    QString timeOut;
    int proxyMode = -1; // index of the chosen option, -1 when none is chosen
    QString proxyServer;
    QString proxyPort;
    bool serverPassRequired = false;
    QString serverId;
    QString serverPassword;
    bool saveServerPassword = false;
};

// The first refusing message of the four checks, or an empty text. The port is checked only for
// a manual proxy.
QString ValidateInetDetail(const InetDetailForm& form);

// The values of a form that passed ValidateInetDetail. Host and port are kept only for a manual
// proxy; without server authentication the user name and password are dropped.
InetDetailValues ReadBackInetDetail(const InetDetailForm& form);

} // namespace zelmora
