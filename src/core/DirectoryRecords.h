#pragma once

#include <QList>
#include <QString>

namespace zelmora {

// The group list and the user directory as the settings record holds them (1-based lists with an
// empty element 0) and UserData.dat caches them.

struct GroupRecord {
    qint32 id = 0;
    QString name;
    bool shown = true;
};

struct UserRecord {
    qint32 id = 0;
    QString name;
    QList<qint32> groupIds; // at least one
    qint32 number = 0;      // kept as read from UserData.dat
    bool duplicateName = false;
};

} // namespace zelmora
