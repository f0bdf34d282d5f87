#pragma once

#include <QString>
#include <QStringList>

namespace zelmora {

// The server's choices offered by the exit dialog: the options of the whereabouts entry page's
// select elements "Place", "Until" and "Unit", each from its second option on.
struct EndPositionChoices {
    QStringList places; // "--" options left out
    QStringList limits;
    QStringList units;
};

// What the exit dialog posts: whereabouts text, time limit, limit unit and contact, as typed.
struct EndPositionEntry {
    QString position;
    QString limit;
    QString unit;
    QString contact;
};

} // namespace zelmora
