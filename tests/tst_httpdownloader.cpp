#include "localhttpserver.h"

#include "uibase/dialog/contracts/network.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using Omra::CHttpDownLoader;
using testsupport::LocalHttpServer;

namespace {

QByteArray pattern(int size)
{
    QByteArray data;
    for (int i = 0; i < size; ++i)
        data.append(char('a' + (i * 7) % 26));
    return data;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray testData(const QByteArray& name)
{
    return readFile(QStringLiteral(DIALOG_SOURCE_DIR "/tests/data/") + QLatin1String(name));
}

} // namespace

class TestHttpDownloader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fetch_data();
    void fetch();
    void progressAndBusy();
    void refusals_data();
    void refusals();
    void existingFile_data();
    void existingFile();
    void stopLeavesNothing();
    void responseSizeLimit_data();
    void responseSizeLimit();

private:
    // Starts url (replacing) and waits for its end.
    bool run(const QString& url, int timeoutMs = 5000)
    {
        return downloader->startRequest(url, true) && finished->wait(timeoutMs);
    }
    QStringList entries() const
    {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // The downloader's error code, finish count and running flag, and the folder's files.
    QString state() const
    {
        return QStringLiteral("code=%1 finished=%2 running=%3 files=%4")
            .arg(downloader->getErrorCode())
            .arg(finished->count())
            .arg(int(downloader->isRunning()))
            .arg(entries().join(QLatin1Char(',')));
    }
    QString path(const char* name) const { return dir->filePath(QLatin1String(name)); }

    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CHttpDownLoader> downloader;
    std::unique_ptr<QSignalSpy> finished, progress;
};

void TestHttpDownloader::initTestCase()
{
    // The "trusted" test certificate stands for a certificate authority the system knows.
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificates(QSslCertificate::fromData(testData("trusted-cert.pem")));
    QSslConfiguration::setDefaultConfiguration(configuration);
}

void TestHttpDownloader::init()
{
    server = std::make_unique<LocalHttpServer>();
    QVERIFY(server->start());
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    downloader = std::make_unique<CHttpDownLoader>();
    downloader->setFilePath(dir->path());
    finished = std::make_unique<QSignalSpy>(downloader.get(), &CHttpDownLoader::sigDownFinish);
    progress = std::make_unique<QSignalSpy>(downloader.get(), &CHttpDownLoader::sigDownProgress);
}

void TestHttpDownloader::cleanup()
{
    progress.reset();
    finished.reset();
    downloader.reset();
    // Nothing is left hanging once the downloader has gone.
    QTRY_COMPARE(server->openConnections(), 0);
    server.reset();
    dir.reset();
}

void TestHttpDownloader::fetch_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("saved");
    QTest::newRow("empty body") << "empty" << 200 << true;
    QTest::newRow("no content length") << "nolength" << 200 << true;
    QTest::newRow("three redirects") << "chain" << 200 << true;
    QTest::newRow("404") << "404" << 404 << false;
    QTest::newRow("redirect loop") << "loop" << 302 << false;
    QTest::newRow("nobody listening") << "closed" << 0 << false;
    QTest::newRow("connection lost mid-body") << "cut" << 200 << false;
    QTest::newRow("server stalls mid-body") << "stall" << 200 << false;
    QTest::newRow("trusted certificate") << "tls trusted" << 200 << true;
    QTest::newRow("certificate errors are never ignored") << "tls untrusted" << 0 << false;
    QTest::newRow("https to http redirect refused") << "tls to http" << 302 << false;
}

void TestHttpDownloader::fetch()
{
    QFETCH(QString, setup);
    QFETCH(int, status);
    QFETCH(bool, saved);
    const QByteArray body = setup == QLatin1String("empty") ? QByteArray() : pattern(30000);
    const QString file = QStringLiteral("/f/setup.bin");
    QString url = server->url(file);
    LocalHttpServer secure;
    if (setup.startsWith(QLatin1String("tls"))) {
        if (!QSslSocket::supportsSsl())
            QSKIP("Qt has no TLS backend here");
        const QByteArray cert =
            setup.endsWith(QLatin1String("untrusted")) ? "untrusted" : "trusted";
        QVERIFY(secure.startTls(testData(cert + "-cert.pem"), testData(cert + "-key.pem")));
        server->serve(QStringLiteral("/plain/setup.bin"), body);
        if (setup.endsWith(QLatin1String("http")))
            secure.redirect(file, server->url(QStringLiteral("/plain/setup.bin")));
        else
            secure.serve(file, body);
        url = secure.url(file);
    } else if (setup == QLatin1String("empty") || setup == QLatin1String("404")) {
        server->serveStatus(file, status, body);
    } else if (setup == QLatin1String("nolength") || setup == QLatin1String("cut")) {
        LocalHttpServer::Resource resource;
        resource.body = body;
        resource.sendLength = setup == QLatin1String("cut");
        resource.cutAfter = setup == QLatin1String("cut") ? 4000 : -1;
        resource.chunkSize = 8192;
        resource.chunkDelayMs = 5;
        server->setResource(file, resource);
    } else if (setup == QLatin1String("chain")) {
        server->serve(QStringLiteral("/c/setup.bin"), body);
        server->redirect(QStringLiteral("/b/setup.bin"), QStringLiteral("/c/setup.bin"), 307);
        server->redirect(QStringLiteral("/a/setup.bin"), server->url("/b/setup.bin"), 301);
        server->redirect(file, server->url("/a/setup.bin"));
    } else if (setup == QLatin1String("loop")) {
        server->redirect(file, QStringLiteral("/g/setup.bin"));
        server->redirect(QStringLiteral("/g/setup.bin"), file);
    } else if (setup == QLatin1String("stall")) {
        server->serveStalling(file, body, 3000);
    } else if (setup == QLatin1String("closed")) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        url = QStringLiteral("http://127.0.0.1:%1/f/setup.bin").arg(probe.serverPort());
        probe.close();
    }
    if (!saved)
        downloader->setTransferTimeout(300); // a stalled server ends the request quickly

    QVERIFY(downloader->startRequest(url, true));
    QCOMPARE(downloader->getErrorCode(), int(CHttpDownLoader::ErrorNone));
    QVERIFY(downloader->isRunning());
    QVERIFY(finished->wait(10000));
    QTest::qWait(0);
    // Exactly one finish, and nothing but the finished file in the folder.
    QCOMPARE(state(), saved ? QStringLiteral("code=0 finished=1 running=0 files=setup.bin")
                            : QStringLiteral("code=10 finished=1 running=0 files="));
    QCOMPARE(downloader->lastHttpStatus(), status);
    QCOMPARE(downloader->lastError().isEmpty(), saved);
    QCOMPARE(downloader->targetFile(), path("setup.bin"));
    if (saved)
        QCOMPARE(readFile(path("setup.bin")), body);
    // Redirects were followed, but not forever.
    if (setup == QLatin1String("loop"))
        QVERIFY(server->requests().size() > CHttpDownLoader::maxRedirects);
    // The plain server is never asked when the secure answer sends us to it.
    if (setup.startsWith(QLatin1String("tls")))
        QCOMPARE(server->requests(), QStringList());
}

void TestHttpDownloader::progressAndBusy()
{
    const QByteArray body = pattern(50000);
    server->serveSlowly(QStringLiteral("/p.bin"), body, 5000, 5);
    server->serve(QStringLiteral("/fast.bin"), "fast");
    QVERIFY(downloader->startRequest(server->url(QStringLiteral("/p.bin")), true));
    // A second request while one runs is refused and leaves the first alone.
    QVERIFY(!downloader->startRequest(server->url(QStringLiteral("/fast.bin")), true));
    QCOMPARE(downloader->getErrorCode(), int(CHttpDownLoader::ErrorBusy));
    QVERIFY(finished->wait(5000));
    QCOMPARE(state(), QStringLiteral("code=0 finished=1 running=0 files=p.bin"));
    QCOMPARE(readFile(path("p.bin")), body);
    // Progress rises, always out of the full size, ending at it, with a partial step.
    qint64 previous = -1, partials = 0;
    for (const QList<QVariant>& args : qAsConst(*progress)) {
        const qint64 received = args.at(0).toLongLong();
        QVERIFY(received >= previous && args.at(1).toLongLong() == body.size());
        partials += received > 0 && received < body.size();
        previous = received;
    }
    QVERIFY(partials > 0);
    QCOMPARE(previous, qint64(body.size()));
}

void TestHttpDownloader::refusals_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("code");
    const int bad = CHttpDownLoader::ErrorBadUrl;
    QTest::newRow("empty") << "" << bad;
    QTest::newRow("relative") << "files/setup.exe" << bad;
    QTest::newRow("no host") << "http:///setup.exe" << bad;
    QTest::newRow("folder") << "http://HOST/files/" << bad;
    QTest::newRow("dot dot") << "http://HOST/files/.." << bad;
    QTest::newRow("encoded slash") << "http://HOST/a%2F..%2Fx.exe" << bad;
    QTest::newRow("ftp") << "ftp://HOST/setup.exe" << int(CHttpDownLoader::ErrorUnsupportedScheme);
    QTest::newRow("missing folder")
        << "http://HOST/setup.exe?folder=missing" << int(CHttpDownLoader::ErrorCannotCreateFile);
}

void TestHttpDownloader::refusals()
{
    QFETCH(QString, url);
    QFETCH(int, code);
    url.replace(QStringLiteral("HOST"), QStringLiteral("127.0.0.1:%1").arg(server->port()));
    server->serve(QStringLiteral("/setup.exe"), "x");
    if (url.contains(QStringLiteral("folder=missing")))
        downloader->setFilePath(path("no/such/folder"));
    QVERIFY(!downloader->startRequest(url, true));
    QCoreApplication::processEvents();
    QCOMPARE(state(), QStringLiteral("code=%1 finished=0 running=0 files=").arg(code));
    QVERIFY(!downloader->lastError().isEmpty());
    QCOMPARE(server->requests(), QStringList());
}

void TestHttpDownloader::existingFile_data()
{
    QTest::addColumn<bool>("present"); // an older setup.exe lies in the folder
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outcome"); // state(), then the file's contents
    const QString kept = QStringLiteral("files=setup.exe old contents");
    const QString saved = QStringLiteral("files=setup.exe ") + QString::fromLatin1(pattern(3000));
    QTest::newRow("refused without replace")
        << true << false << 200 << "code=1 finished=0 running=0 " + kept;
    QTest::newRow("replaced") << true << true << 200
                              << "code=0 finished=1 running=0 " + saved;
    QTest::newRow("removed when the download fails")
        << true << true << 500 << "code=10 finished=1 running=0 files= <missing>";
    QTest::newRow("without replace a failure ends silently")
        << false << false << 500 << "code=10 finished=0 running=0 files= <missing>";
    QTest::newRow("without replace a saved file is reported")
        << false << false << 200 << "code=0 finished=1 running=0 " + saved;
}

// The file under the target name is only ever a whole one: the older file or nothing while
// the body arrives in chunks, the new one once it is complete.
void TestHttpDownloader::existingFile()
{
    QFETCH(bool, present);
    QFETCH(bool, replace);
    QFETCH(int, status);
    QFETCH(QString, outcome);
    QFile old(path("setup.exe"));
    QVERIFY(!present || (old.open(QIODevice::WriteOnly) && old.write("old contents") == 12));
    old.close();
    LocalHttpServer::Resource resource;
    resource.status = status;
    resource.body = pattern(3000);
    resource.chunkSize = 1000;
    resource.chunkDelayMs = 5;
    server->setResource(QStringLiteral("/setup.exe"), resource);
    QSet<QByteArray> seenWhileRunning;
    connect(downloader.get(), &CHttpDownLoader::sigDownProgress, this,
            [&] { seenWhileRunning << readFile(path("setup.exe")); });

    const bool started =
        downloader->startRequest(server->url(QStringLiteral("/setup.exe")), replace);
    QCOMPARE(started, replace || !present);
    QTRY_VERIFY(!downloader->isRunning());
    QCoreApplication::processEvents();
    QCOMPARE(state() + QLatin1Char(' ') + QString::fromLatin1(readFile(path("setup.exe"))),
             outcome);
    seenWhileRunning.remove(pattern(3000)); // the last progress comes with the saved file
    QVERIFY(seenWhileRunning.isEmpty() || seenWhileRunning == QSet<QByteArray>{"<missing>"});
    QCOMPARE(server->requests().size(), int(started));
}

void TestHttpDownloader::stopLeavesNothing()
{
    // The body stalls after its first chunk until the client goes away.
    server->serveSlowly(QStringLiteral("/big.exe"), pattern(100000), 1000, 60000);
    QVERIFY(downloader->startRequest(server->url(QStringLiteral("/big.exe")), true));
    QTRY_VERIFY(!progress->isEmpty() && progress->last().at(0).toLongLong() > 0);
    // Nothing under the final name while it runs (the temporary may be an unnamed file).
    QVERIFY(!entries().contains(QStringLiteral("big.exe")) && entries().size() <= 1);

    downloader->stopDownLoad();
    // Whatever was written is gone at once; the server sees the connection close.
    QCOMPARE(state(), QStringLiteral("code=0 finished=0 running=0 files="));
    QTRY_COMPARE(server->openConnections(), 0);
    // The downloader is free for the next request.
    server->serve(QStringLiteral("/big.exe"), "small now");
    QVERIFY(run(server->url(QStringLiteral("/big.exe"))));
    QCOMPARE(readFile(path("big.exe")), QByteArray("small now"));
}

void TestHttpDownloader::responseSizeLimit_data()
{
    QTest::addColumn<bool>("sendLength");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("code");
    const int tooLarge = CHttpDownLoader::ErrorTooLarge;
    const qint64 huge = qint64(100) * 1000 * 1000;
    QTest::newRow("announced too large") << true << qint64(2001) << tooLarge;
    QTest::newRow("streamed too large") << false << qint64(2001) << tooLarge;
    QTest::newRow("exactly the limit") << true << qint64(2000) << 0;
    QTest::newRow("streamed at the limit") << false << qint64(2000) << 0;
    QTest::newRow("100 MB announced") << true << huge << tooLarge;
    QTest::newRow("100 MB without a length") << false << huge << tooLarge;
}

void TestHttpDownloader::responseSizeLimit()
{
    QFETCH(bool, sendLength);
    QFETCH(qint64, size);
    QFETCH(int, code);
    const bool huge = size > 2001;
    const qint64 limit = huge ? qint64(1) << 20 : 2000;
    LocalHttpServer::Resource resource;
    resource.body = pattern(huge ? 0 : int(size));
    resource.sendLength = sendLength;
    resource.chunkSize = 500;
    resource.chunkDelayMs = 2;
    if (huge)
        server->serveGenerated(QStringLiteral("/limited.bin"), size, sendLength);
    else
        server->setResource(QStringLiteral("/limited.bin"), resource);

    downloader->setMaxResponseSize(limit);
    QVERIFY(run(server->url(QStringLiteral("/limited.bin")), 10000));
    QCOMPARE(state(), QStringLiteral("code=%1 finished=1 running=0 files=%2")
                          .arg(code)
                          .arg(code ? QString() : QStringLiteral("limited.bin")));
    if (!code)
        QCOMPARE(readFile(path("limited.bin")), resource.body);
    // Never more than the limit taken in; a huge answer is cut off long before its end (the
    // socket buffers hold a few MB at most).
    for (const QList<QVariant>& args : qAsConst(*progress))
        QVERIFY(args.at(0).toLongLong() <= limit);
    QVERIFY2(server->generatedBytesSent() < 32 * limit,
             qPrintable(QString::number(server->generatedBytesSent())));
}

QTEST_GUILESS_MAIN(TestHttpDownloader)
#include "tst_httpdownloader.moc"
