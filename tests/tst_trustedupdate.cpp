#include "testsupport.h"
#include "updaterig.h"

#include "uibase/dialog/contracts/network.h"
#include "uibase/dialog/installersignature_p.h"
#include "uibase/dialog/updatemanifest_p.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>
#include <ctime>
#include <thread>

using namespace Omra;
using testsupport::CheckVersionDialog;
using testsupport::readFile;
using testsupport::UpdateRig;
using testsupport::writeFile;

namespace {

const QString sameVersionTip = QStringLiteral("当前已是最新版本!");
const QString unverifiedTip = QStringLiteral("无法验证更新，请稍后再试");
const QString refusedTip = QStringLiteral("安装程序校验失败，未升级");
const QString stagingTip = QStringLiteral("升级准备失败，未升级");

QString inAppDir(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForFinished(20000) && process.exitCode() == 0;
    return done ? process.readAllStandardOutput() : QByteArray();
}

QString rfc3339(qint64 secondsFromNow)
{
    return QDateTime::currentDateTimeUtc()
        .addSecs(secondsFromNow)
        .toString(QStringLiteral("yyyy-MM-dd'T'hh:mm:ss'Z'"));
}

// The main thread's processor time: what it spent, not how long it waited for a core.
qint64 threadCpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

} // namespace

class TestTrustedUpdate : public QObject
{
    Q_OBJECT

    QTemporaryDir keyDir;
    QByteArray trusted[2];

    QString keyFile(int key) const { return keyDir.filePath(QStringLiteral("k%1.pem").arg(key)); }

    // The base64 Ed25519 signature of bytes by key 0, 1 (trusted) or 2 (not trusted).
    QByteArray sign(int key, const QByteArray& bytes) const
    {
        const QString message = keyDir.filePath(QStringLiteral("message"));
        if (!writeFile(message, bytes))
            return QByteArray();
        return run(QStringLiteral("openssl"),
                   {"pkeyutl", "-sign", "-rawin", "-inkey", keyFile(key), "-in", message})
            .toBase64();
    }

    // A payload for installer at url; fields to change or ("-") drop in changes.
    static QByteArray payload(const QByteArray& installer, const QString& url,
                              const QVariantMap& changes = QVariantMap())
    {
        QVariantMap fields{
            {"version", "1.1.0"},
            {"exe_url", url},
            {"exe_sha256",
             QString::fromLatin1(
                 QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex())},
            {"exe_size", installer.size()},
            {"expires", rfc3339(86400)}};
        for (auto change = changes.begin(); change != changes.end(); ++change) {
            if (change.value() == QLatin1String("-"))
                fields.remove(change.key());
            else
                fields.insert(change.key(), change.value());
        }
        return QJsonDocument(QJsonObject::fromVariantMap(fields)).toJson(QJsonDocument::Compact);
    }

    static QByteArray manifest(const QByteArray& signedPayload, const QByteArrayList& signatures,
                               const QByteArray& topVersion = "1.1.0")
    {
        return "{\"version\": \"" + topVersion + "\", \"signed\": \"" + signedPayload.toBase64() +
               "\", \"signatures\": [\"" + signatures.join("\", \"") + "\"]}";
    }

    // Serves installer under name with a release of it signed by key 0; checks it against 1.0.
    void offerSigned(UpdateRig& rig, CheckVersionDialog& dialog, const QString& name,
                     const QByteArray& installer)
    {
        const QString path = QLatin1Char('/') + name;
        rig.server.serve(path, installer);
        const QByteArray signedPayload = payload(installer, rig.server.url(path));
        QCOMPARE(rig.check(dialog, manifest(signedPayload, {sign(0, signedPayload)}), "1.0"), 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(keyDir.isValid());
        for (int key = 0; key < 3; ++key)
            QCOMPARE(QProcess::execute("openssl",
                                       {"genpkey", "-algorithm", "ed25519", "-out", keyFile(key)}),
                     0);
        for (int key = 0; key < 2; ++key) {
            trusted[key] = QByteArray::fromBase64(
                run(QStringLiteral(DIALOG_SOURCE_DIR "/scripts/sign-installer"),
                    {QStringLiteral("--public-key"), keyFile(key)}));
            QCOMPARE(trusted[key].size(), 32);
        }
    }
    void init() { CCheckVersionDialog::setInstallerPublicKeys({trusted[0], trusted[1]}); }
    void cleanup()
    {
        CMessageTip::hideTip();
        CCheckVersionDialog::setInstallerPublicKeys({});
    }

    // Key lists set in turn (each key filled with its size): the keys kept, the warning.
    void keys_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("warning");
        QTest::newRow("two taken") << QList<int>{32, 32} << 2 << QString();
        QTest::newRow("empty switches off") << QList<int>{} << 0 << QString();
        QTest::newRow("one bad key refuses all")
            << QList<int>{32, 31} << 2
            << "update public keys refused: key 2 has 31 bytes, an Ed25519 key has 32; checking "
               "stays on";
    }
    void keys()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(int, kept);
        QFETCH(QString, warning);
        UpdateRig rig;
        QList<QByteArray> keys;
        for (int size : sizes)
            keys << QByteArray(size, char(size));
        CCheckVersionDialog::setInstallerPublicKeys(keys);
        QCOMPARE(CInstallerSignature::publicKeys().size(), kept);
        QCOMPARE(rig.log.join('\n'), warning);
    }

    void versions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order"); // 2: not comparable
        QTest::newRow("2.10.0 after 2.9.3") << "2.10.0"
                                            << "2.9.3" << 1;
        QTest::newRow("1.0.9 before 1.0.10") << "1.0.9"
                                             << "1.0.10" << -1;
        QTest::newRow("missing parts are 0") << "1.0"
                                             << "1.0.0" << 0;
        QTest::newRow("leading zeros") << "01.002"
                                       << "1.2" << 0;
        QTest::newRow("beyond 64 bits") << "1.18446744073709551617"
                                        << "1.18446744073709551616" << 1;
        QTest::newRow("letters") << "1.1.0-beta"
                                 << "1.0" << 2;
        QTest::newRow("empty part") << "1..0"
                                    << "1.0" << 2;
        QTest::newRow("empty") << ""
                               << "1.0" << 2;
        QTest::newRow("space") << "1.0"
                               << " 1.0" << 2;
    }
    void versions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        bool ok = false;
        const int result = detail::compareVersions(a, b, &ok);
        QCOMPARE(ok ? result : 2, order);
    }

    // The signed payload's form, read without a dialog: what is refused and why.
    void release_data()
    {
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QString>("signatures"); // g: good, x: garbage, n: a number, u: untrusted
        QTest::addColumn<QString>("outcome");
        const QString missing = QStringLiteral("the signed payload has no valid \"%1\"");
        auto row = [](const char* name, const QVariantMap& changes, const char* signatures,
                      const QString& outcome) {
            QTest::newRow(name) << changes << QString::fromLatin1(signatures) << outcome;
        };
        row("good", {}, "g", "1.1.0 300000");
        row("good after garbage", {}, "xnug", "1.1.0 300000");
        row("good after 16 untrusted", {}, "uuuuuuuuuuuuuuuug",
            "no signature of a trusted key holds for the signed payload");
        row("none", {}, "", "no signature of a trusted key holds for the signed payload");
        row("digest in capitals", {{"exe_sha256", QString(64, 'A')}}, "g",
            missing.arg("exe_sha256"));
        row("size a fraction", {{"exe_size", 1.5}}, "g", missing.arg("exe_size"));
        row("size as text", {{"exe_size", "300000"}}, "g", missing.arg("exe_size"));
        row("expiry with an offset", {{"expires", "2999-01-01T00:00:00+08:00"}}, "g",
            missing.arg("expires"));
        row("expired", {{"expires", "2020-03-01T00:00:00Z"}}, "g",
            "the signed payload expired at 2020-03-01T00:00:00Z");
    }
    void release()
    {
        QFETCH(QVariantMap, changes);
        QFETCH(QString, signatures);
        QFETCH(QString, outcome);
        const QByteArray signedPayload =
            payload(QByteArray(300000, 'i'), "http://h/s.exe", changes);
        const QHash<QChar, QByteArray> kinds{{'g', sign(0, signedPayload)},
                                             {'u', sign(2, signedPayload)},
                                             {'x', "not base64"},
                                             {'n', "!n"}};
        QByteArrayList list;
        for (const QChar kind : signatures)
            list << kinds.value(kind);
        const QByteArray bytes = manifest(signedPayload, list).replace("\"!n\"", "7");
        detail::SignedRelease read;
        QString whyNot;
        const bool ok =
            detail::readSignedRelease(bytes.toStdString(), CInstallerSignature::publicKeys(),
                                      QDateTime::currentDateTimeUtc(), &read, &whyNot);
        QCOMPARE(ok ? QStringLiteral("%1 %2").arg(read.version).arg(read.exeSize) : whyNot,
                 outcome);
    }

    // Each row an attack (or the good case) through the user's path, running 1.0.10 with keys
    // 0 and 1 trusted: the check's answer, the latest version shown, whether the question
    // came, what the upgrade program got, the downloaded file afterwards, and the tip.
    void flow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        const QString refusedFlow = QStringLiteral("0|||-|-|") + unverifiedTip;
        QTest::newRow("good") << ""
                              << "0|1.1.0|1|copy|good|";
        QTest::newRow("signed by the second key") << "key 1"
                                                  << "0|1.1.0|1|copy|good|";
        QTest::newRow("made by the publisher's script") << "script"
                                                        << "0|1.1.0|1|copy|good|";
        QTest::newRow("rollback to 1.0.9") << "version 1.0.9"
                                           << "1|1.0.9||-|-|" + sameVersionTip;
        QTest::newRow("1.0.9 labelled 99.0") << "version 1.0.9 top 99.0"
                                             << "1|1.0.9||-|-|" + sameVersionTip;
        QTest::newRow("freeze at 1.0.10") << "version 1.0.10"
                                          << "1|1.0.10||-|-|" + sameVersionTip;
        QTest::newRow("no version") << "version -" << refusedFlow;
        QTest::newRow("not a dotted version") << "version 1.1.0-rc1" << refusedFlow;
        QTest::newRow("expired") << "expires 2026-01-01T00:00:00Z" << refusedFlow;
        QTest::newRow("payload altered") << "altered" << refusedFlow;
        QTest::newRow("untrusted key") << "key 2" << refusedFlow;
        QTest::newRow("installer named Upgrade.exe") << "name Upgrade.exe"
                                                     << "0|||-|other|" + unverifiedTip;
        QTest::newRow("wrong size") << "exe_size"
                                    << "0|1.1.0||-|-|" + refusedTip;
        QTest::newRow("wrong digest") << "served other"
                                      << "0|1.1.0||-|-|" + refusedTip;
        QTest::newRow("endless installer") << "served endless"
                                           << "0|1.1.0||-|-|" + refusedTip;
        QTest::newRow("replaced during the question") << "replace"
                                                      << "0|1.1.0|1|copy|other|";
        QTest::newRow("a file there before")
            << "before"
            << "0|1.1.0||-|other|安装程序已存在且不是本次下载的，未使用";
    }
    void flow()
    {
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        UpdateRig rig;
        QVERIFY(rig.isReady() && rig.installUpgradeProgram());
        const QString name = how.startsWith(QLatin1String("name "))
                                 ? how.section(QLatin1Char(' '), 1)
                                 : rig.uniqueName(QStringLiteral("Setup.exe"));
        const QByteArray installer = QByteArray(300000, 'i') + name.toUtf8();
        const QByteArray other = QByteArray(300000, 'o') + name.toUtf8();
        const QString path = QStringLiteral("/files/") + name, url = rig.server.url(path);
        if (how == QLatin1String("served endless")) {
            testsupport::LocalHttpServer::Resource endless;
            endless.body = installer.repeated(20);
            endless.sendLength = false;
            endless.chunkSize = 1 << 16;
            endless.chunkDelayMs = 1;
            rig.server.setResource(path, endless);
        } else {
            rig.server.serve(path, how == QLatin1String("served other") ? other : installer);
        }
        if (how == QLatin1String("before"))
            QVERIFY(writeFile(inAppDir(name), other));

        QVariantMap changes;
        const QString field = how.section(QLatin1Char(' '), 0, 0);
        if (field == QLatin1String("version") || field == QLatin1String("expires"))
            changes.insert(field, how.section(QLatin1Char(' '), 1, 1));
        if (field == QLatin1String("exe_size"))
            changes.insert(field, installer.size() + 1);
        QByteArray signedPayload = payload(installer, url, changes);
        QByteArray bytes = manifest(signedPayload,
                                    {sign(how == QLatin1String("key 1")   ? 1
                                          : how == QLatin1String("key 2") ? 2
                                                                          : 0,
                                          signedPayload)},
                                    how.contains(QLatin1String("top 99.0")) ? "99.0" : "1.1.0");
        if (how == QLatin1String("altered"))
            bytes.replace(signedPayload.toBase64(),
                          QByteArray(signedPayload).replace("1.1.0", "1.1.1").toBase64());
        if (how == QLatin1String("script")) {
            const QString file = rig.base.filePath(QStringLiteral("installer"));
            QVERIFY(writeFile(file, installer));
            bytes = run(QStringLiteral(DIALOG_SOURCE_DIR "/scripts/sign-installer"),
                        {keyFile(0), file, QStringLiteral("1.1.0"), url, QStringLiteral("30")});
        }

        CheckVersionDialog dialog(QCoreApplication::applicationDirPath(), QStringLiteral("--up"),
                                  rig.base.path());
        const int latest = rig.check(dialog, bytes, QStringLiteral("1.0.10"));
        if (how == QLatin1String("replace"))
            rig.beforeAnswer = [&] { writeFile(inAppDir(name), other); };
        rig.answer({QStringLiteral("确定")});
        qint64 received = 0;
        dialog.clickDownload();
        if (dialog.downloader)
            connect(dialog.downloader, &CHttpDownLoader::sigDownProgress, this,
                    [&](qint64 bytes) { received = bytes; });
        QTRY_VERIFY_WITH_TIMEOUT(!rig.recorded().isEmpty() || CMessageTip::current(), 10000);
        // An endless answer is cut off once it passes the size the release names.
        QVERIFY(received < installer.size() + (1 << 18));
        const QStringList got = rig.recorded();
        const QString copy = rig.staging() + QLatin1Char('/') + name;
        const bool handedCopy = got.value(1) == copy && readFile(copy) == installer &&
                                got == QStringList{"--up", copy, rig.base.path()};
        const QByteArray left = readFile(inAppDir(name));
        CMessageTip* tip = CMessageTip::current();
        QCOMPARE(QStringLiteral("%1|%2|%3|%4|%5|%6")
                     .arg(latest)
                     .arg(dialog.latestVersionText->getText())
                     .arg(rig.asked.isEmpty() ? QString() : QString::number(rig.asked.size()))
                     .arg(got.isEmpty() ? QStringLiteral("-")
                          : handedCopy  ? "copy"
                                        : got.join(' '))
                     .arg(left == installer              ? "good"
                          : left.startsWith("<missing>") ? "-"
                                                         : "other")
                     .arg(tip ? tip->text() : QString()),
                 outcome);
        if (!got.isEmpty())
            QCOMPARE(rig.log, QStringList());
        else if (!outcome.endsWith(sameVersionTip))
            QVERIFY(!rig.log.isEmpty());
        // Cancel deletes the installer only when it is the one the dialog saved.
        dialog.clickCancel();
        QCOMPARE(readFile(inAppDir(name)), left == installer ? QByteArray("<missing>") : left);
    }

    void bigInstaller_data()
    {
        QTest::addColumn<bool>("truncate");
        QTest::newRow("the event loop keeps running") << false;
        QTest::newRow("truncated during the check") << true;
    }

    // A 200 MiB installer: the GUI thread spends at most 50 ms between two turns of its event
    // loop while the installer is checked, and a file truncated meanwhile is refused (the
    // terminal survives; had the check finished first, only the verified copy is handed over).
    void bigInstaller()
    {
        QFETCH(bool, truncate);
        UpdateRig rig;
        QVERIFY(rig.isReady() && rig.installUpgradeProgram());
        const QString name = rig.uniqueName(QStringLiteral("Big.exe"));
        // 200 MiB; a tenth of it in the sanitizer build, which is several times slower.
        QByteArray installer(testsupport::scaled(200) << 20, 'b');
        for (int i = 0; i < installer.size(); i += 4096)
            installer[i] = char(i >> 12);
        CheckVersionDialog dialog(QCoreApplication::applicationDirPath(), QString(),
                                  rig.base.path());
        offerSigned(rig, dialog, name, installer);

        // From the end of the download to the question (or the refusal), each turn of the
        // event loop is timed in the GUI thread's own processor time.
        qint64 last = -1, longest = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            const qint64 now = threadCpuMicroseconds();
            if (last >= 0)
                longest = qMax(longest, now - last);
            last = now;
        });
        std::thread truncator;
        connect(dialog.downloader, &CHttpDownLoader::sigDownFinish, this, [&] {
            last = threadCpuMicroseconds();
            ticker.start(5);
            if (truncate)
                truncator = std::thread([path = inAppDir(name)] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    QFile(path).resize(1 << 20);
                });
        });
        rig.beforeAnswer = [&] { ticker.stop(); };
        rig.answer({QStringLiteral("确定")});
        dialog.clickDownload();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.recorded().isEmpty() || CMessageTip::current(), 60000);
        ticker.stop();
        if (truncator.joinable())
            truncator.join();
        qInfo("longest turn of the GUI thread: %lld us", longest);
        QVERIFY(longest > 0 && longest < 50000);
        const QString copy = rig.staging() + QLatin1Char('/') + name;
        if (!truncate || !rig.recorded().isEmpty()) {
            QCOMPARE(rig.recorded().value(1), copy);
            QVERIFY(readFile(copy) == installer);
        } else {
            QCOMPARE(CMessageTip::current()->text(), refusedTip);
            QVERIFY(!QFileInfo::exists(copy));
        }
    }

    void stagingFails_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("no upgrade program") << "none";
        QTest::newRow("upgrade program cannot start") << "not executable";
        QTest::newRow("a library past the file size limit") << "limit";
    }

    // With keys set, the hand-over stops when a file cannot be staged or the upgrade program
    // cannot be started: the half-made staging folder goes and the user sees a tip.
    void stagingFails()
    {
        QFETCH(QString, how);
        const bool child = qEnvironmentVariableIsSet("OMRA_TEST_FSIZE_CHILD");
        UpdateRig rig;
        QVERIFY(rig.isReady());
        if (how == QLatin1String("limit") && !child) {
            // Writes of more than 1 MiB fail in a child process (as on a full disk), where a
            // 4 MiB library stands in the application folder.
            const QString library = rig.uniqueName(QStringLiteral("big.dll"));
            QVERIFY(writeFile(inAppDir(library), QByteArray(4 << 20, 'l')));
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("OMRA_TEST_FSIZE_CHILD"), QStringLiteral("1"));
            process.setProcessEnvironment(environment);
            process.start(
                QCoreApplication::applicationFilePath(),
                {QStringLiteral("stagingFails:") + QLatin1String(QTest::currentDataTag())});
            QVERIFY(process.waitForFinished(60000));
            const QByteArray output = process.readAll();
            QVERIFY2(process.exitCode() == 0 && output.contains("Totals: 3 passed"), output);
            QVERIFY(output.contains("big.dll cannot be staged"));
            return;
        }
        if (child) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1 << 20, 1 << 20};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        }
        if (how != QLatin1String("none"))
            QVERIFY(rig.installUpgradeProgram(how != QLatin1String("not executable")));
        const QString name = rig.uniqueName(QStringLiteral("Setup.exe"));
        CheckVersionDialog dialog(QCoreApplication::applicationDirPath(), QString(),
                                  rig.base.path());
        offerSigned(rig, dialog, name, QByteArray(100000, 's'));
        rig.answer({QStringLiteral("确定")});
        dialog.clickDownload();
        QTRY_VERIFY_WITH_TIMEOUT(CMessageTip::current(), 10000);
        QCOMPARE(rig.asked.size(), 1);
        QCOMPARE(CMessageTip::current()->text(), stagingTip);
        QVERIFY(!QFileInfo::exists(rig.staging()));
        QTest::qWait(200);
        QVERIFY(rig.recorded().isEmpty());
        QCOMPARE(rig.log.size(), 1);
        qInfo("%s", qPrintable(rig.log.first()));
    }
};

QTEST_MAIN(TestTrustedUpdate)
#include "tst_trustedupdate.moc"
