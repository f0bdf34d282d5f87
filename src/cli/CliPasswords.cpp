#include "cli/CliPasswords.h"

#include <QFile>
#include <QProcessEnvironment>

#include <cstdio>

namespace zelmora::cli {

namespace {

// One line of the file (or of standard input for "-"), without its line end.
std::optional<QString> firstLine(const QString& path) {
    QByteArray line;
    if (path == QLatin1String("-")) {
        // Unbuffered by line: a second "-" reads the next line.
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, stdin)) {
            line += chunk;
            if (line.endsWith('\n'))
                break;
        }
        if (line.isEmpty() && std::ferror(stdin))
            return std::nullopt;
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        line = file.readLine();
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

std::optional<QString> passwordFrom(const CliArgs& args, const QString& option, const char* variable, QString& error) {
    if (args.has(option)) {
        printErr(QStringLiteral("警告: --%1 のパスワードはこのコンピュータの他のユーザーからも見えます. "
                                "$%2 か --%1-file を使ってください.\n")
                     .arg(option, QLatin1String(variable)));
        return args.value(option);
    }
    const QString fileOption = option + QStringLiteral("-file");
    if (args.has(fileOption)) {
        const QString path = args.value(fileOption);
        std::optional<QString> line = firstLine(path);
        if (!line)
            error = QStringLiteral("パスワードファイルを読み込めません: %1").arg(path);
        return line;
    }
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.contains(QLatin1String(variable)))
        return env.value(QLatin1String(variable));
    return std::nullopt;
}

} // namespace

CliPasswords CliPasswords::read(const CliArgs& args) {
    CliPasswords passwords;
    passwords.password = passwordFrom(args, QStringLiteral("password"), "ZELMORA_PASSWORD", passwords.error);
    if (passwords.error.isEmpty())
        passwords.serverPassword =
            passwordFrom(args, QStringLiteral("server-password"), "ZELMORA_SERVER_PASSWORD", passwords.error);
    return passwords;
}

} // namespace zelmora::cli
