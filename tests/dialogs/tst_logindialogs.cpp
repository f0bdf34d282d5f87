#include "core/AppState.h"
#include "core/Settings.h"
#include "dialogs/frmLogin.h"
#include "dialogs/frmServerLogin.h"
#include "support/ScriptedMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace zelmora;
using zelmora::test::ScriptedMessages;

namespace {
const QString kLoginFailed = QStringLiteral("サイボウズにログインできません. パスワードを確認して下さい");

Settings directory() {
    Settings settings;
    settings.groups = {{10, QStringLiteral("営業部")}, {20, QStringLiteral("開発部")}, {30, QStringLiteral("総務部")}};
    settings.users = {{1, QStringLiteral("山田 太郎"), {10, 30}},
                      {2, QStringLiteral("鈴木 花子"), {20}},
                      {3, QStringLiteral("佐藤 一郎"), {20, 20}}, // listed twice under one group
                      {4, QStringLiteral("佐藤 一郎"), {10}},
                      {5, QStringLiteral("高橋 健"), {10}}};
    return settings;
}

QStringList items(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// A login dialog over a directory, with the server calls answered by the test.
struct LoginFixture {
    Settings settings = directory();
    AppState state;
    QList<QPair<qint32, QString>> logins;
    QString rightPassword = QStringLiteral("pass");
    bool fetchSucceeds = true;
    QList<UserRecord> fetched;
    int saves = 0;
    frmLogin* dialog = nullptr;

    LoginFixture(qint32 lastGroup, qint32 lastUser) {
        settings.connection.LASTLOGINUSER_GROUP = lastGroup;
        settings.connection.LASTLOGINUSER_NAME = lastUser;
        LoginOperations operations;
        operations.login = [this](qint32 id, const QString& password) {
            logins.append({id, password});
            return password == rightPassword;
        };
        operations.fetchUserData = [this](QList<UserRecord>& users) {
            users = fetched;
            return fetchSucceeds;
        };
        operations.saveUserData = [this](const QList<UserRecord>&) { ++saves; };
        dialog = new frmLogin(settings, state, operations);
        dialog->Load();
        dialog->show();
        dialog->SetInitialFocus();
        QCoreApplication::processEvents();
    }
    ~LoginFixture() { delete dialog; }
};
} // namespace

class TestLoginDialogs : public QObject {
    Q_OBJECT
private slots:
    void layoutAndCaptions() {
        LoginFixture f(-1, -1);
        frmLogin& d = *f.dialog;
        QCOMPARE(d.windowTitle(), QStringLiteral("サイボウズログイン"));
        QCOMPARE(d.lblLabel(2)->text(), QStringLiteral("所属グループ："));
        QCOMPARE(d.lblLabel(1)->text(), QStringLiteral("氏名："));
        QCOMPARE(d.lblLabel(0)->text(), QStringLiteral("パスワード："));
        QCOMPARE(d.chkAutoLogin()->text(), QStringLiteral("パスワードを記憶し、以後自動ログインする"));
        QVERIFY(!d.chkAutoLogin()->isChecked());
        QCOMPARE(d.cmdLogin()->text(), QStringLiteral("ログイン"));
        QVERIFY(d.cmdLogin()->isDefault());
        QCOMPARE(d.cmdCancel()->text(), QStringLiteral("キャンセル"));
        QCOMPARE(d.cmdUpdateUserList()->text(), QStringLiteral("データ更新"));
        QCOMPARE(d.txtPassword()->echoMode(), QLineEdit::Password);
        QCOMPARE(d.txtPassword()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, d.txtPassword()),
                 int('*'));
        QVERIFY(!d.cboGroup()->isEditable());
        QCOMPARE(d.minimumSize(), d.maximumSize()); // fixed dialog
        QCOMPARE(items(d.cboGroup()), QStringList({"営業部", "開発部", "総務部"}));
        QCOMPARE(d.cboGroup()->currentIndex(), -1);
        QCOMPARE(d.cboName()->count(), 0);
        QCOMPARE(QApplication::focusWidget(), d.cboGroup());
    }

    void rememberedGroupAndNameAreSelected() {
        {
            LoginFixture f(20, 3);
            QCOMPARE(f.dialog->cboGroup()->currentText(), QStringLiteral("開発部"));
            // Directory order, each member once.
            QCOMPARE(items(f.dialog->cboName()), QStringList({"鈴木 花子", "佐藤 一郎"}));
            QCOMPARE(f.dialog->cboName()->currentText(), QStringLiteral("佐藤 一郎"));
            QCOMPARE(QApplication::focusWidget(), f.dialog->txtPassword());
        }
        {
            // The remembered user is not in the remembered group.
            LoginFixture f(10, 2);
            QCOMPARE(f.dialog->cboGroup()->currentText(), QStringLiteral("営業部"));
            QCOMPARE(items(f.dialog->cboName()), QStringList({"山田 太郎", "佐藤 一郎", "高橋 健"}));
            QCOMPARE(f.dialog->cboName()->currentIndex(), -1);
            QCOMPARE(QApplication::focusWidget(), f.dialog->cboName());
        }
        {
            // A group that no longer exists.
            LoginFixture f(99, 1);
            QCOMPARE(f.dialog->cboGroup()->currentIndex(), -1);
            QCOMPARE(f.dialog->cboName()->count(), 0);
            QCOMPARE(QApplication::focusWidget(), f.dialog->cboGroup());
        }
    }

    void sameNameInOneGroupPicksTheRememberedId() {
        Settings settings = directory();
        settings.users[1].name = QStringLiteral("佐藤 一郎");
        settings.users[1].groupIds = {10};
        // Users 2 and 4 are both "佐藤 一郎" in group 10, 2 listed first.
        LoginSelection selection = initialLoginSelection(settings.groups, settings.users, 10, 4);
        QCOMPARE(selection.groupIndex, 0);
        QCOMPARE(selection.members.at(selection.nameIndex).id, 4);
        selection = initialLoginSelection(settings.groups, settings.users, 10, 2);
        QCOMPARE(selection.members.at(selection.nameIndex).id, 2);
    }

    void loginSucceedsAndRemembersChoice() {
        LoginFixture f(-1, -1);
        frmLogin& d = *f.dialog;
        QSignalSpy ended(&d, &frmLogin::loginEnded);
        d.cboGroup()->setCurrentIndex(1); // 開発部
        d.cboName()->setCurrentIndex(1);  // 佐藤 一郎 (3)
        d.txtPassword()->setText(QStringLiteral("pass"));
        d.chkAutoLogin()->setChecked(true);
        QTest::mouseClick(d.cmdLogin(), Qt::LeftButton);
        QCOMPARE(f.logins, (QList<QPair<qint32, QString>>{{3, QStringLiteral("pass")}}));
        QVERIFY(f.state.loggedIn);
        QVERIFY(d.bflgLoginEnd);
        QVERIFY(d.bflgAutoLogin);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!d.isVisible());
        QCOMPARE(f.settings.connection.LASTLOGINUSER_GROUP, 20);
        QCOMPARE(f.settings.connection.LASTLOGINUSER_NAME, 3);
    }

    void wrongPasswordKeepsDialogOpenWithTextSelected() {
        LoginFixture f(10, 5);
        frmLogin& d = *f.dialog;
        ScriptedMessages messages;
        d.txtPassword()->setText(QStringLiteral("wrong"));
        QTest::mouseClick(d.cmdLogin(), Qt::LeftButton);
        QCOMPARE(f.logins.size(), 1);
        QCOMPARE(f.logins.first().first, 5);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), kLoginFailed);
        QCOMPARE(messages.shown().last().icon, MsgIcon::Warning);
        QCOMPARE(messages.shown().last().title, QStringLiteral("エラー"));
        QVERIFY(!d.bflgLoginEnd);
        QVERIFY(d.isVisible());
        QVERIFY(d.cmdLogin()->isEnabled());
        QVERIFY(d.cboGroup()->isEnabled());
        QCOMPARE(d.txtPassword()->selectedText(), QStringLiteral("wrong"));
        QTest::keyClicks(d.txtPassword(), QStringLiteral("pass"));
        QCOMPARE(d.txtPassword()->text(), QStringLiteral("pass"));
        QVERIFY(!f.state.loggedIn);
        QCOMPARE(f.settings.connection.LASTLOGINUSER_GROUP, 10);

        // Without a chosen name nothing is sent; the same message answers.
        d.cboGroup()->setCurrentIndex(2);
        QTest::mouseClick(d.cmdLogin(), Qt::LeftButton);
        QCOMPARE(f.logins.size(), 1);
        QCOMPARE(messages.count(), 2);
        QVERIFY(d.isVisible());
    }

    void cancelAndCloseBoxEndWithoutLogin() {
        for (const bool closeBox : {false, true}) {
            LoginFixture f(20, 2);
            f.state.loggedIn = true;
            QSignalSpy ended(f.dialog, &frmLogin::loginEnded);
            f.dialog->cboGroup()->setCurrentIndex(0);
            if (closeBox)
                f.dialog->close();
            else
                QTest::mouseClick(f.dialog->cmdCancel(), Qt::LeftButton);
            QVERIFY(f.dialog->bflgLoginEnd);
            QCOMPARE(ended.count(), 1);
            QVERIFY(!f.state.loggedIn);
            QVERIFY(f.logins.isEmpty());
            QCOMPARE(f.settings.connection.LASTLOGINUSER_GROUP, 20);
            QCOMPARE(f.settings.connection.LASTLOGINUSER_NAME, 2);
        }
    }

    void refreshRebuildsListsFromNewDirectory() {
        LoginFixture f(20, 2);
        frmLogin& d = *f.dialog;
        ScriptedMessages messages;
        d.cboGroup()->setCurrentIndex(0);
        f.fetched = {{2, QStringLiteral("鈴木 花子"), {20}}, {6, QStringLiteral("新人 三郎"), {20}}};
        QTest::mouseClick(d.cmdUpdateUserList(), Qt::LeftButton);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(f.saves, 1);
        QCOMPARE(f.settings.users.size(), 2);
        // The remembered group and name again, not the group chosen before.
        QCOMPARE(d.cboGroup()->currentText(), QStringLiteral("開発部"));
        QCOMPARE(items(d.cboName()), QStringList({"鈴木 花子", "新人 三郎"}));
        QCOMPARE(d.cboName()->currentText(), QStringLiteral("鈴木 花子"));
        QVERIFY(d.cmdUpdateUserList()->isEnabled());

        f.fetchSucceeds = false;
        d.cboName()->setCurrentIndex(1);
        QTest::mouseClick(d.cmdUpdateUserList(), Qt::LeftButton);
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの更新に失敗しました"));
        QCOMPARE(messages.shown().last().icon, MsgIcon::Warning);
        QCOMPARE(f.saves, 1);
        QCOMPARE(f.settings.users.size(), 2);
        QCOMPARE(d.cboName()->currentText(), QStringLiteral("新人 三郎"));
        QVERIFY(d.cmdLogin()->isEnabled());
    }

    void serverLoginDialog() {
        AppState state;
        frmServerLogin d(state);
        QCOMPARE(d.windowTitle(), QStringLiteral("サーバーログイン"));
        QCOMPARE(d.lblLabel(2)->text(), QStringLiteral("ここにでは、サイボウズ用のユーザー名、パスワードではなく、サー"
                                                       "バーログイン用のものを入力して下さい。"));
        QCOMPARE(d.lblLabel(0)->text(), QStringLiteral("ユーザー名："));
        QCOMPARE(d.lblLabel(1)->text(), QStringLiteral("パスワード："));
        QCOMPARE(d.chkSavePassword()->text(), QStringLiteral("パスワードを記憶する"));
        QCOMPARE(d.txtPassword()->echoMode(), QLineEdit::Password);
        QVERIFY(d.cmdOk()->isDefault());
        d.show();
        state.dialogCancelled = true;

        // No user name: nothing happens.
        d.txtPassword()->setText(QStringLiteral("secret"));
        QTest::mouseClick(d.cmdOk(), Qt::LeftButton);
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(state.dialogCancelled);
        QVERIFY(d.strServerID.isEmpty());

        // A user name and an empty password close the dialog.
        d.txtUserName()->setText(QStringLiteral("web user"));
        d.txtPassword()->clear();
        d.chkSavePassword()->setChecked(true);
        QTest::mouseClick(d.cmdOk(), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!state.dialogCancelled);
        QCOMPARE(d.strServerID, QStringLiteral("web user"));
        QVERIFY(d.strServerPassword.isEmpty());
        QVERIFY(d.bflgSavePassword);
    }

    void serverLoginCancelAndCloseBox() {
        for (const int way : {0, 1, 2}) {
            AppState state;
            frmServerLogin d(state);
            d.show();
            d.txtUserName()->setText(QStringLiteral("typed"));
            if (way == 0)
                QTest::mouseClick(d.cmdCancel(), Qt::LeftButton);
            else if (way == 1)
                d.close();
            else
                QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
            QVERIFY(state.dialogCancelled);
            QVERIFY(d.strServerID.isEmpty());
            QVERIFY(!d.bflgSavePassword);
        }
    }
};

QTEST_MAIN(TestLoginDialogs)
#include "tst_logindialogs.moc"
