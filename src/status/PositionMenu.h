#pragma once

#include "groupware/Records.h"

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

// Place items from the option texts of the "Place" select element of the entry page. The first option is
// skipped and "--" becomes a separator. A place is checked when it equals the own whereabouts text and the
// own entry was not registered automatically; "自動登録" is checked when it was.
PlaceMenu placeMenu(const QStringList& placeOptions, const MemberRecord& own);

} // namespace zelmora
