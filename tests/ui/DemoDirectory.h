#pragma once

#include "core/Settings.h"

#include <QString>

namespace zelmora::test {

// The demo organisation of groupware-sim, which the screenshot tools show.
QString demoDataFile();

// Fills `settings` with the directory as the program would have loaded it from the demo
// organisation: every group (in its display order) and every user. False when the file cannot be read
// or holds no user.
bool loadDemoDirectory(Settings& settings);

} // namespace zelmora::test
