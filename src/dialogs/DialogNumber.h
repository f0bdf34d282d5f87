#pragma once

#include <QString>

namespace zelmora {

// Numbers typed into the settings dialogs. A text counts as a number when it is a decimal number
// (sign, fraction and exponent allowed, half- or full-width digits, spaces around it); a fraction
// is rounded to the nearest whole number, half to even as the settings file reader rounds. A number
// too large for any field is still a number: it is refused by the range check, never converted.
enum class NumberCheck { Ok, NotNumeric, OutOfRange };

struct NumberReading {
    NumberCheck check = NumberCheck::NotNumeric;
    qint32 value = 0; // meaningful when check is Ok
};

// Reads `text` as a whole number from `low` to `high`, both included.
NumberReading readWholeNumber(const QString& text, qint32 low, qint32 high);

} // namespace zelmora
