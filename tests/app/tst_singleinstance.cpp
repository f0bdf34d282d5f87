#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
