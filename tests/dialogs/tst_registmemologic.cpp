// Widget-free parts of the registration and memo dialogs: taking a board entry apart, the request
// "登録" sends, and the telephone memo form.
#include "core/Cp932.h"
#include "dialogs/RegistPositionLogic.h"
#include "groupware/TelMemo.h"

#include <QTest>

using namespace zelmora;

class TestRegistMemoLogic : public QObject {
    Q_OBJECT
private slots:
    void splitsPlaceLimitAndContact_data() {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("contact");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("shownContact");
        QTest::addColumn<bool>("automatic");

        QTest::newRow("hour") << "会議 (15時まで)"
                              << "内線12"
                              << "会議"
                              << "15"
                              << "時まで"
                              << "内線12" << false;
        QTest::newRow("half hour") << "外出 (3時半まで)"
                                   << ""
                                   << "外出"
                                   << "3"
                                   << "時半まで"
                                   << "" << false;
        QTest::newRow("day") << "出張 (20日まで)"
                             << ""
                             << "出張"
                             << "20"
                             << "日まで"
                             << "" << false;
        QTest::newRow("full-width digits") << "会議 (１５時まで)"
                                           << ""
                                           << "会議"
                                           << "１５"
                                           << "時まで"
                                           << "" << false;
        QTest::newRow("automatic") << "在席*"
                                   << "内線12*"
                                   << "在席"
                                   << ""
                                   << ""
                                   << "内線12" << true;
        QTest::newRow("marks differ") << "帰宅?"
                                      << "内線12*"
                                      << "帰宅"
                                      << ""
                                      << ""
                                      << "内線12" << true;
        QTest::newRow("only the position marked") << "在席*"
                                                  << "内線12"
                                                  << "在席*"
                                                  << ""
                                                  << ""
                                                  << "内線12" << false;
        QTest::newRow("only the contact marked") << "在席"
                                                 << "内線12*"
                                                 << "在席"
                                                 << ""
                                                 << ""
                                                 << "内線12*" << false;
        // A limit right at the start leaves no place instead of failing.
        QTest::newRow("limit first") << "15時まで"
                                     << ""
                                     << ""
                                     << "15"
                                     << "時まで"
                                     << "" << false;
        QTest::newRow("no limit") << "15時から会議"
                                  << ""
                                  << "15時から会議"
                                  << ""
                                  << ""
                                  << "" << false;
    }
    void splitsPlaceLimitAndContact() {
        QFETCH(QString, position);
        QFETCH(QString, contact);
        const PositionFields fields = splitCurrentPosition(position, contact);
        QTEST(fields.place, "place");
        QTEST(fields.limitNumber, "number");
        QTEST(fields.limitUnit, "unit");
        QTEST(fields.contact, "shownContact");
        QTEST(fields.autoRegistered, "automatic");
        QCOMPARE(fields.hasLimit, !fields.limitUnit.isEmpty());
    }

    void startingStateAndRequest() {
        // Automatic entry: ticked only when opened through a menu handler.
        QCOMPARE(registFormState(true, kRegistModeMenu).autoTicked, true);
        QCOMPARE(registFormState(true, kRegistModeGrid).autoTicked, false);
        QCOMPARE(registFormState(true, kRegistModeGrid).autoEnabled, false);
        QCOMPARE(registFormState(false, kRegistModeMenu).autoTicked, false);
        QCOMPARE(registFormState(false, kRegistModeMenu).autoEnabled, true);

        ConnectionSettings settings;
        settings.HERE_POSITION.clear();
        settings.HERE_TELNO.clear();
        RegistInput input{true, QStringLiteral("在席"), QStringLiteral("15"), QStringLiteral("時まで"),
                          QStringLiteral("内線12")};
        const WhereEntryRequest ticked = registRequest(input, settings, 7);
        QCOMPARE(ticked, (WhereEntryRequest{7, QStringLiteral("*"), {}, {}, QStringLiteral("*")}));
        input.autoTicked = false;
        input.place = QStringLiteral(" 会議 ");
        const WhereEntryRequest typed = registRequest(input, settings, 7);
        QCOMPARE(typed, (WhereEntryRequest{7, QStringLiteral(" 会議 "), QStringLiteral("15"), QStringLiteral("時まで"),
                                           QStringLiteral("内線12")}));
    }

    void memoDateAndTime() {
        QCOMPARE(memoDateCaption(QDate(2024, 12, 6)), QStringLiteral("12/6 (金) "));
        QCOMPARE(memoDateCaption(QDate(2025, 1, 12)), QStringLiteral("1/12 (日) "));
        const QStringList valid = {"",     "  ",      "9:05",     "10:30",   "23:59:59", "１０：３０",
                                   "10時", "10時5分", "午後3:15", "3:15 PM", "0:00"};
        for (const QString& time : valid)
            QVERIFY2(isValidMemoTime(time), qPrintable(time));
        const QStringList invalid = {"24:00", "10:60", "10:30:60",  "abc",         "10時半", "10",
                                     "10:",   ":30",   "午後13:00", "午後3:15 PM", "10:30\n"};
        for (const QString& time : invalid)
            QVERIFY2(!isValidMemoTime(time), qPrintable(time));
    }

    void memoText() {
        QCOMPARE(memoBodyText(QStringLiteral("  一行目\n二行目  ")), QStringLiteral("一行目\r\n二行目"));
        QCOMPARE(memoBodyText(QStringLiteral("a\r\nb\rc")), QStringLiteral("a\r\nb\r\nc"));
        // Blanks inside stay; a line break at the end is no blank and stays.
        QCOMPARE(memoBodyText(QStringLiteral("a  b\n")), QStringLiteral("a  b\r\n"));
        QCOMPARE(memoBodyText(QStringLiteral("a\n  ")), QStringLiteral("a\r\n"));
    }

    void memoFormFieldsInOrder() {
        TelMemoRequest memo;
        memo.toUserId = 2;
        memo.date = QStringLiteral("12/6 (金) ");
        memo.time = QStringLiteral(" 10:30 ");
        memo.whom = QStringLiteral("田中 & 佐藤");
        memo.request = 2;
        memo.tel = QStringLiteral("03-1234-5678");
        memo.memo = QStringLiteral("至急\nA=B");
        memo.writer = QStringLiteral(" 山田 太郎 ");
        const FormData form = telMemoForm(memo);
        QStringList names;
        for (const auto& field : form.fields())
            names << field.first;
        QCOMPARE(names,
                 (QStringList{"Page", "ID", "GID", "Title", "TitleWhom", "TitleTime", "TitleTel", "TitleMemo",
                              "TitleWriter", "Date", "Time", "Whom", "Request", "Tel", "Memo", "Writer", "Submit"}));
        const QByteArray body = form.encoded();
        QVERIFY(body.startsWith("Page=WhereMemo&ID=2&GID=0&Title="));
        auto has = [&body](const QByteArray& part) { return body.contains(part); };
        const auto enc = [](const char16_t* text) { return cp932::formEncode(QString::fromUtf16(text)); };
        QVERIFY(has(QByteArray("&Date=12%2F6+%28") + enc(u"金") + "%29+&Time=10%3A30&"));
        QVERIFY(has(QByteArray("&Whom=") + enc(u"田中") + "+%26+"));
        QVERIFY(has(QByteArray("&Memo=") + enc(u"至急") + "%0D%0AA%3DB&Writer="));
        QVERIFY(has(QByteArray("&Request=") + enc(u"伝言を残します。") + "&Tel="));
        QVERIFY(body.endsWith(QByteArray(QByteArray("&Submit=") + enc(u"電話メモを残す"))));
    }
};

QTEST_GUILESS_MAIN(TestRegistMemoLogic)
#include "tst_registmemologic.moc"
