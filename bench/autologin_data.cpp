// zelmora-autologin-data: writes a data folder in which zelmora logs in by itself, for runs of the
// whole program without a person (bench/longrun.sh). The password is stored scrambled, as the
// program stores a remembered one.
//
//   zelmora-autologin-data DIR SERVER_URL USER_ID USER_NAME GROUP_ID PASSWORD [[user:]KEY=VALUE...]
//
// KEY=VALUE pairs are added to [COMMON] (for example GET_INTERVAL=0), user:KEY=VALUE pairs to the
// user's section (for example user:NOTIFY_SCHEDULE=OFF).
#include "core/Cp932.h"
#include "core/LogonName.h"
#include "core/PasswordScrambling.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <cstdio>

using namespace zelmora;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 6) {
        std::fputs(
            "usage: zelmora-autologin-data DIR SERVER_URL USER_ID USER_NAME GROUP_ID PASSWORD [[user:]KEY=VALUE...]\n",
            stderr);
        return 2;
    }
    const QString& folder = args.at(0);
    const QString& serverUrl = args.at(1);
    const qint32 userId = args.at(2).toInt();
    const QString& userName = args.at(3);
    const QString& groupId = args.at(4);
    const QString& password = args.at(5);

    QStringList lines{QStringLiteral("[COMMON]"), QStringLiteral("SERVER_URL=") + serverUrl,
                      QStringLiteral("PROXY_MODE=1"), QStringLiteral("LASTLOGINUSER_GROUP=") + groupId,
                      QStringLiteral("LASTLOGINUSER_NAME=") + QString::number(userId)};
    QStringList userLines;
    for (const QString& pair : args.mid(6)) {
        if (pair.startsWith(QLatin1String("user:")))
            userLines << pair.mid(5);
        else
            lines << pair;
    }
    const QString key = passwordKey(userId, userName, logonNameOrCommon(GetLoginUserName()));
    lines << QString() << QStringLiteral("[%1]").arg(userId) << QStringLiteral("AUTO_LOGIN=ON")
          << QStringLiteral("PASSWORD=") + Encrypt(key, password) << QStringLiteral("END_ACTION_TYPE=NONE");
    lines += userLines;

    QByteArray bytes;
    for (const QString& line : std::as_const(lines)) {
        bool ok = true;
        bytes += cp932::encode(line, &ok) + "\r\n";
        if (!ok) {
            std::fprintf(stderr, "not writable in code page 932: %s\n", qPrintable(line));
            return 1;
        }
    }
    QDir().mkpath(folder);
    QSaveFile file(QDir(folder).filePath(QStringLiteral("Zelmora.ini")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return 1;
    }
    return 0;
}
