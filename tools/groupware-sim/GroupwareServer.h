#pragma once

#include "FaultSwitch.h"
#include "Groupware.h"
#include "RequestLog.h"

#include <QJsonObject>
#include <QString>

#include <memory>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace zelmora::sim {

struct ServerOptions {
    QString host = QStringLiteral("127.0.0.1");
    int port = 0;                                      // 0: any free port
    QString folder = QStringLiteral("/scripts/cbag/"); // where the program lives
    QString program = QStringLiteral("office.exe");
    QString basicAuth; // "user:password"; empty for none
    QString logPath;
};

// HTTP front of the imitated groupware: the program URL, the images under /cb4/, HTTP Basic
// authentication, the fault switches and the control endpoints under /_sim/. Every connection is
// served on its own worker thread, so a held or delayed answer never blocks the others.
class GroupwareServer {
public:
    // `data` is the organisation in its data-file form; /_sim/reset reads it again.
    GroupwareServer(const ServerOptions& options, const QJsonObject& data, const Organisation& org);
    ~GroupwareServer();

    bool bind(QString* error);
    int port() const { return m_port; }
    QString programUrl() const;
    // Serves until stop(); call after bind().
    void run();
    void stop();
    bool setFault(const QByteArray& query, QString* error) { return m_faults.set(query, error); }

private:
    void serve(const httplib::Request& req, httplib::Response& res);
    void serveProgram(const httplib::Request& req, httplib::Response& res, QJsonObject& log);
    void control(const httplib::Request& req, httplib::Response& res);
    bool authorised(const httplib::Request& req) const;
    QJsonObject logEntry(const httplib::Request& req) const;

    ServerOptions m_options;
    QByteArray m_programPath;
    QJsonObject m_data;
    Groupware m_groupware;
    FaultSwitch m_faults;
    RequestLog m_log;
    std::unique_ptr<httplib::Server> m_server;
    int m_port = 0;
};

} // namespace zelmora::sim
