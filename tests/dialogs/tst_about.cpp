// The about box: its texts and the ways it closes.
#include "dialogs/frmAbout.h"

#include <QLabel>
#include <QTest>

using namespace zelmora;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void showsVersionNoticesAndComponents() {
        frmAbout* box = frmAbout::ShowAbout(QStringLiteral("X11 (XScreenSaver)"), QStringLiteral("Qt WebEngine"));
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QVERIFY(box->windowTitle().isEmpty());
        QCOMPARE(box->lblVersion()->text(), QStringLiteral("Version %1.%2.%3 (2002/06/30)")
                                                .arg(ZELMORA_VERSION_MAJOR)
                                                .arg(ZELMORA_VERSION_MINOR)
                                                .arg(ZELMORA_VERSION_PATCH));
        QVERIFY(box->lblWarning(0)->text().contains(QStringLiteral("Cybozu")));
        QVERIFY(box->lblWarning(2)->text().contains(QStringLiteral("サイボウズ株式会社")));
        QVERIFY(box->lblComponents()->text().contains(QStringLiteral("X11 (XScreenSaver)")));
        QVERIFY(box->lblComponents()->text().contains(QStringLiteral("Qt WebEngine")));
        QCOMPARE(box->imgLogo()->size(), QSize(207, 68));
        // One box: a second request brings the same one forward.
        QCOMPARE(frmAbout::ShowAbout(QString(), QString()), box);
    }

    void anyKeyOrClickCloses_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("key") << "key";
        QTest::newRow("click on a notice") << "notice";
        QTest::newRow("click on the logo") << "logo";
        QTest::newRow("click on the window") << "window";
    }
    void anyKeyOrClickCloses() {
        QFETCH(QString, how);
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        if (how == QLatin1String("key"))
            QTest::keyClick(&box, Qt::Key_A);
        else if (how == QLatin1String("notice"))
            QTest::mouseClick(box.lblWarning(1), Qt::LeftButton);
        else if (how == QLatin1String("logo"))
            QTest::mouseClick(box.imgLogo(), Qt::LeftButton);
        else
            QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(!box.isVisible());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
