// The widget-free checks of the settings and connection details dialogs.
#include "dialogs/AboutText.h"
#include "dialogs/DialogNumber.h"
#include "dialogs/GroupOrderEditor.h"
#include "dialogs/InetDetailLogic.h"
#include "dialogs/SetParameterLogic.h"
#include "dialogs/SoundFileLogic.h"
#include "support/ScriptedMessages.h"
#include "support/TestFiles.h"
#include "ui/WavDuration.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace zelmora;
using namespace zelmora::test;

Q_DECLARE_METATYPE(zelmora::NumberCheck)

namespace {

ParameterTexts validTexts() {
    ParameterTexts t;
    t.notifySchedule = true;
    t.alarmTiming = QStringLiteral("10");
    t.getInterval = QStringLiteral("5");
    t.updateInterval = QStringLiteral("3");
    t.absenseLevel = QStringLiteral("10");
    return t;
}

bool noFile(const QString&) {
    return false;
}

QList<GroupRecord> threeGroups() {
    return {{10, QStringLiteral("営業部")}, {20, QStringLiteral("開発部")}, {30, QStringLiteral("総務部")}};
}

QByteArray wavBytes(quint32 byteRate, quint32 dataSize, bool listChunkFirst) {
    QByteArray b("RIFF");
    b.append(4, '\0');
    b.append("WAVE");
    auto le32 = [&b](quint32 v) {
        char raw[4];
        qToLittleEndian(v, raw);
        b.append(raw, 4);
    };
    if (listChunkFirst) {
        b.append("LIST");
        le32(3); // odd size: padded to 4
        b.append("abc");
        b.append('\0');
    }
    b.append("fmt ");
    le32(16);
    b.append("\x01\x00\x01\x00", 4); // PCM, mono
    le32(byteRate);                  // sample rate (unused here)
    le32(byteRate);                  // byte rate
    b.append("\x01\x00\x08\x00", 4);
    b.append("data");
    le32(dataSize);
    b.append(QByteArray(int(qMin<quint32>(dataSize, 64)), '\x80'));
    return b;
}

} // namespace

class TestDialogLogic : public QObject {
    Q_OBJECT
private slots:
    void wholeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<NumberCheck>("check");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << NumberCheck::Ok << 42;
        QTest::newRow("spaces around") << "  7 " << NumberCheck::Ok << 7;
        QTest::newRow("fraction rounds up") << "4.6" << NumberCheck::Ok << 5;
        QTest::newRow("fraction rounds down") << "59.4" << NumberCheck::Ok << 59;
        QTest::newRow("fraction past the top") << "59.6" << NumberCheck::OutOfRange << 0;
        QTest::newRow("full-width digits") << "３０" << NumberCheck::Ok << 30;
        QTest::newRow("exponent") << "1e1" << NumberCheck::Ok << 10;
        QTest::newRow("negative") << "-1" << NumberCheck::OutOfRange << 0;
        QTest::newRow("beyond 16 bits") << "70000" << NumberCheck::OutOfRange << 0;
        QTest::newRow("beyond 64 bits") << "123456789012345678901234567890" << NumberCheck::OutOfRange << 0;
        QTest::newRow("beyond a double") << "1e400" << NumberCheck::OutOfRange << 0;
        QTest::newRow("empty") << "" << NumberCheck::NotNumeric << 0;
        QTest::newRow("letters") << "abc" << NumberCheck::NotNumeric << 0;
        QTest::newRow("trailing letters") << "5分" << NumberCheck::NotNumeric << 0;
        QTest::newRow("two numbers") << "1 2" << NumberCheck::NotNumeric << 0;
    }
    void wholeNumbers() {
        QFETCH(QString, text);
        QFETCH(NumberCheck, check);
        QFETCH(int, value);
        const NumberReading reading = readWholeNumber(text, 0, 59);
        QCOMPARE(reading.check, check);
        if (check == NumberCheck::Ok)
            QCOMPARE(reading.value, value);
    }

    void parameterChecks_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        using namespace setparameter;
        QTest::newRow("alarm 0") << "alarm"
                                 << "0" << QString();
        QTest::newRow("alarm 59") << "alarm"
                                  << "59" << QString();
        QTest::newRow("alarm 60") << "alarm"
                                  << "60" << QStringLiteral("スケジュールの通知時間には0～59の値を入力してください.");
        QTest::newRow("alarm text") << "alarm"
                                    << "十分" << QStringLiteral("スケジュールの通知時間には数値を入力してください.");
        QTest::newRow("get 1") << "get"
                               << "1" << QString();
        QTest::newRow("get 59") << "get"
                                << "59" << QString();
        QTest::newRow("get 0") << "get"
                               << "0" << QStringLiteral("行先情報取得間隔には1～59の値を入力してください.");
        QTest::newRow("get 60") << "get"
                                << "60" << QStringLiteral("行先情報取得間隔には1～59の値を入力してください.");
        QTest::newRow("get huge") << "get"
                                  << "99999999999"
                                  << QStringLiteral("行先情報取得間隔には1～59の値を入力してください.");
        QTest::newRow("get empty") << "get"
                                   << "" << QStringLiteral("行先情報取得間隔には数値を入力してください.");
        QTest::newRow("update 1") << "update"
                                  << "1" << QString();
        QTest::newRow("update 59") << "update"
                                   << "59" << QString();
        QTest::newRow("update 0") << "update"
                                  << "0" << QStringLiteral("行先登録更新間隔には1～59の値を入力してください.");
        QTest::newRow("update 60") << "update"
                                   << "60" << QStringLiteral("行先登録更新間隔には1～59の値を入力してください.");
        QTest::newRow("update text") << "update"
                                     << "x" << QStringLiteral("行先登録更新間隔には数値を入力してください.");
        QTest::newRow("absence 5") << "absence"
                                   << "5" << QString();
        QTest::newRow("absence 60") << "absence"
                                    << "60" << QString();
        QTest::newRow("absence 4") << "absence"
                                   << "4" << QStringLiteral("不在判断時間には5～60の値を入力してください.");
        QTest::newRow("absence 61") << "absence"
                                    << "61" << QStringLiteral("不在判断時間には5～60の値を入力してください.");
        QTest::newRow("absence text") << "absence"
                                      << "-" << QStringLiteral("不在判断時間には数値を入力してください.");
    }
    void parameterChecks() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, error);
        ParameterTexts t = validTexts();
        if (field == QLatin1String("alarm"))
            t.alarmTiming = text;
        else if (field == QLatin1String("get"))
            t.getInterval = text;
        else if (field == QLatin1String("update"))
            t.updateInterval = text;
        else
            t.absenseLevel = text;
        const ParameterCheck check = CheckParameterTexts(t, noFile);
        QCOMPARE(check.error, error);
    }

    void parameterChecksInOrderWithSoundWarnings() {
        using namespace setparameter;
        ParameterTexts t = validTexts();
        // Schedule notices off: the minutes box is not looked at.
        t.notifySchedule = false;
        t.alarmTiming = QStringLiteral("いつでも");
        ParameterCheck check = CheckParameterTexts(t, noFile);
        QVERIFY(check.ok());
        QVERIFY(!check.alarmMinutes.has_value());

        // The sound warnings do not stop the checks; the first refused box does.
        t.useSound = true;
        t.soundFile = QStringLiteral("/nowhere/alarm.wav");
        t.getInterval = QStringLiteral("0");
        t.updateInterval = QStringLiteral("0");
        check = CheckParameterTexts(t, noFile);
        QCOMPARE(check.warnings,
                 QStringList{QStringLiteral("通知に使用するサウンドファイルの指定が正しくありません.")});
        QCOMPARE(check.error, QStringLiteral("行先情報取得間隔には1～59の値を入力してください."));
        t.soundFile.clear();
        t.getInterval = QStringLiteral("2.5");
        t.updateInterval = QStringLiteral("3.5");
        check = CheckParameterTexts(t, noFile);
        QCOMPARE(check.warnings, QStringList{QStringLiteral("通知に使用するサウンドファイルが指定されていません.")});
        QVERIFY(check.ok());
        QCOMPARE(check.getInterval, qint16(2)); // half to even
        QCOMPARE(check.updateInterval, qint16(4));
        check = CheckParameterTexts(t, [](const QString&) { return true; });
        QCOMPARE(check.warnings, QStringList{QStringLiteral("通知に使用するサウンドファイルが指定されていません.")});
    }

    void restartClasses_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("expected");
        QTest::newRow("nothing") << "" << 0;
        QTest::newRow("final slash only") << "slash" << 0;
        QTest::newRow("time-out") << "timeout" << 0;
        QTest::newRow("proxy host") << "host" << 0;
        QTest::newRow("intervals and texts") << "other" << 0;
        QTest::newRow("proxy port") << "port" << 2;
        QTest::newRow("proxy mode") << "mode" << 2;
        QTest::newRow("server authentication") << "auth" << 2;
        QTest::newRow("usable check") << "check" << 2;
        QTest::newRow("url") << "url" << 1;
        QTest::newRow("server kind") << "kind" << 1;
        QTest::newRow("url and proxy mode") << "url,mode" << 2;
    }
    void restartClasses() {
        QFETCH(QString, change);
        QFETCH(int, expected);
        ConnectionSettings original;
        original.SERVER_URL = QStringLiteral("http://gw.example.jp/scripts/cbag/");
        original.PROXY_MODE = 2;
        original.PROXY_SERVER = QStringLiteral("proxy.example.jp");
        original.PROXY_PORTNO = 8080;
        ConnectionSettings edited = original;
        const QStringList changes = change.split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& c : changes) {
            if (c == QLatin1String("slash"))
                edited.SERVER_URL.chop(1);
            else if (c == QLatin1String("timeout"))
                edited.TIMEOUT = 30;
            else if (c == QLatin1String("host"))
                edited.PROXY_SERVER = QStringLiteral("proxy2.example.jp");
            else if (c == QLatin1String("other")) {
                edited.GET_INTERVAL = 9;
                edited.HERE_POSITION = QStringLiteral("会議");
                edited.GET_DATA_MODE = 2;
                edited.ALWAYS_UPDATE_USERDATA = true;
            } else if (c == QLatin1String("port"))
                edited.PROXY_PORTNO = 3128;
            else if (c == QLatin1String("mode"))
                edited.PROXY_MODE = 1;
            else if (c == QLatin1String("auth"))
                edited.SERVER_PASSWORD_REQUIRED = true;
            else if (c == QLatin1String("check"))
                edited.CHECK_USABLE_APPLICATION = false;
            else if (c == QLatin1String("url"))
                edited.SERVER_URL = QStringLiteral("http://gw2.example.jp/scripts/cbag/");
            else if (c == QLatin1String("kind"))
                edited.SERVER_OS_TYPE = 1;
        }
        QCOMPARE(int(ClassifyRestart(original, edited)), expected);
    }

    void groupOrderEditing() {
        GroupOrderEditor editor;
        // Group 99 is gone from the server.
        editor.load(threeGroups(), {30, 99, 10});
        QCOMPARE(editor.ids(), QList<qint32>({30, 10}));
        QCOMPARE(editor.entries().at(0).name, QStringLiteral("総務部"));

        // Already listed: nothing, the selection stays.
        QCOMPARE(editor.add(0, 1), 1);
        QCOMPARE(editor.ids(), QList<qint32>({30, 10}));
        // No selection: appended at the end.
        QCOMPARE(editor.add(1, -1), -1);
        QCOMPARE(editor.ids(), QList<qint32>({30, 10, 20}));
        // No group chosen in the combo.
        QCOMPARE(editor.add(-1, 0), 0);
        QCOMPARE(editor.ids(), QList<qint32>({30, 10, 20}));

        QCOMPARE(editor.moveUp(0), 0);
        QCOMPARE(editor.moveDown(2), 2);
        QCOMPARE(editor.ids(), QList<qint32>({30, 10, 20}));
        QCOMPARE(editor.moveDown(0), 1);
        QCOMPARE(editor.ids(), QList<qint32>({10, 30, 20}));
        QCOMPARE(editor.moveUp(2), 1);
        QCOMPARE(editor.ids(), QList<qint32>({10, 20, 30}));
        QCOMPARE(editor.moveUp(-1), -1);
        QCOMPARE(editor.remove(-1), -1);
        QCOMPARE(editor.ids(), QList<qint32>({10, 20, 30}));

        QCOMPARE(editor.remove(1), -1);
        QCOMPARE(editor.ids(), QList<qint32>({10, 30}));
        // Inserted before the selected entry, which stays selected.
        QCOMPARE(editor.add(1, 1), 2);
        QCOMPARE(editor.ids(), QList<qint32>({10, 20, 30}));

        // Before the directory is loaded the ids are kept as they are.
        editor.load({}, {5, 6});
        QCOMPARE(editor.ids(), QList<qint32>({5, 6}));
        QVERIFY(editor.entries().at(0).name.isEmpty());
    }

    void inetDetailChecks_data() {
        QTest::addColumn<QString>("timeOut");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("error");
        using namespace inetdetail;
        QTest::newRow("time-out 10") << "10" << 1 << "" << QString();
        QTest::newRow("time-out 600") << "600" << 1 << "" << QString();
        QTest::newRow("time-out 9") << "9" << 1 << ""
                                    << QStringLiteral("タイムアウト時間には10～600の値を入力してください");
        QTest::newRow("time-out 601") << "601" << 1 << ""
                                      << QStringLiteral("タイムアウト時間には10～600の値を入力してください");
        QTest::newRow("time-out huge") << "1e30" << 1 << ""
                                       << QStringLiteral("タイムアウト時間には10～600の値を入力してください");
        QTest::newRow("time-out text") << "三分" << 1 << ""
                                       << QStringLiteral("タイムアウト時間には数値を入力してください");
        QTest::newRow("port 0") << "180" << 2 << "0" << QString();
        QTest::newRow("port 65535") << "180" << 2 << "65535" << QString();
        QTest::newRow("port 65536") << "180" << 2 << "65536"
                                    << QStringLiteral("プロキシポート番号には0～65535の値を入力してください");
        QTest::newRow("port -1") << "180" << 2 << "-1"
                                 << QStringLiteral("プロキシポート番号には0～65535の値を入力してください");
        QTest::newRow("port text") << "180" << 2 << "http"
                                   << QStringLiteral("プロキシポート番号には数値を入力してください");
        QTest::newRow("port text, browser settings") << "180" << 0 << "http" << QString();
        QTest::newRow("time-out before port")
            << "5" << 2 << "x" << QStringLiteral("タイムアウト時間には10～600の値を入力してください");
    }
    void inetDetailChecks() {
        QFETCH(QString, timeOut);
        QFETCH(int, mode);
        QFETCH(QString, port);
        QFETCH(QString, error);
        InetDetailForm form;
        form.timeOut = timeOut;
        form.proxyMode = mode;
        form.proxyPort = port;
        QCOMPARE(ValidateInetDetail(form), error);
    }

    void inetDetailReadBack() {
        InetDetailForm form;
        form.timeOut = QStringLiteral("30.4");
        form.proxyMode = 1;
        form.proxyServer = QStringLiteral("proxy.example.jp");
        form.proxyPort = QStringLiteral("8080");
        form.serverPassRequired = false;
        form.serverId = QStringLiteral("web");
        form.serverPassword = QStringLiteral("secret");
        form.saveServerPassword = true;
        InetDetailValues values = ReadBackInetDetail(form);
        QCOMPARE(values.intTimeOut, qint16(30));
        QCOMPARE(values.intProxyMode, qint16(1));
        QCOMPARE(values.strProxyServer, QString());
        QCOMPARE(values.lngProxyPortNo, 0);
        QVERIFY(!values.bServerPassRequired);
        QCOMPARE(values.strServerID, QString());
        QCOMPARE(values.strServerPassword, QString());
        QVERIFY(!values.bSaveServerPassword);

        form.proxyMode = 2;
        form.serverPassRequired = true;
        values = ReadBackInetDetail(form);
        QCOMPARE(values.strProxyServer, QStringLiteral("proxy.example.jp"));
        QCOMPARE(values.lngProxyPortNo, 8080);
        QCOMPARE(values.strServerID, QStringLiteral("web"));
        QCOMPARE(values.strServerPassword, QStringLiteral("secret"));
        QVERIFY(values.bSaveServerPassword);
    }

    void soundFiles() {
        QVERIFY(IsWavFileName(QStringLiteral("/home/u/ALARM.WAV")));
        QVERIFY(IsWavFileName(QStringLiteral("chime.wav")));
        QVERIFY(!IsWavFileName(QStringLiteral("/home/u/song.mp3")));
        QVERIFY(!IsWavFileName(QStringLiteral("/home/u/wav")));

        QTemporaryDir dir;
        const QString music = dir.filePath(QStringLiteral("Music"));
        const QString program = dir.filePath(QStringLiteral("bin"));
        // Beside the file already named, which is preselected.
        SoundChooserStart start =
            SoundChooserStartFor(dir.filePath(QStringLiteral("a/b.wav")), QString(), {music}, program);
        QCOMPARE(start.folder, dir.filePath(QStringLiteral("a")));
        QCOMPARE(start.file, QStringLiteral("b.wav"));
        start = SoundChooserStartFor(QString(), QStringLiteral("/win"), {music}, program);
        QCOMPARE(start.folder, QStringLiteral("/win/MEDIA"));
        // A sound folder that does not exist is passed over.
        start = SoundChooserStartFor(QString(), QString(), {music}, program);
        QCOMPARE(start.folder, program);
        QVERIFY(QDir().mkpath(music));
        start = SoundChooserStartFor(QString(), QString(), {QString(), music}, program);
        QCOMPARE(start.folder, music);
        QVERIFY(start.file.isEmpty());
    }

    void wavDuration() {
        QTemporaryDir dir;
        const QString one = dir.filePath(QStringLiteral("one.wav"));
        writeFile(one, wavBytes(8000, 12000, true));
        QCOMPARE(WavDurationMs(one), std::optional<qint64>(1500));
        const QString plain = dir.filePath(QStringLiteral("plain.wav"));
        writeFile(plain, wavBytes(44100, 44100, false));
        QCOMPARE(WavDurationMs(plain), std::optional<qint64>(1000));
        const QString bad = dir.filePath(QStringLiteral("bad.wav"));
        writeFile(bad, QByteArray("ID3\x03 not a wave file at all"));
        QVERIFY(!WavDurationMs(bad).has_value());
        QByteArray truncated = wavBytes(8000, 8000, false);
        truncated.truncate(30);
        writeFile(bad, truncated);
        QVERIFY(!WavDurationMs(bad).has_value());
        QVERIFY(!WavDurationMs(dir.filePath(QStringLiteral("missing.wav"))).has_value());
    }

    void aboutTexts() {
        QCOMPARE(AboutVersionLine(1, 3, 0), QStringLiteral("Version 1.3.0 (2002/06/30)"));
        QCOMPARE(AboutVersionLine(2, 10, 7), QStringLiteral("Version 2.10.7 (2002/06/30)"));
        const QString line = AboutComponentsLine(QStringLiteral("X11 (XScreenSaver)"), QString());
        QVERIFY(line.contains(QStringLiteral("X11 (XScreenSaver)")));
        QVERIFY(line.contains(QStringLiteral("(未確認)")));
    }
};

QTEST_GUILESS_MAIN(TestDialogLogic)
#include "tst_dialoglogic.moc"
