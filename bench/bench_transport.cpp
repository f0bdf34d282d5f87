// One GET of a large page from the development server on loopback: the program's transfer path
// (plain HTTP straight on the calling thread) against the network library's own, side by side in
// one run. CPU time is the whole process's: the library reads on a thread of its own.

#include "net/InetProtocol.h"
#include "net/TransferManager.h"
#include "support/SimServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>

#include <memory>

using namespace zelmora;

namespace {

// An organisation of `members` members, all in one group: the board of all members is one page
// of some 300 bytes per member.
QJsonObject organisation(int members) {
    QJsonArray users;
    for (int id = 1; id <= members; ++id)
        users.append(QJsonObject{{QStringLiteral("id"), id},
                                 {QStringLiteral("name"), QStringLiteral("社員 %1").arg(id)},
                                 {QStringLiteral("password"), QStringLiteral("pass%1").arg(id)},
                                 {QStringLiteral("groups"), QJsonArray{1}}});
    return QJsonObject{
        {QStringLiteral("name"), QStringLiteral("ベンチ商事")},
        {QStringLiteral("groups"),
         QJsonArray{QJsonObject{{QStringLiteral("id"), 1}, {QStringLiteral("name"), QStringLiteral("本社")}}}},
        {QStringLiteral("users"), users}};
}

qint64 fetch(QNetworkAccessManager& manager, const QNetworkRequest& request) {
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 size = reply->readAll().size();
    reply->deleteLater();
    return reply->error() == QNetworkReply::NoError ? size : -1;
}

// groupware-sim serving a board of 1,000 members; nullptr (and the benchmark skipped) when it
// does not start.
std::unique_ptr<test::SimServer> startBoardServer(benchmark::State& state) {
    test::SimServer::Options options;
    options.organisationJson = QJsonDocument(organisation(1000)).toJson(QJsonDocument::Compact);
    auto sim = std::make_unique<test::SimServer>(options);
    if (!sim->start()) {
        state.SkipWithError("groupware-sim did not start");
        return nullptr;
    }
    return sim;
}

// range(0): 0 the program's path (TransferManager), 1 the library's (QNetworkAccessManager).
void BM_FetchLargePage(benchmark::State& state) {
    const std::unique_ptr<test::SimServer> sim = startBoardServer(state);
    if (!sim)
        return;
    TransferManager direct;
    QNetworkAccessManager library;
    QNetworkAccessManager& manager = state.range(0) == 0 ? static_cast<QNetworkAccessManager&>(direct) : library;
    manager.setProxy(QNetworkProxy::NoProxy);
    // The login answer sets the session cookie; the board follows.
    QUrl login = sim->programUrl();
    login.setQuery(QStringLiteral("_System=login&_Login=1&_ID=1&Password=pass1"));
    fetch(manager, QNetworkRequest(login));
    QUrl board = sim->programUrl();
    board.setQuery(QStringLiteral("page=WhereIndex&gid=0"));
    const QNetworkRequest request(board);
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = fetch(manager, request);
    if (bytes < 100000)
        state.SkipWithError("the board did not arrive in full");
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_FetchLargePage)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// The same page through the transfer object: fetched and decoded from cp932.
void BM_GetPage(benchmark::State& state) {
    const std::unique_ptr<test::SimServer> sim = startBoardServer(state);
    if (!sim)
        return;
    InetProtocol inet;
    InetOptions o;
    o.proxyMode = 1;
    o.timeoutSeconds = 30;
    inet.setOptions(o);
    const QString base = sim->programUrl().toString();
    inet.get(base + QStringLiteral("?_System=login&_Login=1&_ID=1&Password=pass1"));
    qint64 size = 0;
    for (auto _ : state)
        size = inet.get(base + QStringLiteral("?page=WhereIndex&gid=0")).text.size();
    state.counters["chars"] = double(size);
}
BENCHMARK(BM_GetPage)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
