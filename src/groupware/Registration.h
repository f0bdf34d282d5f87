#pragma once

#include "core/Settings.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Records.h"
#include "net/FormData.h"
#include "net/TransferResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace zelmora {

// Writing whereabouts entries: the one form post that every registration of the program uses,
// the automatic registration, the check whether other members' entries may be changed and the
// decision behind a click in a position menu. The functions in lower camel case work on values
// and page text only; those in upper camel case talk to the server.

// One whereabouts entry request for the member `memberId`.
struct WhereEntryRequest {
    qint32 memberId = 0;
    QString detail; // the whereabouts text
    QString until;  // time limit value, empty except from the registration dialog
    QString unit;   // time limit unit, empty except from the registration dialog
    QString contact;

    bool operator==(const WhereEntryRequest&) const = default;
};

// The form, fields in the server's order: Page, GID, ID, Bpage, Detail, Until, Unit, Contact,
// Submit. Values are percent-encoded cp932 as a browser submits the form, so "&", "=" or "+" in a
// text stay inside their field.
FormData whereEntryForm(const WhereEntryRequest& request);
// Its body. `ok` becomes false when a text has a character without a cp932 code; such a body must
// not be sent.
QByteArray whereEntryBody(const WhereEntryRequest& request, bool* ok = nullptr);

// `text` followed by the registration mark ("*" present, "?" absent); the mark alone when empty.
QString markedText(const QString& text, bool present);

// The automatic registration of the logged-in user: HERE_POSITION and HERE_TELNO, each with the
// mark, no time limit.
WhereEntryRequest autoRegistrationRequest(const ConnectionSettings& settings, qint32 userId, bool present);

// `text` without its trailing registration marks ("*" and "?", repeatedly from the end).
QString withoutMarks(const QString& text);

// Permission to change other members' entries: 0 not allowed, 1 allowed, 2 set elsewhere and
// left as it is.
enum PermissionState : qint16 { PermissionDenied = 0, PermissionGranted = 1, PermissionKept = 2 };

// The member whose entry page is asked for in the permission check: the first user of the
// directory other than the logged-in user, or 0 when there is none. Empty directory slots (id 0)
// are passed over.
qint32 permissionCheckMemberId(const QList<UserRecord>& users, qint32 userId);

// The permission state after reading that member's entry page. An empty page (no answer) counts
// as permission granted.
qint16 permissionStateFromPage(const QString& page, qint16 current);

// Captions of the fixed position menu items.
inline const QString kMenuDetails = QStringLiteral("詳細設定...");
inline const QString kMenuAutoRegistration = QStringLiteral("自動登録");

// What a click on a position menu item asks for.
struct PositionMenuChoice {
    enum Action { OpenDialog, Post };
    Action action = Post;
    qint32 memberId = 0;
    // OpenDialog: the starting texts of the registration dialog (opened in mode 0).
    QString currentPosition;
    QString currentContact;
    // Post: the request, and whether it becomes the last registration.
    WhereEntryRequest request;
    bool recordAsLast = false;
};

// Decides a click on the position menu item `caption` for the member `memberId`:
// - "詳細設定..." opens the registration dialog with that member's current texts (the own
//   record for the logged-in user, the member's board row for another member);
// - "自動登録" posts HERE_POSITION and HERE_TELNO with the present mark;
// - any other caption (a whereabouts word) posts the word with a contact text without marks: the
//   last registered one for the logged-in user, the member's own contact text for another member
//   (sending the user's contact text as someone else's would overwrite theirs).
// Only registrations of the logged-in user's own entry become the last registration.
PositionMenuChoice positionMenuChoice(const QString& caption, qint32 memberId, const GroupwareSession& session,
                                      const ConnectionSettings& settings);

// The option texts of the whereabouts entry page ("?page=WhereEntry&id="), each list from the
// second option on (the first is the empty choice). Places keep "--", which the menus show as a
// separator.
struct WhereEntryChoices {
    QStringList place;
    QStringList until;
    QStringList unit;

    // The places without the "--" separators, as the registration dialog lists them.
    QStringList placesWithoutSeparators() const;
};

WhereEntryChoices readWhereEntryChoices(const QString& page);

// Posts one whereabouts entry request to the program URL + "?". The answer is not read; a text
// without cp932 code is not sent (UnencodableText).
PostResult PostWhereEntry(const ConnectionSettings& connection, const WhereEntryRequest& request);

// Automatic registration of the logged-in user as present or absent. Nothing is sent, and the
// result is empty, when nobody is logged in. A post without answer is not repeated.
PostResult RegistPosition(const ConnectionSettings& connection, const GroupwareSession& session, bool present);

// Asks for the entry page of another member (permissionCheckMemberId) and sets
// connection.memberPermissionState from it. A request that failed with a transfer error leaves
// the state unchanged.
void CheckPositionPermission(ConnectionSettings& connection, const GroupwareSession& session,
                             const QList<UserRecord>& users, PageResult* fetched = nullptr);

// Posts what a position menu click decided (a Post choice) and, for the own entry, records it as
// the last registration with the current time. The caller refreshes the status window.
PostResult PostPositionMenuChoice(const ConnectionSettings& connection, GroupwareSession& session,
                                  const PositionMenuChoice& choice);

// The choices of the logged-in user's whereabouts entry page ("?page=WhereEntry&id=" + user id).
WhereEntryChoices GetWhereEntryChoices(const ConnectionSettings& connection, const GroupwareSession& session,
                                       PageResult* fetched = nullptr);

} // namespace zelmora
