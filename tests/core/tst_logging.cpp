#include "core/Logging.h"

#include <QTest>

class TestLogging : public QObject {
    Q_OBJECT
private slots:
    void redactsPasswordFieldsOnly() {
        QCOMPARE(zelmora::redactPasswords(QStringLiteral("?_System=login&_Login=1&_ID=3&Password=s3cr%26t")),
                 QStringLiteral("?_System=login&_Login=1&_ID=3&Password=***"));
        QCOMPARE(zelmora::redactPasswords(QStringLiteral("password=a&x=1&ServerPassword=b")),
                 QStringLiteral("password=***&x=1&ServerPassword=***"));
        QCOMPARE(zelmora::redactPasswords(QStringLiteral("Page=WhereEntry&Place=会議")),
                 QStringLiteral("Page=WhereEntry&Place=会議"));
    }

    void formBodiesAreLoggedReadableWithoutPasswords() {
        // "&" and "=" inside a value stay inside it; a password never reaches the log, encoded or not.
        const QByteArray body = "Page=WhereEntry&ID=3&Detail=%89%EF%8Bc%26x%3D1&Contact=%2A&Password=p%26ss&_ID=3";
        const QString text = zelmora::describeFormBody(body);
        QCOMPARE(text, QStringLiteral("Page=WhereEntry&ID=3&Detail=会議&x=1&Contact=*&Password=***&_ID=3"));
        QCOMPARE(zelmora::describeFormBody("_System=login&ServerPassword=x"),
                 QStringLiteral("_System=login&ServerPassword=***"));
    }

    void categoriesAreOffByDefault() {
        QVERIFY(!lcNet().isDebugEnabled());
        QVERIFY(!lcRegistration().isDebugEnabled());
        QVERIFY(lcNet().isWarningEnabled());
    }
};

QTEST_GUILESS_MAIN(TestLogging)
#include "tst_logging.moc"
