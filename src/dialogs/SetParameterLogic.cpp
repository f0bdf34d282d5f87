#include "dialogs/SetParameterLogic.h"

#include "dialogs/DialogNumber.h"

namespace zelmora {

using namespace setparameter;

namespace {

QString withFinalSlash(const QString& url) {
    return url.endsWith(QLatin1Char('/')) ? url : url + QLatin1Char('/');
}

// One box of minutes: the message for a text that is no number, the one for a number out of range.
QString checkMinutes(const QString& text, qint32 low, qint32 high, const QString& notNumeric, const QString& range,
                     qint16& value) {
    const NumberReading reading = readWholeNumber(text, low, high);
    switch (reading.check) {
    case NumberCheck::NotNumeric:
        return notNumeric;
    case NumberCheck::OutOfRange:
        return range;
    case NumberCheck::Ok:
        value = qint16(reading.value);
        break;
    }
    return {};
}

} // namespace

RestartClass ClassifyRestart(const ConnectionSettings& original, const ConnectionSettings& edited) {
    if (original.PROXY_MODE != edited.PROXY_MODE || original.PROXY_PORTNO != edited.PROXY_PORTNO ||
        original.SERVER_PASSWORD_REQUIRED != edited.SERVER_PASSWORD_REQUIRED ||
        original.CHECK_USABLE_APPLICATION != edited.CHECK_USABLE_APPLICATION)
        return RestartClass::Other;
    if (original.SERVER_OS_TYPE != edited.SERVER_OS_TYPE ||
        withFinalSlash(original.SERVER_URL) != withFinalSlash(edited.SERVER_URL))
        return RestartClass::Server;
    return RestartClass::None;
}

ParameterCheck CheckParameterTexts(const ParameterTexts& texts, const std::function<bool(const QString&)>& fileExists) {
    ParameterCheck check;
    if (texts.notifySchedule) {
        qint16 minutes = 0;
        check.error = checkMinutes(texts.alarmTiming, 0, 59, kAlarmNotNumeric, kAlarmRange, minutes);
        if (!check.ok())
            return check;
        check.alarmMinutes = minutes;
    } else if (const NumberReading r = readWholeNumber(texts.alarmTiming, 0, 59); r.check == NumberCheck::Ok) {
        check.alarmMinutes = qint16(r.value);
    }
    if (texts.useSound) {
        if (texts.soundFile.isEmpty())
            check.warnings.append(kSoundNotGiven);
        else if (!fileExists(texts.soundFile))
            check.warnings.append(kSoundWrong);
    }
    check.error = checkMinutes(texts.getInterval, 1, 59, kGetIntervalNotNumeric, kGetIntervalRange, check.getInterval);
    if (check.ok())
        check.error = checkMinutes(texts.updateInterval, 1, 59, kUpdateIntervalNotNumeric, kUpdateIntervalRange,
                                   check.updateInterval);
    if (check.ok())
        check.error = checkMinutes(texts.absenseLevel, 5, 60, kAbsenseNotNumeric, kAbsenseRange, check.absenseLevel);
    return check;
}

const QList<UsableControlRow>& UsableApplicationControls() {
    static const QList<UsableControlRow> rows = {
        {AppSchedule,
         {QStringLiteral("chkNotifySchedule"), QStringLiteral("txtAlarmTiming"), QStringLiteral("lblAlarmTiming")},
         {QStringLiteral("chkNotifySchedule")}},
        {AppWhereabouts,
         {QStringLiteral("chkNotifyMemo"), QStringLiteral("fraGroupDispOrder"), QStringLiteral("lstGroupDispOrder"),
          QStringLiteral("cboSelectGroup"), QStringLiteral("cmdAdd"), QStringLiteral("cmdRemove"),
          QStringLiteral("cmdToUp"), QStringLiteral("cmdToDown"), QStringLiteral("chkRegistStartUpPosition"),
          QStringLiteral("chkRegistEndPosition"), QStringLiteral("cmdSetEndAction")},
         {QStringLiteral("chkNotifyMemo"), QStringLiteral("chkRegistStartUpPosition"),
          QStringLiteral("chkRegistEndPosition")}},
        {AppBulletin, {QStringLiteral("chkNotifyNewArticle")}, {QStringLiteral("chkNotifyNewArticle")}},
        {AppCircular, {QStringLiteral("chkNotifyCircular")}, {QStringLiteral("chkNotifyCircular")}},
        {AppWebMail, {QStringLiteral("chkNotifyMail")}, {QStringLiteral("chkNotifyMail")}},
        {AppWorkflow, {QStringLiteral("chkNotifyWorkFlow")}, {QStringLiteral("chkNotifyWorkFlow")}},
    };
    return rows;
}

} // namespace zelmora
