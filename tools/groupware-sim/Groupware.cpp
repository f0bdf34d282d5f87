#include "Groupware.h"

#include "ApplicationPages.h"
#include "Churn.h"
#include "TopPages.h"
#include "WherePages.h"

#include <QJsonArray>
#include <QRandomGenerator>

namespace zelmora::sim {

namespace {
bool same(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

SimReply reply(const QString& kind, const QString& html, qint32 user) {
    SimReply r;
    r.kind = kind;
    r.html = html;
    r.user = user;
    return r;
}

QByteArray newToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof(words)).toHex();
}
} // namespace

Groupware::Groupware(const Organisation& org, const QString& program) : m_org(org), m_program(program) {}

int Groupware::expireSessions() {
    std::lock_guard lock(m_mutex);
    const int n = int(m_sessions.size());
    m_sessions.clear();
    return n;
}

void Groupware::replaceOrganisation(const Organisation& org) {
    std::lock_guard lock(m_mutex);
    m_org = org;
    // Sessions of users who no longer exist end.
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = m_org.user(it.value()) ? std::next(it) : m_sessions.erase(it);
}

int Groupware::churn(qint32 user, const QDateTime& now, int moved) {
    std::lock_guard lock(m_mutex);
    churnOrganisation(m_org, user, ++m_churnSteps, now, moved);
    return m_churnSteps;
}

QJsonObject Groupware::state() const {
    std::lock_guard lock(m_mutex);
    QJsonObject json = m_org.toJson();
    QJsonArray sessions;
    for (qint32 user : m_sessions)
        sessions.append(user);
    json.insert(QLatin1String("sessions"), sessions);
    return json;
}

SimReply Groupware::handle(const SimRequest& request, const QDateTime& now) {
    FormFields fields(request.rawQuery);
    if (request.method == "POST")
        fields.append(FormFields(request.body));
    std::lock_guard lock(m_mutex);
    const qint32 user = request.sessionToken.isEmpty() ? 0 : m_sessions.value(request.sessionToken, 0);
    SimReply r;
    const QString system = fields.value(QStringLiteral("_System"));
    if (same(system, "login") && fields.value(QStringLiteral("_Login")) == QLatin1String("1")) {
        r = login(fields, request.sessionToken, now);
    } else if (same(system, "logout")) {
        m_sessions.remove(request.sessionToken);
        r = reply(QStringLiteral("logout"), TopPages(m_org, m_program, now).front(), 0);
        r.sessionEnded = true;
    } else {
        r = dispatch(request, fields, user, now);
    }
    r.fields = fields;
    return r;
}

SimReply Groupware::login(const FormFields& fields, const QByteArray& oldToken, const QDateTime& now) {
    m_sessions.remove(oldToken);
    const qint32 id = fields.intValue(QStringLiteral("_ID"), 0);
    const SimUser* u = m_org.user(id);
    if (!u || u->password != fields.value(QStringLiteral("Password"))) {
        SimReply r = reply(QStringLiteral("login-failed"), TopPages(m_org, m_program, now).loginFailed(), 0);
        r.sessionEnded = !oldToken.isEmpty();
        return r;
    }
    const QByteArray token = newToken();
    m_sessions.insert(token, id);
    SimReply r = reply(QStringLiteral("login"), TopPages(m_org, m_program, now).personalTop(id), id);
    r.newSessionToken = token;
    return r;
}

qint32 Groupware::homeGroup(qint32 user) const {
    const SimUser* u = m_org.user(user);
    return u && !u->groups.isEmpty() ? u->groups.first() : 0;
}

SimReply Groupware::dispatch(const SimRequest& request, FormFields fields, qint32 user, const QDateTime& now) {
    TopPages top(m_org, m_program, now);
    if (request.method == "POST") {
        const FormFields body(request.body);
        const QString form = body.value(QStringLiteral("Page"));
        if (same(form, "WhereEntry") || same(form, "WhereMemo")) {
            if (user == 0)
                return reply(QStringLiteral("login-required"), top.loginRequired(), 0);
            return same(form, "WhereEntry") ? postEntry(body, user, now) : postMemo(body, user, now);
        }
    }
    const QString name = fields.value(QStringLiteral("page"));
    if (!name.isEmpty())
        return page(name, fields, user, now);
    if (same(fields.value(QStringLiteral("_System")), "login")) {
        if (user == 0)
            return reply(QStringLiteral("login-required"), top.loginRequired(), 0);
        return reply(QStringLiteral("toppage"), top.personalTop(user), user);
    }
    if (user == 0)
        return reply(QStringLiteral("front"), top.front(), 0);
    return reply(QStringLiteral("toppage"), top.personalTop(user), user);
}

SimReply Groupware::page(const QString& name, const FormFields& fields, qint32 user, const QDateTime& now) {
    TopPages top(m_org, m_program, now);
    WherePages where(m_org, m_program, now, user);
    ApplicationPages apps(m_org, m_program, now, user);
    // Pages open to everyone: the login groups and the whereabouts board.
    if (same(name, "LoginGroup"))
        return reply(QStringLiteral("LoginGroup"), top.loginGroups(fields.intValue(QStringLiteral("group"), 0)), user);
    if (same(name, "WhereIndex"))
        return reply(QStringLiteral("WhereIndex"), where.board(fields.intValue(QStringLiteral("gid"), homeGroup(user))),
                     user);
    if (user == 0)
        return reply(QStringLiteral("login-required"), top.loginRequired(), 0);

    const quint16 usable = m_org.applicationsOf(user);
    auto gated = [&](SimApp app, const QString& html) {
        return reply(name, (usable & app) ? html : apps.notUsable(), user);
    };
    if (same(name, "WhereEntry")) {
        qint32 id = fields.intValue(QStringLiteral("id"), user);
        if (id == 0)
            id = user; // "id=0" is the user's own entry
        return reply(name, m_org.mayChange(user, id) ? where.entry(id) : where.refusal(id), user);
    }
    if (same(name, "WhereHistory")) {
        const qint32 id = fields.intValue(QStringLiteral("id"), user);
        const QString html = where.memos(id);
        // Reading one's own memos is what takes the memo mark off the board.
        if (id == user)
            for (SimMemo& m : m_org.memos)
                if (m.to == user)
                    m.read = true;
        return reply(name, html, user);
    }
    if (same(name, "OfficeInfo"))
        return reply(name, where.memberInfo(fields.intValue(QStringLiteral("id"), user)), user);
    if (same(name, "BulletinIndex"))
        return gated(SimBulletin, apps.bulletinIndex());
    if (same(name, "BulletinArticle"))
        return gated(SimBulletin, apps.bulletinArticle(fields.intValue(QStringLiteral("aid"), 0)));
    if (name.startsWith(QLatin1String("Schedule"), Qt::CaseInsensitive))
        return gated(SimSchedule, apps.schedule(fields.intValue(QStringLiteral("id"), user)));
    if (same(name, "CircularIndex"))
        return gated(SimCircular, apps.simpleApplication(name));
    if (same(name, "WebMailIndex"))
        return gated(SimWebMail, apps.simpleApplication(name));
    if (same(name, "WorkFlowIndex"))
        return gated(SimWorkflow, apps.simpleApplication(name));
    if (name.startsWith(QLatin1String("Bulletin"), Qt::CaseInsensitive))
        return gated(SimBulletin, apps.simpleApplication(name));
    return reply(QStringLiteral("unknown-page"),
                 ApplicationPages::groupwareError(QStringLiteral("指定されたページは存在しません。")), user);
}

SimReply Groupware::postEntry(const FormFields& fields, qint32 user, const QDateTime& now) {
    const qint32 id = fields.intValue(QStringLiteral("ID"), 0);
    WherePages where(m_org, m_program, now, user);
    if (!m_org.user(id))
        return reply(QStringLiteral("WhereEntry-post"),
                     ApplicationPages::groupwareError(QStringLiteral("指定されたユーザーは存在しません。")), user);
    if (!m_org.mayChange(user, id))
        return reply(QStringLiteral("WhereEntry-post"), where.refusal(id), user);
    QString position = fields.value(QStringLiteral("Detail"));
    if (position.isEmpty())
        position = fields.value(QStringLiteral("Place"));
    const QString until = fields.value(QStringLiteral("Until"));
    const QString unit = fields.value(QStringLiteral("Unit"));
    if (!until.isEmpty() && !unit.isEmpty())
        position += QStringLiteral(" (") + until + unit + QLatin1Char(')');
    m_org.entries.insert(id, SimEntry{position, fields.value(QStringLiteral("Contact")), now});
    return reply(QStringLiteral("WhereEntry-post"), where.board(homeGroup(user)), user);
}

SimReply Groupware::postMemo(const FormFields& fields, qint32 user, const QDateTime& now) {
    const qint32 id = fields.intValue(QStringLiteral("ID"), 0);
    WherePages where(m_org, m_program, now, user);
    if (!m_org.user(id))
        return reply(QStringLiteral("WhereMemo-post"),
                     ApplicationPages::groupwareError(QStringLiteral("指定されたユーザーは存在しません。")), user);
    SimMemo m;
    m.id = 1;
    for (const SimMemo& other : m_org.memos)
        m.id = qMax(m.id, other.id + 1);
    m.to = id;
    m.from = user;
    m.created = now;
    m.date = fields.value(QStringLiteral("Date"));
    m.time = fields.value(QStringLiteral("Time"));
    m.whom = fields.value(QStringLiteral("Whom"));
    m.request = fields.value(QStringLiteral("Request"));
    m.tel = fields.value(QStringLiteral("Tel"));
    m.memo = fields.value(QStringLiteral("Memo"));
    m.writer = fields.value(QStringLiteral("Writer"));
    m_org.memos.append(m);
    return reply(QStringLiteral("WhereMemo-post"), where.board(homeGroup(user)), user);
}

} // namespace zelmora::sim
