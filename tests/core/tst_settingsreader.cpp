#include "core/PasswordScrambling.h"
#include "core/SettingsFile.h"
#include "support/ScriptedMessages.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;
using namespace zelmora::test;

namespace {
SettingsLines linesOf(const QStringList& lines) {
    return splitSettingsLines(crlfCp932(lines));
}

SettingsContext screenContext() {
    SettingsContext context;
    context.groupIds = QList<qint32>{1, 2, 3};
    context.screenTwips = QSize(19200, 14400);
    return context;
}
} // namespace

class TestSettingsReader : public QObject {
    Q_OBJECT
private slots:
    void readsCommonSection() {
        const SettingsLines lines = linesOf({
            QStringLiteral("[100]"),
            QStringLiteral("TIMEOUT=1"),
            QStringLiteral("[COMMON]"),
            QStringLiteral("server_url = http://gw.example.jp/cgi-bin/cbag = ignored"),
            QStringLiteral("SERVER_OS_TYPE=1"),
            QStringLiteral("HERE_POSITION=  社内（３Ｆ）  "),
            QStringLiteral("PROXY_SERVER= proxy.local  "),
            QStringLiteral("TIMEOUT = 2.5"),
            QStringLiteral("GET_INTERVAL=3.5 "),
            QStringLiteral("LASTLOGINUSER_NAME=abc"),
            QStringLiteral("LASTLOGINUSER_GROUP=12"),
            QStringLiteral("a line without the separator"),
            QStringLiteral("=no key"),
            QStringLiteral(""),
            QStringLiteral("[SERVER_LOGON]"),
            QStringLiteral("TIMEOUT=oops"),
        });
        ConnectionSettings s;
        QCOMPARE(readCommonSection(lines, s), qint16(0));
        QCOMPARE(s.SERVER_URL, QStringLiteral("http://gw.example.jp/cgi-bin/cbag/"));
        QCOMPARE(s.programUrl, QStringLiteral("http://gw.example.jp/cgi-bin/cbag/office.cgi"));
        QCOMPARE(s.HERE_POSITION, QStringLiteral("社内（３Ｆ）"));
        QCOMPARE(s.PROXY_SERVER, QStringLiteral("proxy.local  "));
        QCOMPARE(s.TIMEOUT, qint16(2)); // half to even
        QCOMPARE(s.GET_INTERVAL, qint16(4));
        QCOMPARE(s.LASTLOGINUSER_NAME, -1);
        QCOMPARE(s.LASTLOGINUSER_GROUP, 12);

        ConnectionSettings t;
        QCOMPARE(readCommonSection(linesOf({QStringLiteral("[COMMON]"), QStringLiteral("SERVER_URL=http://x/")}), t),
                 qint16(0));
        QCOMPARE(t.SERVER_URL, QStringLiteral("http://x/"));
        QCOMPARE(t.programUrl, QStringLiteral("http://x/office.exe"));
    }

    void rejectsBadCommonValues_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("boolean in lower case") << QStringLiteral("CHECK_USABLE_APPLICATION=on");
        QTest::newRow("os type 2") << QStringLiteral("SERVER_OS_TYPE=2");
        QTest::newRow("proxy mode 3") << QStringLiteral("PROXY_MODE=3");
        QTest::newRow("16-bit overflow") << QStringLiteral("TIMEOUT=32767.5");
        QTest::newRow("huge") << QStringLiteral("TIMEOUT=1e400");
        QTest::newRow("infinity") << QStringLiteral("GET_INTERVAL=inf");
        QTest::newRow("nan") << QStringLiteral("GET_INTERVAL=nan");
        QTest::newRow("32-bit overflow") << QStringLiteral("PROXY_PORTNO=99999999999");
        QTest::newRow("grouped digits") << QStringLiteral("PROXY_PORTNO=8,080");
        QTest::newRow("not a number") << QStringLiteral("ABSENSE_LEVEL=ten");
        QTest::newRow("unknown key") << QStringLiteral("COLOR=red");
    }
    void rejectsBadCommonValues() {
        QFETCH(QString, line);
        ConnectionSettings s;
        s.TIMEOUT = 99;
        const SettingsLines lines =
            linesOf({QStringLiteral("[COMMON]"), QStringLiteral("TIMEOUT=60"), line, QStringLiteral("GET_INTERVAL=9")});
        QCOMPARE(readCommonSection(lines, s), qint16(-1));
        QCOMPARE(s.TIMEOUT, qint16(99)); // nothing of the section is taken
        QCOMPARE(s.GET_INTERVAL, qint16(5));
    }

    void findsSectionsExactly() {
        ConnectionSettings s;
        QCOMPARE(readCommonSection(linesOf({QStringLiteral("[100]"), QStringLiteral("A=1")}), s), qint16(-1));
        QCOMPARE(readCommonSection(linesOf({QStringLiteral("x"), QStringLiteral("[COMMON]")}), s), qint16(-1));
        QCOMPARE(readCommonSection(linesOf({QStringLiteral("[COMMON] "), QStringLiteral("TIMEOUT=1")}), s), qint16(-1));
        UserSettings u;
        QCOMPARE(readUserSection(linesOf({QStringLiteral("[1000]"), QStringLiteral("AUTO_LOGIN=ON")}),
                                 QStringLiteral("100"), u, SettingsContext()),
                 qint16(-3));
        // LF-only line ends (a file edited elsewhere) still read.
        QCOMPARE(readCommonSection(splitSettingsLines("[COMMON]\nTIMEOUT=7\n"), s), qint16(0));
        QCOMPARE(s.TIMEOUT, qint16(7));
    }

    void missingFileAsksWhetherToCreateIt() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
        ScriptedMessages messages;
        messages.enqueue(MsgResult::No);
        messages.enqueue(MsgResult::Yes);
        ConnectionSettings s;
        QCOMPARE(ReadCommonSettings(path, s), qint16(-3));
        QCOMPARE(ReadCommonSettings(path, s), qint16(-2));
        QCOMPARE(messages.count(), 2);
        const MessageRequest& r = messages.shown().first();
        QCOMPARE(r.title, QStringLiteral("確認"));
        QCOMPARE(r.icon, MsgIcon::Warning);
        QCOMPARE(r.buttons, MsgButtons::YesNo);
        QVERIFY(r.foreground);
        QCOMPARE(r.text, QStringLiteral("初期設定ファイルが見つかりません.処理を継続しますか?\n\n"
                                        "(はい → 初期設定ファイルが新規に作成されます)\n"
                                        "(いいえ → アプリケーションを終了します)"));
        QVERIFY(!QFile::exists(path));
        UserSettings u;
        QString user, password;
        bool saved = true;
        QCOMPARE(ReadUserSettings(path, QStringLiteral("1"), u, SettingsContext()), qint16(-2));
        QCOMPARE(ReadServerLogon(path, QStringLiteral("taro"), user, password, saved), qint16(-2));
        QVERIFY(!saved);
        QCOMPARE(ReadAutoLoginPassword(path, QStringLiteral("1")), QString());
        QCOMPARE(messages.count(), 2);
    }

    void unreadableFileEndsTheProgram() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));
        QVERIFY(QDir().mkdir(path)); // exists, but cannot be read as a file
        ScriptedMessages messages;
        int exits = 0;
        const SettingsExitHandler previous = setSettingsExitHandler([&exits] { ++exits; });
        ConnectionSettings s;
        QCOMPARE(ReadCommonSettings(path, s), qint16(-1));
        setSettingsExitHandler(previous);
        QCOMPARE(exits, 1);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.shown().first().title, QStringLiteral("ゼルモラ"));
        QCOMPARE(messages.lastText(), QStringLiteral("予期しないエラーが発生しましたので終了します."));
    }

    void readsUserSection() {
        QTemporaryDir dir;
        const QString sound = dir.filePath(QStringLiteral("ベル.wav"));
        writeFile(sound, "RIFF");
        const SettingsLines lines = linesOf({
            QStringLiteral("[200]"),
            QStringLiteral("auto_login=on"),
            QStringLiteral("PASSWORD= 0041 "),
            QStringLiteral("NOTIFY_MAIL=off"),
            QStringLiteral("LAST_NOTIFIED_ARTICLEID= 812 "),
            QStringLiteral("ALARM_TIMING=0:59:59"),
            QStringLiteral("END_ACTION_TYPE=AUTO"),
            QStringLiteral("END_REGIST_POSITION= 帰宅 "),
            QStringLiteral("ALARM_SOUNDFILE=") + sound,
            QStringLiteral("GROUP_DISP_ORDER=3;1;9;"),
            QStringLiteral("STATUS_COLUMN_WIDTH=1000;2000;300;1400;1500;"),
            QStringLiteral("WINDOWPOS_X=25000"),
            QStringLiteral("WINDOWPOS_Y=1200"),
            QStringLiteral("[300]"),
            QStringLiteral("AUTO_LOGIN=maybe"),
        });
        UserSettings u;
        QCOMPARE(readUserSection(lines, QStringLiteral("200"), u, screenContext()), qint16(0));
        QVERIFY(u.AUTO_LOGIN);
        QCOMPARE(u.PASSWORD, QStringLiteral("0041 "));
        QVERIFY(!u.NOTIFY_MAIL);
        QCOMPARE(u.LAST_NOTIFIED_ARTICLEID, 812);
        QCOMPARE(u.ALARM_TIMING, QTime(0, 59, 59));
        QCOMPARE(u.END_ACTION_TYPE, EndAction::Auto);
        QCOMPARE(u.END_REGIST_POSITION, QStringLiteral("帰宅"));
        QCOMPARE(u.ALARM_SOUNDFILE, sound);
        QCOMPARE(u.GROUP_DISP_ORDER, (QList<qint32>{3, 1})); // group 9 is no longer on the server
        QCOMPARE(u.STATUS_COLUMN_WIDTH, (QList<qint32>{1000, 2000, 300, 1400, 1500}));
        QCOMPARE(u.WINDOWPOS_X, 19200 - 7395);
        QCOMPARE(u.WINDOWPOS_Y, 1200);

        // Without a group list (tools) every id is kept; without a screen the position is as written.
        UserSettings raw;
        QCOMPARE(readUserSection(lines, QStringLiteral("200"), raw, SettingsContext()), qint16(0));
        QCOMPARE(raw.GROUP_DISP_ORDER, (QList<qint32>{3, 1, 9}));
        QCOMPARE(raw.WINDOWPOS_X, 25000);

        const QStringList gone = {QStringLiteral("[200]"), QStringLiteral("ALARM_SOUNDFILE=") + sound + "x",
                                  QStringLiteral("WINDOWPOS_Y=-5")};
        QCOMPARE(readUserSection(linesOf(gone), QStringLiteral("200"), u, screenContext()), qint16(0));
        QCOMPARE(u.ALARM_SOUNDFILE, QString());
        QCOMPARE(u.WINDOWPOS_Y, 14400 - 6630 - 400);
    }

    void readsAlarmTimingAsTheDesktopWritesIt_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("24-hour") << QStringLiteral("00:10:00");
        QTest::newRow("morning mark before") << QStringLiteral("午前 0:10:00");
        QTest::newRow("AM after") << QStringLiteral("12:10:00 AM");
        QTest::newRow("full-width, no seconds") << QStringLiteral("０：１０");
    }
    void readsAlarmTimingAsTheDesktopWritesIt() {
        QFETCH(QString, value);
        UserSettings u;
        u.ALARM_TIMING = QTime(0, 30);
        const SettingsLines lines = linesOf({QStringLiteral("[7]"), QStringLiteral("ALARM_TIMING=") + value});
        QCOMPARE(readUserSection(lines, QStringLiteral("7"), u, screenContext()), qint16(0));
        QCOMPARE(u.ALARM_TIMING, QTime(0, 10));
    }

    void rejectsBadUserValues_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("alarm one hour") << QStringLiteral("ALARM_TIMING=01:00:00");
        QTest::newRow("alarm not a time") << QStringLiteral("ALARM_TIMING=0:75");
        QTest::newRow("alarm in the afternoon") << QStringLiteral("ALARM_TIMING=午後 0:10:00");
        QTest::newRow("same group twice") << QStringLiteral("GROUP_DISP_ORDER=1;3;1;");
        QTest::newRow("group not a number") << QStringLiteral("GROUP_DISP_ORDER=1;x;");
        QTest::newRow("six widths") << QStringLiteral("STATUS_COLUMN_WIDTH=1;2;3;4;5;6;");
        QTest::newRow("width not a number") << QStringLiteral("STATUS_COLUMN_WIDTH=1;a;");
        QTest::newRow("end action lower case") << QStringLiteral("END_ACTION_TYPE=auto");
        QTest::newRow("position not a number") << QStringLiteral("WINDOWPOS_X=left");
        QTest::newRow("huge article id") << QStringLiteral("LAST_NOTIFIED_ARTICLEID=4294967296");
        QTest::newRow("unknown key") << QStringLiteral("FONT=MS Gothic");
    }
    void rejectsBadUserValues() {
        QFETCH(QString, line);
        UserSettings u;
        u.NOTIFY_MEMO = false;
        const SettingsLines lines = linesOf({QStringLiteral("[7]"), QStringLiteral("NOTIFY_MEMO=ON"), line});
        QCOMPARE(readUserSection(lines, QStringLiteral("7"), u, screenContext()), qint16(-1));
        QVERIFY(!u.NOTIFY_MEMO);
        QCOMPARE(u.END_ACTION_TYPE, EndAction::Ask);
    }

    void specialListRules() {
        UserSettings u;
        u.STATUS_COLUMN_WIDTH = {1, 2, 3, 4, 5};
        auto read = [&u](const QString& line) {
            return readUserSection(linesOf({QStringLiteral("[7]"), line}), QStringLiteral("7"), u, screenContext());
        };
        // Five values without the final ";" are ignored; fewer set the first columns only.
        QCOMPARE(read(QStringLiteral("STATUS_COLUMN_WIDTH=10;20;30;40;50")), qint16(0));
        QCOMPARE(u.STATUS_COLUMN_WIDTH, (QList<qint32>{1, 2, 3, 4, 5}));
        QCOMPARE(read(QStringLiteral("STATUS_COLUMN_WIDTH=10;20;")), qint16(0));
        QCOMPARE(u.STATUS_COLUMN_WIDTH, (QList<qint32>{10, 20, 3, 4, 5}));
        QCOMPARE(read(QStringLiteral("GROUP_DISP_ORDER=2;;1;")), qint16(0));
        QCOMPARE(u.GROUP_DISP_ORDER, QList<qint32>{2});
        QCOMPARE(read(QStringLiteral("GROUP_DISP_ORDER=")), qint16(0));
        QVERIFY(u.GROUP_DISP_ORDER.isEmpty());
        // A dropped group does not count as a duplicate.
        QCOMPARE(read(QStringLiteral("GROUP_DISP_ORDER=9;2;9;")), qint16(0));
        QCOMPARE(u.GROUP_DISP_ORDER, QList<qint32>{2});
    }

    void endAction_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("text");
        QTest::newRow("neither key") << QStringList{} << int(EndAction::Unset) << QString();
        QTest::newRow("old file with a text") << QStringList{QStringLiteral("END_REGIST_POSITION=帰宅")}
                                              << int(EndAction::Auto) << QStringLiteral("帰宅");
        QTest::newRow("old file, empty") << QStringList{QStringLiteral("END_REGIST_POSITION=")} << int(EndAction::None)
                                         << QString();
        QTest::newRow("type first") << QStringList{QStringLiteral("END_ACTION_TYPE=ASK"),
                                                   QStringLiteral("END_REGIST_POSITION=帰宅")}
                                    << int(EndAction::Ask) << QStringLiteral("帰宅");
        QTest::newRow("type after text") << QStringList{QStringLiteral("END_REGIST_POSITION="),
                                                        QStringLiteral("END_ACTION_TYPE= AUTO ")}
                                         << int(EndAction::Auto) << QString();
    }
    void endAction() {
        QFETCH(QStringList, lines);
        QFETCH(int, action);
        QFETCH(QString, text);
        UserSettings u;
        lines.prepend(QStringLiteral("[7]"));
        lines.append(QStringLiteral("AUTO_LOGIN=OFF"));
        QCOMPARE(readUserSection(linesOf(lines), QStringLiteral("7"), u, SettingsContext()), qint16(0));
        QCOMPARE(int(u.END_ACTION_TYPE), action);
        QCOMPARE(u.END_REGIST_POSITION, text);
    }

    void readsOwnServerLogonLine() {
        const QString logon = QStringLiteral("yamada.hanako.sales"); // 19 characters: 76 hex digits
        const QString other = QStringLiteral("suzuki");
        const QString own = Encrypt(logon, logon);
        QCOMPARE(own.size(), 76);
        const SettingsLines lines = linesOf({
            QStringLiteral("[SERVER_LOGON]"),
            Encrypt(other, other) + ":" + Encrypt(other, QStringLiteral("s")) + "=" +
                Encrypt(other, QStringLiteral("p")),
            QStringLiteral("garbage without colon"),
            QStringLiteral("ZZ:YY=XX"),
            own + QStringLiteral(" : ") + Encrypt(logon, QStringLiteral("proxyuser")) + QStringLiteral(" = ") +
                Encrypt(logon, QStringLiteral("秘密")),
        });
        QString user, password;
        bool saved = false;
        QCOMPARE(readServerLogonSection(lines, logon, user, password, saved), qint16(0));
        QCOMPARE(user, QStringLiteral("proxyuser"));
        QCOMPARE(password, QStringLiteral("秘密"));
        QVERIFY(saved);
        QCOMPARE(readServerLogonSection(lines, QStringLiteral("nobody"), user, password, saved), qint16(-3));
        QVERIFY(user.isEmpty() && password.isEmpty() && !saved);
        QCOMPARE(readServerLogonSection(linesOf({QStringLiteral("[COMMON]"), QStringLiteral("A=1")}), logon, user,
                                        password, saved),
                 qint16(-3));
    }

    void autoLoginPassword() {
        auto stored = [](const QStringList& body) {
            QStringList lines = {QStringLiteral("[5]")};
            lines += body;
            lines += {QStringLiteral("[6]"), QStringLiteral("AUTO_LOGIN=ON"), QStringLiteral("PASSWORD=6666")};
            return readAutoLoginPassword(linesOf(lines), QStringLiteral("5"));
        };
        QCOMPARE(
            stored({QStringLiteral("PASSWORD=1234"), QStringLiteral("TIMEOUT=bad"), QStringLiteral("AUTO_LOGIN=on")}),
            QStringLiteral("1234"));
        QCOMPARE(stored({QStringLiteral("AUTO_LOGIN=OFF"), QStringLiteral("PASSWORD=1234")}), QString());
        QCOMPARE(stored({QStringLiteral("AUTO_LOGIN=YES"), QStringLiteral("PASSWORD=1234")}), QString());
        QCOMPARE(stored({QStringLiteral("PASSWORD=1234")}), QString());
    }

    void resetKeepsWhatTheDirectorySets() {
        UserSettings u;
        u.AUTO_LOGIN = true;
        u.ALARM_TIMING = QTime(0, 5);
        u.STATUS_COLUMN_WIDTH = {1, 1, 1, 1, 1};
        u.ALARM_SOUNDFILE = QStringLiteral("/x.wav");
        u.GROUP_DISP_ORDER = {4};
        u.WINDOWPOS_X = 77;
        u.serverUserName = QStringLiteral("proxyuser");
        u.serverLogonSaved = true;
        ResetUserSettings(u);
        QVERIFY(!u.AUTO_LOGIN);
        QCOMPARE(u.ALARM_TIMING, QTime(0, 10));
        QCOMPARE(u.STATUS_COLUMN_WIDTH, UserSettings().STATUS_COLUMN_WIDTH);
        QCOMPARE(u.ALARM_SOUNDFILE, QStringLiteral("/x.wav"));
        QCOMPARE(u.GROUP_DISP_ORDER, QList<qint32>{4});
        QCOMPARE(u.WINDOWPOS_X, 77);
        QVERIFY(u.serverLogonSaved); // read before login, written back at exit
        SetDirectoryDefaults(u, {1, 2}, QSize(19200, 14400));
        QCOMPARE(u.GROUP_DISP_ORDER, (QList<qint32>{1, 2}));
        QCOMPARE(u.WINDOWPOS_X, 11805);
        QCOMPARE(u.WINDOWPOS_Y, 7370);
    }
};

QTEST_GUILESS_MAIN(TestSettingsReader)
#include "tst_settingsreader.moc"
