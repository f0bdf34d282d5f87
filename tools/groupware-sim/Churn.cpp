#include "Churn.h"

#include <algorithm>

namespace zelmora::sim {

namespace {
// What one step adds is kept for this many steps.
constexpr int kKeptSteps = 3;
const QString kMeetingTitle = QStringLiteral("打合せ #");
const QString kArticleTitle = QStringLiteral("社内連絡 #");
const QString kMemoWhom = QStringLiteral("取引先 #");

void moveMembers(Organisation& org, qint32 user, int step, const QDateTime& now, int moved) {
    QStringList places = org.places;
    places.removeAll(QStringLiteral("--"));
    if (places.isEmpty())
        return;
    QList<qint32> others;
    for (const SimUser& member : std::as_const(org.users)) {
        if (member.id != user)
            others.append(member.id);
    }
    if (others.isEmpty())
        return;
    // All of them, or `moved` from where the step before stopped, round the list.
    const qsizetype count = moved > 0 ? std::min<qsizetype>(moved, others.size()) : others.size();
    const qsizetype from = moved > 0 ? (qsizetype(step - 1) * count) % others.size() : 0;
    for (qsizetype k = 0; k < count; ++k) {
        const qint32 id = others.at((from + k) % others.size());
        SimEntry& entry = org.entries[id];
        entry.position = places.at((id + step) % places.size());
        entry.contact = QStringLiteral("内線%1").arg(100 + (id + step) % 50);
        entry.updated = now;
    }
}

void addMemo(Organisation& org, qint32 user, int step, const QDateTime& now) {
    qint32 id = 0;
    for (const SimMemo& memo : std::as_const(org.memos))
        id = std::max(id, memo.id);
    SimMemo memo;
    memo.id = id + 1;
    memo.to = user;
    memo.whom = kMemoWhom + QString::number(step);
    memo.request = QStringLiteral("折返しお電話ください。");
    memo.tel = QStringLiteral("03-0000-%1").arg(step % 10000, 4, 10, QLatin1Char('0'));
    memo.writer = QStringLiteral("受付");
    memo.date = now.date().toString(QStringLiteral("yyyy/MM/dd"));
    memo.time = now.time().toString(QStringLiteral("HH:mm"));
    memo.created = now;
    org.memos.append(memo);
    org.memos.removeIf([&](const SimMemo& m) {
        return m.whom.startsWith(kMemoWhom) && m.whom.mid(kMemoWhom.size()).toInt() <= step - kKeptSteps;
    });
}

void addArticle(Organisation& org, qint32 user, int step, const QDateTime& now) {
    qint32 id = 0;
    for (const SimArticle& article : std::as_const(org.articles))
        id = std::max(id, article.id);
    SimArticle article;
    article.id = id + 1;
    article.title = kArticleTitle + QString::number(step);
    article.category = QStringLiteral("全体連絡");
    article.author = user;
    article.posted = now;
    article.body = QStringLiteral("本文");
    org.articles.append(article);
    org.articles.removeIf([&](const SimArticle& a) {
        return a.title.startsWith(kArticleTitle) && a.title.mid(kArticleTitle.size()).toInt() <= step - kKeptSteps;
    });
}

void addAppointment(Organisation& org, qint32 user, int step, const QDateTime& now) {
    org.schedule.removeIf([&](const SimAppointment& a) {
        return a.title.startsWith(kMeetingTitle) && a.title.mid(kMeetingTitle.size()).toInt() <= step - kKeptSteps;
    });
    const QDateTime start = now.addSecs(90 * 60);
    // Near midnight the appointment would fall on tomorrow: none then.
    if (start.date() != now.date() || start.addSecs(30 * 60).date() != now.date())
        return;
    qint32 id = 0;
    for (const SimAppointment& a : std::as_const(org.schedule))
        id = std::max(id, a.id);
    SimAppointment a;
    a.id = id + 1;
    a.user = user;
    a.title = kMeetingTitle + QString::number(step);
    a.firstDay = a.lastDay = now.date();
    a.start = QTime(start.time().hour(), start.time().minute());
    a.end = a.start.addSecs(30 * 60);
    org.schedule.append(a);
}
} // namespace

void churnOrganisation(Organisation& org, qint32 user, int step, const QDateTime& now, int moved) {
    moveMembers(org, user, step, now, moved);
    for (SimUser& u : org.users) {
        if (u.id == user)
            u.mail = 1 + step % 5;
    }
    addMemo(org, user, step, now);
    addArticle(org, user, step, now);
    addAppointment(org, user, step, now);
}

} // namespace zelmora::sim
