#include "dialogs/RegistPositionLogic.h"

#include "groupware/Board.h"
#include "net/PatternUtils.h"

namespace zelmora {

namespace {
const QString kLimitPattern = QStringLiteral("[0-9０-９]+((日まで)|(時まで)|(時半まで))");
const QString kUnitPattern = QStringLiteral("(日まで)|(時まで)|(時半まで)");
} // namespace

PositionFields splitCurrentPosition(const QString& position, const QString& contact) {
    PositionFields fields;
    fields.autoRegistered = IsAutoRegistered(position, contact);
    const int mark = fields.autoRegistered ? 1 : 0;

    qsizetype start = 0;
    qsizetype length = 0;
    if (RegExpFind(position, kLimitPattern, start, length) > 0) {
        // Before the digits stand the place, " (" and, for an automatic entry, one character more.
        // A limit at the very start of the text leaves an empty place.
        fields.place = position.left(qMax<qsizetype>(0, start - 3 - mark));
        const QString limit = position.mid(start - 1, length);
        qsizetype unitStart = 0;
        qsizetype unitLength = 0;
        RegExpFind(limit, kUnitPattern, unitStart, unitLength);
        fields.hasLimit = true;
        fields.limitNumber = limit.left(unitStart - 1);
        fields.limitUnit = limit.mid(unitStart - 1);
    } else {
        fields.place = position.left(position.size() - mark);
    }
    fields.contact = contact.left(contact.size() - mark);
    return fields;
}

RegistFormState registFormState(bool autoRegistered, qint16 intMode) {
    RegistFormState state;
    state.autoEnabled = intMode == kRegistModeMenu;
    state.autoTicked = autoRegistered && intMode == kRegistModeMenu;
    return state;
}

WhereEntryRequest registRequest(const RegistInput& input, const ConnectionSettings& settings, qint32 memberId) {
    if (input.autoTicked)
        return autoRegistrationRequest(settings, memberId, true);
    WhereEntryRequest request;
    request.memberId = memberId;
    request.detail = input.place;
    request.until = input.until;
    request.unit = input.unit;
    request.contact = input.contact;
    return request;
}

} // namespace zelmora
