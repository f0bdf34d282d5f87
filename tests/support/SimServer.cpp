#include "support/SimServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QUrlQuery>

#include <csignal>
#include <sys/prctl.h>

namespace zelmora::test {

namespace {
constexpr int kStartTimeoutMs = 15000;
constexpr int kControlTimeoutMs = 10000;
} // namespace

SimServer::SimServer() : SimServer(Options{}) {}

SimServer::SimServer(const Options& options) : m_options(options) {}

SimServer::~SimServer() {
    stop();
}

QByteArray SimServer::builtInOrganisation() {
    return R"({
  "name": "テスト商事",
  "noticeMarker": "Persional",
  "groups": [{"id": 1, "name": "営業部"}, {"id": 2, "name": "開発部"}, {"id": 3, "name": "総務部"}],
  "users": [
    {"id": 1, "name": "山田 太郎", "password": "pass1", "groups": [1, 3], "mayChangeOthers": true,
     "mail": 3, "circulars": 1, "workflowPending": 2, "workflowResults": 1},
    {"id": 2, "name": "鈴木 花子", "password": "pass2", "groups": [1]},
    {"id": 3, "name": "佐藤 一郎", "password": "pass3", "groups": [2]},
    {"id": 4, "name": "佐藤 一郎", "password": "pass4", "groups": [3]},
    {"id": 5, "name": "高橋 健", "password": "ぱす&5", "groups": [2], "applications": ["schedule", "whereabouts"]}
  ],
  "entries": [
    {"user": 1, "position": "在席*", "contact": "内線101*", "updated": "today 09:00"},
    {"user": 2, "position": "外出", "contact": "携帯 090-1234-5678", "updated": "yesterday 17:30"},
    {"user": 3, "position": "帰宅?", "contact": "?", "updated": "yesterday 19:05"}
  ],
  "memos": [{"to": 2, "from": 1, "whom": "田中", "request": "折返しお電話ください。", "tel": "03-1234-5678",
             "writer": "山田 太郎", "created": "-30m"}],
  "schedule": [
    {"user": 1, "title": "朝会", "start": "9:00"},
    {"user": 1, "title": "定例会議", "start": "10:00", "end": "11:30"},
    {"user": 1, "title": "資料作成"},
    {"user": 1, "title": "大阪出張", "firstDay": -1, "lastDay": 1}
  ],
  "links": [[{"title": "社内ポータル", "url": "http://portal.example.co.jp/"}],
            [{"title": "交通費精算", "url": "http://keihi.example.co.jp/"}]],
  "articles": [{"id": 7, "title": "健康診断のお知らせ", "author": 2, "posted": "-2d 10:00", "body": "本文"},
               {"id": 9, "title": "年末年始の休業", "author": 1, "posted": "yesterday 15:00", "body": "本文"}]
})";
}

bool SimServer::start() {
    stop();
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        qWarning("SimServer: no temporary folder");
        return false;
    }
    QString data = m_options.dataFile;
    if (data.isEmpty()) {
        data = m_dir->filePath(QStringLiteral("organisation.json"));
        QFile f(data);
        const QByteArray json =
            m_options.organisationJson.isEmpty() ? builtInOrganisation() : m_options.organisationJson;
        if (!f.open(QIODevice::WriteOnly) || f.write(json) != json.size()) {
            qWarning("SimServer: cannot write %s", qPrintable(data));
            return false;
        }
    }
    QStringList args{QStringLiteral("--port"),    QStringLiteral("0"),
                     QStringLiteral("--data"),    data,
                     QStringLiteral("--program"), m_options.program,
                     QStringLiteral("--folder"),  m_options.folder,
                     QStringLiteral("--log"),     logPath()};
    if (!m_options.basicAuth.isEmpty())
        args << QStringLiteral("--basic-auth") << m_options.basicAuth;
    args += m_options.extraArguments;

    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes (or is killed by a sanitizer) must not leave its server behind: the
    // server would keep ctest's output pipe open until ctest's time-out.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process->start(QStringLiteral(ZELMORA_SIM_PATH), args);
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        qWarning("SimServer: cannot start %s", ZELMORA_SIM_PATH);
        return false;
    }
    QByteArray line;
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!line.contains('\n') && !deadline.hasExpired()) {
        if (!m_process->canReadLine() && !m_process->waitForReadyRead(int(deadline.remainingTime())))
            break;
        line += m_process->readLine();
    }
    static const QByteArray prefix = "listening on ";
    if (!line.startsWith(prefix)) {
        qWarning("SimServer: no listening line (got \"%s\")", line.constData());
        stop();
        return false;
    }
    m_port = quint16(QUrl(QString::fromLatin1(line.mid(prefix.size()).trimmed())).port());
    m_skipRequests = 0;
    return m_port != 0;
}

void SimServer::stop() {
    if (m_process) {
        if (m_process->state() != QProcess::NotRunning) {
            m_process->terminate();
            if (!m_process->waitForFinished(5000)) {
                m_process->kill();
                m_process->waitForFinished(5000);
            }
        }
        m_process.reset();
    }
    m_port = 0;
}

bool SimServer::isRunning() const {
    return m_process && m_process->state() == QProcess::Running;
}

QUrl SimServer::baseUrl() const {
    QString folder = m_options.folder;
    if (!folder.startsWith(u'/'))
        folder.prepend(u'/');
    if (!folder.endsWith(u'/'))
        folder.append(u'/');
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port) + folder);
}

QUrl SimServer::programUrl() const {
    return QUrl(baseUrl().toString() + m_options.program);
}

QString SimServer::logPath() const {
    return m_dir ? m_dir->filePath(QStringLiteral("requests.jsonl")) : QString();
}

QByteArray SimServer::control(const QByteArray& method, const QByteArray& pathAndQuery, const QByteArray& body,
                              int* status) const {
    // A blocking socket on purpose: the test's own event loop (and its network objects) must not run
    // while the switch is being set.
    if (status)
        *status = 0;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), m_port);
    if (!socket.waitForConnected(kControlTimeoutMs))
        return {};
    QByteArray request = method + ' ' + pathAndQuery + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!body.isEmpty() || method == "POST")
        request += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "\r\n" + body;
    socket.write(request);
    if (!socket.waitForBytesWritten(kControlTimeoutMs))
        return {};
    QByteArray answer;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(kControlTimeoutMs))
        answer += socket.readAll();
    answer += socket.readAll();
    const qsizetype headerEnd = answer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return {};
    if (status)
        *status = answer.mid(9, 3).toInt();
    return answer.mid(headerEnd + 4);
}

bool SimServer::setFault(const QString& mode, int code, int delayMs, int count, const QString& match) {
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("mode"), mode);
    if (code > 0)
        q.addQueryItem(QStringLiteral("code"), QString::number(code));
    q.addQueryItem(QStringLiteral("delay"), QString::number(delayMs));
    q.addQueryItem(QStringLiteral("count"), QString::number(count));
    if (!match.isEmpty())
        q.addQueryItem(QStringLiteral("match"), QString::fromLatin1(QUrl::toPercentEncoding(match)));
    int status = 0;
    control("GET", "/_sim/fault?" + q.query(QUrl::FullyEncoded).toLatin1(), {}, &status);
    return status == 200;
}

bool SimServer::expireSessions() {
    int status = 0;
    control("GET", "/_sim/expire-sessions", {}, &status);
    return status == 200;
}

int SimServer::churn(qint32 user) {
    int status = 0;
    const QByteArray answer = control("GET", "/_sim/churn?user=" + QByteArray::number(user), {}, &status);
    return status == 200 ? QJsonDocument::fromJson(answer).object().value(QStringLiteral("step")).toInt() : 0;
}

bool SimServer::loadOrganisation(const QJsonObject& organisation) {
    int status = 0;
    control("POST", "/_sim/state", QJsonDocument(organisation).toJson(QJsonDocument::Compact), &status);
    return status == 200;
}

bool SimServer::reset() {
    int status = 0;
    control("GET", "/_sim/reset", {}, &status);
    return status == 200;
}

QJsonObject SimServer::state() const {
    return QJsonDocument::fromJson(control("GET", "/_sim/state")).object();
}

QList<QJsonObject> SimServer::requests() const {
    QList<QJsonObject> out;
    QFile f(logPath());
    if (!f.open(QIODevice::ReadOnly))
        return out;
    // The server may be writing the last line right now: only complete lines count.
    QList<QByteArray> lines = f.readAll().split('\n');
    lines.removeLast();
    for (qsizetype i = m_skipRequests; i < lines.size(); ++i)
        out.append(QJsonDocument::fromJson(lines[i]).object());
    return out;
}

QList<QJsonObject> SimServer::requests(const QString& kind) const {
    QList<QJsonObject> out;
    for (const QJsonObject& r : requests())
        if (r.value(QLatin1String("kind")).toString() == kind)
            out.append(r);
    return out;
}

void SimServer::clearRequests() {
    m_skipRequests += int(requests().size());
}

} // namespace zelmora::test
