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

#include <memory>

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

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void vectors_data();
    void vectors();
    void publicKey_data();
    void publicKey();
    void endToEnd_data();
    void endToEnd();

private:
    QTemporaryDir keyDir;
    QByteArray trusted;
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<QTemporaryDir> baseDir;
    QStringList createdNames;
};

void TestInstallerSignature::initTestCase()
{
    previousHandler = qInstallMessageHandler(collect);
    // A fresh key pair; the script gives the public key as the terminal would embed it.
    const QString key = keyDir.filePath(QStringLiteral("key.pem"));
    QCOMPARE(QProcess::execute(QStringLiteral("openssl"),
                               {"genpkey", "-algorithm", "ed25519", "-out", key}),
             0);
    trusted = QByteArray::fromBase64(signScript({QStringLiteral("--public-key"), key}));
    QCOMPARE(trusted.size(), 32);
}

void TestInstallerSignature::init()
{
    updateLog.clear();
    CCheckVersionDialog::setInstallerPublicKey(QByteArray());
    server = std::make_unique<LocalHttpServer>();
    QVERIFY(server->start());
    baseDir = std::make_unique<QTemporaryDir>();
    QVERIFY(baseDir->isValid());
}

void TestInstallerSignature::cleanup()
{
    CCheckVersionDialog::setInstallerPublicKey(QByteArray());
    for (const QString& name : qAsConst(createdNames))
        QFile::remove(inAppDir(name));
    createdNames.clear();
    server.reset();
    baseDir.reset();
}

void TestInstallerSignature::vectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<bool>("valid");
    // RFC 8032, section 7.1, tests 1 and 2.
    const QByteArray key1 =
        QByteArray::fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a");
    const QByteArray signature1 =
        QByteArray::fromHex("e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb88"
                            "21590a33bacc61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b");
    const QByteArray key2 =
        QByteArray::fromHex("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c");
    const QByteArray signature2 =
        QByteArray::fromHex("92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac"
                            "1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00");
    QByteArray flipped = signature1;
    flipped[40] = char(flipped.at(40) ^ 0x01);
    QTest::newRow("test 1, empty message") << key1 << QByteArray() << signature1 << true;
    QTest::newRow("test 2, one byte") << key2 << QByteArray("\x72") << signature2 << true;
    QTest::newRow("test 2, other byte") << key2 << QByteArray("\x73") << signature2 << false;
    QTest::newRow("test 2 signed, test 1 key") << key1 << QByteArray("\x72") << signature2 << false;
    QTest::newRow("test 1, one bit of S flipped") << key1 << QByteArray() << flipped << false;
    QTest::newRow("signature a byte short")
        << key2 << QByteArray("\x72") << signature2.left(63) << false;
    QTest::newRow("key a byte short") << key2.left(31) << QByteArray("\x72") << signature2 << false;
}

void TestInstallerSignature::vectors()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, signature);
    QFETCH(bool, valid);
    const auto* bytes = reinterpret_cast<const uchar*>(message.constData());
    QCOMPARE(CInstallerSignature::verify(key, bytes, std::size_t(message.size()), signature),
             valid);
}

void TestInstallerSignature::publicKey_data()
{
    QTest::addColumn<QList<int>>("sizes"); // keys set in turn, each filled with its size
    QTest::addColumn<int>("kept");         // size of the key in force afterwards
    QTest::addColumn<QStringList>("warnings");
    const QString refused =
        QStringLiteral("installer public key of %1 bytes refused: an Ed25519 key has 32; "
                       "checking stays %2");
    QTest::newRow("32 bytes taken") << QList<int>{32} << 32 << QStringList();
    QTest::newRow("empty switches off") << QList<int>{32, 0} << 0 << QStringList();
    QTest::newRow("31 refused, off stays")
        << QList<int>{31} << 0 << QStringList{refused.arg(31).arg("off")};
    QTest::newRow("33 refused, key stays")
        << QList<int>{32, 33} << 32 << QStringList{refused.arg(33).arg("on")};
}

void TestInstallerSignature::publicKey()
{
    QFETCH(QList<int>, sizes);
    QFETCH(int, kept);
    QFETCH(QStringList, warnings);
    for (int size : sizes)
        CCheckVersionDialog::setInstallerPublicKey(QByteArray(size, char(size)));
    QCOMPARE(CInstallerSignature::publicKey(), QByteArray(kept, char(kept)));
    QCOMPARE(updateLog, warnings);
}

void TestInstallerSignature::endToEnd_data()
{
    QTest::addColumn<QString>("signature"); // own, other (file), truncated, garbage, none, number
    QTest::addColumn<bool>("altered");      // the file served differs from the one signed
    QTest::addColumn<bool>("before");       // already downloaded: no request is made
    QTest::addColumn<bool>("swap");         // the file changes while the confirmation is open
    QTest::addColumn<bool>("keyOn");
    QTest::addColumn<QString>("outcome"); // "started", or the refusal logged
    const QString early = QStringLiteral("before the confirmation: %1; deleted");
    const QString mismatch = early.arg("the signature does not match the file");
    auto row = [](const char* name, const char* signature, bool altered, bool before, bool swap,
                  bool keyOn, const QString& outcome) {
        QTest::newRow(name) << signature << altered << before << swap << keyOn << outcome;
    };
    row("signed", "own", false, false, false, true, "started");
    row("signature of another file", "other", false, false, false, true, mismatch);
    row("truncated signature", "truncated", false, false, false, true,
        early.arg("the signature has 60 bytes, not 64"));
    row("signature not base64", "garbage", false, false, false, true,
        early.arg("the signature is not base64"));
    row("no signature", "none", false, false, false, true,
        early.arg("the manifest names no signature"));
    row("signature a number", "number", false, false, false, true,
        early.arg("the manifest names no signature"));
    row("altered after signing", "own", true, false, false, true, mismatch);
    row("downloaded before, signed", "own", false, true, false, true, "started");
    row("downloaded before, altered", "own", true, true, false, true, mismatch);
    row("changed during the confirmation", "own", false, false, true, true,
        "before the hand-over: the signature does not match the file; deleted");
    row("no key: unsigned installer runs", "none", false, false, false, false, "started");
}

// Through the user's path: a manifest check, the download click, the confirmation. A
// refusal leaves no installer, no prompt (unless the change came during it) and nothing
// staged or started.
void TestInstallerSignature::endToEnd()
{
    QFETCH(QString, signature);
    QFETCH(bool, altered);
    QFETCH(bool, before);
    QFETCH(bool, swap);
    QFETCH(bool, keyOn);
    QFETCH(QString, outcome);
    if (keyOn)
        CCheckVersionDialog::setInstallerPublicKey(trusted);
    static int counter = 0;
    const QString tag = QStringLiteral("tst_installersignature_%1_%2_")
                            .arg(QCoreApplication::applicationPid())
                            .arg(++counter);
    const QString name = tag + QStringLiteral("setup.exe");
    createdNames << name << tag + QStringLiteral("v.json");

    // The file signed, and another one.
    const QByteArray installer = QByteArray(300000, 'i') + name.toUtf8();
    QByteArray changed = installer;
    changed[1000] = 'X';
    const QString signedFile = baseDir->filePath(QStringLiteral("signed.bin"));
    const QString otherFile = baseDir->filePath(QStringLiteral("other.bin"));
    QVERIFY(writeFile(signedFile, installer) && writeFile(otherFile, changed));
    const QString key = keyDir.filePath(QStringLiteral("key.pem"));
    const QByteArray line = signScript({key, signature == "other" ? otherFile : signedFile});
    QVERIFY(line.startsWith("\"exe_ed25519\": \"") && line.endsWith('"'));
    QByteArray entry = ", " + line;
    if (signature == QLatin1String("truncated"))
        entry = ", " + line.left(line.size() - 9) + '"';
    else if (signature == QLatin1String("garbage"))
        entry = ", \"exe_ed25519\": \"not*base64!\"";
    else if (signature == QLatin1String("none"))
        entry.clear();
    else if (signature == QLatin1String("number"))
        entry = ", \"exe_ed25519\": 12345";

    const QByteArray served = altered ? changed : installer;
    const QString path = QLatin1Char('/') + name;
    server->serve(path, served);
    if (before)
        QVERIFY(writeFile(inAppDir(name), served));
    server->serve(QLatin1Char('/') + tag + QStringLiteral("v.json"),
                  "{\"version\": \"2.0\", \"exe_url\": \"" + server->url(path).toUtf8() + '"' +
                      entry + '}');

    Dialog dialog(QCoreApplication::applicationDirPath(), QStringLiteral("--up"), baseDir->path());
    QSignalSpy checked(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.setGetVersionUrl(server->url(QLatin1Char('/') + tag + QStringLiteral("v.json")));
    dialog.startGetLatestVersion();
    QVERIFY(checked.wait(5000));

    // Answers the confirmation; where a start is expected, an upgrade program of the test's
    // own is staged first (a staged file is never replaced), which records its arguments.
    const QString staging = baseDir->filePath(QStringLiteral("bin_tmp"));
    const QString record = baseDir->filePath(QStringLiteral("record"));
    bool prompted = false;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, this, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || prompted)
            return;
        prompted = true;
        if (swap)
            writeFile(inAppDir(name), changed);
        const QString program = staging + QStringLiteral("/Upgrade.exe");
        if (outcome == QLatin1String("started") && QDir().mkdir(staging) &&
            writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$3/record.part\" && "
                               "mv \"$3/record.part\" \"$3/record\"\n"))
            QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("确定"))
                QTest::mouseClick(button, Qt::LeftButton);
        }
    });
    answerer.start(10);
    dialog.handleEvent(UiEventClick, 0, 0, QString(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!updateLog.isEmpty() || QFileInfo::exists(record), 8000);

    const QString seen = QFileInfo::exists(record)
                             ? QStringLiteral("started")
                             : updateLog.value(0).section(QStringLiteral(" refused "), 1);
    QCOMPARE(seen, outcome);
    const bool started = outcome == QLatin1String("started");
    // Prompted, installer still there, staging made, requests for the installer.
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(prompted)
                 .arg(QFileInfo::exists(inAppDir(name)))
                 .arg(QFileInfo::exists(staging))
                 .arg(server->requests().count(path)),
             QStringLiteral("%1 %2 %2 %3").arg(started || swap).arg(started).arg(before ? 0 : 1));
    if (started) {
        QCOMPARE(updateLog, QStringList());
        QCOMPARE(readFile(record),
                 "--up\n" + inAppDir(name).toUtf8() + '\n' + baseDir->path().toUtf8() + '\n');
        QCOMPARE(readFile(inAppDir(name)), served);
    }
}

QTEST_MAIN(TestInstallerSignature)
#include "tst_installersignature.moc"
