#pragma once

#include "net/FormData.h"
#include "net/TransferResult.h"

#include <QDate>
#include <QString>

namespace zelmora {

struct ConnectionSettings;

// The groupware's telephone memo form ("Page=WhereMemo"): a memo left on a member's whereabouts
// entry. The desktop dialog and the command line send the same request.

// The three requests of the form, in the order of the dialog's options.
inline constexpr int kTelMemoRequestCount = 3;
QString telMemoRequestText(int index); // "折返しお電話ください。" ... ; index outside 0..2 gives the first

// One memo as typed. Texts are taken as they stand in the fields; telMemoForm trims them.
struct TelMemoRequest {
    qint32 toUserId = 0;
    QString date; // memoDateCaption() of the day the memo was opened, sent untrimmed
    QString time;
    QString whom; // the caller
    int request = 0;
    QString tel;
    QString memo; // line breaks in any convention
    QString writer;
};

// "m/d (曜) " with the trailing blank, e.g. "12/6 (金) ", as the memo form writes the day.
QString memoDateCaption(const QDate& date);

// Whether the time field, put after today's date, reads as a date and time: empty (today alone),
// "h:mm", "h:mm:ss", "h時", "h時m分" or "h時m分s秒", optionally with 午前/午後 before or AM/PM after
// (hours 1-12 then), full-width digits and colons allowed.
bool isValidMemoTime(const QString& time);

// The memo's text with every line break as CR LF and the blanks around the whole text removed.
// Line breaks at either end stay: they are not blanks.
QString memoBodyText(const QString& memo);

// The form in the server's field order: Page, ID, GID, the six fixed titles, Date, Time, Whom,
// Request, Tel, Memo, Writer, Submit. Values are percent-encoded cp932, so "&" or "=" stay in
// their field, and the memo's line breaks arrive as CR LF (%0D%0A).
FormData telMemoForm(const TelMemoRequest& memo);

// Posts the memo to the program URL + "?". The answer is not read; a text with a character that
// has no cp932 code is not sent (UnencodableText).
PostResult PostTelMemo(const ConnectionSettings& connection, const TelMemoRequest& memo);

} // namespace zelmora
