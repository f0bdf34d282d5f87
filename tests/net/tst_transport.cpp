#include "core/Cp932.h"
#include "net/FormData.h"
#include "net/HttpResponseParser.h"
#include "net/InetProtocol.h"
#include "net/Transport.h"
#include "support/RawHttpServer.h"
#include "support/TinyProxy.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QNetworkAccessManager>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

using namespace zelmora;
using zelmora::test::RawHttpServer;

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

InetOptions direct(int timeoutSeconds = 30) {
    InetOptions o;
    o.timeoutSeconds = timeoutSeconds;
    o.proxyMode = 1;
    return o;
}
} // namespace

class TestTransport : public QObject {
    Q_OBJECT
private slots:
    void classifiesPages_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("usable");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("top page") << QStringLiteral("<title>サイボウズ Office 4 個人トップページ</title>") << true;
        QTest::newRow("error in any case") << QStringLiteral("<p>前回のerrorを修正しました</p>") << false;
        QTest::newRow("404 alone is usable") << QStringLiteral("内線 404 番") << true;
        QTest::newRow("not found with 404") << QStringLiteral("<h1>Not Found</h1> code 404") << false;
        QTest::newRow("not found without 404") << QStringLiteral("not found") << true;
        QTest::newRow("http 404") << QStringLiteral("http 404 - ページがありません") << false;
        QTest::newRow("forbidden lower case with 403") << QStringLiteral("forbidden (403)") << false;
        QTest::newRow("403 alone is usable") << QStringLiteral("会議室 403") << true;
        QTest::newRow("http 403") << QStringLiteral("Http 403") << false;
        QTest::newRow("dotless i upper-cased") << QStringLiteral("forbıdden 403") << false;
        QTest::newRow("login required") << QStringLiteral("<b>ログインが必要です。</b>") << false;
        QTest::newRow("licence key") << QStringLiteral("製品の") + kLicenceKeyMissingText + QStringLiteral("。")
                                     << false;
    }
    void classifiesPages() {
        QFETCH(QString, page);
        QFETCH(bool, usable);
        QCOMPARE(IsValidPage(page), usable);
    }

    // Pages of pieces of the texts looked for, at every place: the check is the one of the page
    // upper-cased whole.
    void classifiesPagesAsUpperCased() {
        const QStringList pieces = {u"err"_qs, u"or"_qs, u"ERROR"_qs, u"40"_qs, u"4"_qs, u"3"_qs, u"http "_qs,
                                    u"not found"_qs, u"forbi"_qs, u"dden"_qs, u"ログインが必要です"_qs,
                                    u"ライセンスキーが登録されていません"_qs, u"<font>"_qs, u"x"_qs, u"ı"_qs, u"ａ"_qs};
        const auto upperHas = [](const QString& text, const char16_t* needle) { return text.contains(QString::fromUtf16(needle)); };
        QRandomGenerator random(403);
        for (int round = 0; round < 3000; ++round) {
            QString page;
            for (int n = 1 + random.bounded(12); n > 0; --n)
                page += pieces.at(random.bounded(int(pieces.size() - (round % 2 ? 0 : 2))));
            const QString upper = page.toUpper();
            const bool usable = !upperHas(upper, u"ERROR") &&
                                !((upperHas(upper, u"NOT FOUND") && upperHas(upper, u"404")) || upperHas(upper, u"HTTP 404")) &&
                                !((upperHas(upper, u"FORBIDDEN") && upperHas(upper, u"403")) || upperHas(upper, u"HTTP 403")) &&
                                !upper.contains(kLoginRequiredText) && !upper.contains(kLicenceKeyMissingText);
            QVERIFY2(IsValidPage(page) == usable, qPrintable(page));
        }
    }

    void formKeepsNamesAndOrderAndEncodesValues() {
        FormData form;
        form.add(QStringLiteral("Page"), QStringLiteral("WhereMemo"))
            .add(QStringLiteral("ID"), 42)
            .add(QStringLiteral("Memo"), QStringLiteral("A&B=C+D 100%\r\n折返し"))
            .add(QStringLiteral("Empty"), QString());
        bool ok = false;
        QCOMPARE(form.encoded(&ok),
                 QByteArray("Page=WhereMemo&ID=42&Memo=A%26B%3DC%2BD+100%25%0D%0A%90%DC%95%D4%82%B5&Empty="));
        QVERIFY(ok);
        QCOMPARE(
            form.appendedTo(QStringLiteral("http://h/office.exe")),
            QStringLiteral(
                "http://h/office.exe?Page=WhereMemo&ID=42&Memo=A%26B%3DC%2BD+100%25%0D%0A%90%DC%95%D4%82%B5&Empty="));

        FormData bad;
        bad.add(QStringLiteral("Place"), QStringLiteral("会議😀"));
        bad.encoded(&ok);
        QVERIFY(!ok);
        QCOMPARE(PostForm(QStringLiteral("http://127.0.0.1:1/office.exe?"), bad).error, TransferError::UnencodableText);
    }

    void buildsWireUrlsWithoutReencoding() {
        TransferError error = TransferError::Other;
        // Already percent-encoded bytes stay exactly as given, "+" and "%2B" stay apart. (QUrl writes
        // %7E as "~", which every server reads alike, so it is left out here.)
        const QString encoded = QStringLiteral("http://srv:8080/cgi/office.exe?a=%8D%DD+%2B%25%26%3D%23%0D%0A&b=");
        QUrl url = InetProtocol::wireUrl(encoded, &error);
        QCOMPARE(error, TransferError::None);
        QCOMPARE(url.toEncoded(), encoded.toLatin1());
        // A literal Japanese query goes out as cp932 bytes, as a browser sends it.
        url = InetProtocol::wireUrl(QStringLiteral("http://srv/office.exe?_System=Login&_Update=再読込"), &error);
        QCOMPARE(url.toEncoded(), QByteArray("http://srv/office.exe?_System=Login&_Update=%8D%C4%93%C7%8D%9E"));

        for (const QString& malformed :
             {QStringLiteral("srv/office.exe"), QStringLiteral("http://"), QStringLiteral("ftp://srv/office.exe"),
              QStringLiteral("http://office.exe:99999/")}) {
            QVERIFY2(!InetProtocol::wireUrl(malformed, &error).isValid(), qPrintable(malformed));
            QCOMPARE(error, TransferError::MalformedUrl);
        }
        QVERIFY(!InetProtocol::wireUrl(QStringLiteral("http://srv/office.exe?x=😀"), &error).isValid());
        QCOMPARE(error, TransferError::UnencodableText);
    }

    void malformedUrlGivesEmptyPage() {
        InetProtocol inet;
        const PageResult page = inet.get(QStringLiteral("http//nowhere"));
        QVERIFY(page.text.isEmpty());
        QCOMPARE(page.error, TransferError::MalformedUrl);
        QVERIFY(!page.isError());
    }

    void sendsQueryBytesAndFormBodyUnchanged() {
        RawHttpServer server;
        InetProtocol inet;
        inet.setOptions(direct());
        FormData query;
        query.add(QStringLiteral("page"), QStringLiteral("WhereIndex"))
            .add(QStringLiteral("x"), QStringLiteral("外出&戻り=15時+α 50%"));
        QVERIFY(inet.get(query.appendedTo(server.url(QStringLiteral("/scripts/office.exe")))).error ==
                TransferError::None);

        FormData form;
        form.add(QStringLiteral("Page"), QStringLiteral("WhereMemo"))
            .add(QStringLiteral("Memo"), QStringLiteral("一行目\r\n二行目&=+%"));
        const PostResult posted = inet.post(server.url(QStringLiteral("/scripts/office.exe?")), form.encoded(),
                                            QStringLiteral("X-Extra: 1\r\n"));
        QVERIFY(posted.ok());
        QVERIFY(!posted.timedOut());

        QCOMPARE(server.requests().size(), 2);
        const auto& get = server.requests()[0];
        QCOMPARE(get.method, QByteArray("GET"));
        QCOMPARE(get.target, "/scripts/office.exe?" + query.encoded());
        QCOMPARE(cp932::formDecode(get.target.mid(get.target.lastIndexOf('=') + 1)),
                 QStringLiteral("外出&戻り=15時+α 50%"));
        QVERIFY(get.header("Authorization").isEmpty());

        const auto& post = server.requests()[1];
        QCOMPARE(post.method, QByteArray("POST"));
        QCOMPARE(post.target, QByteArray("/scripts/office.exe?"));
        QCOMPARE(post.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(post.header("X-Extra"), QByteArray("1"));
        QCOMPARE(post.body, form.encoded());
        QCOMPARE(cp932::formDecode(post.body.mid(post.body.lastIndexOf('=') + 1)),
                 QStringLiteral("一行目\r\n二行目&=+%"));
    }

    void sendsServerLogonWithEveryRequest() {
        RawHttpServer server;
        InetProtocol inet;
        InetOptions options = direct();
        options.userName = QStringLiteral("総務");
        options.password = QStringLiteral("p:w");
        inet.setOptions(options);
        inet.get(server.url());
        inet.post(server.url(QStringLiteral("/office.exe?")), QByteArray("a=1"));
        QCOMPARE(server.requests().size(), 2);
        const QByteArray expected = "Basic " + cp932::encode(QStringLiteral("総務:p:w")).toBase64();
        for (const auto& request : server.requests())
            QCOMPARE(request.header("Authorization"), expected);
    }

    // An answer as it comes over the wire, read whole and one byte at a time alike. `closes`: the
    // server ends the connection after it; status 0: the answer is refused.
    void readsEveryFraming_data() {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("keepAlive");
        const QByteArray ok = "HTTP/1.1 200 OK\r\n";
        const QByteArray chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
        QTest::newRow("length, the next answer behind")
            << ok + "Content-Length: 5\r\n\r\nhelloHTTP/1.1" << false << 200 << QByteArray("hello") << true;
        QTest::newRow("chunked, an extension and a trailer")
            << chunked + "5;x=1\r\nhello\r\n1a\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-T: 1\r\n\r\n"
            << false << 200 << QByteArray("helloabcdefghijklmnopqrstuvwxyz") << true;
        QTest::newRow("HTTP/1.0 up to the close")
            << QByteArray("HTTP/1.0 200 OK\r\n\r\nabc") << true << 200 << QByteArray("abc") << false;
        QTest::newRow("interim 100, bare line feeds, close")
            << QByteArray("HTTP/1.1 100 Continue\n\nHTTP/1.1 302 Found\nContent-Length: 2\nConnection: close\n\nok")
            << false << 302 << QByteArray("ok") << false;
        QTest::newRow("204 has no body") << QByteArray("HTTP/1.1 204 No Content\r\nContent-Length: 9\r\n\r\n") << false
                                         << 204 << QByteArray() << true;
        QTest::newRow("HTTP/2 status line") << QByteArray("HTTP/2 200\r\n\r\n") << false << 0 << QByteArray() << false;
        QTest::newRow("two lengths") << ok + "Content-Length: 2\r\nContent-Length: 3\r\n\r\nabc" << false << 0
                                     << QByteArray() << false;
        QTest::newRow("chunk size not hex") << chunked + "zz\r\nab" << false << 0 << QByteArray() << false;
        QTest::newRow("cut short") << ok + "Content-Length: 10\r\n\r\nabc" << true << 0 << QByteArray() << false;
        QTest::newRow("head without end")
            << ok + "X: " + QByteArray(70 * 1024, 'x') << false << 0 << QByteArray() << false;
    }
    void readsEveryFraming() {
        QFETCH(QByteArray, wire);
        QFETCH(bool, closes);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, keepAlive);
        for (const qsizetype piece : {wire.size(), qsizetype(1)}) {
            HttpResponseParser parser;
            QByteArray got;
            qsizetype taken = 1;
            for (qsizetype pos = 0; pos < wire.size() && taken > 0 && !parser.done() && !parser.failed(); pos += taken)
                taken = parser.feed(QByteArrayView(wire).sliced(pos, qMin(piece, wire.size() - pos)), got);
            if (closes)
                parser.closed();
            QCOMPARE(parser.failed(), status == 0);
            if (status == 0)
                continue;
            QVERIFY(parser.done());
            QCOMPARE(parser.status(), status);
            QCOMPARE(got, body);
            QCOMPARE(parser.keepAlive(), keepAlive);
        }
    }

    // Web servers send a CGI's page chunked; the next request goes over the same connection.
    void readsChunkedPagesOverOneConnection() {
        RawHttpServer server;
        InetProtocol inet;
        inet.setOptions(direct());
        const QString text = QStringLiteral("在席確認") + QString(40000, QLatin1Char('x'));
        const QByteArray bytes = cp932::encode(text);
        QByteArray wire;
        for (qsizetype at = 0; at < bytes.size(); at += 4096)
            wire += QByteArray::number(qMin<qsizetype>(4096, bytes.size() - at), 16) + "\r\n" + bytes.mid(at, 4096) +
                    "\r\n";
        server.setRoute("/c", 200, "Content-Type: text/html\r\nTransfer-Encoding: chunked\r\n", wire + "0\r\n\r\n");
        QCOMPARE(inet.get(server.url(QStringLiteral("/c"))).text, text);
        QCOMPARE(inet.get(server.url(QStringLiteral("/c"))).text, text);
        QCOMPARE(server.connections(), 1);
    }

    // Web servers and proxies label pages with a default charset of their own; the groupware's
    // pages are cp932 whatever the label says.
    void decodesAsCp932WhateverTheLabel_data() {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");
        const QString text = QStringLiteral("行き先 ～ 髙橋 ①");
        QTest::newRow("no charset") << QByteArray("text/html") << text;
        QTest::newRow("ISO-8859-1") << QByteArray("text/html; charset=ISO-8859-1") << text;
        QTest::newRow("UTF-8") << QByteArray("text/html; charset=\"UTF-8\"") << text;
        QTest::newRow("x-sjis") << QByteArray("text/html; Charset=x-sjis") << text;
        // 2 MB arrive in pieces. Double-byte characters from an even or an odd byte on: a piece that
        // ends at either kind of offset ends inside a character in one of the two.
        const QString wide = QStringLiteral("行先髙橋").repeated(250000);
        QTest::newRow("a large page") << QByteArray("text/html") << wide;
        QTest::newRow("a large page, one byte on") << QByteArray("text/html") << QLatin1Char('x') + wide;
    }
    void decodesAsCp932WhateverTheLabel() {
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        RawHttpServer server;
        InetProtocol inet;
        inet.setOptions(direct());
        server.setReply(200, contentType, cp932::encode(text));
        QCOMPARE(inet.get(server.url()).text, text);
    }

    void reportsServerErrorsAndErrorPages() {
        RawHttpServer server;
        InetProtocol inet;
        inet.setOptions(direct());
        // A 5xx page is returned as text too; IsValidPage rejects it. A POST reports the status.
        server.setReply(500, "text/html", "<h1>Internal Server Error</h1>");
        PageResult page = inet.get(server.url());
        QCOMPARE(page.error, TransferError::None);
        QCOMPARE(page.httpStatus, 500);
        QCOMPARE(page.text, QStringLiteral("<h1>Internal Server Error</h1>"));
        QVERIFY(!page.isError());
        QVERIFY(!IsValidPage(page.text));
        const PostResult post = inet.post(server.url(), QByteArray());
        QCOMPARE(post.error, TransferError::ServerError);
        QVERIFY(post.message().contains(QStringLiteral("500")));

        // The server's own 404 page is an answer; only IsValidPage rejects it.
        server.setReply(404, "text/html", "<h1>Not Found</h1> 404");
        page = inet.get(server.url());
        QCOMPARE(page.error, TransferError::None);
        QCOMPARE(page.httpStatus, 404);
        QVERIFY(!IsValidPage(page.text));
        QCOMPARE(inet.post(server.url(), QByteArray()).error, TransferError::None);

        server.setReply(200, "text/html", QByteArray(4000, 'x'));
        server.setCutShort(true);
        page = inet.get(server.url());
        QCOMPARE(page.error, TransferError::ConnectionClosed);
        QVERIFY(page.noAnswer());
        QVERIFY(page.text.isEmpty());
    }

    void reportsRefusedConnection() {
        quint16 port = 0;
        {
            RawHttpServer closed;
            port = closed.port();
        }
        InetProtocol inet;
        inet.setOptions(direct());
        const PageResult page = inet.get(QStringLiteral("http://127.0.0.1:%1/office.exe").arg(port));
        QCOMPARE(page.error, TransferError::CannotConnect);
        QVERIFY(page.isError());
        QVERIFY(page.noAnswer());
        const PostResult post = inet.post(QStringLiteral("http://127.0.0.1:%1/office.exe?").arg(port), "a=1");
        QCOMPARE(post.error, TransferError::CannotConnect);
        QVERIFY(!post.timedOut());
    }

    // A silent server: a GET ends by TIMEOUT with an error, a POST by the watchdog with timedOut,
    // timers keep firing meanwhile, and the next request is answered.
    void silentServerIsBoundedAndTimersKeepFiring() {
        RawHttpServer server;
        server.setSilent(true);
        InetProtocol inet;
        inet.setOptions(direct(1));
        inet.setWatchdogInterval(5000);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(20);

        QElapsedTimer clock;
        clock.start();
        const PageResult page = inet.get(server.url());
        const qint64 getMs = clock.elapsed();
        QCOMPARE(page.error, TransferError::TimedOut);
        QVERIFY(page.isError());
        QVERIFY(page.text.isEmpty());
        QVERIFY2(getMs >= 900 && getMs < 4500, qPrintable(QString::number(getMs)));
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY(!inet.bTimeOut());

        inet.setOptions(direct(30));
        inet.setWatchdogInterval(300);
        clock.restart();
        const PostResult post = inet.post(server.url(QStringLiteral("/office.exe?")), "Page=WhereEntry");
        QCOMPARE(post.error, TransferError::Watchdog);
        QVERIFY(post.timedOut());
        QVERIFY(inet.bTimeOut());
        QVERIFY(clock.elapsed() >= 250 && clock.elapsed() < 4000);
        QCOMPARE(server.requests().size(), 2); // the timed-out POST is not sent again

        server.setSilent(false);
        const PageResult next = inet.get(server.url());
        QCOMPARE(next.error, TransferError::None);
        QCOMPARE(next.text, QStringLiteral("<html>ok</html>"));
        QVERIFY(!inet.isExecuting());
    }

    // A GET is bounded as a whole by TIMEOUT and its body by the cap, however the server sends it.
    void transfersAreBounded_data() {
        QTest::addColumn<bool>("endless");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("one byte every 300 ms") << false << int(TransferError::TimedOut) << 1800 << 3500;
        QTest::newRow("body without end") << true << int(TransferError::TooLarge) << 0 << 1800;
    }
    void transfersAreBounded() {
        QFETCH(bool, endless);
        QFETCH(int, error);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        RawHttpServer server;
        endless ? server.setEndless(true) : server.setTrickle(300);
        InetProtocol inet;
        inet.setOptions(direct(2));
        QElapsedTimer clock;
        clock.start();
        const PageResult page = inet.get(server.url());
        const qint64 ms = clock.elapsed();
        QCOMPARE(int(page.error), error);
        QVERIFY(page.isError());
        QVERIFY(page.text.isEmpty());
        QVERIFY2(ms >= minMs && ms < maxMs, qPrintable(QString::number(ms)));
        if (endless) {
            QVERIFY(server.bytesSent() > InetProtocol::kMaxBodyBytes);
            // An ASan build keeps freed blocks in quarantine (up to 256 MB), so its peak says nothing
            // of what the transfer held; the plain build checks it.
            if (!kAddressSanitizer) {
                rusage usage{};
                QCOMPARE(getrusage(RUSAGE_SELF, &usage), 0);
                QVERIFY2(usage.ru_maxrss < 256 * 1024, qPrintable(QString::number(usage.ru_maxrss))); // KiB
            }
        }
    }

    // The server logon is sent only to the configured server: a redirect within its origin is
    // followed with the credentials, one to another port (another origin) is not followed at all.
    void redirectsStayWithTheServer_data() {
        QTest::addColumn<bool>("sameOrigin");
        QTest::newRow("same origin") << true;
        QTest::newRow("another port") << false;
    }
    void redirectsStayWithTheServer() {
        QFETCH(bool, sameOrigin);
        RawHttpServer server;
        RawHttpServer other;
        server.setRedirect("/office.exe", ((sameOrigin ? server : other).url(QStringLiteral("/moved"))).toLatin1());
        InetProtocol inet;
        InetOptions options = direct();
        options.userName = QStringLiteral("webuser");
        options.password = QStringLiteral("web-secret");
        inet.setOptions(options);
        const PageResult page = inet.get(server.url(QStringLiteral("/office.exe")));
        const QByteArray credentials = "Basic " + QByteArray("webuser:web-secret").toBase64();
        QVERIFY(other.requests().isEmpty());
        QVERIFY(!server.requests().isEmpty());
        QCOMPARE(server.requests().last().target, sameOrigin ? QByteArray("/moved") : QByteArray("/office.exe"));
        for (const auto& request : server.requests())
            QCOMPARE(request.header("Authorization"), credentials);
        QCOMPARE(page.error, sameOrigin ? TransferError::None : TransferError::Other);
        QCOMPARE(page.text, sameOrigin ? QStringLiteral("<html>ok</html>") : QString());
    }

    // A timer handler that requests a page inside another request's wait queues behind it:
    // its request reaches the server only after the first one is answered, and each caller gets
    // its own page.
    void reentrantRequestIsSerialised() {
        RawHttpServer server;
        server.setReply(200, "text/html", "page {target}");
        server.setDelay(300);
        InetProtocol inet;
        inet.setOptions(direct());
        PageResult inner;
        QTimer::singleShot(50, &inet, [&] { inner = inet.get(server.url(QStringLiteral("/b"))); });
        const PageResult outer = inet.get(server.url(QStringLiteral("/a")));
        QTRY_COMPARE(inner.text, QStringLiteral("page /b"));
        QCOMPARE(outer.text, QStringLiteral("page /a"));
        QCOMPARE(server.requests().size(), 2);
        QCOMPARE(server.requests()[1].target, QByteArray("/b"));
        QCOMPARE(server.requests()[1].answeredBefore, 1);
    }

    // A request queued behind a hung one cancels it when its watchdog fires, then goes ahead.
    void queuedRequestCancelsHungOneByWatchdog() {
        RawHttpServer server;
        server.setSilent(true);
        InetProtocol inet;
        inet.setOptions(direct(30));
        inet.setWatchdogInterval(300);
        PostResult queued;
        bool queuedDone = false;
        QTimer::singleShot(50, &inet, [&] {
            server.setSilent(false);
            queued = inet.post(server.url(QStringLiteral("/office.exe?")), "a=1");
            queuedDone = true;
        });
        // The GET itself has no watchdog (TIMEOUT bounds it); the queued POST's watchdog ends it.
        const PageResult hung = inet.get(server.url());
        QCOMPARE(hung.error, TransferError::Watchdog);
        QVERIFY(hung.text.isEmpty());
        QVERIFY(!hung.isError());
        QTRY_VERIFY(queuedDone);
        QCOMPARE(queued.error, TransferError::None);
        QCOMPARE(server.requests().size(), 2);
    }

    // Mode 2 sends every request through the named proxy, bytes unchanged; mode 1 bypasses it.
    void proxyModesGoThroughARealProxy() {
        if (!test::TinyProxy::available())
            QSKIP("tinyproxy is not installed");
        test::TinyProxy proxy;
        QVERIFY2(proxy.start(), qPrintable(proxy.error()));
        RawHttpServer server;
        InetProtocol inet;
        InetOptions options = direct();
        options.proxyMode = 2;
        options.proxyServer = QStringLiteral("127.0.0.1");
        options.proxyPort = proxy.port();
        inet.setOptions(options);

        FormData query;
        query.add(QStringLiteral("page"), QStringLiteral("WhereIndex"))
            .add(QStringLiteral("q"), QStringLiteral("会議&室"));
        const QString url = query.appendedTo(server.url(QStringLiteral("/office.exe")));
        QCOMPARE(inet.get(url).error, TransferError::None);
        QVERIFY(inet.post(server.url(QStringLiteral("/office.exe?")), "Page=WhereMemo").ok());
        QCOMPARE(server.requests().size(), 2);
        for (const auto& request : server.requests())
            QVERIFY2(request.header("Via").contains("tinyproxy"), request.header("Via").constData());
        QCOMPARE(server.requests()[0].target, "/office.exe?" + query.encoded());
        QTRY_VERIFY(proxy.log().contains(QStringLiteral("GET ") + url));

        options.proxyMode = 1;
        inet.setOptions(options);
        QCOMPARE(inet.get(url).error, TransferError::None);
        QCOMPARE(server.requests().size(), 3);
        QVERIFY(server.requests()[2].header("Via").isEmpty());

        // A proxy that is gone is a connection failure, reported as such.
        proxy.stop();
        options.proxyMode = 2;
        inet.setOptions(options);
        const PageResult page = inet.get(url);
        QCOMPARE(page.error, TransferError::CannotConnect);
        QCOMPARE(server.requests().size(), 3);
    }

    void cancelEndsRunningRequest() {
        RawHttpServer server;
        server.setSilent(true);
        InetProtocol inet;
        inet.setOptions(direct(30));
        QTimer::singleShot(100, &inet, [&inet] {
            QVERIFY(inet.isExecuting());
            inet.cancel();
        });
        const PageResult page = inet.get(server.url());
        QCOMPARE(page.error, TransferError::Cancelled);
        QVERIFY(page.text.isEmpty());
        QVERIFY(!page.isError());
        QVERIFY(!inet.isExecuting());
    }
};

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
