#pragma once

#include "core/Settings.h"
#include "groupware/Registration.h"

#include <QString>

namespace zelmora {

// Widget-free part of the whereabouts registration dialog: how a board entry is taken apart into
// the dialog's fields, the dialog's starting state and the request that "登録" sends.

// The fields shown for a current entry.
struct PositionFields {
    bool autoRegistered = false; // both texts end in a registration mark
    QString place;
    bool hasLimit = false;
    QString limitNumber; // the digits as written (full-width digits stay full-width)
    QString limitUnit;   // "日まで", "時まで" or "時半まで"
    QString contact;
};

// Splits the board texts of an entry. The board shows a limit as " (15時まで)" after the place:
// the place is what stands before the " (" in front of the digits (one character less for an
// automatic entry). Without a limit the place is the whole text, without its mark when the entry
// is automatic; so is the contact.
PositionFields splitCurrentPosition(const QString& position, const QString& contact);

// intMode values: opened through a position menu handler, or from the status window's grid.
inline constexpr qint16 kRegistModeMenu = 0;
inline constexpr qint16 kRegistModeGrid = -1;

// Starting state: the check box "自動登録" is offered only in menu mode and ticked there for an
// automatic entry; the manual fields are enabled while it is unticked.
struct RegistFormState {
    bool autoEnabled = false;
    bool autoTicked = false;
};
RegistFormState registFormState(bool autoRegistered, qint16 intMode);

// The dialog's fields as typed.
struct RegistInput {
    bool autoTicked = false;
    QString place;
    QString until;
    QString unit;
    QString contact;
};

// What "登録" posts for `memberId`: HERE_POSITION and HERE_TELNO with the present mark when the
// check box is ticked (no limit), otherwise the fields as they stand, untrimmed.
WhereEntryRequest registRequest(const RegistInput& input, const ConnectionSettings& settings, qint32 memberId);

} // namespace zelmora
