#include "cli/CliArgs.h"

#include <cstdio>

namespace zelmora::cli {

CliArgs CliArgs::parse(const QStringList& arguments) {
    CliArgs args;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            if (eq > 0) {
                args.options.insert(a.mid(2, eq - 2), a.mid(eq + 1));
            } else if (i + 1 < arguments.size()) {
                args.options.insert(a.mid(2), arguments.at(++i));
            } else {
                args.error = QStringLiteral("option %1 needs a value").arg(a);
            }
        } else {
            args.positional.append(a);
        }
    }
    return args;
}

void printOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void printErr(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace zelmora::cli
