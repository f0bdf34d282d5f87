#include "groupware/ScheduleTime.h"

namespace zelmora {

QString scheduleTimePrefix(const ScheduleItem& item) {
    const QString format = QStringLiteral("HH:mm");
    switch (item.kind) {
    case ScheduleItem::StartOnly:
        return item.start.toString(format) + QLatin1Char(' ');
    case ScheduleItem::StartEnd:
        return item.start.toString(format) + QLatin1Char('-') + item.end.toString(format) + QLatin1Char(' ');
    default:
        return QString();
    }
}

} // namespace zelmora
