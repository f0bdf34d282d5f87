#pragma once

#include "core/Settings.h"
#include "groupware/Records.h"
#include "groupware/ScheduleTime.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace zelmora {

// Title of the status window after a refresh: "ゼルモラ - サーバーにアクセスできません" when it failed, else
// "ゼルモラ - yyyy/MM/dd HH:mm 更新" with the time of the refresh.
QString statusTitle(bool failed, const QDateTime& now);

// The notices of one refresh: the lines of txtYourNotice, the bits for intInformationType of the notice
// window (1 mail, 2 circular, 4 memo, 8 article, 16 workflow) and whether the notice window is due, that is
// whether a present notice has its NOTIFY_* switch on. Lines are shown whatever the switches say.
struct NoticeSummary {
    QStringList lines;
    quint16 informationType = 0;
    bool due = false;
};
NoticeSummary summarizeNotices(const NoticeCounts& counts, const UserSettings& user);

// One line per schedule item for txtTodaySchedule: "title", "HH:mm title" or "HH:mm-HH:mm title" by kind;
// items of an unknown kind give no line.
QStringList scheduleLines(const QList<ScheduleItem>& schedule);

} // namespace zelmora
