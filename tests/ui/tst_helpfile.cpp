#include "app/Startup.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "support/ScriptedMessages.h"
#include "support/TestFiles.h"
#include "ui/HelpFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;
using zelmora::test::ScriptedMessages;

namespace {
void createFile(const QString& path) {
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    test::writeFile(path, "<html></html>");
}
} // namespace

class TestHelpFile : public QObject {
    Q_OBJECT
private slots:
    void lookupOrder() {
        QTemporaryDir root;
        // A build folder: build/src/app/zelmora beside build/share/zelmora/help.
        const QString program = root.filePath(QStringLiteral("build/src/app"));
        QVERIFY(QDir().mkpath(program));
        const QStringList candidates = helpFileCandidates(program);
        QCOMPARE(candidates, QStringList({program + QStringLiteral("/ゼルモラ.html"),
                                          root.filePath(QStringLiteral("build/src/share/zelmora/help/index.html")),
                                          root.filePath(QStringLiteral("build/share/zelmora/help/index.html"))}));
        QCOMPARE(findHelpFile(program), QString());

        createFile(candidates.at(2));
        QCOMPARE(findHelpFile(program), candidates.at(2));
        createFile(candidates.at(1));
        QCOMPARE(findHelpFile(program), candidates.at(1));
        // A help file beside the program wins over every installed guide.
        createFile(candidates.at(0));
        QCOMPARE(findHelpFile(program), candidates.at(0));

        // A folder of the help's name is not a help file.
        const QString other = root.filePath(QStringLiteral("other/bin"));
        QVERIFY(QDir().mkpath(other + QStringLiteral("/ゼルモラ.html")));
        QCOMPARE(findHelpFile(other), QString());
        // A relative program folder gives absolute paths (they become file:// URLs).
        QVERIFY(QDir::isAbsolutePath(helpFileCandidates(QStringLiteral("bin")).at(1)));
    }

    void installedLayout() {
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString help = root.filePath(QStringLiteral("usr/share/zelmora/help/index.html"));
        createFile(help);

        Settings settings;
        AppState state;
        InitializeStartupState(settings, state, root.filePath(QStringLiteral("data")), bin, QString());
        QCOMPARE(state.helpFilePath, help);

        // An installation's bin folder never holds the data, even when writable (a run as root).
        QVERIFY(isWritableFolder(bin));
        QVERIFY(isInstalledProgramFolder(bin));
        QVERIFY(!programFolderHoldsData(bin));
        const QString config = root.filePath(QStringLiteral("home/.config/Zelmora"));
        QCOMPARE(chooseDataFolder({}, bin, config, programFolderHoldsData), config);
        // A portable folder (no share/zelmora beside it) keeps its data beside the program.
        const QString portable = root.filePath(QStringLiteral("portable"));
        QVERIFY(QDir().mkpath(portable));
        QVERIFY(!isInstalledProgramFolder(portable));
        QCOMPARE(chooseDataFolder({}, portable, config, programFolderHoldsData), portable);
    }

    void showHelpOpensOrExplains() {
        QTemporaryDir root;
        const QString program = root.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(program));
        ScriptedMessages messages;
        QList<QUrl> opened;
        const auto opener = [&opened](bool works) {
            return [&opened, works](const QUrl& url) {
                opened.append(url);
                return works;
            };
        };

        // Nothing to open: a message that names every place looked at, and no browser.
        QVERIFY(!ShowHelp(QString(), program, opener(true)));
        QVERIFY(opened.isEmpty());
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.shown().at(0).title, QStringLiteral("エラー"));
        QCOMPARE(messages.shown().at(0).icon, MsgIcon::Warning);
        QVERIFY(messages.lastText().startsWith(QStringLiteral("ヘルプファイルが見つかりません.\r\n")));
        for (const QString& candidate : helpFileCandidates(program))
            QVERIFY2(messages.lastText().contains(candidate), qPrintable(candidate));

        // The path found at start-up is gone, the guide was installed since: it is found again.
        const QString installed = root.filePath(QStringLiteral("share/zelmora/help/index.html"));
        createFile(installed);
        messages.clear();
        QVERIFY(ShowHelp(root.filePath(QStringLiteral("bin/ゼルモラ.html")), program, opener(true)));
        QCOMPARE(opened, QList<QUrl>({QUrl::fromLocalFile(installed)}));
        QCOMPARE(messages.count(), 0);

        // The desktop has nothing to open HTML with.
        opened.clear();
        QVERIFY(!ShowHelp(installed, program, opener(false)));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.lastText().startsWith(QStringLiteral("ヘルプファイルを開けませんでした.\r\n") + installed));
    }
};

QTEST_GUILESS_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
