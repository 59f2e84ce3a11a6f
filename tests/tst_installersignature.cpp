#include "localhttpserver.h"
#include "testsupport.h"

#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/installersignature_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Omra;
using testsupport::LocalHttpServer;

namespace {

class Dialog : public CCheckVersionDialog
{
public:
    using CCheckVersionDialog::CCheckVersionDialog;
    using CCheckVersionDialog::handleEvent;
};

// Lines logged in "omra.update"; the rest goes on to the test framework.
QStringList updateLog;
QtMessageHandler previousHandler = nullptr;
void collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (context.category && QByteArray(context.category) == "omra.update")
        updateLog << text;
    else
        previousHandler(type, context, text);
}

QString inAppDir(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The signing script's output for the given arguments; empty when it failed.
QByteArray signScript(const QStringList& arguments)
{
    QProcess script;
    script.start(QStringLiteral(DIALOG_SOURCE_DIR "/scripts/sign-installer"), arguments);
    const bool done = script.waitForFinished(20000) && script.exitCode() == 0;
    return done ? script.readAllStandardOutput().trimmed() : QByteArray();
}

} // namespace

class TestInstallerSignature : public QObject
{
    Q_OBJECT
    QTemporaryDir keyDir;
    QByteArray trusted;
    QStringList createdNames;

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(collect);
        // A fresh key pair; the script gives the public key as the terminal would embed it.
        const QString key = keyDir.filePath(QStringLiteral("key.pem"));
        QCOMPARE(QProcess::execute("openssl", {"genpkey", "-algorithm", "ed25519", "-out", key}),
                 0);
        trusted = QByteArray::fromBase64(signScript({QStringLiteral("--public-key"), key}));
        QCOMPARE(trusted.size(), 32);
    }
    void init()
    {
        updateLog.clear();
        CCheckVersionDialog::setInstallerPublicKey(QByteArray());
    }
    void cleanup()
    {
        CCheckVersionDialog::setInstallerPublicKey(QByteArray());
        for (const QString& name : qAsConst(createdNames))
            QFile::remove(inAppDir(name));
        createdNames.clear();
    }

    // RFC 8032, section 7.1, tests 1 (empty message) and 2 (one byte, 0x72), then changed.
    void vectors_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<bool>("valid");
        const QByteArray key1 =
            QByteArray::fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a");
        const QByteArray sig1 = QByteArray::fromHex(
            "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb88"
            "21590a33bacc61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b");
        const QByteArray key2 =
            QByteArray::fromHex("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c");
        const QByteArray sig2 = QByteArray::fromHex(
            "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac"
            "1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00");
        QByteArray flipped = sig1;
        flipped[40] = char(flipped.at(40) ^ 0x01);
        QTest::newRow("test 1") << key1 << QByteArray() << sig1 << true;
        QTest::newRow("test 2") << key2 << QByteArray("\x72") << sig2 << true;
        QTest::newRow("test 2, other byte") << key2 << QByteArray("\x73") << sig2 << false;
        QTest::newRow("test 2, test 1 key") << key1 << QByteArray("\x72") << sig2 << false;
        QTest::newRow("test 1, bit of S flipped") << key1 << QByteArray() << flipped << false;
        QTest::newRow("signature short") << key2 << QByteArray("\x72") << sig2.left(63) << false;
        QTest::newRow("key short") << key2.left(31) << QByteArray("\x72") << sig2 << false;
    }
    void vectors()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, signature);
        QFETCH(bool, valid);
        const auto* bytes = reinterpret_cast<const uchar*>(message.constData());
        QCOMPARE(CInstallerSignature::verify(key, bytes, std::size_t(message.size()), signature),
                 valid);
    }

    // Keys set in turn (each filled with its size), the size kept, the warning logged.
    void publicKey_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("warning");
        const QString refused = QStringLiteral(
            "installer public key of %1 bytes refused: an Ed25519 key has 32; checking stays %2");
        QTest::newRow("32 taken") << QList<int>{32} << 32 << QString();
        QTest::newRow("empty switches off") << QList<int>{32, 0} << 0 << QString();
        QTest::newRow("31 refused") << QList<int>{31} << 0 << refused.arg(31).arg("off");
        QTest::newRow("33 refused") << QList<int>{32, 33} << 32 << refused.arg(33).arg("on");
    }
    void publicKey()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(int, kept);
        QFETCH(QString, warning);
        for (int size : sizes)
            CCheckVersionDialog::setInstallerPublicKey(QByteArray(size, char(size)));
        QCOMPARE(CInstallerSignature::publicKey(), QByteArray(kept, char(kept)));
        QCOMPARE(updateLog.join('\n'), warning);
    }

    // signature: own, other (file), truncated, garbage, none, number; how: the file served
    // is "altered" from the one signed, was downloaded "before" (no request), is swapped
    // while the confirmation is open, or "nokey" is set; outcome: "started" or the refusal.
    void endToEnd_data()
    {
        QTest::addColumn<QString>("signature");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        const QString early = QStringLiteral("before the confirmation: %1; deleted");
        const QString mismatch = early.arg("the signature does not match the file");
        const QString none = early.arg("the manifest names no signature");
        auto row = [](const char* signature, const char* how, const QString& outcome) {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(signature, how)))
                << QString(signature) << QString(how) << outcome;
        };
        row("own", "", "started");
        row("other", "", mismatch);
        row("truncated", "", early.arg("the signature has 60 bytes, not 64"));
        row("garbage", "", early.arg("the signature is not base64"));
        row("none", "", none);
        row("number", "", none);
        row("own", "altered", mismatch);
        row("own", "before", "started");
        row("own", "before altered", mismatch);
        row("own", "swap", "before the hand-over: the signature does not match the file; deleted");
        row("none", "nokey", "started");
    }

    // Through the user's path: a manifest check, the download click, the confirmation. A
    // refusal leaves no installer, no prompt (unless the change came during it) and nothing
    // staged or started.
    void endToEnd()
    {
        QFETCH(QString, signature);
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        const bool before = how.contains("before"), swap = how == "swap";
        const bool started = outcome == "started";
        if (how != "nokey")
            CCheckVersionDialog::setInstallerPublicKey(trusted);
        static int counter = 0;
        LocalHttpServer server;
        QTemporaryDir baseDir;
        QVERIFY(server.start() && baseDir.isValid());
        const QString tag = QStringLiteral("tst_installersignature_%1_%2_")
                                .arg(QCoreApplication::applicationPid())
                                .arg(++counter);
        const QString name = tag + "setup.exe", path = '/' + name, manifest = '/' + tag + "v.json";
        createdNames << name;

        const QByteArray installer = QByteArray(300000, 'i') + name.toUtf8();
        QByteArray changed = installer;
        changed[1000] = 'X';
        const QString signedFile = baseDir.filePath("signed.bin");
        const QString otherFile = baseDir.filePath("other.bin");
        QVERIFY(writeFile(signedFile, installer) && writeFile(otherFile, changed));
        const QByteArray line =
            signScript({keyDir.filePath("key.pem"), signature == "other" ? otherFile : signedFile});
        QVERIFY(line.startsWith("\"exe_ed25519\": \"") && line.endsWith('"'));
        const QHash<QString, QByteArray> entries = {
            {"truncated", ", " + line.left(line.size() - 9) + '"'},
            {"garbage", ", \"exe_ed25519\": \"not*base64!\""},
            {"none", ""},
            {"number", ", \"exe_ed25519\": 12345"}};
        const QByteArray served = how.contains("altered") ? changed : installer;
        server.serve(path, served);
        if (before)
            QVERIFY(writeFile(inAppDir(name), served));
        server.serve(manifest, "{\"version\": \"2.0\", \"exe_url\": \"" +
                                   server.url(path).toUtf8() + '"' +
                                   entries.value(signature, ", " + line) + '}');

        Dialog dialog(QCoreApplication::applicationDirPath(), "--up", baseDir.path());
        QSignalSpy checked(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
        dialog.setCurrentVersion("1.0");
        dialog.setGetVersionUrl(server.url(manifest));
        dialog.startGetLatestVersion();
        QVERIFY(checked.wait(5000));

        // Answers the confirmation; where a start is expected, an upgrade program of the test's
        // own is staged first (a staged file is never replaced), which records its arguments.
        const QString staging = baseDir.filePath("bin_tmp"), record = baseDir.filePath("record");
        bool prompted = false;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box || prompted)
                return;
            prompted = true;
            if (swap)
                writeFile(inAppDir(name), changed);
            const QString program = staging + "/Upgrade.exe";
            if (started && QDir().mkdir(staging) &&
                writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$3/record.part\" && "
                                   "mv \"$3/record.part\" \"$3/record\"\n"))
                QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
            for (QPushButton* button : box->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("确定"))
                    QTest::mouseClick(button, Qt::LeftButton);
        });
        answerer.start(10);
        dialog.handleEvent(UiEventClick, 0, 0, QString(), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!updateLog.isEmpty() || QFileInfo::exists(record), 8000);

        QCOMPARE(QFileInfo::exists(record) ? "started" : updateLog.value(0).section(" refused ", 1),
                 outcome);
        // Prompted, installer still there, staging made, requests for the installer.
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(prompted)
                     .arg(QFileInfo::exists(inAppDir(name)))
                     .arg(QFileInfo::exists(staging))
                     .arg(server.requests().count(path)),
                 QStringLiteral("%1 %2 %2 %3").arg(started || swap).arg(started).arg(!before));
        if (started) // nothing refused on the way; the arguments are checked with the dialog
            QCOMPARE(updateLog, QStringList());
    }
};

QTEST_MAIN(TestInstallerSignature)
#include "tst_installersignature.moc"
