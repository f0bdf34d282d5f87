// The settings file and UserData.dat survive a writer killed at any moment and a full disk: each
// file is always one whole version, never a mix or a truncated one.
#include "RewriteContent.h"

#include "core/SettingsFile.h"
#include "groupware/UserDataFile.h"
#include "support/ScriptedMessages.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace zelmora;

namespace {

constexpr int kMaxKills = 400;
constexpr qint64 kKillBudgetMs = 15000;

struct DataFiles {
    QString settings;
    QString userData;

    explicit DataFiles(const QString& folder)
        : settings(QDir(folder).filePath(QStringLiteral("Zelmora.ini"))),
          userData(QDir(folder).filePath(QStringLiteral("UserData.dat"))) {}

    bool write(int which) const {
        return WriteSettingsFile(settings, test::kRewriteSection, test::rewriteSettings(which),
                                 test::rewriteContext(which)) == SettingsDone &&
               SaveUserData(test::rewriteUsers(which), userData);
    }
    // Version `which` as a rewrite leaves it (a new file has its sections laid out a little
    // differently).
    bool prepare(int which) const { return write(1 - which) && write(which); }
};

// Fills the file system of `folder` up to `leaveFree` bytes. False when it cannot be filled.
bool fillDisk(const QString& folder, qint64 leaveFree) {
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    filler.close();
    return filler.resize(std::max<qint64>(0, filler.size() - leaveFree));
}

} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Each version as the writer leaves it over the other one: the bytes a killed writer may
        // leave and nothing else.
        QTemporaryDir dir;
        const DataFiles files(dir.path());
        QVERIFY(files.write(0));
        QVERIFY(files.write(1));
        m_settings[1] = test::readFile(files.settings);
        m_userData[1] = test::readFile(files.userData);
        QVERIFY(files.write(0));
        m_settings[0] = test::readFile(files.settings);
        m_userData[0] = test::readFile(files.userData);
        // Rewriting does not drift (no lines that pile up).
        QVERIFY(files.write(1));
        QCOMPARE(test::readFile(files.settings), m_settings[1]);
        QVERIFY(files.write(0));
        QCOMPARE(test::readFile(files.settings), m_settings[0]);
        QVERIFY(m_settings[0] != m_settings[1]);
        QVERIFY(m_userData[0].size() < 16 * 1024 && m_userData[1].size() > 16 * 1024);
        QVERIFY(QFile::exists(QStringLiteral(ZELMORA_FILE_REWRITER)));
    }

    void killedWriterLeavesOneWholeVersion() {
        QTemporaryDir dir;
        const DataFiles files(dir.path());
        QVERIFY(files.prepare(0));
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        QElapsedTimer clock;
        clock.start();
        int kills = 0;
        int changes = 0;
        int last = 0;
        while (kills < kMaxKills && clock.elapsed() < kKillBudgetMs) {
            QProcess writer;
            writer.start(QStringLiteral(ZELMORA_FILE_REWRITER),
                         {files.settings, files.userData, QString::number(1 - last)});
            QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
            // Mostly inside the loop of rewrites, sometimes during the first one.
            if (random.bounded(4) != 0)
                QVERIFY(writer.waitForReadyRead(10000));
            QThread::usleep(random.bounded(20000));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            QVERIFY2(writer.exitStatus() == QProcess::CrashExit, "the writer ended by itself");
            ++kills;

            const QByteArray settings = test::readFile(files.settings);
            const QByteArray userData = test::readFile(files.userData);
            const int now = settings == m_settings[0] ? 0 : 1;
            QVERIFY2(
                settings == m_settings[now],
                qPrintable(
                    QStringLiteral("settings file after kill %1 (seed %2) is neither version").arg(kills).arg(seed)));
            QVERIFY2(
                userData == m_userData[0] || userData == m_userData[1],
                qPrintable(
                    QStringLiteral("UserData.dat after kill %1 (seed %2) is neither version").arg(kills).arg(seed)));
            // And the program reads them.
            ConnectionSettings read;
            QCOMPARE(ReadCommonSettings(files.settings, read), SettingsDone);
            QCOMPARE(read.SERVER_URL, test::rewriteSettings(now).connection.SERVER_URL);
            QList<UserRecord> users;
            test::ScriptedMessages messages;
            QCOMPARE(LoadUserData(users, files.userData), SettingsDone);
            QCOMPARE(messages.count(), 0);
            QVERIFY(users.size() == test::rewriteUsers(0).size() || users.size() == test::rewriteUsers(1).size());

            changes += now != last;
            last = now;
        }
        qInfo("%d kills in %lld ms, %d of them after the settings file changed, %lld files left beside them (seed %u)",
              kills, clock.elapsed(), changes,
              qlonglong(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() - 2), seed);
        QVERIFY(kills >= 50);
        QVERIFY(changes > 0);
    }

    void fullDiskKeepsTheOldFiles_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<qint64>("leaveFree");
        // A small file's bytes wait in the write buffer until the file is closed.
        QTest::newRow("small over large, nothing free") << 1 << 0 << qint64(0);
        QTest::newRow("large over small, 8 KiB free") << 0 << 1 << qint64(8192);
    }

    void fullDiskKeepsTheOldFiles() {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(qint64, leaveFree);
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        if (::geteuid() != 0 || QProcess::execute(QStringLiteral("mount"),
                                                  {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                   QStringLiteral("size=128k"), QStringLiteral("tmpfs"), disk}) != 0)
            QSKIP("a small tmpfs cannot be mounted here");
        const auto unmount = qScopeGuard([&disk] { QProcess::execute(QStringLiteral("umount"), {disk}); });

        const DataFiles files(disk);
        QVERIFY(files.prepare(before));
        QVERIFY(fillDisk(disk, leaveFree));
        checkFailedRewrite(files, before, after, leaveFree == 0);

        // With room again the same writes work.
        QVERIFY(QFile::remove(QDir(disk).filePath(QStringLiteral("filler"))));
        QVERIFY(files.write(after));
        QCOMPARE(test::readFile(files.settings), m_settings[after]);
        QCOMPARE(test::readFile(files.userData), m_userData[after]);
    }

    void fileSizeLimitKeepsTheOldFiles_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("small over large") << 1 << 0;
        QTest::newRow("large over small") << 0 << 1;
    }

    void fileSizeLimitKeepsTheOldFiles() {
        QFETCH(int, before);
        QFETCH(int, after);
        QTemporaryDir dir;
        const DataFiles files(dir.path());
        QVERIFY(files.prepare(before));
        // Writing beyond the limit fails with EFBIG once SIGXFSZ is ignored. Nothing else may be
        // written while the limit is lowered.
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = old;
        low.rlim_cur = 200;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &low), 0);
        qint16 settingsResult = SettingsDone;
        bool userDataSaved = true;
        test::ScriptedMessages messages;
        {
            const auto restore = qScopeGuard([&] {
                ::setrlimit(RLIMIT_FSIZE, &old);
                std::signal(SIGXFSZ, oldHandler);
            });
            settingsResult = WriteSettingsFile(files.settings, test::kRewriteSection, test::rewriteSettings(after),
                                               test::rewriteContext(after));
            userDataSaved = SaveUserData(test::rewriteUsers(after), files.userData);
        }
        QCOMPARE(settingsResult, SettingsError);
        QVERIFY(!userDataSaved);
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの保存に失敗しました"));
        QCOMPARE(test::readFile(files.settings), m_settings[before]);
        QCOMPARE(test::readFile(files.userData), m_userData[before]);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

private:
    void checkFailedRewrite(const DataFiles& files, int before, int after, bool nothingFits) {
        test::ScriptedMessages messages;
        const qint16 settingsResult = WriteSettingsFile(files.settings, test::kRewriteSection,
                                                        test::rewriteSettings(after), test::rewriteContext(after));
        const bool userDataSaved = SaveUserData(test::rewriteUsers(after), files.userData);
        // A file that still fits may be written; it is then the new version, whole.
        QCOMPARE(test::readFile(files.settings), m_settings[settingsResult == SettingsDone ? after : before]);
        QCOMPARE(test::readFile(files.userData), m_userData[userDataSaved ? after : before]);
        QVERIFY(!userDataSaved);
        if (nothingFits)
            QCOMPARE(settingsResult, SettingsError);
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの保存に失敗しました"));
        QStringList left = QDir(QFileInfo(files.settings).path()).entryList(QDir::Files | QDir::Hidden);
        left.sort();
        QCOMPARE(left, (QStringList{QStringLiteral("UserData.dat"), QStringLiteral("Zelmora.ini"),
                                    QStringLiteral("filler")}));
    }

    QByteArray m_settings[2];
    QByteArray m_userData[2];
};

QTEST_GUILESS_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
