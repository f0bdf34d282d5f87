#pragma once

#include <QtGlobal>

namespace zelmora {

// Bits of the usable-application mask: which groupware applications the logged-in user may use.
// The settings record keeps the mask; the login reads it from the top page.
enum ApplicationFlag : quint16 {
    AppSchedule = 1,
    AppWhereabouts = 2,
    AppBulletin = 4,
    AppCircular = 8,
    AppWebMail = 16,
    AppWorkflow = 32,
    AppAll = 63,
};
using ApplicationFlags = quint16;

} // namespace zelmora
