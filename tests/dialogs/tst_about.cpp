// The about box: its texts and the ways it closes.
#include "dialogs/frmAbout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace zelmora;

namespace {
// A text property of a window as the X server holds it (what the window manager shows).
QByteArray x11Property(QWidget* window, const char* name) {
    xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, xcb_window_t(window->winId()), atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr);
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    std::free(atom);
    return value;
}
} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void showsVersionNoticesAndComponents() {
        frmAbout* box = frmAbout::ShowAbout(QStringLiteral("X11 (XScreenSaver)"), QStringLiteral("Qt WebEngine"));
        QVERIFY(QTest::qWaitForWindowExposed(box));
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            // The title the window manager reads, not the one Qt keeps (which it would fill with
            // the application's name).
            QTest::qWait(50);
            QCOMPARE(x11Property(box, "_NET_WM_NAME"), QByteArray());
            QCOMPARE(x11Property(box, "WM_NAME"), QByteArray());
        } else {
            QVERIFY(box->windowTitle().isEmpty());
        }
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
