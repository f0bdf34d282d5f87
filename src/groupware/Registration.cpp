#include "groupware/Registration.h"

#include "core/Clock.h"
#include "core/Logging.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

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

FormData whereEntryForm(const WhereEntryRequest& request) {
    FormData form;
    // The server's own form sends GID as two double-quote characters.
    form.add(QStringLiteral("Page"), QStringLiteral("WhereEntry"))
        .add(QStringLiteral("GID"), QStringLiteral("\"\""))
        .add(QStringLiteral("ID"), request.memberId)
        .add(QStringLiteral("Bpage"), QStringLiteral("index"))
        .add(QStringLiteral("Detail"), request.detail)
        .add(QStringLiteral("Until"), request.until)
        .add(QStringLiteral("Unit"), request.unit)
        .add(QStringLiteral("Contact"), request.contact)
        .add(QStringLiteral("Submit"), QStringLiteral("登録する"));
    return form;
}

QByteArray whereEntryBody(const WhereEntryRequest& request, bool* ok) {
    return whereEntryForm(request).encoded(ok);
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

PostResult PostWhereEntry(const ConnectionSettings& connection, const WhereEntryRequest& request) {
    qCInfo(lcRegistration).noquote() << "whereabouts entry for member" << request.memberId << ":" << request.detail
                                     << "/" << request.until << request.unit << "/" << request.contact;
    const PostResult result = PostForm(connection.programUrl + QLatin1Char('?'), whereEntryForm(request));
    if (!result.ok())
        qCInfo(lcRegistration).noquote() << "whereabouts entry for member" << request.memberId
                                         << "not confirmed:" << describeTransferError(result.error, result.httpStatus);
    return result;
}

PostResult RegistPosition(const ConnectionSettings& connection, const GroupwareSession& session, bool present) {
    if (!session.isLoggedIn()) {
        qCInfo(lcRegistration) << "automatic registration skipped: nobody logged in";
        return PostResult();
    }
    qCInfo(lcRegistration) << "automatic registration of user" << session.userId() << "as"
                           << (present ? "present" : "absent");
    return PostWhereEntry(connection, autoRegistrationRequest(connection, session.userId(), present));
}

void CheckPositionPermission(ConnectionSettings& connection, const GroupwareSession& session,
                             const QList<UserRecord>& users, PageResult* fetched) {
    const qint32 memberId = permissionCheckMemberId(users, session.userId());
    PageResult page = GetPage(connection.programUrl + QStringLiteral("?page=WhereEntry&id=") +
                              QString::number(memberId) + QStringLiteral("&gid=0"));
    if (!page.isError())
        connection.memberPermissionState = permissionStateFromPage(page.text, connection.memberPermissionState);
    qCInfo(lcRegistration) << "permission to change other members' entries (checked on member" << memberId
                           << "):" << connection.memberPermissionState;
    if (fetched)
        *fetched = std::move(page);
}

PostResult PostPositionMenuChoice(const ConnectionSettings& connection, GroupwareSession& session,
                                  const PositionMenuChoice& choice) {
    if (choice.action != PositionMenuChoice::Post)
        return PostResult();
    const PostResult result = PostWhereEntry(connection, choice.request);
    // A post without answer may still have reached the server: it counts as sent.
    if (choice.recordAsLast && (result.ok() || result.timedOut()))
        session.recordRegistration(choice.request.detail, choice.request.contact, Clock::now());
    return result;
}

WhereEntryChoices GetWhereEntryChoices(const ConnectionSettings& connection, const GroupwareSession& session,
                                       PageResult* fetched) {
    PageResult page =
        GetPage(connection.programUrl + QStringLiteral("?page=WhereEntry&id=") + QString::number(session.userId()));
    const WhereEntryChoices choices = readWhereEntryChoices(page.text);
    if (fetched)
        *fetched = std::move(page);
    return choices;
}

} // namespace zelmora
