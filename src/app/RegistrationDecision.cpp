#include "app/RegistrationDecision.h"

#include "core/Logging.h"

namespace zelmora {

namespace {
// The mark both texts end in, or a null QChar when they do not end in the same mark.
QChar commonMark(const MemberRecord& own) {
    if (own.position.isEmpty() || own.contact.isEmpty())
        return QChar();
    const QChar mark = own.position.back();
    if ((mark != kMarkPresent && mark != kMarkAbsent) || own.contact.back() != mark)
        return QChar();
    return mark;
}

Registration decide(const MemberRecord& own, bool forced, bool active, const ConnectionSettings& connection) {
    const QChar mark = commonMark(own);
    if (mark.isNull())
        return Registration::None;
    if (forced)
        return Registration::Present;
    const bool holdsSettings =
        own.position.contains(connection.HERE_POSITION) && own.contact.contains(connection.HERE_TELNO);
    if (!holdsSettings)
        return active ? Registration::Present : Registration::None;
    if (mark == kMarkPresent && !active)
        return Registration::Absent;
    if (mark == kMarkAbsent && active)
        return Registration::Present;
    return Registration::None;
}

const char* describe(Registration registration) {
    switch (registration) {
    case Registration::Present:
        return "register present";
    case Registration::Absent:
        return "register absent";
    case Registration::None:
        break;
    }
    return "leave as it is";
}
} // namespace

Registration decideRegistration(const MemberRecord& own, bool forced, bool active,
                                const ConnectionSettings& connection) {
    const Registration registration = decide(own, forced, active, connection);
    qCInfo(lcRegistration).noquote() << "own entry" << own.position << "/" << own.contact << "forced" << forced
                                     << "active" << active << "->" << describe(registration);
    return registration;
}

} // namespace zelmora
