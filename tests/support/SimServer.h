#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace zelmora::test {

// Runs tools/groupware-sim on a free loopback port for an integration test and talks to its
// control endpoints. The server stops when the object is destroyed.
//
// The built-in organisation (used when no data is given) has these members, all with the password
// "pass" + id ("pass1", ...) except user 5, whose password is "ぱす&5" (cp932 and a "&"):
//   groups 1 営業部, 2 開発部, 3 総務部
//   1 山田 太郎 (1, 3; may change others' entries), 2 鈴木 花子 (1), 3 佐藤 一郎 (2), 4 佐藤 一郎 (3),
//   5 高橋 健 (2; only schedule and whereabouts usable)
class SimServer {
public:
    struct Options {
        QByteArray organisationJson; // the organisation itself; the built-in one when both are empty
        QString dataFile;            // or a data file
        QString program = QStringLiteral("office.exe");
        QString folder = QStringLiteral("/scripts/cbag/");
        QString basicAuth; // "user:pass"
        QStringList extraArguments;
    };

    SimServer();
    explicit SimServer(const Options& options);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Starts the server and waits for its "listening on" line; false (with a warning) on failure.
    bool start();
    void stop();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    // SERVER_URL: "http://127.0.0.1:PORT/scripts/cbag/" (ends in "/").
    QUrl baseUrl() const;
    // The program URL: baseUrl() + "office.exe".
    QUrl programUrl() const;

    // Fault switches. mode: "none", "hang", "drop", "status" (with code), "errorpage", "licence"; delayMs before
    // every answer; count: the next `count` matching requests only (-1 all); match: only requests whose
    // decoded target or body contain this text. Setting a fault releases requests held so far.
    bool setFault(const QString& mode, int code = 0, int delayMs = 0, int count = -1, const QString& match = {});
    bool clearFault() { return setFault(QStringLiteral("none")); }
    bool setDelay(int delayMs) { return setFault(QStringLiteral("none"), 0, delayMs); }
    bool expireSessions();
    // Replaces the organisation (sessions of remaining users stay) / reloads the initial one.
    bool loadOrganisation(const QJsonObject& organisation);
    bool reset();
    // One step of a busy office in the view of `user` (/_sim/churn): others' whereabouts move, new
    // mail, memo, article and appointment. Returns the step's number, 0 on failure.
    int churn(qint32 user);
    // The organisation as the server holds it now, plus "sessions" (user ids) and "fault".
    QJsonObject state() const;

    // Requests served since start (or since clearRequests), one object each: method, path, target,
    // query, fields (object), fieldList ([name, value] pairs in order), rawBody (bytes as Latin-1),
    // headers (lower-case names), authorization, cookie, via, kind, user, status, fault.
    QList<QJsonObject> requests() const;
    // Only those of one kind ("login", "toppage", "WhereIndex", "WhereEntry", "WhereEntry-post",
    // "WhereMemo-post", "BulletinIndex", "LoginGroup", "front", "login-failed", "login-required", ...).
    QList<QJsonObject> requests(const QString& kind) const;
    void clearRequests();
    QString logPath() const;

    static QByteArray builtInOrganisation();

private:
    QByteArray control(const QByteArray& method, const QByteArray& pathAndQuery, const QByteArray& body = {},
                       int* status = nullptr) const;

    Options m_options;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
    int m_skipRequests = 0;
};

} // namespace zelmora::test
