#include "groupware/PositionMenu.h"

namespace zelmora {

QStringList placeTexts(const QList<SelectOption>& placeOptions) {
    QStringList texts;
    // Every reader of the "Place" select takes its places from the second option on.
    for (qsizetype i = 1; i < placeOptions.size(); ++i)
        texts.append(placeOptions.at(i).text);
    return texts;
}

PlaceMenu placeMenu(const QStringList& places, const MemberRecord& own) {
    PlaceMenu menu;
    menu.autoChecked = own.autoRegistered;
    for (const QString& text : places) {
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
