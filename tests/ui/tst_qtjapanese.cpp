#include "ui/QtTranslations.h"

#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;

// Qt's own windows as the user sees them with the program's translations: the standard buttons and
// the file chooser's kinds and dates, whatever the session's locale.
class TestQtJapanese : public QObject {
    Q_OBJECT
private slots:
    void standardButtonsAreJapanese_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("yes") << int(QMessageBox::Yes) << QStringLiteral("はい(&Y)");
        QTest::newRow("no") << int(QMessageBox::No) << QStringLiteral("いいえ(&N)");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << QStringLiteral("キャンセル");
    }
    void standardButtonsAreJapanese() {
        QFETCH(int, button);
        QFETCH(QString, text);
        QMessageBox box;
        box.setStandardButtons(QMessageBox::StandardButton(button));
        QCOMPARE(box.button(QMessageBox::StandardButton(button))->text(), text);
    }

    void fileChooserKindsAndDatesAreJapanese() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("alarm")));
        QFileSystemModel model;
        const QModelIndex root = model.setRootPath(dir.path());
        QTRY_COMPARE(model.rowCount(root), 1);
        const QModelIndex folder = model.index(0, 0, root);
        QCOMPARE(model.index(0, 2, root).data().toString(), QStringLiteral("フォルダ"));
        const QString date = model.index(folder.row(), 3, root).data().toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}/\\d{2}/\\d{2} \\d{1,2}:\\d{2}$")).match(date).hasMatch(),
                 qPrintable(date));
    }
};

int main(int argc, char** argv) {
    // As the program's main does, whatever the test's environment says.
    qputenv("LC_ALL", "C.UTF-8");
    ui::useJapaneseDates();
    QApplication app(argc, argv);
    if (ui::installQtTranslations(app).isEmpty())
        qWarning("Qt's Japanese translations are not installed");
    TestQtJapanese test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qtjapanese.moc"
