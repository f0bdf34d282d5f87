#include "status/PositionMenu.h"

namespace zelmora {

PlaceMenu placeMenu(const QStringList& placeOptions, const MemberRecord& own) {
    PlaceMenu menu;
    menu.autoChecked = own.autoRegistered;
    // Every reader of the "Place" select takes its places from the second option on.
    for (qsizetype i = 1; i < placeOptions.size(); ++i) {
        const QString& text = placeOptions.at(i);
        PlaceMenuItem item;
        if (text == QLatin1String("--")) {
            item.separator = true;
        } else {
            item.caption = text;
            item.checked = !own.autoRegistered && text == own.position;
        }
        menu.places.append(item);
    }
    return menu;
}

} // namespace zelmora
