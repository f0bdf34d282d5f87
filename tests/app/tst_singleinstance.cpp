#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zelmora;

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondStartActivatesTheFirst() {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.claim());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);

        // The second instance's blocking connect needs the first one's event loop: run the
        // first in this thread and the second's claim through a queued call.
        bool secondClaimed = true;
        QMetaObject::invokeMethod(
            this, [&] { secondClaimed = SingleInstance(dir.path()).claim(); }, Qt::QueuedConnection);
        QTRY_COMPARE(activated.count(), 1);
        QVERIFY(!secondClaimed);
    }

    void otherFoldersRunSideBySide() {
        QTemporaryDir a, b;
        SingleInstance first(a.path());
        SingleInstance second(b.path());
        QVERIFY(first.claim());
        QVERIFY(second.claim());
        QVERIFY(first.serverName() != second.serverName());
    }

    // The socket lives where no other user can take its name first: the session's runtime folder
    // when it is private, else a private folder of the user's in the temporary folder, else in the
    // user's cache folder when someone else holds that name.
    void socketLivesInAPrivateFolder_data() {
        QTest::addColumn<int>("runtimeMode");
        QTest::addColumn<bool>("tempTaken");
        QTest::addColumn<QString>("expectedParent");
        QTest::newRow("runtime folder") << 0700 << false << "runtime";
        QTest::newRow("runtime folder open to others") << 0755 << false << "tmp/zelmora-%1";
        QTest::newRow("temporary name held by another user") << 0755 << true << "cache/zelmora-%1";
    }
    void socketLivesInAPrivateFolder() {
        QFETCH(int, runtimeMode);
        QFETCH(bool, tempTaken);
        QFETCH(QString, expectedParent);
        QTemporaryDir root;
        for (const char* folder : {"runtime", "tmp", "cache"})
            QVERIFY(QDir(root.path()).mkdir(QLatin1String(folder)));
        QCOMPARE(::chmod(QFile::encodeName(root.filePath(QStringLiteral("runtime"))).constData(), mode_t(runtimeMode)),
                 0);
        const QString perUser = QStringLiteral("zelmora-%1").arg(::getuid());
        if (tempTaken) {
            if (::getuid() != 0)
                QSKIP("only root can make a folder of another user");
            const QByteArray taken = QFile::encodeName(root.filePath(QStringLiteral("tmp/") + perUser));
            QVERIFY(::mkdir(taken.constData(), 0777) == 0 && ::chown(taken.constData(), 65534, 65534) == 0);
        }
        const QList<QByteArray> names{"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"};
        QList<QByteArray> saved;
        for (const QByteArray& name : names)
            saved.append(qgetenv(name.constData()));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.filePath(QStringLiteral("runtime"))));
        qputenv("TMPDIR", QFile::encodeName(root.filePath(QStringLiteral("tmp"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root.filePath(QStringLiteral("cache"))));
        SingleInstance instance(root.path());
        const bool claimed = instance.claim();
        for (qsizetype i = 0; i < names.size(); ++i)
            saved.at(i).isNull() ? qunsetenv(names.at(i).constData()) : qputenv(names.at(i).constData(), saved.at(i));
        QVERIFY(claimed);
        const QString parent = expectedParent.contains(QLatin1String("%1")) ? expectedParent.arg(::getuid()) : expectedParent;
        QCOMPARE(QFileInfo(instance.serverName()).absolutePath(), root.filePath(parent));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(QFileInfo(instance.serverName()).absolutePath()).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 077), 0); // nobody else may enter it
    }

    void staleSocketOfACrashedInstanceIsReplaced() {
        QTemporaryDir dir;
        const QString name = SingleInstance(dir.path()).serverName();
        // A socket file left without a listener, as after a crash.
        {
            QLocalServer leftover;
            leftover.setSocketOptions(QLocalServer::UserAccessOption);
            QVERIFY(leftover.listen(name));
            leftover.close();
        }
        SingleInstance again(dir.path());
        QVERIFY(again.claim());
    }

    // A socket under the instance's name that another user listens on (placed there by root, say) is
    // neither told to come forward nor taken for a running instance: this start runs and takes the name.
    void aSocketOfAnotherUserIsNotTrusted() {
        if (::getuid() != 0)
            QSKIP("only root can run a listener as another user");
        QTemporaryDir dir;
        QTemporaryDir open;
        QCOMPARE(::chmod(QFile::encodeName(open.path()).constData(), 0777), 0);
        const QByteArray staging = QFile::encodeName(open.filePath(QStringLiteral("s")));
        const QByteArray name = QFile::encodeName(SingleInstance(dir.path()).serverName());
        int pipeFds[2];
        QCOMPARE(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            // The other user's listener: it reports what it was sent down the pipe.
            ::alarm(10);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, staging.constData(), sizeof address.sun_path - 1);
            const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0 ||
                ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 1))
                ::_exit(1);
            (void)!::write(pipeFds[1], "+", 1);
            const int peer = ::accept(listener, nullptr, nullptr);
            char received[64];
            const ssize_t n = peer < 0 ? 0 : ::read(peer, received, sizeof received);
            (void)!::write(pipeFds[1], received, size_t(qMax<ssize_t>(n, 0)));
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        char ready = 0;
        QCOMPARE(::read(pipeFds[0], &ready, 1), ssize_t(1));
        QCOMPARE(::rename(staging.constData(), name.constData()), 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is held by uid 65534 - not trusted")));
        SingleInstance start(dir.path());
        QVERIFY(start.claim());
        QByteArray told;
        char buffer[64];
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            told.append(buffer, n);
        ::close(pipeFds[0]);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(told, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
