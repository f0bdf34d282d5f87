#include "core/Cp932.h"
#include "core/PasswordScrambling.h"
#include "core/SettingsFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {
const QString kLogon = QStringLiteral("hanako");

QStringList commonLines(const QString& url) {
    return {QStringLiteral("[COMMON]"),
            QStringLiteral("SERVER_OS_TYPE=1"),
            QStringLiteral("SERVER_URL=") + url,
            QStringLiteral("CHECK_USABLE_APPLICATION=ON"),
            QStringLiteral("ALWAYS_UPDATE_USERDATA=OFF"),
            QStringLiteral("TIMEOUT=180"),
            QStringLiteral("PROXY_MODE=0"),
            QStringLiteral("PROXY_SERVER="),
            QStringLiteral("PROXY_PORTNO=0"),
            QStringLiteral("SERVER_PASSWORD_REQUIRED=ON"),
            QStringLiteral("HERE_POSITION=在席"),
            QStringLiteral("HERE_TELNO=内線123"),
            QStringLiteral("UPDATE_INTERVAL=3"),
            QStringLiteral("GET_INTERVAL=5"),
            QStringLiteral("ABSENSE_LEVEL=10"),
            QStringLiteral("GET_DATA_MODE=1"),
            QStringLiteral("LASTLOGINUSER_GROUP=2"),
            QStringLiteral("LASTLOGINUSER_NAME=200"),
            QString()};
}

Settings sampleSettings() {
    Settings s;
    s.connection.SERVER_OS_TYPE = 1;
    s.connection.SERVER_URL = QStringLiteral("http://gw/cgi-bin/");
    s.connection.SERVER_PASSWORD_REQUIRED = true;
    s.connection.HERE_TELNO = QStringLiteral("内線123");
    s.connection.LASTLOGINUSER_GROUP = 2;
    s.connection.LASTLOGINUSER_NAME = 200;
    s.user.serverUserName = QStringLiteral("webuser");
    s.user.serverPassword = QStringLiteral("webpass");
    s.user.serverLogonSaved = true;
    s.user.AUTO_LOGIN = true;
    s.user.NOTIFY_WORKFLOW = false;
    s.user.LAST_NOTIFIED_ARTICLEID = 42;
    s.user.ALARM_TIMING = QTime(0, 5, 30);
    s.user.END_ACTION_TYPE = EndAction::Auto;
    s.user.END_REGIST_POSITION = QStringLiteral("帰宅");
    s.user.GROUP_DISP_ORDER = {3, 1};
    s.user.WINDOWPOS_X = 11805;
    s.user.WINDOWPOS_Y = 7370;
    return s;
}

SettingsContext loggedIn() {
    SettingsContext c;
    c.logonName = kLogon;
    c.loggedIn = true;
    c.userId = 200;
    c.userName = QStringLiteral("佐藤 花子");
    c.loginPassword = QStringLiteral("p@ss");
    return c;
}

QString ownEntry() {
    return Encrypt(kLogon, kLogon) + ":" + Encrypt(kLogon, QStringLiteral("webuser")) + "=" +
           Encrypt(kLogon, QStringLiteral("webpass"));
}

QStringList userLines() {
    return {QStringLiteral("AUTO_LOGIN=ON"),
            QStringLiteral("PASSWORD=") + Encrypt(QStringLiteral("200佐藤 花子hanako"), QStringLiteral("p@ss")),
            QStringLiteral("NOTIFY_MAIL=ON"),
            QStringLiteral("NOTIFY_CIRCULAR=ON"),
            QStringLiteral("NOTIFY_MEMO=ON"),
            QStringLiteral("NOTIFY_NEW_ARTICLE=ON"),
            QStringLiteral("NOTIFY_WORKFLOW=OFF"),
            QStringLiteral("LAST_NOTIFIED_ARTICLEID=42"),
            QStringLiteral("NOTIFY_SCHEDULE=ON"),
            QStringLiteral("ALARM_TIMING=00:05:30"),
            QStringLiteral("STARTUP_REGIST_POSITION=ON"),
            QStringLiteral("END_ACTION_TYPE=AUTO"),
            QStringLiteral("END_REGIST_POSITION=帰宅"),
            QStringLiteral("ALARM_SOUNDFILE="),
            QStringLiteral("GROUP_DISP_ORDER=3;1;"),
            QStringLiteral("STATUS_COLUMN_WIDTH=1260;1935;375;1320;1485;"),
            QStringLiteral("WINDOWPOS_X=11805"),
            QStringLiteral("WINDOWPOS_Y=7370")};
}

int modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}
} // namespace

class TestSettingsWriter : public QObject {
    Q_OBJECT
private slots:
    void writesNewFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
        QCOMPARE(WriteSettingsFile(path, QStringLiteral("200"), sampleSettings(), loggedIn()), qint16(0));
        QStringList expected = commonLines(QStringLiteral("http://gw/cgi-bin/"));
        expected += {QStringLiteral("[SERVER_LOGON]"), ownEntry(), QString(), QString(), QStringLiteral("[200]")};
        expected += userLines();
        QCOMPARE(cp932::decode(readFile(path)).split(QStringLiteral("\r\n")), expected + QStringList{QString()});
        QCOMPARE(readFile(path), crlfCp932(expected));
        QCOMPARE(modeOf(path), 0600);

        // Without a login, and for the common part only, no password and no user section.
        SettingsContext nobody = loggedIn();
        nobody.loggedIn = false;
        SettingsOutput out;
        WriteUserSection(out, sampleSettings().user, nobody);
        QVERIFY(out.bytes().contains("\r\nPASSWORD=\r\n"));
        QVERIFY(QFile::remove(path));
        QCOMPARE(WriteSettingsFile(path, QStringLiteral("COMMON"), sampleSettings(), loggedIn()), qint16(0));
        QVERIFY(!readFile(path).contains("[200]"));
    }

    void endActionLines() {
        UserSettings u;
        u.END_REGIST_POSITION = QStringLiteral("外出");
        auto lines = [&u](EndAction a) {
            u.END_ACTION_TYPE = a;
            SettingsOutput out;
            WriteUserSection(out, u, SettingsContext());
            return cp932::decode(out.bytes()).split(QStringLiteral("\r\n")).filter(QStringLiteral("END_"));
        };
        QCOMPARE(lines(EndAction::None), (QStringList{"END_ACTION_TYPE=NONE", "END_REGIST_POSITION="}));
        QCOMPARE(lines(EndAction::Ask), (QStringList{"END_ACTION_TYPE=ASK", "END_REGIST_POSITION="}));
        QCOMPARE(lines(EndAction::Auto), (QStringList{"END_ACTION_TYPE=AUTO", "END_REGIST_POSITION=外出"}));
        QCOMPARE(lines(EndAction::Unset), QStringList());
    }

    void rewriteKeepsOtherSections() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
        const QString other = QStringLiteral("suzuki");
        const QString otherEntry = Encrypt(other, other) + " : " + Encrypt(other, QStringLiteral("u")) + " = " +
                                   Encrypt(other, QStringLiteral("p"));
        const QStringList section100 = {QStringLiteral("[100]"), QStringLiteral("AUTO_LOGIN=OFF"),
                                        QStringLiteral("END_REGIST_POSITION=出張（大阪）"), QString()};
        const QStringList section300 = {QStringLiteral("[300]"), QStringLiteral("unknown stays=as it was"),
                                        QStringLiteral("GROUP_DISP_ORDER=1;")};
        QByteArray old = crlfCp932({QStringLiteral("; lines before the first header go"), QStringLiteral("[COMMON]"),
                                    QStringLiteral("TIMEOUT=5"), QStringLiteral("[SERVER_LOGON]"), otherEntry,
                                    ownEntry().replace(QLatin1Char('='), QStringLiteral(" = ")),
                                    QStringLiteral("not an entry"), QString()});
        old += crlfCp932(section100);
        old += "BROKEN=\x82\r\n"; // half a double-byte character: copied as it is
        old +=
            crlfCp932({QStringLiteral("[200]"), QStringLiteral("AUTO_LOGIN=OFF"), QStringLiteral("OLD=1"), QString()});
        old += crlfCp932(section300);
        writeFile(path, old);
        const int modeBefore = modeOf(path);

        Settings s = sampleSettings();
        s.user.serverPassword = QStringLiteral("changed");
        QCOMPARE(WriteSettingsFile(path, QStringLiteral("200"), s, loggedIn()), qint16(0));

        const QString ownNew = Encrypt(kLogon, kLogon) + ":" + Encrypt(kLogon, QStringLiteral("webuser")) + "=" +
                               Encrypt(kLogon, QStringLiteral("changed"));
        QByteArray expected = crlfCp932(commonLines(QStringLiteral("http://gw/cgi-bin/")) +
                                        QStringList{QStringLiteral("[SERVER_LOGON]"), otherEntry, ownNew});
        expected += crlfCp932(section100);
        expected += "BROKEN=\x82\r\n";
        expected += crlfCp932(QStringList{QString(), QStringLiteral("[200]")} + userLines());
        expected += crlfCp932(section300);
        QCOMPARE(readFile(path), expected);
        QCOMPARE(modeOf(path), modeBefore); // a rewrite keeps the mode

        // What was written reads back.
        const SettingsLines lines = splitSettingsLines(readFile(path));
        ConnectionSettings c;
        QCOMPARE(readCommonSection(lines, c), qint16(0));
        QCOMPARE(c.programUrl, QStringLiteral("http://gw/cgi-bin/office.cgi"));
        UserSettings u;
        QCOMPARE(readUserSection(lines, QStringLiteral("200"), u, SettingsContext()), qint16(0));
        QCOMPARE(u.GROUP_DISP_ORDER, (QList<qint32>{3, 1}));
        QCOMPARE(u.ALARM_TIMING, QTime(0, 5, 30));
        QCOMPARE(Decrypt(QStringLiteral("200佐藤 花子hanako"), readAutoLoginPassword(lines, QStringLiteral("200"))),
                 QStringLiteral("p@ss"));
        QString user, password;
        bool saved = false;
        QCOMPARE(readServerLogonSection(lines, kLogon, user, password, saved), qint16(0));
        QCOMPARE(password, QStringLiteral("changed"));

        // A user without a section gets one at the end; the others stay as they are.
        SettingsContext newcomer = loggedIn();
        newcomer.userId = 400;
        QCOMPARE(WriteSettingsFile(path, QStringLiteral("400"), s, newcomer), qint16(0));
        const QStringList after = cp932::decode(readFile(path)).split(QStringLiteral("\r\n"));
        QCOMPARE(after.filter(QRegularExpression(QStringLiteral("^\\["))),
                 (QStringList{"[COMMON]", "[SERVER_LOGON]", "[100]", "[200]", "[300]", "[400]"}));
        QVERIFY(readFile(path).startsWith(crlfCp932(commonLines(QStringLiteral("http://gw/cgi-bin/")))));
        QVERIFY(readFile(path).contains(crlfCp932(QStringList{QString(), QStringLiteral("[200]")} + userLines())));
    }

    void serverLogonMerge() {
        const QString other = QStringLiteral("suzuki");
        const QString otherEntry = Encrypt(other, other) + ":" + Encrypt(other, QStringLiteral("u")) + "=" +
                                   Encrypt(other, QStringLiteral("p"));
        const SettingsLines old = splitSettingsLines(
            crlfCp932({QStringLiteral("[SERVER_LOGON]"), ownEntry(), otherEntry, QStringLiteral("[100]")}));
        auto serverLogon = [&](const Settings& s, const SettingsLines* from) {
            const QStringList lines =
                cp932::decode(composeSettingsFile(from, QStringLiteral("COMMON"), s, loggedIn())).split("\r\n");
            const qsizetype at = lines.indexOf(QStringLiteral("[SERVER_LOGON]"));
            return lines.mid(at + 1, 2);
        };
        Settings s = sampleSettings();
        s.connection.SERVER_PASSWORD_REQUIRED = false;
        QCOMPARE(serverLogon(s, &old), (QStringList{otherEntry, QStringLiteral("[100]")}));
        s = sampleSettings();
        s.user.serverLogonSaved = false;
        QCOMPARE(serverLogon(s, &old), (QStringList{otherEntry, QStringLiteral("[100]")}));
        // A logon name without a line gets one after the others.
        const SettingsLines onlyOther =
            splitSettingsLines(crlfCp932({QStringLiteral("[SERVER_LOGON]"), otherEntry, QStringLiteral("[100]")}));
        QCOMPARE(serverLogon(sampleSettings(), &onlyOther), (QStringList{otherEntry, ownEntry()}));
        QCOMPARE(serverLogon(sampleSettings(), nullptr), (QStringList{ownEntry(), QString()}));
    }

    void failedRewriteLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
        const QByteArray old = crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("TIMEOUT=5"),
                                          QStringLiteral("[100]"), QStringLiteral("AUTO_LOGIN=ON")});
        writeFile(path, old);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

        // The disk fills up (a file size limit works for root too) while the new content is written.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const qint16 result = WriteSettingsFile(path, QStringLiteral("100"), sampleSettings(), loggedIn());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(result, qint16(-1));
        QCOMPARE(readFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Zelmora.ini"});

        // A folder that does not exist, and a path that is a folder.
        QCOMPARE(WriteSettingsFile(dir.filePath(QStringLiteral("none/Zelmora.ini")), QString(), sampleSettings(),
                                   loggedIn()),
                 qint16(-1));
        const QString folder = dir.filePath(QStringLiteral("folder.ini"));
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(WriteSettingsFile(folder, QString(), sampleSettings(), loggedIn()), qint16(-1));
        QVERIFY(QFileInfo(folder).isDir());

        // A symbolic link in the file's place is not followed: the file it points to stays.
        const QString link = dir.filePath(QStringLiteral("link.ini"));
        QVERIFY(QFile::link(path, link));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("link.ini not rewritten: is a symbolic link")));
        QCOMPARE(WriteSettingsFile(link, QStringLiteral("100"), sampleSettings(), loggedIn()), qint16(-1));
        QCOMPARE(readFile(path), old);
        QVERIFY(QFileInfo(link).isSymLink());
    }

    // A rewrite keeps the mode of the file it replaces (a folder shared by several log-on names),
    // also of a read-only one, which is replaced as the folder allows.
    void rewriteKeepsTheFileMode_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("owner only") << 0600;
        QTest::newRow("shared with the group") << 0660;
        QTest::newRow("read-only") << 0440;
    }
    void rewriteKeepsTheFileMode() {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
        writeFile(path, crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("TIMEOUT=5")}));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        QCOMPARE(WriteSettingsFile(path, QStringLiteral("200"), sampleSettings(), loggedIn()), qint16(0));
        QCOMPARE(modeOf(path), mode);
        QVERIFY(readFile(path).contains("[200]"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Zelmora.ini"});
    }
};

QTEST_GUILESS_MAIN(TestSettingsWriter)
#include "tst_settingswriter.moc"
