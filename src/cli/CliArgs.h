#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace zelmora::cli {

// Exit codes shared by every command.
enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2, ExitNoAnswer = 3 };

// The command line after the program name: every "--name value" or "--name=value" is an option
// (all options take a value), everything else is positional; the first positional is the command.
struct CliArgs {
    QMap<QString, QString> options;
    QStringList positional;
    QString error; // non-empty when the line could not be parsed

    static CliArgs parse(const QStringList& arguments);

    bool has(const QString& name) const { return options.contains(name); }
    QString value(const QString& name, const QString& fallback = {}) const { return options.value(name, fallback); }
    QString command() const { return positional.value(0); }
    // Positional arguments after the command.
    QStringList rest() const { return positional.mid(1); }
};

// Writes UTF-8 text to stdout / stderr.
void printOut(const QString& text);
void printErr(const QString& text);

} // namespace zelmora::cli
