#include "groupware/UserDataFile.h"

#include "core/Cp932.h"
#include "core/FileReplacement.h"
#include "core/Logging.h"
#include "core/MessageBox.h"
#include "core/SettingsFile.h"
#include "net/PatternUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace zelmora {

namespace {

const QString kSeparator = QStringLiteral("\",\"");

bool readFlag(const QString& text, bool& flag) {
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        flag = true;
        return true;
    }
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        flag = false;
        return true;
    }
    bool ok = false;
    flag = ReadNumber(text, &ok) != 0;
    return ok;
}

// One line: "id","name","flag","number","group",... Returns false when it is no user record.
bool readUser(const QString& line, UserRecord& user) {
    QStringList fields = line.split(kSeparator);
    if (fields.size() < 4) {
        return false;
    }
    // The outer quotes: the first character of the line and the last one, whatever they are.
    fields.first().remove(0, 1);
    if (!fields.last().isEmpty()) {
        fields.last().chop(1);
    }
    bool ok = false;
    user.id = ReadNumber(fields.at(0), &ok);
    if (!ok) {
        return false;
    }
    user.name = fields.at(1);
    if (!readFlag(fields.at(2), user.duplicateName)) {
        return false;
    }
    user.number = ReadNumber(fields.at(3), &ok);
    if (!ok) {
        return false;
    }
    user.groupIds.clear();
    for (qsizetype i = 4; i < fields.size(); ++i) {
        user.groupIds.append(ReadNumber(fields.at(i), &ok));
        if (!ok) {
            return false;
        }
    }
    return true;
}

void reportReadFailure() {
    showMessage(kTitleError, MsgIcon::Warning, QStringLiteral("ユーザーデータの読み込みに失敗しました"));
}

} // namespace

QByteArray composeUserData(const QList<UserRecord>& users) {
    QString text;
    for (const UserRecord& user : users) {
        text += QLatin1Char('"') + QString::number(user.id) + kSeparator + user.name + kSeparator +
                (user.duplicateName ? QLatin1String("True") : QLatin1String("False")) + kSeparator +
                QString::number(user.number);
        for (const qint32 groupId : user.groupIds) {
            text += kSeparator + QString::number(groupId);
        }
        text += QLatin1String("\"\r\n");
    }
    // Names come from cp932 pages; one that has no code is written with "?" rather than not at all.
    return cp932::encode(text);
}

bool parseUserData(const QByteArray& bytes, QList<UserRecord>& users) {
    // cp932 trail bytes are never CR or LF, so the text can be split after decoding. A lone LF (a
    // file edited elsewhere) ends a line too.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = cp932::decode(bytes).split(lineBreak);
    for (const QString& line : lines) {
        if (!line.contains(kSeparator)) {
            continue;
        }
        UserRecord user;
        if (!readUser(line, user)) {
            return false;
        }
        users.append(user);
    }
    return true;
}

qint16 LoadUserData(QList<UserRecord>& users, const QString& path) {
    users.clear();
    if (!QFileInfo::exists(path)) {
        return SettingsMissing;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reportReadFailure();
        return SettingsDone;
    }
    const QByteArray bytes = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    if (!parseUserData(bytes, users) || readFailed) {
        reportReadFailure();
    }
    return SettingsDone;
}

bool SaveUserData(const QList<UserRecord>& users, const QString& path) {
    QString why;
    if (!replaceFileContent(path, composeUserData(users), &why)) {
        qCWarning(lcApp).noquote() << "user data" << path << "not saved:" << why;
        showMessage(kTitleError, MsgIcon::Warning, QStringLiteral("ユーザーデータの保存に失敗しました"));
        return false;
    }
    return true;
}

} // namespace zelmora
