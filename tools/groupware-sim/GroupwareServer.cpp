#include "GroupwareServer.h"

#include "ApplicationPages.h"
#include "core/Cp932.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrlQuery>

#include <httplib.h>

#include <chrono>
#include <thread>

namespace zelmora::sim {

namespace {
constexpr const char* kHtmlType = "text/html; charset=Shift_JIS";
constexpr size_t kWorkerThreads = 48;

// A 1x1 transparent GIF stands in for every icon of the pages.
const char kGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00\x00"
                    "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b";

QByteArray bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}
QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

QByteArray cookieValue(const httplib::Request& req, const QByteArray& name) {
    for (size_t i = 0; i < req.get_header_value_count("Cookie"); ++i)
        for (const QByteArray& part : bytes(req.get_header_value("Cookie", i)).split(';')) {
            const QByteArray p = part.trimmed();
            if (p.startsWith(QByteArray(name + '=')))
                return p.mid(name.size() + 1);
        }
    return {};
}

void sendHtml(httplib::Response& res, int status, const QString& html) {
    res.status = status;
    auto body = std::make_shared<QByteArray>(cp932::encode(html));
    if (body->isEmpty()) {
        res.set_content(std::string(), kHtmlType);
        return;
    }
    // The web server of the groupware sends its pages uncompressed. cpp-httplib would compress a
    // body set with set_content for a client that accepts it (Qt asks for brotli, which takes
    // seconds on a large board); a body of known length from a provider goes out as it is.
    res.set_content_provider(size_t(body->size()), kHtmlType,
                             [body](size_t offset, size_t length, httplib::DataSink& sink) {
                                 return sink.write(body->constData() + offset, length);
                             });
}

void sendJson(httplib::Response& res, const QJsonObject& json, int status = 200) {
    res.status = status;
    res.set_content(QJsonDocument(json).toJson(QJsonDocument::Indented).toStdString(), "application/json");
}
} // namespace

GroupwareServer::GroupwareServer(const ServerOptions& options, const QJsonObject& data, const Organisation& org)
    : m_options(options), m_data(data), m_groupware(org, options.program),
      m_server(std::make_unique<httplib::Server>()) {
    QString folder = options.folder;
    if (!folder.startsWith(u'/'))
        folder.prepend(u'/');
    if (!folder.endsWith(u'/'))
        folder.append(u'/');
    m_options.folder = folder;
    m_programPath = (folder + options.program).toUtf8();

    m_server->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    auto handler = [this](const httplib::Request& req, httplib::Response& res) { serve(req, res); };
    m_server->Get(".*", handler);
    m_server->Post(".*", handler);
    m_server->set_default_headers({{"Server", "Microsoft-IIS/5.0"}});
    // The status line and headers go out before the body in a second write; with Nagle's algorithm
    // that write waits for the client's delayed acknowledgement on a kept-alive connection, which
    // added some 15 ms to every page.
    m_server->set_tcp_nodelay(true);
    // IIS keeps a connection for as many requests as the client sends (Apache for 100); the
    // library's own limit of 5 would have every client connect anew every few pages. The idle
    // time-out stays short: each kept connection holds a worker thread.
    m_server->set_keep_alive_max_count(100);
}

GroupwareServer::~GroupwareServer() {
    stop();
}

bool GroupwareServer::bind(QString* error) {
    if (!m_options.logPath.isEmpty() && !m_log.open(m_options.logPath, error))
        return false;
    const std::string host = m_options.host.toStdString();
    if (m_options.port == 0) {
        m_port = m_server->bind_to_any_port(host);
    } else {
        m_port = m_server->bind_to_port(host, m_options.port) ? m_options.port : -1;
    }
    if (m_port <= 0) {
        *error = QStringLiteral("cannot listen on %1:%2").arg(m_options.host).arg(m_options.port);
        return false;
    }
    return true;
}

QString GroupwareServer::programUrl() const {
    return QStringLiteral("http://%1:%2").arg(m_options.host).arg(m_port) + QString::fromUtf8(m_programPath);
}

void GroupwareServer::run() {
    m_server->listen_after_bind();
}

void GroupwareServer::stop() {
    m_faults.stop();
    if (m_server->is_running())
        m_server->stop();
}

bool GroupwareServer::authorised(const httplib::Request& req) const {
    if (m_options.basicAuth.isEmpty())
        return true;
    const QByteArray header = bytes(req.get_header_value("Authorization"));
    if (!header.startsWith("Basic "))
        return false;
    return QByteArray::fromBase64(header.mid(6).trimmed()) == m_options.basicAuth.toUtf8();
}

QJsonObject GroupwareServer::logEntry(const httplib::Request& req) const {
    QJsonObject headers;
    for (const auto& [name, value] : req.headers)
        headers.insert(QString::fromStdString(name).toLower(), latin1(value));
    const QByteArray target = bytes(req.target);
    const qsizetype q = target.indexOf('?');
    return QJsonObject{
        {QLatin1String("time"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs)},
        {QLatin1String("method"), QString::fromStdString(req.method)},
        {QLatin1String("path"), QString::fromStdString(req.path)},
        {QLatin1String("target"), latin1(req.target)},
        {QLatin1String("query"), q < 0 ? QString() : cp932::formDecode(target.mid(q + 1))},
        {QLatin1String("rawBody"), latin1(req.body)},
        {QLatin1String("headers"), headers},
        {QLatin1String("authorization"), req.has_header("Authorization")},
        {QLatin1String("cookie"), latin1(req.get_header_value("Cookie"))},
        {QLatin1String("via"), latin1(req.get_header_value("Via"))},
    };
}

void GroupwareServer::serve(const httplib::Request& req, httplib::Response& res) {
    const QByteArray path = bytes(req.path);
    if (path.startsWith("/_sim/")) {
        control(req, res);
        return;
    }
    QJsonObject log = logEntry(req);
    if (!authorised(req)) {
        res.set_header("WWW-Authenticate", "Basic realm=\"groupware\"");
        sendHtml(res, 401, ApplicationPages::httpStatusPage(401));
        log.insert(QLatin1String("kind"), QStringLiteral("unauthorised"));
    } else if (path == m_programPath) {
        serveProgram(req, res, log);
        return;
    } else if (path.startsWith("/cb4/") && path.endsWith(".gif")) {
        res.set_content(kGif, sizeof(kGif) - 1, "image/gif");
        log.insert(QLatin1String("kind"), QStringLiteral("image"));
    } else {
        sendHtml(res, 404, ApplicationPages::httpStatusPage(404));
        log.insert(QLatin1String("kind"), QStringLiteral("not-found"));
    }
    log.insert(QLatin1String("status"), res.status);
    log.insert(QLatin1String("fault"), QStringLiteral("none"));
    m_log.write(log);
}

void GroupwareServer::serveProgram(const httplib::Request& req, httplib::Response& res, QJsonObject& log) {
    using Mode = FaultSwitch::Mode;
    const FaultSwitch::Fault fault = m_faults.take(bytes(req.target), bytes(req.body));
    log.insert(QLatin1String("fault"), FaultSwitch::modeName(fault.mode));

    if (fault.mode == Mode::Hang) {
        log.insert(QLatin1String("kind"), QStringLiteral("held"));
        log.insert(QLatin1String("status"), 0);
        m_log.write(log);
        m_faults.hold();
        // Released: end the connection without a status line worth reading.
        res.set_content_provider(1, kHtmlType, [](size_t, size_t, httplib::DataSink&) { return false; });
        return;
    }

    if (fault.mode == Mode::Trickle) {
        log.insert(QLatin1String("kind"), QStringLiteral("trickled"));
        log.insert(QLatin1String("status"), 200);
        m_log.write(log);
        // A page announced at a megabyte and sent one byte a second, until the switch changes.
        const quint64 generation = m_faults.generation();
        res.set_content_provider(1 << 20, kHtmlType, [this, generation](size_t, size_t, httplib::DataSink& sink) {
            return sink.write(" ", 1) && !m_faults.changedWithin(generation, 1000);
        });
        return;
    }

    QString html;
    int status = 200;
    if (fault.mode == Mode::Status) {
        status = fault.status;
        html = ApplicationPages::httpStatusPage(status);
        log.insert(QLatin1String("kind"), QStringLiteral("status-fault"));
    } else if (fault.mode == Mode::ErrorPage) {
        html = ApplicationPages::groupwareError(QStringLiteral("データベースにアクセスできません。(Error 10)"));
        log.insert(QLatin1String("kind"), QStringLiteral("error-page-fault"));
    } else if (fault.mode == Mode::Licence) {
        html = ApplicationPages::licenceMissing();
        log.insert(QLatin1String("kind"), QStringLiteral("licence-fault"));
    } else {
        const QByteArray target = bytes(req.target);
        const qsizetype q = target.indexOf('?');
        const SimRequest request{bytes(req.method), q < 0 ? QByteArray() : target.mid(q + 1), bytes(req.body),
                                 cookieValue(req, Groupware::kSessionCookie)};
        const SimReply reply = m_groupware.handle(request, QDateTime::currentDateTime());
        html = reply.html;
        status = reply.status;
        QJsonObject fields;
        QJsonArray fieldList;
        for (const auto& [name, value] : reply.fields.list()) {
            if (!fields.contains(name))
                fields.insert(name, value);
            fieldList.append(QJsonArray{name, value});
        }
        log.insert(QLatin1String("kind"), reply.kind);
        log.insert(QLatin1String("user"), reply.user);
        log.insert(QLatin1String("fields"), fields);
        log.insert(QLatin1String("fieldList"), fieldList);
        const std::string cookie = Groupware::kSessionCookie;
        if (!reply.newSessionToken.isEmpty())
            res.set_header("Set-Cookie", cookie + "=" + reply.newSessionToken.toStdString() + "; path=/");
        else if (reply.sessionEnded)
            res.set_header("Set-Cookie", cookie + "=; path=/; expires=Thu, 01-Jan-1970 00:00:00 GMT");
    }
    log.insert(QLatin1String("status"), status);
    m_log.write(log);

    if (fault.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(fault.delayMs));
    res.set_header("Cache-Control", "no-cache");
    if (fault.mode == Mode::Drop) {
        // Announce the whole page, send half of it and close the connection.
        auto body = std::make_shared<QByteArray>(cp932::encode(html));
        res.status = status;
        res.set_content_provider(size_t(body->size()), kHtmlType, [body](size_t, size_t, httplib::DataSink& sink) {
            sink.write(body->constData(), size_t(body->size() / 2));
            return false;
        });
        return;
    }
    sendHtml(res, status, html);
}

void GroupwareServer::control(const httplib::Request& req, httplib::Response& res) {
    const QByteArray path = bytes(req.path);
    const QByteArray target = bytes(req.target);
    const qsizetype q = target.indexOf('?');
    const QByteArray query = q < 0 ? QByteArray() : target.mid(q + 1);
    QString error;
    if (path == "/_sim/fault") {
        if (!m_faults.set(query, &error))
            return sendJson(res, {{QLatin1String("error"), error}}, 400);
        return sendJson(res, m_faults.describe());
    }
    if (path == "/_sim/release") {
        m_faults.release();
        return sendJson(res, m_faults.describe());
    }
    if (path == "/_sim/expire-sessions")
        return sendJson(res, {{QLatin1String("expired"), m_groupware.expireSessions()}});
    if (path == "/_sim/churn") {
        const QUrlQuery items(QString::fromLatin1(query));
        const qint32 user = items.queryItemValue(QStringLiteral("user")).toInt();
        if (user <= 0)
            return sendJson(res, {{QLatin1String("error"), QStringLiteral("user=ID needed")}}, 400);
        const int moved = items.queryItemValue(QStringLiteral("moved")).toInt();
        return sendJson(res, {{QLatin1String("step"), m_groupware.churn(user, QDateTime::currentDateTime(), moved)}});
    }
    if (path == "/_sim/state" && req.method == "GET") {
        QJsonObject state = m_groupware.state();
        state.insert(QLatin1String("fault"), m_faults.describe());
        return sendJson(res, state);
    }
    if ((path == "/_sim/state" && req.method == "POST") || path == "/_sim/reset") {
        QJsonObject data = m_data;
        if (path == "/_sim/state") {
            QJsonParseError parseError;
            const QJsonDocument doc = QJsonDocument::fromJson(bytes(req.body), &parseError);
            if (!doc.isObject())
                return sendJson(res, {{QLatin1String("error"), parseError.errorString()}}, 400);
            data = doc.object();
        }
        Organisation org;
        if (!org.load(data, QDateTime::currentDateTime(), &error))
            return sendJson(res, {{QLatin1String("error"), error}}, 400);
        m_groupware.replaceOrganisation(org);
        if (path == "/_sim/reset") {
            m_groupware.expireSessions();
            m_faults.set(FaultSwitch::Fault{});
        }
        return sendJson(res, {{QLatin1String("ok"), true}});
    }
    sendJson(res, {{QLatin1String("error"), QStringLiteral("unknown control endpoint")}}, 404);
}

} // namespace zelmora::sim
