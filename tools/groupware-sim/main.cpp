// groupware-sim: a development server that imitates the groupware for tests and the demo.
#include "GroupwareServer.h"
#include "Organisation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>

#include <cstdio>

using namespace zelmora::sim;

namespace {
int fail(const QString& message) {
    std::fprintf(stderr, "groupware-sim: %s\n", qPrintable(message));
    return 2;
}
} // namespace

int main(int argc, char** argv) {
    // Without TZ, the C library looks at /etc/localtime's file again for every local time it
    // converts (a stat and often a re-read): most of the time a large board takes to build, four
    // local times a member. Named explicitly, the zone file is read once; the zone is the same.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("groupware-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Development server that imitates the groupware."));
    parser.addHelpOption();
    const QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("Port; 0 picks a free one."),
                                     QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption hostOpt(QStringLiteral("host"), QStringLiteral("Address to listen on."),
                                     QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption dataOpt(QStringLiteral("data"),
                                     QStringLiteral("Organisation file (JSON); the built-in demo without it."),
                                     QStringLiteral("file"));
    const QCommandLineOption folderOpt(QStringLiteral("folder"), QStringLiteral("Folder of the program."),
                                       QStringLiteral("path"), QStringLiteral("/scripts/cbag/"));
    const QCommandLineOption programOpt(QStringLiteral("program"), QStringLiteral("office.exe or office.cgi."),
                                        QStringLiteral("name"), QStringLiteral("office.exe"));
    const QCommandLineOption authOpt(QStringLiteral("basic-auth"),
                                     QStringLiteral("Require HTTP Basic authentication with USER:PASS."),
                                     QStringLiteral("user:pass"));
    const QCommandLineOption logOpt(QStringLiteral("log"), QStringLiteral("Request log, one JSON object a line."),
                                    QStringLiteral("file"));
    const QCommandLineOption faultOpt(QStringLiteral("fault"),
                                      QStringLiteral("Initial fault, as the query of /_sim/fault."),
                                      QStringLiteral("query"));
    parser.addOptions({portOpt, hostOpt, dataOpt, folderOpt, programOpt, authOpt, logOpt, faultOpt});
    parser.process(app);

    ServerOptions options;
    bool ok = false;
    options.port = parser.value(portOpt).toInt(&ok);
    if (!ok || options.port < 0 || options.port > 65535)
        return fail(QStringLiteral("bad port"));
    options.host = parser.value(hostOpt);
    options.folder = parser.value(folderOpt);
    options.program = parser.value(programOpt);
    if (options.program != QLatin1String("office.exe") && options.program != QLatin1String("office.cgi"))
        return fail(QStringLiteral("the program is office.exe or office.cgi"));
    options.basicAuth = parser.value(authOpt);
    if (!options.basicAuth.isEmpty() && !options.basicAuth.contains(u':'))
        return fail(QStringLiteral("--basic-auth wants USER:PASS"));
    options.logPath = parser.value(logOpt);

    const QString dataPath =
        parser.isSet(dataOpt) ? parser.value(dataOpt) : QStringLiteral(":/groupware-sim/demo.json");
    QFile file(dataPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(dataPath));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject())
        return fail(
            QStringLiteral("%1: %2 at offset %3").arg(dataPath, parseError.errorString()).arg(parseError.offset));
    Organisation org;
    QString error;
    if (!org.load(doc.object(), QDateTime::currentDateTime(), &error))
        return fail(QStringLiteral("%1: %2").arg(dataPath, error));

    GroupwareServer server(options, doc.object(), org);
    if (!server.bind(&error))
        return fail(error);
    if (parser.isSet(faultOpt)) {
        // Same rules as the control endpoint; applied before the first request can arrive.
        if (!server.setFault(parser.value(faultOpt).toUtf8(), &error))
            return fail(error);
    }
    // Tests wait for this line; nothing else is written to standard output.
    std::printf("listening on %s\n", qPrintable(server.programUrl()));
    std::fflush(stdout);
    server.run();
    return 0;
}
