// The per-device image cache: file format, round trip, short and long files,
// names that would leave the cache folder, atomic replacement.
#include "DeviceCache.h"
#include "DeviceRecords.h"
#include "Globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <cstring>

namespace {

FlashDataMap patternImage(uint8_t seed)
{
    FlashDataMap image;
    uint8_t* bytes = FlashBytes(image);
    for (size_t i = 0; i < sizeof image; ++i)
        bytes[i] = static_cast<uint8_t>((i * 31 + seed) & 0xFF);
    return image;
}

bool isAllZero(const FlashDataMap& image)
{
    const uint8_t* bytes = FlashBytes(image);
    for (size_t i = 0; i < sizeof image; ++i) {
        if (bytes[i] != 0)
            return false;
    }
    return true;
}

void writeRaw(const QString& name, const QByteArray& content)
{
    QDir().mkpath(DeviceInfoFolder());
    QFile file(DeviceInfoFolder() + QLatin1Char('/') + name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

QByteArray lengthPrefix(quint32 length)
{
    QByteArray out(4, '\0');
    out[0] = char(length >> 24);
    out[1] = char(length >> 16);
    out[2] = char(length >> 8);
    out[3] = char(length);
    return out;
}

}  // namespace

class CacheTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(UserDir()).removeRecursively();
    }

    void fileFormatAndRoundTrip()
    {
        const QString name = DeviceFileName(0x18, 0x01);
        QCOMPARE(name, QStringLiteral("Device_CID18_MID01.bin"));
        const FlashDataMap image = patternImage(7);
        QVERIFY(WriteDeviceInfoFile(name, image));

        QFile file(DeviceInfoFolder() + QStringLiteral("/Device_CID18_MID01.bin"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QCOMPARE(content.size(), 10432);
        QCOMPARE(content.left(4), QByteArray::fromHex("000028BC"));
        QCOMPARE(std::memcmp(content.constData() + 4, FlashBytes(image), 10428), 0);

        // The same format as QDataStream's byte arrays.
        QByteArray viaStream;
        {
            QDataStream out(&viaStream, QIODevice::WriteOnly);
            out.writeBytes(reinterpret_cast<const char*>(FlashBytes(image)), 10428);
        }
        QCOMPARE(content, viaStream);

        FlashDataMap back = patternImage(99);
        QVERIFY(ReadDeviceInfoFile(name, back));
        QCOMPARE(std::memcmp(&back, &image, sizeof image), 0);

        // Writing again replaces the old content.
        const FlashDataMap second = patternImage(42);
        QVERIFY(WriteDeviceInfoFile(name, second));
        QVERIFY(ReadDeviceInfoFile(name, back));
        QCOMPARE(std::memcmp(&back, &second, sizeof second), 0);
        QCOMPARE(QFileInfo(file.fileName()).size(), qint64(10432));
    }

    void longerStoredLengthFillsExactlyOneImage()
    {
        const FlashDataMap image = patternImage(3);
        QByteArray content = lengthPrefix(20000);
        content.append(reinterpret_cast<const char*>(FlashBytes(image)), 10428);
        content.append(QByteArray(20000 - 10428, char(0x5A)));
        writeRaw(QStringLiteral("long.bin"), content);

        FlashDataMap back{};
        QVERIFY(ReadDeviceInfoFile(QStringLiteral("long.bin"), back));
        QCOMPARE(std::memcmp(&back, &image, sizeof image), 0);

        // A longer stored length with only one image behind it still reads.
        content = lengthPrefix(20000);
        content.append(reinterpret_cast<const char*>(FlashBytes(image)), 10428);
        writeRaw(QStringLiteral("long2.bin"), content);
        QVERIFY(ReadDeviceInfoFile(QStringLiteral("long2.bin"), back));
        QCOMPARE(std::memcmp(&back, &image, sizeof image), 0);
    }

    void shorterStoredLengthFillsThatManyBytes()
    {
        QByteArray content = lengthPrefix(5);
        content.append(QByteArray::fromHex("0102030405"));
        writeRaw(QStringLiteral("short.bin"), content);
        FlashDataMap back = patternImage(1);
        QVERIFY(ReadDeviceInfoFile(QStringLiteral("short.bin"), back));
        QCOMPARE(back.reportRate, uint8_t(1));
        QCOMPARE(back.reserved4, uint8_t(5));
        QCOMPARE(back.liftOff, uint8_t(0));
        QCOMPARE(back.macros[15].events[69].delay, 0u);
    }

    void brokenFilesFailAndLeaveZeros_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("three bytes") << QByteArray::fromHex("000028");
        QByteArray truncated = lengthPrefix(10428);
        truncated.append(QByteArray(10427, char(0x77)));
        QTest::newRow("one byte short") << truncated;
        QByteArray lengthOnly = lengthPrefix(10428);
        QTest::newRow("length only") << lengthOnly;
    }

    void brokenFilesFailAndLeaveZeros()
    {
        QFETCH(QByteArray, content);
        writeRaw(QStringLiteral("broken.bin"), content);
        FlashDataMap back = patternImage(5);
        QVERIFY(!ReadDeviceInfoFile(QStringLiteral("broken.bin"), back));
        QVERIFY(isAllZero(back));
    }

    void missingFileFailsAndLeavesZeros()
    {
        FlashDataMap back = patternImage(5);
        QVERIFY(!ReadDeviceInfoFile(QStringLiteral("Device_CID05_MID AB.bin"), back));
        QVERIFY(isAllZero(back));
        back = patternImage(6);
        QVERIFY(!ReadDeviceInfoFile(QString(), back));
        QVERIFY(isAllZero(back));
    }

    void namesNeverLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("parent") << QStringLiteral("../escape.bin");
        QTest::newRow("dotdot") << QStringLiteral("..");
        QTest::newRow("dot") << QStringLiteral(".");
        QTest::newRow("absolute") << QStringLiteral("/tmp/escape.bin");
        QTest::newRow("backslash") << QStringLiteral("..\\escape.bin");
        QTest::newRow("subfolder") << QStringLiteral("sub/escape.bin");
    }

    void namesNeverLeaveTheFolder()
    {
        QFETCH(QString, name);
        const FlashDataMap image = patternImage(9);
        QVERIFY(!WriteDeviceInfoFile(name, image));
        QVERIFY(DeviceInfoFilePath(name).isEmpty());
        // Nothing was written anywhere below the user folder's parent.
        QVERIFY(!QFileInfo::exists(UserDir() + QStringLiteral("/escape.bin")));
        QVERIFY(!QFileInfo::exists(DeviceInfoFolder() + QStringLiteral("/sub/escape.bin")));
        const QStringList left = QDir(DeviceInfoFolder()).entryList(QDir::Files | QDir::NoDotAndDotDot);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(','))));
        FlashDataMap back = patternImage(2);
        QVERIFY(!ReadDeviceInfoFile(name, back));
        QVERIFY(isAllZero(back));
    }

    void failedWriteReportsFalseAndLeavesNoTemporaryFile()
    {
        const QString name = QStringLiteral("Device_CID18_MID02.bin");
        // A folder where the file should be: the write cannot replace it.
        const QString target = DeviceInfoFolder() + QLatin1Char('/') + name;
        QVERIFY(QDir().mkpath(target));
        QVERIFY(!WriteDeviceInfoFile(name, patternImage(12)));
        QVERIFY(QFileInfo(target).isDir());
        const QStringList left = QDir(DeviceInfoFolder()).entryList(QDir::Files | QDir::NoDotAndDotDot);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(','))));
    }
};

QTEST_GUILESS_MAIN(CacheTest)
#include "tst_cache.moc"
