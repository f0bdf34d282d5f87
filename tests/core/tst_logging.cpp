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

    void categoriesAreOffByDefault() {
        QVERIFY(!lcNet().isDebugEnabled());
        QVERIFY(!lcRegistration().isDebugEnabled());
        QVERIFY(lcNet().isWarningEnabled());
    }
};

QTEST_GUILESS_MAIN(TestLogging)
#include "tst_logging.moc"
