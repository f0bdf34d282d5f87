#include "groupware/Registration.h"

#include "net/Cp932.h"
#include "net/PatternUtils.h"

namespace zelmora {

namespace {

bool endsInMark(const QString& text) {
    return !text.isEmpty() && (text.back() == kMarkPresent || text.back() == kMarkAbsent);
}

const QString kSeparator = QStringLiteral("--");

QStringList optionTexts(const QString& page, const QString& selectName) {
    QList<SelectOption> options;
    GetSelectOptions(page, selectName, options);
    QStringList texts;
    for (qsizetype i = 1; i < options.size(); ++i)
        texts.append(options.at(i).text);
    return texts;
}

} // namespace

QByteArray whereEntryBody(const WhereEntryRequest& request, bool* ok) {
    bool allEncoded = true;
    const auto value = [&allEncoded](const QString& text) {
        bool encoded = true;
        const QByteArray bytes = cp932::formEncode(text, &encoded);
        allEncoded = allEncoded && encoded;
        return bytes;
    };
    // The server's form sends GID as two double-quote characters.
    QByteArray body = "Page=WhereEntry&GID=" + value(QStringLiteral("\"\"")) +
                      "&ID=" + QByteArray::number(request.memberId) + "&Bpage=index&Detail=" + value(request.detail) +
                      "&Until=" + value(request.until) + "&Unit=" + value(request.unit) +
                      "&Contact=" + value(request.contact) + "&Submit=" + value(QStringLiteral("登録する"));
    if (ok)
        *ok = allEncoded;
    return body;
}

QString markedText(const QString& text, bool present) {
    return text + (present ? kMarkPresent : kMarkAbsent);
}

WhereEntryRequest autoRegistrationRequest(const ConnectionSettings& settings, qint32 userId, bool present) {
    WhereEntryRequest r;
    r.memberId = userId;
    r.detail = markedText(settings.HERE_POSITION, present);
    r.contact = markedText(settings.HERE_TELNO, present);
    return r;
}

QString withoutMarks(const QString& text) {
    QString t = text;
    while (endsInMark(t))
        t.chop(1);
    return t;
}

qint32 permissionCheckMemberId(const QList<UserRecord>& users, qint32 userId) {
    for (const UserRecord& u : users) {
        if (u.id != 0 && u.id != userId)
            return u.id;
    }
    return 0;
}

qint16 permissionStateFromPage(const QString& page, qint16 current) {
    if (page.contains(QStringLiteral("さんの行き先を変更する権限はありません")))
        return PermissionDenied;
    return current == PermissionKept ? current : qint16(PermissionGranted);
}

PositionMenuChoice positionMenuChoice(const QString& caption, qint32 memberId, const GroupwareSession& session,
                                      const ConnectionSettings& settings) {
    PositionMenuChoice choice;
    choice.memberId = memberId;
    const bool own = session.isLoggedIn() && memberId == session.userId();
    const MemberRecord* member = own ? nullptr : session.findMember(memberId);

    if (caption == kMenuDetails) {
        choice.action = PositionMenuChoice::OpenDialog;
        const MemberRecord current = own ? session.ownRecord() : (member ? *member : MemberRecord());
        choice.currentPosition = current.position;
        choice.currentContact = current.contact;
        return choice;
    }

    choice.action = PositionMenuChoice::Post;
    choice.recordAsLast = own;
    if (caption == kMenuAutoRegistration) {
        choice.request = autoRegistrationRequest(settings, memberId, true);
        return choice;
    }
    choice.request.memberId = memberId;
    choice.request.detail = caption;
    choice.request.contact =
        withoutMarks(own ? session.lastRegistration().contact : (member ? member->contact : QString()));
    return choice;
}

QStringList WhereEntryChoices::placesWithoutSeparators() const {
    QStringList places = place;
    places.removeAll(kSeparator);
    return places;
}

WhereEntryChoices readWhereEntryChoices(const QString& page) {
    return WhereEntryChoices{optionTexts(page, QStringLiteral("Place")), optionTexts(page, QStringLiteral("Until")),
                             optionTexts(page, QStringLiteral("Unit"))};
}

} // namespace zelmora
