#include "DemoDirectory.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zelmora::test {

QString demoDataFile() {
    return QStringLiteral(ZELMORA_FIXTURE_DIR "/../../tools/groupware-sim/data/demo.json");
}

bool loadDemoDirectory(Settings& settings) {
    QFile file(demoDataFile());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject demo = QJsonDocument::fromJson(file.readAll()).object();
    for (const QJsonValue& g : demo.value(QStringLiteral("groups")).toArray()) {
        const QJsonObject group = g.toObject();
        settings.groups.append(
            {group.value(QStringLiteral("id")).toInt(), group.value(QStringLiteral("name")).toString()});
        settings.user.GROUP_DISP_ORDER.append(settings.groups.last().id);
    }
    for (const QJsonValue& u : demo.value(QStringLiteral("users")).toArray()) {
        const QJsonObject user = u.toObject();
        UserRecord record{user.value(QStringLiteral("id")).toInt(), user.value(QStringLiteral("name")).toString(), {}};
        for (const QJsonValue& id : user.value(QStringLiteral("groups")).toArray())
            record.groupIds.append(id.toInt());
        settings.users.append(record);
    }
    return !settings.users.isEmpty();
}

} // namespace zelmora::test
