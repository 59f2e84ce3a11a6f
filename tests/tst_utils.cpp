#include "testsupport.h"

#include "uibase/dialog/contracts/common.h"
#include "uibase/dialog/contracts/utils.h"

#include <log4cxx/appenderskeleton.h>
#include <log4cxx/logger.h>
#include <log4cxx/spi/loggingevent.h>

#include <QTemporaryDir>
#include <QtTest>

class TestUtils : public QObject
{
    Q_OBJECT

private slots:
    void logSwitchesFromEnvironment_data();
    void logSwitchesFromEnvironment();
    void velDebugNewFormats();
    void sha1AndHexlify_data();
    void sha1AndHexlify();
    void fileHelperReadsWholeFiles();
    void byteStringToQString();
};

void TestUtils::logSwitchesFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<QList<int>>("on");
    QTest::addColumn<QList<int>>("off");
    QTest::newRow("unset") << QByteArray() << QList<int>{} << QList<int>{35};
    QTest::newRow("one") << QByteArray("35") << QList<int>{35} << QList<int>{3, 5, 36};
    QTest::newRow("list with junk")
        << QByteArray(" 35, x,,40 ") << QList<int>{35, 40} << QList<int>{0};
}

void TestUtils::logSwitchesFromEnvironment()
{
    QFETCH(QByteArray, environment);
    QFETCH(QList<int>, on);
    QFETCH(QList<int>, off);
    qputenv("OMRA_CONSOLE_LOG", environment);
    utils::CLogCenter center;
    qunsetenv("OMRA_CONSOLE_LOG");
    for (int logSwitch : on)
        QVERIFY(center.conLogEnabled(logSwitch));
    for (int logSwitch : off)
        QVERIFY(!center.conLogEnabled(logSwitch));
    center.setConLogEnabled(7, true);
    QVERIFY(center.conLogEnabled(7));
    center.setConLogEnabled(7, false);
    QVERIFY(!center.conLogEnabled(7));
    // The process-wide switchboard is one object.
    QCOMPARE(utils::CSingletonT<utils::CLogCenter>::instance(),
             utils::CSingletonT<utils::CLogCenter>::instance());
}

void TestUtils::velDebugNewFormats()
{
    log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger("TestUtilsLogger");
    auto appender = std::make_shared<testsupport::CollectingAppender>();
    logger->addAppender(appender);
    logger->setLevel(log4cxx::Level::getDebug());

    utils::velDebugNew(logger, "move %d to %d %d.", 2, -8, 300);
    utils::velDebugNew(logger, "%s", std::string(5000, 'x').c_str()); // longer than any buffer
    utils::velDebugNew(log4cxx::LoggerPtr(), "ignored %d", 1);        // a null logger is ignored
    logger->setLevel(log4cxx::Level::getInfo());
    utils::velDebugNew(logger, "below the level");

    QCOMPARE(appender->lines.size(), 2);
    QCOMPARE(appender->lines.at(0), QStringLiteral("move 2 to -8 300."));
    QCOMPARE(appender->lines.at(1).size(), 5000);
    logger->removeAppender(appender);
}

void TestUtils::sha1AndHexlify_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("empty") << QByteArray()
                           << QByteArray("da39a3ee5e6b4b0d3255bfef95601890afd80709");
    QTest::newRow("abc") << QByteArray("abc")
                         << QByteArray("a9993e364706816aba3e25717850c26c9cd0d89d");
    QTest::newRow("two blocks") << QByteArray(
                                       "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
                                << QByteArray("84983e441c3bd26ebaae4aa1f95129e5e54670f1");
}

void TestUtils::sha1AndHexlify()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, digest);
    unsigned char raw[20] = {};
    utils::sha1_checksum(raw, input.constData(), std::size_t(input.size()));
    char hex[41] = {};
    utils::hexlify(hex, raw, 20);
    QCOMPARE(QByteArray(hex), digest);
}

void TestUtils::fileHelperReadsWholeFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("清单.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray content = QByteArray("{\"version\":\"1.0\"}\0tail", 22);
    file.write(content);
    file.close();

    std::string read;
    QVERIFY(utils::FileHelper::open(path.toStdString(), read));
    QCOMPARE(QByteArray(read.data(), int(read.size())), content);   // embedded zero kept
    QVERIFY(!utils::FileHelper::open(path.toStdString(), read, 4)); // larger than allowed
    QVERIFY(read.empty());
    QVERIFY(!utils::FileHelper::open(dir.filePath(QStringLiteral("none")).toStdString(), read));
}

void TestUtils::byteStringToQString()
{
    QCOMPARE(sToQs(std::string("版本 1.0.10")), QStringLiteral("版本 1.0.10"));
    QCOMPARE(sToQs(std::string()), QString());
}

QTEST_MAIN(TestUtils)
#include "tst_utils.moc"
