// zelmora-cli memo against the development server: the memo as the dialog sends it, the writer
// taken from the login, the time check and the exit codes.
#include "support/SimServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace zelmora;

namespace {

struct Run {
    int exitCode = -1;
    QJsonObject json;
    QString err;
};

Run cli(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(ZELMORA_CLI_PATH), arguments);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestCliMemo : public QObject {
    Q_OBJECT

    test::SimServer m_sim;

    QStringList as1(const QStringList& rest) const {
        return QStringList{QStringLiteral("--server"), m_sim.baseUrl().toString(),   QStringLiteral("--user"),
                           QStringLiteral("1"),        QStringLiteral("--password"), QStringLiteral("pass1"),
                           QStringLiteral("memo")} +
               rest;
    }

    QJsonObject lastMemo() const {
        const QJsonArray memos = m_sim.state().value(QStringLiteral("memos")).toArray();
        return memos.isEmpty() ? QJsonObject() : memos.last().toObject();
    }

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }
    void init() { QVERIFY(m_sim.reset()); }

    void sendsTheMemo() {
        const Run run = cli(as1({"--to", "4", "--from", "田中 & 佐藤", "--request", "1", "--tel", "03-1111-2222",
                                 "--message", "一行目\n二行目", "--time", "9:05"}));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json.value(QStringLiteral("ok")).toBool(), true);
        QCOMPARE(run.json.value(QStringLiteral("writer")).toString(), QStringLiteral("山田 太郎"));
        const QString date = run.json.value(QStringLiteral("date")).toString();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d{1,2}/\\d{1,2} \\([月火水木金土日]\\) $")).match(date).hasMatch(),
            qPrintable(date));

        const QJsonObject memo = lastMemo();
        QCOMPARE(memo.value(QStringLiteral("to")).toInt(), 4);
        QCOMPARE(memo.value(QStringLiteral("whom")).toString(), QStringLiteral("田中 & 佐藤"));
        QCOMPARE(memo.value(QStringLiteral("request")).toString(),
                 QStringLiteral("連絡があったことをお伝えください。"));
        QCOMPARE(memo.value(QStringLiteral("tel")).toString(), QStringLiteral("03-1111-2222"));
        QCOMPARE(memo.value(QStringLiteral("memo")).toString(), QStringLiteral("一行目\r\n二行目"));
        QCOMPARE(memo.value(QStringLiteral("time")).toString(), QStringLiteral("9:05"));
        QCOMPARE(memo.value(QStringLiteral("date")).toString(), date);
        QCOMPARE(memo.value(QStringLiteral("writer")).toString(), QStringLiteral("山田 太郎"));

        const Run other = cli(as1({"--to", "2", "--writer", "受付"}));
        QCOMPARE(other.exitCode, 0);
        QCOMPARE(lastMemo().value(QStringLiteral("writer")).toString(), QStringLiteral("受付"));
        QCOMPARE(lastMemo().value(QStringLiteral("request")).toString(), QStringLiteral("折返しお電話ください。"));
    }

    void refusesWhatItCannotSend() {
        const int before = int(m_sim.state().value(QStringLiteral("memos")).toArray().size());
        const Run badTime = cli(as1({"--to", "4", "--time", "25:00"}));
        QCOMPARE(badTime.exitCode, 2);
        QVERIFY(badTime.err.contains(QStringLiteral("時刻の指定が正しくありません")));
        QCOMPARE(cli(as1({"--to", "4", "--request", "3"})).exitCode, 2);
        QCOMPARE(cli(as1({})).exitCode, 2);
        // A character without a cp932 code is not sent.
        const Run emoji = cli(as1({"--to", "4", "--message", "😀"}));
        QCOMPARE(emoji.exitCode, 1);
        QCOMPARE(emoji.json.value(QStringLiteral("ok")).toBool(true), false);
        QCOMPARE(int(m_sim.state().value(QStringLiteral("memos")).toArray().size()), before);
    }
};

QTEST_GUILESS_MAIN(TestCliMemo)
#include "tst_cli_memo.moc"
