#pragma once

#include "core/Settings.h"
#include "groupware/Records.h"

namespace zelmora {

// What one automatic registration pass posts: nothing, present (marks "*") or absent (marks "?").
enum class Registration { None, Present, Absent };

// The decision of UpdatePosition for a logged-in user, from the own entry as read from the server. Only an
// entry whose whereabouts and contact texts end in the same mark is touched. Forced: present. An entry that
// still holds HERE_POSITION and HERE_TELNO (substring tests) flips to absent when marked present and the
// user is idle, to present when marked absent and the user is active. An entry that no longer holds them
// becomes present when the user is active.
Registration decideRegistration(const MemberRecord& own, bool forced, bool active,
                                const ConnectionSettings& connection);

} // namespace zelmora
