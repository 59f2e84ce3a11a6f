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
    data.reserve(size);
    for (int i = 0; i < size; ++i)
        data.append(char('a' + (i * 7) % 26));
    return data;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

QByteArray testData(const char* name)
{
    QFile file(QStringLiteral(DIALOG_SOURCE_DIR "/tests/data/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QTemporaryDir& dir)
{
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestHttpDownloader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void tls_data();
    void tls();

    void download_data();
    void download();
    void progressEndsAtTotal();
    void fileNameKeepsQueryText();
    void failures_data();
    void failures();
    void refusals_data();
    void refusals();
    void existingFile_data();
    void existingFile();
    void busyWhileRunning();
    void stopLeavesNothing();
    void responseSizeLimit_data();
    void responseSizeLimit();
    void deletedWhileRunning();
    void hugeResponseStopsAtLimit_data();
    void hugeResponseStopsAtLimit();

private:
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestHttpDownloader::initTestCase()
{
    // The "trusted" test certificate stands for a certificate authority the system knows;
    // the "untrusted" one is signed by nobody we trust.
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificates(QSslCertificate::fromData(testData("trusted-cert.pem")));
    QSslConfiguration::setDefaultConfiguration(configuration);
}

void TestHttpDownloader::tls_data()
{
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<bool>("redirectToPlainHttp");
    QTest::addColumn<bool>("saved");
    QTest::newRow("trusted certificate") << "trusted" << false << true;
    QTest::newRow("certificate errors are never ignored") << "untrusted" << false << false;
    QTest::newRow("https to http redirect refused") << "trusted" << true << false;
}

void TestHttpDownloader::tls()
{
    QFETCH(QString, certificate);
    QFETCH(bool, redirectToPlainHttp);
    QFETCH(bool, saved);
    if (!QSslSocket::supportsSsl())
        QSKIP("Qt has no TLS backend here");

    LocalHttpServer secure;
    const QByteArray name = certificate.toLatin1();
    QVERIFY(secure.startTls(testData((name + "-cert.pem").constData()),
                            testData((name + "-key.pem").constData())));
    const QByteArray body = pattern(3000);
    server->serve(QStringLiteral("/plain/setup.exe"), body);
    if (redirectToPlainHttp)
        secure.redirect(QStringLiteral("/s/setup.exe"),
                        server->url(QStringLiteral("/plain/setup.exe")));
    else
        secure.serve(QStringLiteral("/s/setup.exe"), body);

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QVERIFY(downloader.startRequest(secure.url(QStringLiteral("/s/setup.exe")), true));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    if (saved) {
        QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNone));
        QCOMPARE(readFile(dir->filePath(QStringLiteral("setup.exe"))), body);
    } else {
        QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNetwork));
        QCOMPARE(entries(*dir), QStringList());
    }
    // The plain server is never asked when the secure answer sends us to it.
    QCOMPARE(server->requests(), QStringList());
}

void TestHttpDownloader::init()
{
    server = std::make_unique<LocalHttpServer>();
    QVERIFY(server->start());
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestHttpDownloader::download_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("size");
    QTest::newRow("whole body") << "plain" << 5000;
    QTest::newRow("empty body") << "plain" << 0;
    QTest::newRow("chunks with pauses") << "slow" << 40000;
    QTest::newRow("no content length") << "nolength" << 30000;
    QTest::newRow("one redirect") << "redirect" << 1234;
    QTest::newRow("three redirects") << "chain" << 999;
}

void TestHttpDownloader::download()
{
    QFETCH(QString, setup);
    QFETCH(int, size);
    const QByteArray body = pattern(size);
    QString path = QStringLiteral("/files/setup.bin");
    if (setup == QLatin1String("plain")) {
        server->serve(path, body);
    } else if (setup == QLatin1String("slow")) {
        server->serveSlowly(path, body, 4096, 5);
    } else if (setup == QLatin1String("nolength")) {
        LocalHttpServer::Resource resource;
        resource.body = body;
        resource.sendLength = false;
        resource.chunkSize = 8192;
        resource.chunkDelayMs = 5;
        server->setResource(path, resource);
    } else if (setup == QLatin1String("redirect")) {
        server->serve(QStringLiteral("/real/setup.bin"), body);
        server->redirect(path, server->url(QStringLiteral("/real/setup.bin")));
    } else if (setup == QLatin1String("chain")) {
        server->serve(QStringLiteral("/c/setup.bin"), body);
        server->redirect(QStringLiteral("/b/setup.bin"), QStringLiteral("/c/setup.bin"), 307);
        server->redirect(QStringLiteral("/a/setup.bin"), server->url("/b/setup.bin"), 301);
        server->redirect(path, server->url("/a/setup.bin"));
    }

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QVERIFY(downloader.startRequest(server->url(path), true));
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNone));
    QVERIFY(downloader.isRunning());
    QVERIFY(finished.wait(5000));

    QCOMPARE(finished.count(), 1);
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNone));
    QVERIFY(!downloader.isRunning());
    QCOMPARE(downloader.lastHttpStatus(), 200);
    const QString target = dir->filePath(QStringLiteral("setup.bin"));
    QCOMPARE(downloader.targetFile(), target);
    QCOMPARE(readFile(target), body);
    // Only the file itself: no temporary is left beside it.
    QCOMPARE(entries(*dir), QStringList{QStringLiteral("setup.bin")});
    QTest::qWait(0);
    QCOMPARE(finished.count(), 1);
}

void TestHttpDownloader::progressEndsAtTotal()
{
    const QByteArray body = pattern(50000);
    server->serveSlowly(QStringLiteral("/p.bin"), body, 5000, 5);
    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    QSignalSpy progress(&downloader, &CHttpDownLoader::sigDownProgress);
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/p.bin")), true));
    QVERIFY(finished.wait(5000));

    QVERIFY2(progress.count() >= 3, qPrintable(QString::number(progress.count())));
    qint64 previous = -1;
    bool sawPartial = false;
    for (const QList<QVariant>& args : qAsConst(progress)) {
        const qint64 received = args.at(0).toLongLong();
        QVERIFY(received >= previous);
        QCOMPARE(args.at(1).toLongLong(), qint64(body.size()));
        if (received > 0 && received < body.size())
            sawPartial = true;
        previous = received;
    }
    QVERIFY(sawPartial);
    QCOMPARE(progress.last().at(0).toLongLong(), qint64(body.size()));
}

void TestHttpDownloader::fileNameKeepsQueryText()
{
    server->serve(QStringLiteral("/m.json"), "{}");
    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/m.json?v=2&x=y")), true));
    QVERIFY(finished.wait(5000));
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNone));
    QCOMPARE(server->requests(), QStringList{QStringLiteral("/m.json?v=2&x=y")});
    QCOMPARE(entries(*dir), QStringList{QStringLiteral("m.json?v=2&x=y")});
    QCOMPARE(readFile(dir->filePath(QStringLiteral("m.json?v=2&x=y"))), QByteArray("{}"));
}

void TestHttpDownloader::failures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("status");
    QTest::newRow("404") << "404" << 404;
    QTest::newRow("redirect loop") << "loop" << 302;
    QTest::newRow("https to a plain server") << "https" << 0;
    QTest::newRow("nobody listening") << "closed" << 0;
    QTest::newRow("connection lost mid-body") << "cut" << 200;
    QTest::newRow("server stalls mid-body") << "stall" << 200;
    QTest::newRow("server stalls before answering") << "silent" << 0;
}

void TestHttpDownloader::failures()
{
    QFETCH(QString, setup);
    QFETCH(int, status);
    QString url = server->url(QStringLiteral("/f/file.bin"));
    if (setup == QLatin1String("loop")) {
        server->redirect(QStringLiteral("/f/file.bin"), QStringLiteral("/g/file.bin"));
        server->redirect(QStringLiteral("/g/file.bin"), QStringLiteral("/f/file.bin"));
    } else if (setup == QLatin1String("https")) {
        server->serve(QStringLiteral("/f/file.bin"), "plain");
        url.replace(QStringLiteral("http://"), QStringLiteral("https://"));
    } else if (setup == QLatin1String("cut")) {
        LocalHttpServer::Resource resource;
        resource.body = pattern(10000);
        resource.cutAfter = 4000;
        server->setResource(QStringLiteral("/f/file.bin"), resource);
    } else if (setup == QLatin1String("stall")) {
        server->serveStalling(QStringLiteral("/f/file.bin"), pattern(10000), 3000);
    } else if (setup == QLatin1String("silent")) {
        // Accepts the connection and never says a word.
        static QTcpServer mute;
        if (!mute.isListening())
            QVERIFY(mute.listen(QHostAddress::LocalHost, 0));
        url = QStringLiteral("http://127.0.0.1:%1/f/file.bin").arg(mute.serverPort());
    } else if (setup == QLatin1String("closed")) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        url = QStringLiteral("http://127.0.0.1:%1/f/file.bin").arg(probe.serverPort());
        probe.close();
    }

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    // Short, so that a stalled server ends the request quickly.
    downloader.setTransferTimeout(300);
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QVERIFY(downloader.startRequest(url, true));
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNetwork));
    QVERIFY(!downloader.lastError().isEmpty());
    QCOMPARE(downloader.lastHttpStatus(), status);
    QVERIFY(!downloader.isRunning());
    QCOMPARE(entries(*dir), QStringList());
    // Redirects were followed, but not forever.
    if (setup == QLatin1String("loop"))
        QVERIFY(server->requests().size() > CHttpDownLoader::maxRedirects);
}

void TestHttpDownloader::refusals_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("code");
    QTest::newRow("empty") << "" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("relative") << "files/setup.exe" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("malformed") << "http://[::1/setup.exe" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("no host") << "http:///setup.exe" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("no path") << "http://HOST" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("folder") << "http://HOST/files/" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("dot dot") << "http://HOST/files/.." << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("encoded slash")
        << "http://HOST/a%2F..%2Fx.exe" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("encoded backslash")
        << "http://HOST/a%5cx.exe" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("ftp") << "ftp://HOST/setup.exe" << int(CHttpDownLoader::ErrorUnsupportedScheme);
    QTest::newRow("file") << "file:///etc/passwd" << int(CHttpDownLoader::ErrorUnsupportedScheme);
    QTest::newRow("missing folder")
        << "http://HOST/setup.exe?folder=missing" << int(CHttpDownLoader::ErrorCannotCreateFile);
}

void TestHttpDownloader::refusals()
{
    QFETCH(QString, url);
    QFETCH(int, code);
    url.replace(QStringLiteral("HOST"), QStringLiteral("127.0.0.1:%1").arg(server->port()));
    server->serve(QStringLiteral("/setup.exe"), "x");

    CHttpDownLoader downloader;
    downloader.setFilePath(url.contains(QStringLiteral("folder=missing"))
                               ? dir->filePath(QStringLiteral("no/such/folder"))
                               : dir->path());
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QSignalSpy progress(&downloader, &CHttpDownLoader::sigDownProgress);
    QVERIFY(!downloader.startRequest(url, true));
    QCOMPARE(downloader.getErrorCode(), code);
    QVERIFY(!downloader.lastError().isEmpty());
    QVERIFY(!downloader.isRunning());
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 0);
    QCOMPARE(progress.count(), 0);
    QCOMPARE(server->requests(), QStringList());
    QCOMPARE(entries(*dir), QStringList());
}

void TestHttpDownloader::existingFile_data()
{
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("refused without overwrite")
        << false << 200 << int(CHttpDownLoader::ErrorFileExists) << QByteArray("old contents");
    QTest::newRow("replaced with overwrite")
        << true << 200 << int(CHttpDownLoader::ErrorNone) << QByteArray("new");
    QTest::newRow("kept when the download fails")
        << true << 500 << int(CHttpDownLoader::ErrorNetwork) << QByteArray("old contents");
}

void TestHttpDownloader::existingFile()
{
    QFETCH(bool, overwrite);
    QFETCH(int, status);
    QFETCH(int, code);
    QFETCH(QByteArray, contents);
    const QString target = dir->filePath(QStringLiteral("setup.exe"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    server->serveStatus(QStringLiteral("/setup.exe"), status, "new");

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    const bool started =
        downloader.startRequest(server->url(QStringLiteral("/setup.exe")), overwrite);
    QCOMPARE(started, overwrite);
    if (started)
        QVERIFY(finished.wait(5000));
    QCOMPARE(downloader.getErrorCode(), code);
    QCOMPARE(readFile(target), contents);
    QCOMPARE(entries(*dir), QStringList{QStringLiteral("setup.exe")});
    if (started)
        return;
    QCOMPARE(server->requests(), QStringList());
    // A later request that goes through clears the code.
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/other/setup2.exe")), false));
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNone));
    QVERIFY(finished.wait(5000));
}

void TestHttpDownloader::busyWhileRunning()
{
    const QByteArray body = pattern(20000);
    server->serveSlowly(QStringLiteral("/slow.bin"), body, 2000, 10);
    server->serve(QStringLiteral("/fast.bin"), "fast");

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/slow.bin")), true));
    QVERIFY(!downloader.startRequest(server->url(QStringLiteral("/fast.bin")), true));
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorBusy));
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorNone));
    QCOMPARE(readFile(dir->filePath(QStringLiteral("slow.bin"))), body);
    QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("fast.bin"))));
}

void TestHttpDownloader::stopLeavesNothing()
{
    // The body stalls after its first chunk until the client goes away.
    server->serveSlowly(QStringLiteral("/big.exe"), pattern(100000), 1000, 60000);

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QSignalSpy progress(&downloader, &CHttpDownLoader::sigDownProgress);
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/big.exe")), true));
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() > 0);
    QCOMPARE(progress.last().at(1).toLongLong(), qint64(100000));
    // Nothing stands under the final name while the download runs (the temporary may be
    // an unnamed file, depending on the file system).
    QVERIFY(!entries(*dir).contains(QStringLiteral("big.exe")));
    QVERIFY(entries(*dir).size() <= 1);

    downloader.stopDownLoad();
    QVERIFY(!downloader.isRunning());
    // Whatever was written is gone at once; the server sees the connection close.
    QCOMPARE(entries(*dir), QStringList());
    QTRY_COMPARE(server->openConnections(), 0);
    QCOMPARE(finished.count(), 0);

    // The downloader is free for the next request.
    server->serve(QStringLiteral("/big.exe"), "small now");
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/big.exe")), true));
    QVERIFY(finished.wait(5000));
    QCOMPARE(readFile(dir->filePath(QStringLiteral("big.exe"))), QByteArray("small now"));
}

void TestHttpDownloader::responseSizeLimit_data()
{
    QTest::addColumn<bool>("sendLength");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("code");
    QTest::newRow("announced too large") << true << 2001 << int(CHttpDownLoader::ErrorTooLarge);
    QTest::newRow("streamed too large") << false << 2001 << int(CHttpDownLoader::ErrorTooLarge);
    QTest::newRow("exactly the limit") << true << 2000 << int(CHttpDownLoader::ErrorNone);
    QTest::newRow("streamed at the limit") << false << 2000 << int(CHttpDownLoader::ErrorNone);
}

void TestHttpDownloader::responseSizeLimit()
{
    QFETCH(bool, sendLength);
    QFETCH(int, size);
    QFETCH(int, code);
    LocalHttpServer::Resource resource;
    resource.body = pattern(size);
    resource.sendLength = sendLength;
    resource.chunkSize = 500;
    resource.chunkDelayMs = 2;
    server->setResource(QStringLiteral("/limited.bin"), resource);

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    downloader.setMaxResponseSize(2000);
    QCOMPARE(downloader.maxResponseSize(), qint64(2000));
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/limited.bin")), true));
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(downloader.getErrorCode(), code);
    if (code == CHttpDownLoader::ErrorNone)
        QCOMPARE(readFile(dir->filePath(QStringLiteral("limited.bin"))), resource.body);
    else
        QCOMPARE(entries(*dir), QStringList());
}

void TestHttpDownloader::deletedWhileRunning()
{
    server->serveSlowly(QStringLiteral("/gone.bin"), pattern(50000), 1000, 60000);
    auto* downloader = new CHttpDownLoader;
    downloader->setFilePath(dir->path());
    QSignalSpy progress(downloader, &CHttpDownLoader::sigDownProgress);
    QVERIFY(downloader->startRequest(server->url(QStringLiteral("/gone.bin")), true));
    QTRY_VERIFY(!progress.isEmpty());
    downloader->deleteLater();
    QTRY_COMPARE(server->openConnections(), 0);
    QCOMPARE(entries(*dir), QStringList());
}

void TestHttpDownloader::hugeResponseStopsAtLimit_data()
{
    QTest::addColumn<bool>("sendLength");
    QTest::newRow("100 MB announced") << true;
    QTest::newRow("100 MB without a length") << false;
}

void TestHttpDownloader::hugeResponseStopsAtLimit()
{
    QFETCH(bool, sendLength);
    const qint64 huge = qint64(100) * 1000 * 1000;
    const qint64 limit = qint64(1) << 20;
    server->serveGenerated(QStringLiteral("/huge.json"), huge, sendLength);

    CHttpDownLoader downloader;
    downloader.setFilePath(dir->path());
    downloader.setMaxResponseSize(limit);
    QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
    QSignalSpy progress(&downloader, &CHttpDownLoader::sigDownProgress);
    QVERIFY(downloader.startRequest(server->url(QStringLiteral("/huge.json")), true));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorTooLarge));
    QVERIFY(!downloader.isRunning());
    QCOMPARE(entries(*dir), QStringList());
    // Never more than the limit was taken in, and the server was stopped long before the
    // end: the socket buffers hold a few MB at most.
    for (const QList<QVariant>& args : qAsConst(progress))
        QVERIFY(args.at(0).toLongLong() <= limit);
    QVERIFY2(server->generatedBytesSent() < 32 * limit,
             qPrintable(QString::number(server->generatedBytesSent())));
    QTRY_COMPARE(server->openConnections(), 0);
}

QTEST_GUILESS_MAIN(TestHttpDownloader)
#include "tst_httpdownloader.moc"
