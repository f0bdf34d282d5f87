#include "core/Cp932.h"
#include "core/SettingsFile.h"
#include "groupware/UserDataFile.h"
#include "support/ScriptedMessages.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;

namespace {

UserRecord user(qint32 id, const QString& name, bool duplicate, qint32 number, const QList<qint32>& groups) {
    UserRecord u;
    u.id = id;
    u.name = name;
    u.duplicateName = duplicate;
    u.number = number;
    u.groupIds = groups;
    return u;
}

void compareUsers(const QList<UserRecord>& actual, const QList<UserRecord>& expected) {
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual[i].id, expected[i].id);
        QCOMPARE(actual[i].name, expected[i].name);
        QCOMPARE(actual[i].duplicateName, expected[i].duplicateName);
        QCOMPARE(actual[i].number, expected[i].number);
        QCOMPARE(actual[i].groupIds, expected[i].groupIds);
    }
}

const QList<UserRecord> kUsers{
    user(12, QStringLiteral("山田 太郎"), false, 0, {1, 2, 3}),
    user(30, QStringLiteral("田中 実"), true, 0, {2}),
    user(31, QStringLiteral("田中 実"), true, 7, {3}),
    user(15, QStringLiteral("佐藤(営業) \"A\",B"), false, -1, {1, 2}),
};

} // namespace

class TestUserDataFile : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void writesTheWindowsProgramsLines() {
        const QString path = m_dir.filePath(QStringLiteral("UserData.dat"));
        test::ScriptedMessages messages;
        QVERIFY(SaveUserData(kUsers.mid(0, 2), path));
        QCOMPARE(test::readFile(path), test::crlfCp932({
                                           QStringLiteral("\"12\",\"山田 太郎\",\"False\",\"0\",\"1\",\"2\",\"3\""),
                                           QStringLiteral("\"30\",\"田中 実\",\"True\",\"0\",\"2\""),
                                       }));
        QCOMPARE(messages.count(), 0);
    }

    void savedListLoadsUnchanged() {
        const QString path = m_dir.filePath(QStringLiteral("UserData.dat"));
        test::ScriptedMessages messages;
        QVERIFY(SaveUserData(kUsers, path));
        QList<UserRecord> loaded{user(1, QStringLiteral("stale"), false, 0, {1})};
        QCOMPARE(LoadUserData(loaded, path), qint16(SettingsDone));
        compareUsers(loaded, kUsers);
        QCOMPARE(messages.count(), 0);
    }

    void skipsLinesWithoutSeparator() {
        const QString path = m_dir.filePath(QStringLiteral("UserData.dat"));
        test::writeFile(path, test::crlfCp932({
                                  QStringLiteral("\"12\",\"山田 太郎\",\"false\",\"0\",\"1\""),
                                  QString(),
                                  QStringLiteral("ゴミ"),
                                  QStringLiteral("\"7\",\"鈴木 一郎\",\"True\",\"3\",\"3\",\"4\""),
                              }) + cp932::encode(QStringLiteral("\"8\",\"最終行\",\"False\",\"0\",\"5\"")));
        test::ScriptedMessages messages;
        QList<UserRecord> loaded;
        QCOMPARE(LoadUserData(loaded, path), qint16(SettingsDone));
        compareUsers(loaded, {user(12, QStringLiteral("山田 太郎"), false, 0, {1}),
                              user(7, QStringLiteral("鈴木 一郎"), true, 3, {3, 4}),
                              user(8, QStringLiteral("最終行"), false, 0, {5})});
        QCOMPARE(messages.count(), 0);
    }

    void badLineKeepsTheUsersBeforeIt() {
        const QString path = m_dir.filePath(QStringLiteral("UserData.dat"));
        test::writeFile(path, test::crlfCp932({
                                  QStringLiteral("\"12\",\"山田 太郎\",\"False\",\"0\",\"1\""),
                                  QStringLiteral("\"x\",\"壊れた行\",\"False\",\"0\",\"1\""),
                                  QStringLiteral("\"7\",\"鈴木 一郎\",\"False\",\"0\",\"3\""),
                              }));
        test::ScriptedMessages messages;
        QList<UserRecord> loaded;
        QCOMPARE(LoadUserData(loaded, path), qint16(SettingsDone));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded[0].id, 12);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.shown()[0].title, QStringLiteral("エラー"));
        QCOMPARE(messages.shown()[0].icon, MsgIcon::Warning);
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの読み込みに失敗しました"));

        // Too few fields, or a flag that is neither a word nor a number, is as bad.
        for (const QString& line :
             {QStringLiteral("\"1\",\"a\",\"False\""), QStringLiteral("\"1\",\"a\",\"Yes\",\"0\",\"1\"")}) {
            test::writeFile(path, test::crlfCp932({line}));
            QCOMPARE(LoadUserData(loaded, path), qint16(SettingsDone));
            QVERIFY(loaded.isEmpty());
        }
        QCOMPARE(messages.count(), 3);
    }

    void missingOrUnreadableFile() {
        test::ScriptedMessages messages;
        QList<UserRecord> loaded = kUsers;
        QCOMPARE(LoadUserData(loaded, m_dir.filePath(QStringLiteral("none.dat"))), qint16(SettingsMissing));
        QVERIFY(loaded.isEmpty());
        QCOMPARE(messages.count(), 0);

        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.dat")));
        QCOMPARE(LoadUserData(loaded, m_dir.filePath(QStringLiteral("folder.dat"))), qint16(SettingsDone));
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの読み込みに失敗しました"));
    }

    void failedSaveIsReportedAndKeepsTheOldFile() {
        const QString path = m_dir.filePath(QStringLiteral("UserData.dat"));
        test::ScriptedMessages messages;
        QVERIFY(SaveUserData(kUsers, path));
        const QByteArray before = test::readFile(path);

        // A folder where the file should be: nothing can replace it.
        QVERIFY(!SaveUserData(kUsers, m_dir.path()));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.shown()[0].title, QStringLiteral("エラー"));
        QCOMPARE(messages.shown()[0].icon, MsgIcon::Warning);
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの保存に失敗しました"));

        QVERIFY(!SaveUserData(kUsers, m_dir.filePath(QStringLiteral("UserData.dat/sub"))));
        QCOMPARE(test::readFile(path), before);
        QCOMPARE(messages.count(), 2);

        // A symbolic link in the file's place is not followed.
        const QString link = m_dir.filePath(QStringLiteral("link.dat"));
        QVERIFY(QFile::link(path, link));
        QVERIFY(!SaveUserData({}, link));
        QCOMPARE(test::readFile(path), before);
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの保存に失敗しました"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestUserDataFile)
#include "tst_userdatafile.moc"
