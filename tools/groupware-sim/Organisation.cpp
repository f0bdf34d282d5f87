#include "Organisation.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <algorithm>

namespace zelmora::sim {

namespace {

struct AppName {
    const char* name;
    SimApp bit;
};
constexpr AppName kAppNames[] = {
    {"schedule", SimSchedule}, {"whereabouts", SimWhereabouts}, {"bulletin", SimBulletin},
    {"circular", SimCircular}, {"webmail", SimWebMail},         {"workflow", SimWorkflow},
};

quint16 appsFromJson(const QJsonValue& value, quint16 fallback, QString* error) {
    if (value.isUndefined() || value.isNull())
        return fallback;
    quint16 mask = 0;
    for (const QJsonValue& v : value.toArray()) {
        bool found = false;
        for (const auto& a : kAppNames) {
            if (v.toString().compare(QLatin1String(a.name), Qt::CaseInsensitive) == 0) {
                mask |= a.bit;
                found = true;
            }
        }
        if (!found && error)
            *error = QStringLiteral("unknown application \"%1\"").arg(v.toString());
    }
    return mask;
}

QJsonArray appsToJson(quint16 mask) {
    QJsonArray out;
    for (const auto& a : kAppNames)
        if (mask & a.bit)
            out.append(QLatin1String(a.name));
    return out;
}

QJsonArray idsToJson(const QList<qint32>& ids) {
    QJsonArray out;
    for (qint32 id : ids)
        out.append(id);
    return out;
}

// A day given as an offset from today (0, -1, 2) or as an ISO date.
QDate parseDay(const QJsonValue& value, QDate today, bool* ok) {
    *ok = true;
    if (value.isUndefined() || value.isNull())
        return today;
    if (value.isDouble())
        return today.addDays(value.toInt());
    const QDate d = QDate::fromString(value.toString(), Qt::ISODate);
    *ok = d.isValid();
    return d;
}

QString momentToJson(const QDateTime& t) {
    return t.isValid() ? t.toString(Qt::ISODate) : QString();
}

} // namespace

QDateTime parseMoment(const QString& text, const QDateTime& now, bool* ok) {
    *ok = true;
    const QString s = text.trimmed();
    if (s.isEmpty() || s == QLatin1String("now"))
        return now;
    static const QRegularExpression relative(QStringLiteral("^([+-]\\d+)([mhd])$"));
    if (const auto m = relative.match(s); m.hasMatch()) {
        const qint64 n = m.captured(1).toLongLong();
        const QChar unit = m.captured(2).at(0);
        return unit == u'm' ? now.addSecs(n * 60) : unit == u'h' ? now.addSecs(n * 3600) : now.addDays(n);
    }
    static const QRegularExpression dayAndTime(
        QStringLiteral("^(today|yesterday|tomorrow|[+-]\\d+d)\\s+(\\d{1,2}:\\d{2})$"));
    if (const auto m = dayAndTime.match(s); m.hasMatch()) {
        const QString day = m.captured(1);
        int offset = 0;
        if (day == QLatin1String("yesterday"))
            offset = -1;
        else if (day == QLatin1String("tomorrow"))
            offset = 1;
        else if (day != QLatin1String("today"))
            offset = day.chopped(1).toInt();
        const QTime t = QTime::fromString(m.captured(2), QStringLiteral("H:mm"));
        *ok = t.isValid();
        return QDateTime(now.date().addDays(offset), t);
    }
    const QDateTime iso = QDateTime::fromString(s, Qt::ISODate);
    *ok = iso.isValid();
    return iso;
}

QTime parseTimeOfDay(const QString& text, const QDateTime& now, bool* ok) {
    *ok = true;
    const QString s = text.trimmed();
    if (s.isEmpty())
        return {};
    if (s.startsWith(u'+') || s.startsWith(u'-')) {
        const QDateTime t = parseMoment(s, now, ok);
        return *ok ? QTime(t.time().hour(), t.time().minute()) : QTime();
    }
    const QTime t = QTime::fromString(s, QStringLiteral("H:mm"));
    *ok = t.isValid();
    return t;
}

QStringList Organisation::defaultPlaces() {
    return {QStringLiteral("在席"), QStringLiteral("外出"), QStringLiteral("会議"), QStringLiteral("来客中"),
            QStringLiteral("出張"), QStringLiteral("--"),   QStringLiteral("直行"), QStringLiteral("直帰"),
            QStringLiteral("休暇"), QStringLiteral("帰宅"), QStringLiteral("不在")};
}

bool Organisation::load(const QJsonObject& json, const QDateTime& now, QString* error) {
    QString err;
    auto fail = [&](const QString& what) {
        if (err.isEmpty())
            err = what;
    };
    const QDate today = now.date();

    name = json.value(QLatin1String("name")).toString();
    personalMarkerMisspelt =
        json.value(QLatin1String("noticeMarker")).toString(QStringLiteral("Persional")) != QLatin1String("Personal");
    everyoneMayChangeOthers = json.value(QLatin1String("everyoneMayChangeOthers")).toBool(false);
    applications = appsFromJson(json.value(QLatin1String("applications")), SimAllApps, &err);
    places.clear();
    for (const QJsonValue& v : json.value(QLatin1String("places")).toArray())
        places.append(v.toString());
    if (places.isEmpty())
        places = defaultPlaces();

    groups.clear();
    for (const QJsonValue& v : json.value(QLatin1String("groups")).toArray()) {
        const QJsonObject o = v.toObject();
        groups.append({o.value(QLatin1String("id")).toInt(), o.value(QLatin1String("name")).toString()});
        if (groups.last().id <= 0)
            fail(QStringLiteral("group without a positive id"));
    }

    users.clear();
    for (const QJsonValue& v : json.value(QLatin1String("users")).toArray()) {
        const QJsonObject o = v.toObject();
        SimUser u;
        u.id = o.value(QLatin1String("id")).toInt();
        u.name = o.value(QLatin1String("name")).toString();
        u.password = o.value(QLatin1String("password")).toString();
        for (const QJsonValue& g : o.value(QLatin1String("groups")).toArray())
            u.groups.append(g.toInt());
        u.mayChangeOthers = o.value(QLatin1String("mayChangeOthers")).toBool(false);
        u.applications = appsFromJson(o.value(QLatin1String("applications")), SimAllApps, &err);
        u.mail = o.value(QLatin1String("mail")).toInt();
        u.circulars = o.value(QLatin1String("circulars")).toInt();
        u.workflowPending = o.value(QLatin1String("workflowPending")).toInt();
        u.workflowResults = o.value(QLatin1String("workflowResults")).toInt();
        if (u.id <= 0 || u.name.isEmpty())
            fail(QStringLiteral("user without id or name"));
        for (qint32 g : u.groups)
            if (!group(g))
                fail(QStringLiteral("user %1 in unknown group %2").arg(u.id).arg(g));
        users.append(u);
    }

    entries.clear();
    for (const QJsonValue& v : json.value(QLatin1String("entries")).toArray()) {
        const QJsonObject o = v.toObject();
        bool ok = true;
        SimEntry e{o.value(QLatin1String("position")).toString(), o.value(QLatin1String("contact")).toString(),
                   parseMoment(o.value(QLatin1String("updated")).toString(), now, &ok)};
        if (!ok)
            fail(QStringLiteral("entry with unreadable time"));
        entries.insert(o.value(QLatin1String("user")).toInt(), e);
    }

    memos.clear();
    for (const QJsonValue& v : json.value(QLatin1String("memos")).toArray()) {
        const QJsonObject o = v.toObject();
        SimMemo m;
        m.id = o.value(QLatin1String("id")).toInt(int(memos.size()) + 1);
        m.to = o.value(QLatin1String("to")).toInt();
        m.from = o.value(QLatin1String("from")).toInt();
        bool ok = true;
        m.created = parseMoment(o.value(QLatin1String("created")).toString(), now, &ok);
        if (!ok)
            fail(QStringLiteral("memo with unreadable time"));
        // The memo form sends the day as "12/6 (金) ".
        static const QString weekdays = QStringLiteral("月火水木金土日");
        m.date = o.value(QLatin1String("date"))
                     .toString(QStringLiteral("%1/%2 (%3) ")
                                   .arg(m.created.date().month())
                                   .arg(m.created.date().day())
                                   .arg(weekdays.at(qMax(0, m.created.date().dayOfWeek() - 1))));
        m.time = o.value(QLatin1String("time")).toString(m.created.toString(QStringLiteral("HH:mm")));
        m.whom = o.value(QLatin1String("whom")).toString();
        m.request = o.value(QLatin1String("request")).toString();
        m.tel = o.value(QLatin1String("tel")).toString();
        m.memo = o.value(QLatin1String("memo")).toString();
        m.writer = o.value(QLatin1String("writer")).toString();
        m.read = o.value(QLatin1String("read")).toBool(false);
        memos.append(m);
    }

    schedule.clear();
    for (const QJsonValue& v : json.value(QLatin1String("schedule")).toArray()) {
        const QJsonObject o = v.toObject();
        SimAppointment a;
        a.id = o.value(QLatin1String("id")).toInt(int(schedule.size()) + 1);
        a.user = o.value(QLatin1String("user")).toInt();
        a.title = o.value(QLatin1String("title")).toString();
        bool ok1 = true, ok2 = true, ok3 = true, ok4 = true;
        const QJsonValue day = o.value(QLatin1String("day"));
        a.firstDay =
            parseDay(o.contains(QLatin1String("firstDay")) ? o.value(QLatin1String("firstDay")) : day, today, &ok1);
        a.lastDay =
            parseDay(o.contains(QLatin1String("lastDay")) ? o.value(QLatin1String("lastDay")) : day, today, &ok2);
        a.start = parseTimeOfDay(o.value(QLatin1String("start")).toString(), now, &ok3);
        a.end = parseTimeOfDay(o.value(QLatin1String("end")).toString(), now, &ok4);
        if (!(ok1 && ok2 && ok3 && ok4) || a.lastDay < a.firstDay)
            fail(QStringLiteral("appointment \"%1\" with unreadable days or times").arg(a.title));
        schedule.append(a);
    }

    links.clear();
    for (const QJsonValue& part : json.value(QLatin1String("links")).toArray()) {
        QList<SimLink> group;
        for (const QJsonValue& v : part.toArray())
            group.append({v.toObject().value(QLatin1String("title")).toString(),
                          v.toObject().value(QLatin1String("url")).toString()});
        links.append(group);
    }

    articles.clear();
    for (const QJsonValue& v : json.value(QLatin1String("articles")).toArray()) {
        const QJsonObject o = v.toObject();
        SimArticle a;
        a.id = o.value(QLatin1String("id")).toInt();
        a.title = o.value(QLatin1String("title")).toString();
        a.category = o.value(QLatin1String("category")).toString();
        a.author = o.value(QLatin1String("author")).toInt();
        bool ok = true;
        a.posted = parseMoment(o.value(QLatin1String("posted")).toString(), now, &ok);
        a.body = o.value(QLatin1String("body")).toString();
        if (!ok || a.id <= 0)
            fail(QStringLiteral("article without id or with unreadable time"));
        articles.append(a);
    }

    if (users.isEmpty())
        fail(QStringLiteral("no users"));
    if (error)
        *error = err;
    return err.isEmpty();
}

QJsonObject Organisation::toJson() const {
    QJsonObject json;
    json.insert(QLatin1String("name"), name);
    json.insert(QLatin1String("noticeMarker"),
                personalMarkerMisspelt ? QStringLiteral("Persional") : QStringLiteral("Personal"));
    json.insert(QLatin1String("everyoneMayChangeOthers"), everyoneMayChangeOthers);
    json.insert(QLatin1String("applications"), appsToJson(applications));
    json.insert(QLatin1String("places"), QJsonArray::fromStringList(places));

    QJsonArray g;
    for (const SimGroup& group : groups)
        g.append(QJsonObject{{QLatin1String("id"), group.id}, {QLatin1String("name"), group.name}});
    json.insert(QLatin1String("groups"), g);

    QJsonArray u;
    for (const SimUser& user : users)
        u.append(QJsonObject{{QLatin1String("id"), user.id},
                             {QLatin1String("name"), user.name},
                             {QLatin1String("password"), user.password},
                             {QLatin1String("groups"), idsToJson(user.groups)},
                             {QLatin1String("mayChangeOthers"), user.mayChangeOthers},
                             {QLatin1String("applications"), appsToJson(user.applications)},
                             {QLatin1String("mail"), user.mail},
                             {QLatin1String("circulars"), user.circulars},
                             {QLatin1String("workflowPending"), user.workflowPending},
                             {QLatin1String("workflowResults"), user.workflowResults}});
    json.insert(QLatin1String("users"), u);

    QJsonArray e;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        e.append(QJsonObject{{QLatin1String("user"), it.key()},
                             {QLatin1String("position"), it->position},
                             {QLatin1String("contact"), it->contact},
                             {QLatin1String("updated"), momentToJson(it->updated)}});
    json.insert(QLatin1String("entries"), e);

    QJsonArray m;
    for (const SimMemo& memo : memos)
        m.append(QJsonObject{{QLatin1String("id"), memo.id},
                             {QLatin1String("to"), memo.to},
                             {QLatin1String("from"), memo.from},
                             {QLatin1String("created"), momentToJson(memo.created)},
                             {QLatin1String("date"), memo.date},
                             {QLatin1String("time"), memo.time},
                             {QLatin1String("whom"), memo.whom},
                             {QLatin1String("request"), memo.request},
                             {QLatin1String("tel"), memo.tel},
                             {QLatin1String("memo"), memo.memo},
                             {QLatin1String("writer"), memo.writer},
                             {QLatin1String("read"), memo.read}});
    json.insert(QLatin1String("memos"), m);

    QJsonArray s;
    for (const SimAppointment& a : schedule) {
        QJsonObject o{{QLatin1String("id"), a.id},
                      {QLatin1String("user"), a.user},
                      {QLatin1String("title"), a.title},
                      {QLatin1String("firstDay"), a.firstDay.toString(Qt::ISODate)},
                      {QLatin1String("lastDay"), a.lastDay.toString(Qt::ISODate)}};
        if (a.start.isValid())
            o.insert(QLatin1String("start"), a.start.toString(QStringLiteral("HH:mm")));
        if (a.end.isValid())
            o.insert(QLatin1String("end"), a.end.toString(QStringLiteral("HH:mm")));
        s.append(o);
    }
    json.insert(QLatin1String("schedule"), s);

    QJsonArray l;
    for (const QList<SimLink>& part : links) {
        QJsonArray p;
        for (const SimLink& link : part)
            p.append(QJsonObject{{QLatin1String("title"), link.title}, {QLatin1String("url"), link.url}});
        l.append(p);
    }
    json.insert(QLatin1String("links"), l);

    QJsonArray a;
    for (const SimArticle& article : articles)
        a.append(QJsonObject{{QLatin1String("id"), article.id},
                             {QLatin1String("title"), article.title},
                             {QLatin1String("category"), article.category},
                             {QLatin1String("author"), article.author},
                             {QLatin1String("posted"), momentToJson(article.posted)},
                             {QLatin1String("body"), article.body}});
    json.insert(QLatin1String("articles"), a);
    return json;
}

const SimUser* Organisation::user(qint32 id) const {
    for (const SimUser& u : users)
        if (u.id == id)
            return &u;
    return nullptr;
}

const SimGroup* Organisation::group(qint32 id) const {
    for (const SimGroup& g : groups)
        if (g.id == id)
            return &g;
    return nullptr;
}

QList<const SimUser*> Organisation::members(qint32 groupId) const {
    QList<const SimUser*> out;
    for (const SimUser& u : users)
        if (groupId == 0 || u.groups.contains(groupId))
            out.append(&u);
    return out;
}

quint16 Organisation::applicationsOf(qint32 userId) const {
    const SimUser* u = user(userId);
    return applications & (u ? u->applications : quint16(SimAllApps));
}

bool Organisation::mayChange(qint32 userId, qint32 targetId) const {
    if (userId == targetId)
        return true;
    const SimUser* u = user(userId);
    return everyoneMayChangeOthers || (u && u->mayChangeOthers);
}

int Organisation::unreadMemos(qint32 userId) const {
    return int(
        std::count_if(memos.cbegin(), memos.cend(), [&](const SimMemo& m) { return m.to == userId && !m.read; }));
}

QList<SimAppointment> Organisation::appointmentsOn(qint32 userId, QDate day) const {
    QList<SimAppointment> out;
    for (const SimAppointment& a : schedule)
        if (a.user == userId && a.covers(day))
            out.append(a);
    // The groupware lists the day's own items first, untimed before timed, timed by start time;
    // items spanning several days come last.
    std::stable_sort(out.begin(), out.end(), [](const SimAppointment& a, const SimAppointment& b) {
        if (a.isMultiDay() != b.isMultiDay())
            return !a.isMultiDay();
        if (a.start.isValid() != b.start.isValid())
            return !a.start.isValid();
        return a.start < b.start;
    });
    return out;
}

QList<SimArticle> Organisation::articlesNewestFirst() const {
    QList<SimArticle> out = articles;
    std::stable_sort(out.begin(), out.end(), [](const SimArticle& a, const SimArticle& b) {
        return a.posted != b.posted ? a.posted > b.posted : a.id > b.id;
    });
    return out;
}

} // namespace zelmora::sim
