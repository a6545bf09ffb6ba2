// The settings export file: its bytes, the sensor-name block and its
// comparison, splitting a damaged file, the atomic writer, and which image
// an export writes.
#include "DeviceCache.h"
#include "Globals.h"
#include "GlobalsFixture.h"
#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {
FlashDataMap sample()
{
    FlashDataMap image{};
    image.reportRate = 1;
    image.dpiStageCount = 6;
    image.macros[15].events[69].delay = 0xA1B2C3D4u;  // the last bytes of the image
    return image;
}
}  // namespace

class SettingsFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QDir().mkpath(DeviceInfoFolder()); }

    void fileBytes()
    {
        const FlashDataMap image = sample();
        const QByteArray file = EncodeSettingsFile(QStringLiteral("AX72"), image);
        QCOMPARE(file.size(), 10464);
        QCOMPARE(file.left(16), QByteArray::fromHex("0000000c") + QByteArray("Durod") + QByteArray(7, '\0'));
        QCOMPARE(file.mid(16, 16), QByteArray::fromHex("0000000c") + QByteArray("AX72") + QByteArray(8, '\0'));
        QCOMPARE(file.mid(32, 4), QByteArray::fromHex("000028bc"));
        QCOMPARE(file.mid(36), QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image)));

        const SettingsFileBlocks blocks = SplitSettingsFile(file);
        QCOMPARE(SettingsBlockText(blocks.tag), QByteArray("Durod"));
        QCOMPARE(SettingsBlockText(blocks.sensor), QByteArray("AX72"));
        QCOMPARE(blocks.image.size(), 10428);
    }

    void damagedFileSplits_data()
    {
        const QByteArray whole = EncodeSettingsFile(QStringLiteral("AX72"), sample());
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("tagSize");
        QTest::addColumn<int>("sensorSize");
        QTest::addColumn<int>("imageSize");
        QTest::newRow("empty") << QByteArray() << 0 << 0 << 0;
        QTest::newRow("tag cut") << whole.left(10) << 0 << 0 << 0;
        QTest::newRow("image cut") << whole.left(5000) << 12 << 12 << 0;
        QTest::newRow("huge length") << QByteArray::fromHex("fffffff0") + whole << 0 << 0 << 0;
    }

    void damagedFileSplits()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, tagSize);
        QFETCH(int, sensorSize);
        QFETCH(int, imageSize);
        const SettingsFileBlocks blocks = SplitSettingsFile(content);
        QCOMPARE(blocks.tag.size(), tagSize);
        QCOMPARE(blocks.sensor.size(), sensorSize);
        QCOMPARE(blocks.image.size(), imageSize);
    }

    void sensorName_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("matches");
        QTest::newRow("short") << "AX72" << QByteArray("AX72") + QByteArray(8, '\0') << "AX72" << true;
        QTest::newRow("other model") << "AX72" << QByteArray("AX72") + QByteArray(8, '\0') << "IX90" << false;
        QTest::newRow("prefix only") << "AX72" << QByteArray("AX72") + QByteArray(8, '\0') << "AX721" << false;
        QTest::newRow("11 bytes") << "SENSOR_ELEV" << QByteArray("SENSOR_ELEV") + QByteArray(1, '\0') << "SENSOR_ELEV"
                                  << true;
        QTest::newRow("12 bytes, no zero") << "SENSOR_TWELV" << QByteArray("SENSOR_TWELV") << "SENSOR_TWELV" << true;
        QTest::newRow("cut to 12") << "SENSOR_THIRTEEN" << QByteArray("SENSOR_THIRT") << "SENSOR_THIRTEEN" << true;
        QTest::newRow("cut, other model") << "SENSOR_THIRTEEN" << QByteArray("SENSOR_THIRT") << "SENSOR_THIRD" << false;
    }

    void sensorName()
    {
        QFETCH(QString, written);
        QFETCH(QByteArray, block);
        QFETCH(QString, model);
        QFETCH(bool, matches);
        QCOMPARE(SettingsSensorBlock(written), block);
        QCOMPARE(SettingsSensorMatches(block, model), matches);
    }

    void writerReplacesWholeOrNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.bin"));
        QVERIFY(WriteSettingsFile(path, QStringLiteral("AX72"), sample()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), EncodeSettingsFile(QStringLiteral("AX72"), sample()));
        file.close();

        // A name that cannot become the file leaves what is there.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.bin")));
        QVERIFY(!WriteSettingsFile(dir.filePath(QStringLiteral("taken.bin")), QStringLiteral("AX72"), sample()));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.bin"))).isDir());
        QVERIFY(!WriteSettingsFile(dir.filePath(QStringLiteral("no/such/folder.bin")), QStringLiteral("AX72"), sample()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.bin")});
    }

    void imageToExport_data()
    {
        QTest::addColumn<bool>("fromDevice");
        QTest::addColumn<bool>("cached");
        QTest::addColumn<int>("exported");  // the debounce of the image written, -1: none
        QTest::newRow("read from the device") << true << true << 7;
        QTest::newRow("offline, cached") << false << true << 3;
        QTest::newRow("nothing") << false << false << -1;
    }

    void imageToExport()
    {
        QFETCH(bool, fromDevice);
        QFETCH(bool, cached);
        QFETCH(int, exported);
        FlashDataMap memory{};
        memory.debounce = 7;
        const testsupport::GlobalsFixture globals;
        testsupport::SetImage(memory, fromDevice);
        DeviceInfoFile = QStringLiteral("Device_CID18_MID09.bin");
        QFile::remove(DeviceInfoFilePath(DeviceInfoFile));
        FlashDataMap cache{};
        cache.debounce = 3;
        if (cached)
            QVERIFY(WriteDeviceInfoFile(DeviceInfoFile, cache));
        const std::optional<FlashDataMap> image = ImageToExport();
        QCOMPARE(image ? int(image->debounce) : -1, exported);
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
