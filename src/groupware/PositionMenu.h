#pragma once

#include "groupware/Records.h"
#include "net/PatternUtils.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zelmora {

// A place item added at run time to the position menus; `checked` applies to the own-position menus only
// (the tray's and mnuMyPositionItem), never to the member and right-button menus.
struct PlaceMenuItem {
    QString caption; // empty for a separator
    bool separator = false;
    bool checked = false;
};

struct PlaceMenu {
    QList<PlaceMenuItem> places;
    bool autoChecked = false; // check mark of item 2, "自動登録"
};

// The place texts of the "Place" select element of the entry page: the option texts from the second on,
// "--" included (it stands for a separator).
QStringList placeTexts(const QList<SelectOption>& placeOptions);

// Place items from placeTexts(): "--" becomes a separator; a place is checked when it equals the own
// whereabouts text and the own entry was not registered automatically; "自動登録" is checked when it was.
PlaceMenu placeMenu(const QStringList& places, const MemberRecord& own);

} // namespace zelmora
