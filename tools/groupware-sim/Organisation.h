#pragma once

#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTime>

namespace zelmora::sim {

// Applications of the groupware, as bits of the usable-application mask.
enum SimApp : quint16 {
    SimSchedule = 1,
    SimWhereabouts = 2,
    SimBulletin = 4,
    SimCircular = 8,
    SimWebMail = 16,
    SimWorkflow = 32,
    SimAllApps = 63,
};

struct SimGroup {
    qint32 id = 0;
    QString name;
};

struct SimUser {
    qint32 id = 0;
    QString name;
    QString password;
    QList<qint32> groups;
    bool mayChangeOthers = false;
    quint16 applications = SimAllApps;
    qint32 mail = 0;
    qint32 circulars = 0;
    qint32 workflowPending = 0;
    qint32 workflowResults = 0;
};

// Whereabouts entry of a member; a member without one shows "登録されていません".
struct SimEntry {
    QString position;
    QString contact;
    QDateTime updated;
};

struct SimMemo {
    qint32 id = 0;
    qint32 to = 0;
    qint32 from = 0; // session user who wrote it, 0 when unknown
    QString date;    // as the form sent it
    QString time;
    QString whom;
    QString request;
    QString tel;
    QString memo;
    QString writer;
    QDateTime created;
    bool read = false;
};

// An appointment. Items whose first and last day differ span several days; an invalid start time
// makes an item without time, an invalid end time one with a start time only.
struct SimAppointment {
    qint32 id = 0;
    qint32 user = 0;
    QString title;
    QDate firstDay;
    QDate lastDay;
    QTime start;
    QTime end;

    bool isMultiDay() const { return firstDay != lastDay; }
    bool covers(QDate day) const { return firstDay <= day && day <= lastDay; }
};

struct SimLink {
    QString title;
    QString url;
};

struct SimArticle {
    qint32 id = 0;
    QString title;
    QString category;
    qint32 author = 0;
    QDateTime posted;
    QString body;
};

// Whole state of the imitated groupware: the organisation read from the data file plus what the
// requests change (entries, memos). Not thread-safe; the server guards it with its own mutex.
class Organisation {
public:
    QString name;
    bool personalMarkerMisspelt = true; // the top page's notice box marker "Persional Box"
    bool everyoneMayChangeOthers = false;
    quint16 applications = SimAllApps;
    QStringList places;
    QList<SimGroup> groups;
    QList<SimUser> users;
    QMap<qint32, SimEntry> entries;
    QList<SimMemo> memos;
    QList<SimAppointment> schedule;
    QList<QList<SimLink>> links; // link groups, shown separated by a rule
    QList<SimArticle> articles;

    // Reads the data-file form. Relative times ("+30m", "yesterday 18:10", day offsets) are taken
    // from `now`. Returns false with a message in `error` on a malformed file.
    bool load(const QJsonObject& json, const QDateTime& now, QString* error);
    // The same form with absolute times; load() reads it back.
    QJsonObject toJson() const;

    const SimUser* user(qint32 id) const;
    const SimGroup* group(qint32 id) const;
    QList<const SimUser*> members(qint32 groupId) const; // every user for group 0
    quint16 applicationsOf(qint32 userId) const;
    bool mayChange(qint32 userId, qint32 targetId) const;
    int unreadMemos(qint32 userId) const;
    QList<SimAppointment> appointmentsOn(qint32 userId, QDate day) const; // sorted for display
    QList<SimArticle> articlesNewestFirst() const;

    static QStringList defaultPlaces();
};

// Helpers shared by the loader and the tests: relative times of the data file.
QDateTime parseMoment(const QString& text, const QDateTime& now, bool* ok);
QTime parseTimeOfDay(const QString& text, const QDateTime& now, bool* ok);

} // namespace zelmora::sim
