// The settings file readers and the rewrite on arbitrary file content: no crash, no hang, and the
// rewritten file always reads back.
#include "core/MessageBox.h"
#include "core/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace zelmora;

namespace {
bool installHandlers() {
    setMessageHandler([](const MessageRequest&) { return MsgResult::No; });
    setSettingsExitHandler([] { std::abort(); }); // nothing here may count as an unexpected failure
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool installed = installHandlers();
    (void)installed;
    const SettingsLines lines = splitSettingsLines(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    ConnectionSettings common;
    readCommonSection(lines, common);
    SettingsContext context;
    context.logonName = QStringLiteral("taro");
    context.screenTwips = QSize(19200, 14400);
    context.groupIds = QList<qint32>{1, 2, 3};
    UserSettings user;
    for (const QString& section : {QStringLiteral("1"), QStringLiteral("200")})
        readUserSection(lines, section, user, context);
    QString serverUser, serverPassword;
    bool saved = false;
    readServerLogonSection(lines, context.logonName, serverUser, serverPassword, saved);
    readAutoLoginPassword(lines, QStringLiteral("1"));

    Settings settings;
    settings.connection.SERVER_PASSWORD_REQUIRED = true;
    settings.user.serverLogonSaved = true;
    settings.user.serverUserName = QStringLiteral("web");
    const SettingsLines rewritten =
        splitSettingsLines(composeSettingsFile(&lines, QStringLiteral("1"), settings, context));
    ConnectionSettings again;
    UserSettings againUser;
    if (readCommonSection(rewritten, again) != SettingsDone ||
        readUserSection(rewritten, QStringLiteral("1"), againUser, SettingsContext()) != SettingsDone ||
        readServerLogonSection(rewritten, context.logonName, serverUser, serverPassword, saved) != SettingsDone ||
        serverUser != QStringLiteral("web"))
        std::abort();
    return 0;
}
