#include "core/AutostartEntry.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;

namespace {
struct Run {
    int exitCode = -1;
    QJsonObject json;
};

Run cli(const QString& configHome, const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZELMORA_CLI_PATH), arguments);
    if (!p.waitForFinished(30000))
        qFatal("zelmora-cli did not finish");
    return {p.exitCode(), QJsonDocument::fromJson(p.readAllStandardOutput()).object()};
}

QString execLine(const QString& entry) {
    for (const QString& line : entry.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec=")))
            return line.mid(5);
    }
    return QString();
}
} // namespace

class TestCliAutostart : public QObject {
    Q_OBJECT
private slots:
    void execArguments() {
        QCOMPARE(desktopExecArgument(QStringLiteral("/usr/bin/zelmora")), QStringLiteral("/usr/bin/zelmora"));
        QCOMPARE(desktopExecArgument(QStringLiteral("/home/u/ゼルモラ")), QStringLiteral("/home/u/ゼルモラ"));
        QCOMPARE(desktopExecArgument(QStringLiteral("/data/my folder")), QStringLiteral("\"/data/my folder\""));
        // Inside quotes " ` $ \ take a backslash; the string escaping of the file doubles backslashes.
        QCOMPARE(desktopExecArgument(QStringLiteral("/d/a\"b")), QStringLiteral("\"/d/a\\\\\"b\""));
        QCOMPARE(desktopExecArgument(QStringLiteral("/d/$HOME")), QStringLiteral("\"/d/\\\\$HOME\""));
        QCOMPARE(desktopExecArgument(QStringLiteral("/d/a\\b")), QStringLiteral("\"/d/a\\\\\\\\b\""));
        // A field code would be expanded by the launcher: '%' is doubled.
        QCOMPARE(desktopExecArgument(QStringLiteral("/d/100%u")), QStringLiteral("/d/100%%u"));
        QCOMPARE(desktopExecArgument(QString()), QStringLiteral("\"\""));
    }

    // A real launcher reads the entry back into the same arguments.
    void launcherGetsTheArguments() {
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty())
            QSKIP("gio (libglib2.0-bin) is not installed");
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("args.txt"));
        const QString program = dir.filePath(QStringLiteral("echo args"));
        test::writeFile(
            program,
            QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '%1'\n").arg(out).toUtf8());
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString folder = dir.filePath(QStringLiteral("営業 \"一課\" $HOME `x` a\\b 100%u"));
        const QString entry = dir.filePath(QStringLiteral("zelmora.desktop"));
        test::writeFile(entry, autostartEntryText(program, folder).toUtf8());

        QProcess launch;
        launch.start(gio, {QStringLiteral("launch"), entry});
        QVERIFY(launch.waitForFinished(10000));
        QCOMPARE(launch.exitCode(), 0);
        QTRY_VERIFY(QFile::exists(out));
        QTRY_COMPARE(QString::fromUtf8(test::readFile(out)), QStringLiteral("[") + folder + QStringLiteral("]\n"));
    }

    void onStatusOff() {
        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config"));
        const QString entry = config + QStringLiteral("/autostart/zelmora.desktop");

        Run run = cli(config, {QStringLiteral("autostart"), QStringLiteral("status")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json.value(QStringLiteral("autostart")).toBool(), false);
        QCOMPARE(run.json.value(QStringLiteral("file")).toString(), entry);

        // The folder is made absolute: the session starts the program in the home folder.
        QDir::setCurrent(home.path());
        run = cli(config, {QStringLiteral("autostart"), QStringLiteral("on"), QStringLiteral("--data"),
                           QStringLiteral("my data")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json.value(QStringLiteral("autostart")).toBool(), true);
        const QString text = QString::fromUtf8(test::readFile(entry));
        QVERIFY2(execLine(text).endsWith(QStringLiteral(" \"") + home.filePath(QStringLiteral("my data")) + "\""),
                 qPrintable(text));
        // The desktop program built beside zelmora-cli is the one started.
        QVERIFY2(execLine(text).startsWith(QStringLiteral(ZELMORA_EXE_PATH) + QLatin1Char(' ')), qPrintable(text));
        const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (!validate.isEmpty())
            QCOMPARE(QProcess::execute(validate, {entry}), 0);

        // Without a folder, the program's own default is used; on twice rewrites the entry.
        QCOMPARE(cli(config, {QStringLiteral("autostart"), QStringLiteral("on")}).exitCode, 0);
        QCOMPARE(execLine(QString::fromUtf8(test::readFile(entry))), QStringLiteral(ZELMORA_EXE_PATH));
        QCOMPARE(cli(config, {QStringLiteral("autostart"), QStringLiteral("status")})
                     .json.value(QStringLiteral("autostart"))
                     .toBool(),
                 true);

        run = cli(config, {QStringLiteral("autostart"), QStringLiteral("off")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json.value(QStringLiteral("autostart")).toBool(), false);
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(cli(config, {QStringLiteral("autostart"), QStringLiteral("off")}).exitCode, 0);

        // Usage errors write nothing.
        QCOMPARE(cli(config, {QStringLiteral("autostart")}).exitCode, 2);
        QCOMPARE(cli(config, {QStringLiteral("autostart"), QStringLiteral("maybe")}).exitCode, 2);
        QCOMPARE(cli(config, {QStringLiteral("autostart"), QStringLiteral("off"), QStringLiteral("--data"),
                              QStringLiteral("x")})
                     .exitCode,
                 2);
        QCOMPARE(cli(config, {QStringLiteral("autostart"), QStringLiteral("on"), QStringLiteral("--data"),
                              QStringLiteral("a\nb")})
                     .exitCode,
                 2);
        QVERIFY(!QFile::exists(entry));
    }
};

QTEST_GUILESS_MAIN(TestCliAutostart)
#include "tst_cli_autostart.moc"
