#include "core/Cp932.h"
#include "core/LogonName.h"
#include "core/PasswordScrambling.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;
using namespace zelmora::test;

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(ZELMORA_CLI), arguments);
    if (!p.waitForFinished(30000))
        qFatal("zelmora-cli did not finish");
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QString logonName() {
    return logonNameOrCommon(GetLoginUserName());
}

QString serverLogonLine(const QString& logon, const QString& user, const QString& password) {
    return Encrypt(logon, logon) + ":" + Encrypt(logon, user) + "=" + Encrypt(logon, password);
}
} // namespace

class TestSettingsCli : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Zelmora.ini")); }

    QByteArray sampleFile() const {
        const QString other = QStringLiteral("someone-else");
        return crlfCp932({
            QStringLiteral("[COMMON]"),
            QStringLiteral("SERVER_URL=http://gw.example.jp/scripts/cbag"),
            QStringLiteral("SERVER_PASSWORD_REQUIRED=ON"),
            QStringLiteral("HERE_POSITION=在席（本社）"),
            QStringLiteral("LASTLOGINUSER_NAME=12"),
            QString(),
            QStringLiteral("[SERVER_LOGON]"),
            serverLogonLine(other, QStringLiteral("x"), QStringLiteral("y")),
            serverLogonLine(logonName(), QStringLiteral("webuser"), QStringLiteral("web-secret")),
            QStringLiteral("[12]"),
            QStringLiteral("AUTO_LOGIN=ON"),
            QStringLiteral("PASSWORD=7F7F7F7F"),
            QStringLiteral("ALARM_TIMING=0:05"),
            QStringLiteral("GROUP_DISP_ORDER=8;3;"),
            QStringLiteral("END_REGIST_POSITION=帰宅"),
            QString(),
            QStringLiteral("[13]"),
            QStringLiteral("NOTIFY_MAIL=OFF"),
        });
    }

private slots:
    void showPrintsJsonWithoutPasswords() {
        writeFile(path(), sampleFile());
        const Run run =
            cli({QStringLiteral("--data"), m_dir.path(), QStringLiteral("settings"), QStringLiteral("show")});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        const QJsonObject common = json.value(QStringLiteral("common")).toObject();
        QCOMPARE(common.value(QStringLiteral("result")).toInt(), 0);
        QCOMPARE(common.value(QStringLiteral("SERVER_URL")).toString(),
                 QStringLiteral("http://gw.example.jp/scripts/cbag/"));
        QCOMPARE(common.value(QStringLiteral("HERE_POSITION")).toString(), QStringLiteral("在席（本社）"));
        QCOMPARE(common.value(QStringLiteral("SERVER_PASSWORD_REQUIRED")).toBool(), true);
        QCOMPARE(common.value(QStringLiteral("TIMEOUT")).toInt(), 180);
        QCOMPARE(common.size(), 18);
        const QJsonObject logon = json.value(QStringLiteral("serverLogon")).toObject();
        QCOMPARE(logon.value(QStringLiteral("result")).toInt(), 0);
        QCOMPARE(logon.value(QStringLiteral("user")).toString(), QStringLiteral("webuser"));
        QCOMPARE(logon.value(QStringLiteral("saved")).toBool(), true);
        // The last login's section, with the group order as written (no server to filter it).
        const QJsonObject user = json.value(QStringLiteral("user")).toObject();
        QCOMPARE(user.value(QStringLiteral("result")).toInt(), 0);
        QCOMPARE(user.value(QStringLiteral("AUTO_LOGIN")).toBool(), true);
        QCOMPARE(user.value(QStringLiteral("ALARM_TIMING")).toString(), QStringLiteral("00:05:00"));
        QCOMPARE(user.value(QStringLiteral("GROUP_DISP_ORDER")).toArray(), (QJsonArray{8, 3}));
        QCOMPARE(user.value(QStringLiteral("END_ACTION_TYPE")).toString(), QStringLiteral("AUTO"));
        QCOMPARE(user.value(QStringLiteral("STATUS_COLUMN_WIDTH")).toArray().size(), 5);
        QVERIFY(!user.contains(QStringLiteral("PASSWORD")));
        QVERIFY(!run.out.contains("web-secret"));
        QVERIFY(!run.out.contains("7F7F7F7F"));

        const Run other = cli({QStringLiteral("--data"), m_dir.path(), QStringLiteral("settings"),
                               QStringLiteral("show"), QStringLiteral("--user"), QStringLiteral("13")});
        const QJsonObject user13 = QJsonDocument::fromJson(other.out).object().value(QStringLiteral("user")).toObject();
        QCOMPARE(user13.value(QStringLiteral("NOTIFY_MAIL")).toBool(), false);
        QVERIFY(user13.value(QStringLiteral("END_ACTION_TYPE")).isNull());
        QCOMPARE(cli({QStringLiteral("--data"), m_dir.path(), QStringLiteral("settings"), QStringLiteral("show"),
                      QStringLiteral("--user"), QStringLiteral("x")})
                     .exitCode,
                 2);
        QCOMPARE(readFile(path()), sampleFile());
    }

    void showOfAMissingFileCreatesNothing() {
        QTemporaryDir empty;
        const Run run =
            cli({QStringLiteral("--data"), empty.path(), QStringLiteral("settings"), QStringLiteral("show")});
        QCOMPARE(run.exitCode, 1);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json.value(QStringLiteral("common")).toObject().value(QStringLiteral("result")).toInt(), -3);
        QCOMPARE(json.value(QStringLiteral("serverLogon")).toObject().value(QStringLiteral("result")).toInt(), -2);
        QVERIFY(QDir(empty.path()).isEmpty());
    }

    void setChangesCommonKeysOnly() {
        writeFile(path(), sampleFile());
        const QStringList base = {QStringLiteral("--data"), m_dir.path(), QStringLiteral("settings"),
                                  QStringLiteral("set")};
        QCOMPARE(cli(base + QStringList{QStringLiteral("TIMEOUT=99999")}).exitCode, 1);
        QCOMPARE(cli(base + QStringList{QStringLiteral("CHECK_USABLE_APPLICATION=on")}).exitCode, 1);
        QCOMPARE(
            cli(base + QStringList{QStringLiteral("GET_INTERVAL=10"), QStringLiteral("PROXY_SERVER=a=b")}).exitCode, 1);
        QCOMPARE(cli(base + QStringList{QStringLiteral("AUTO_LOGIN=ON")}).exitCode, 2);
        QCOMPARE(cli(base + QStringList{QStringLiteral("TIMEOUT")}).exitCode, 2);
        QCOMPARE(readFile(path()), sampleFile());

        const Run run =
            cli(base + QStringList{QStringLiteral("get_interval=10"), QStringLiteral("HERE_TELNO=内線 4021"),
                                   QStringLiteral("SERVER_URL=http://new.example.jp/cbag")});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = cp932::decode(readFile(path())).split(QStringLiteral("\r\n"));
        QVERIFY(lines.contains(QStringLiteral("GET_INTERVAL=10")));
        QVERIFY(lines.contains(QStringLiteral("HERE_TELNO=内線 4021")));
        QVERIFY(lines.contains(QStringLiteral("SERVER_URL=http://new.example.jp/cbag/")));
        QVERIFY(lines.contains(QStringLiteral("HERE_POSITION=在席（本社）")));
        QVERIFY(lines.contains(serverLogonLine(logonName(), QStringLiteral("webuser"), QStringLiteral("web-secret"))));
        // The user sections are copied as they were.
        QVERIFY(readFile(path()).endsWith(
            crlfCp932({QStringLiteral("[12]"), QStringLiteral("AUTO_LOGIN=ON"), QStringLiteral("PASSWORD=7F7F7F7F"),
                       QStringLiteral("ALARM_TIMING=0:05"), QStringLiteral("GROUP_DISP_ORDER=8;3;"),
                       QStringLiteral("END_REGIST_POSITION=帰宅"), QString(), QStringLiteral("[13]"),
                       QStringLiteral("NOTIFY_MAIL=OFF")})));

        QTemporaryDir fresh;
        QCOMPARE(cli({QStringLiteral("--data"), fresh.path(), QStringLiteral("settings"), QStringLiteral("set"),
                      QStringLiteral("PROXY_MODE=2")})
                     .exitCode,
                 0);
        const QString created = fresh.filePath(QStringLiteral("Zelmora.ini"));
        QVERIFY(readFile(created).startsWith("[COMMON]\r\nSERVER_OS_TYPE=0\r\n"));
        QCOMPARE(QFileInfo(created).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        // A [COMMON] with an error is not replaced by defaults behind the user's back.
        const QByteArray broken = crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("TIMEOUT=soon"),
                                             QStringLiteral("[5]"), QStringLiteral("AUTO_LOGIN=OFF")});
        writeFile(created, broken);
        QCOMPARE(cli({QStringLiteral("--data"), fresh.path(), QStringLiteral("settings"), QStringLiteral("set"),
                      QStringLiteral("PROXY_MODE=1")})
                     .exitCode,
                 1);
        QCOMPARE(readFile(created), broken);
    }
};

QTEST_GUILESS_MAIN(TestSettingsCli)
#include "tst_settingscli.moc"
