#include "RewriteContent.h"

namespace zelmora::test {

Settings rewriteSettings(int which) {
    Settings s;
    s.connection.SERVER_URL = which == 0 ? QStringLiteral("http://a.example.jp/scripts/cbag/")
                                         : QStringLiteral("http://groupware-b.example.co.jp/cgi-bin/cbag/");
    s.connection.GET_INTERVAL = which == 0 ? 5 : 15;
    s.connection.HERE_POSITION = which == 0 ? QStringLiteral("在席") : QStringLiteral("本社 3 階 第二会議室");
    s.connection.HERE_TELNO = which == 0 ? QString() : QStringLiteral("内線 4321");
    s.connection.updateProgramUrl();
    s.user.END_ACTION_TYPE = which == 0 ? EndAction::Ask : EndAction::Auto;
    s.user.END_REGIST_POSITION = which == 0 ? QString() : QStringLiteral("帰宅");
    s.user.GROUP_DISP_ORDER = which == 0 ? QList<qint32>{1, 2} : QList<qint32>{3, 2, 1, 4, 5, 6, 7, 8, 9};
    s.user.WINDOWPOS_X = which == 0 ? 100 : 9000;
    return s;
}

SettingsContext rewriteContext(int which) {
    SettingsContext context;
    context.loggedIn = true;
    context.userId = 1;
    context.userName = QStringLiteral("山田 太郎");
    context.loginPassword = which == 0 ? QStringLiteral("pass-a") : QStringLiteral("a-longer-password-b");
    return context;
}

QList<UserRecord> rewriteUsers(int which) {
    // B is larger than the write buffer of a file (16 KiB), A well below it.
    const int count = which == 0 ? 12 : 600;
    QList<UserRecord> users;
    for (int i = 1; i <= count; ++i) {
        UserRecord u;
        u.id = i;
        u.name = (which == 0 ? QStringLiteral("社員%1") : QStringLiteral("サンプル 社員番号%1")).arg(i);
        u.groupIds = {1 + i % 7};
        if (which == 1)
            u.groupIds.append(8);
        users.append(u);
    }
    return users;
}

} // namespace zelmora::test
