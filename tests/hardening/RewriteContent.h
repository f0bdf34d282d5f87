#pragma once

#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "groupware/Records.h"

#include <QList>
#include <QString>

namespace zelmora::test {

// Two versions of the program's two data files, A and B, of clearly different sizes, that the
// crash tests write over each other. `which` is 0 for A and 1 for B.
Settings rewriteSettings(int which);
SettingsContext rewriteContext(int which);
QList<UserRecord> rewriteUsers(int which);

// The section of the settings file that is rewritten: the logged-in user's.
inline const QString kRewriteSection = QStringLiteral("1");

} // namespace zelmora::test
