// Renders the notice window, an alarm, the registration dialog, the memo dialog and the member
// window with data from groupware-sim and saves them as PNG files for docs/screenshots. Not a
// test. Run it under Xvfb with a Japanese font:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/dialogs/zelmora-notify-screenshots docs/screenshots
#include "core/AppState.h"
#include "core/Clock.h"
#include "dialogs/frmMemberPosition.h"
#include "dialogs/frmRegistPosition.h"
#include "dialogs/frmTelMemo.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "notify/AttentionControl.h"
#include "notify/ScheduleAlarm.h"
#include "notify/frmAlarm.h"
#include "notify/frmAttention.h"
#include "status/StatusPages.h"
#include "support/SimServer.h"
#include "ui/NoticeSound.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <cstdio>

using namespace zelmora;

namespace {
bool save(QWidget* window, const QString& path) {
    window->show();
    window->raise();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QPixmap shot = window->grab();
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), shot.width(), shot.height());
    return true;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(dir);
    ui::setSoundPlayer([](const QString&) {});

    test::SimServer sim;
    if (!sim.start())
        return 1;
    Settings settings;
    settings.connection.SERVER_URL = sim.baseUrl().toString();
    settings.connection.updateProgramUrl();
    settings.connection.HERE_TELNO = QStringLiteral("内線101");
    settings.groups = {{1, QStringLiteral("営業部")}, {2, QStringLiteral("開発部")}, {3, QStringLiteral("総務部")}};
    settings.users = {{1, QStringLiteral("山田 太郎"), {1, 3}},
                      {2, QStringLiteral("鈴木 花子"), {1}},
                      {3, QStringLiteral("佐藤 一郎"), {2}},
                      {5, QStringLiteral("高橋 健"), {2}}};
    SetInetOptions(settings.connection, QString(), QString());
    GroupwareSession session;
    if (!Login(settings.connection, session, 1, QStringLiteral("pass1")))
        return 1;
    AppState appState;
    appState.loggedIn = true;
    Clock::setFixed(QDateTime(QDate(2024, 12, 6), QTime(9, 52)));
    bool ok = true;

    AttentionControl attention(settings, session);
    attention.setNotifier(nullptr);
    attention.Show(1 | 4 | 16);
    ok = save(attention.window(), dir + QStringLiteral("/notice-window.png")) && ok;

    QList<ScheduleItem> schedule(1);
    schedule[0].kind = ScheduleItem::StartEnd;
    schedule[0].title = QStringLiteral("定例会議");
    schedule[0].start = QDateTime(QDate(2024, 12, 6), QTime(10, 0));
    schedule[0].end = QDateTime(QDate(2024, 12, 6), QTime(11, 30));
    schedule[0].armed = true;
    schedule[0].alarmTime = QDateTime(QDate(2024, 12, 6), QTime(9, 50));
    ScheduleAlarm alarm(schedule, settings.user);
    alarm.Tick();
    if (alarm.openWindows().isEmpty())
        return 1;
    ok = save(alarm.openWindows().first(), dir + QStringLiteral("/alarm-window.png")) && ok;

    frmRegistPosition regist(settings, session, nullptr);
    regist.setMember(1, 0, QStringLiteral("会議 (15時まで)"), QStringLiteral("内線101"));
    regist.Initialize();
    ok = save(&regist, dir + QStringLiteral("/registration-dialog.png")) && ok;

    frmTelMemo memo(settings, session, appState);
    memo.setToUserID(2);
    memo.Load();
    memo.txtFromName()->setText(QStringLiteral("株式会社サンプル 田中"));
    memo.txtTelNo()->setText(QStringLiteral("03-1234-5678"));
    memo.optContent(2)->setChecked(true);
    memo.txtMemo()->setPlainText(QStringLiteral("見積書の件でお電話がありました。\n午後にもう一度かけ直すそうです。"));
    ok = save(&memo, dir + QStringLiteral("/memo-dialog.png")) && ok;

    frmMemberPosition member(session);
    member.Fill(memberWindowFields(
        QStringLiteral("鈴木 花子"),
        QStringLiteral("外出 (15時まで) 新宿の取引先で打合せ、その後本社で会議に出て直帰します"), QStringLiteral("○"),
        QStringLiteral("携帯 090-1234-5678"), QStringLiteral("2024/12/06 (金) 09:40")));
    ok = save(&member, dir + QStringLiteral("/member-window.png")) && ok;
    return ok ? 0 : 1;
}
