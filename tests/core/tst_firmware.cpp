// The firmware data layer: the header, version numbers, the header-only scan
// of the image folder, the whole-image check before the device library sees
// an image, the upgrade session against the bench, the failed-update record,
// the progress of one or two stages and the update log.
#include "LinkTestSupport.h"

#include "BenchFirmware.h"
#include "BenchFlash.h"

#include "FirmwareFiles.h"
#include "FirmwareUpdate.h"
#include "RegistryStore.h"
#include "UserFixture.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <sys/stat.h>

using namespace linktest;

namespace {

// An image the device library takes (magic, header format, checksum) of
// size bytes: version, kind, name and MID; announced, when given, replaces
// the length in the header, and the checksum covers what it announces as far
// as there are bytes. Shorter than a header: the start of one.
QByteArray image(quint32 version, quint8 kind, const QByteArray& name, int size = 1000, quint8 mid = 1,
                 quint32 announced = 0)
{
    hidusb::FirmwareInfo info;
    info.version = version;
    info.type = kind;
    info.id = 24;
    info.mid = mid;
    info.name = name.toStdString();
    const std::vector<uint8_t> made = hidusb::MakeFirmware(info, uint32_t(qMax(0, size - FirmwareHeaderSize)));
    QByteArray data = QByteArray(reinterpret_cast<const char*>(made.data()), int(made.size())).left(size);
    if (announced && size >= FirmwareHeaderSize) {
        auto* bytes = reinterpret_cast<uchar*>(data.data());
        qToLittleEndian<quint32>(announced, bytes + 4);
        qToLittleEndian<quint32>(hidusb::Crc32(bytes + 12, qMin<quint32>(announced, size) - 12), bytes + 8);
    }
    return data;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), qint64(data.size()));
}

// An image the device library takes (checksum and all), made by the tool.
QByteArray benchImage(const QString& dir, const QString& args)
{
    const QString path = dir + QStringLiteral("/made.bin");
    bool ok = false;
    bench(QStringList{QStringLiteral("make-firmware"), path} + args.split(QLatin1Char(' ')), &ok);
    QFile file(path);
    return ok && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString Mouse = QStringLiteral("CDM_AX72_MOUSE");
const UpdateFailRecord Receiver8k{211, 8, 24, 1};

QString recordText()
{
    const std::optional<UpdateFailRecord> record = ReadUpdateFailInfo();
    return record ? UpdateFailInfoText(*record) : QString();
}

}  // namespace

class FirmwareTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(benchToDefaults());
    }

    void versions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("field");
        QTest::addColumn<bool>("same");
        QTest::newRow("1.5") << "v1.5" << 0x0105u << true;
        QTest::newRow("1.a") << "1.a" << 0x010Au << true;
        QTest::newRow("1.10 is not 1.1") << "v1.10" << 0x0101u << false;
        QTest::newRow("1.10") << "v1.10" << 0x0110u << true;
        QTest::newRow("1.0a") << "v1.0a" << 0x010Au << true;
        QTest::newRow("not a version") << "abc" << 0x0000u << false;
        QTest::newRow("empty") << "" << 0x0000u << false;
    }
    void versions()
    {
        QFETCH(QString, text);
        QFETCH(quint32, field);
        QFETCH(bool, same);
        QCOMPARE(ParseFirmwareVersion(text) == FirmwareVersionOf(field), same);
    }

    void header()
    {
        FirmwareImageHeader h;
        QVERIFY(!ParseFirmwareHeader(image(0x0105, 210, "AB", 727), &h));
        QVERIFY(ParseFirmwareHeader(image(0x0110, 211, "AB", 800), &h));
        QCOMPARE(h.length, 800u);
        QCOMPARE(h.kind, quint8(211));
        QCOMPARE(h.mid, quint8(1));
        QCOMPARE(h.name, QStringLiteral("AB"));
        QCOMPARE(h.VersionText(), QStringLiteral("v1.10"));
    }

    // Which file the scan finds for a device of version "v1.5".
    void scan_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("found");  // file name, empty for none
        QTest::newRow("other versions: the later one") << "v1.5" << "c.BIN";
        QTest::newRow("1.6 is the device's") << "v1.6" << "c.BIN";
        QTest::newRow("1.10 differs from 1.1") << "v1.1" << "c.BIN";
        QTest::newRow("boot mode takes any") << "" << "c.BIN";
    }
    void scan()
    {
        QFETCH(QString, version);
        QFETCH(QString, found);
        QTemporaryDir dir;
        writeFile(dir.filePath("a.bin"), image(0x0105, 210, Mouse.toLatin1()));       // the device's own: skipped
        writeFile(dir.filePath("b.bin"), image(0x0106, 210, Mouse.toLatin1()));
        writeFile(dir.filePath("c.BIN"), image(0x0110, 210, Mouse.toLatin1()));       // upper case: found too
        writeFile(dir.filePath("d.bin"), image(0x0300, 211, Mouse.toLatin1()));       // a receiver's
        writeFile(dir.filePath("e.bin"), image(0x0300, 210, "cdm_ax72_mouse"));       // another name
        writeFile(dir.filePath("f.bin"), image(0x0300, 210, Mouse.toLatin1(), 700));  // shorter than a header
        writeFile(dir.filePath("g.txt"), image(0x0300, 210, Mouse.toLatin1()));       // not an image name
        writeFile(dir.filePath("h.bin"), image(0x0300, 210, Mouse.toLatin1(), 1000, 2));  // another model
        // A FIFO with no writer: the scan must not wait on it.
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("i.bin")).constData(), 0600) == 0);
        QVERIFY(QDir().mkdir(dir.filePath("j.bin")));                                    // a folder
        if (version == QLatin1String("v1.6"))
            QFile::remove(dir.filePath("c.BIN"));  // then b and c differ no more: a.bin is found
        const std::optional<FirmwareFile> file = FindFirmwareFile(dir.path(), 210, version, Mouse, 24, 1);
        QVERIFY(file.has_value());
        const QString expected = version == QLatin1String("v1.6") ? QStringLiteral("a.bin") : found;
        QCOMPARE(QFileInfo(file->path).fileName(), expected);
        QCOMPARE(FirmwareFileDiffers(dir.path(), 210, version, Mouse, 24, 1), !version.isEmpty());
    }

    void scanReadsHeadersOnly()
    {
        // A file over the size cap is passed over without being read.
        QTemporaryDir dir;
        QFile big(dir.filePath("big.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.write(image(0x0200, 210, Mouse.toLatin1())) > 0);
        QVERIFY(big.resize(FirmwareImageMaxBytes + 1));
        big.close();
        QVERIFY(!FindFirmwareFile(dir.path(), 210, QString(), Mouse, 24, 1));
        QVERIFY(!FindFirmwareFile(dir.filePath("none"), 210, QString(), Mouse, 24, 1));
    }

    // What the scan and then the load take for a device at v1.5 beside a
    // damaged v1.7 named after the model (and named after a.bin): never the
    // damaged one; alone, the file error (the scan tells so, or the load
    // refuses what it found); beside a good older one, that one.
    void damagedImages_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("good");     // a.bin: a whole image, v1.6
        QTest::addColumn<bool>("damaged");  // the file error when no good one is there
        QTest::addColumn<bool>("logged");   // passed over with a warning
        const QByteArray whole = image(0x0107, 210, Mouse.toLatin1());
        const auto changed = [&whole](int at, char to) { return QByteArray(whole).replace(at, 1, &to, 1); };
        const QString named = Mouse + QStringLiteral("_v1.7.bin"), saysMid1 = Mouse + QStringLiteral("_MID1_v1.7.bin");
        const struct {
            const char* row;
            QString fileName;
            QByteArray bytes;
            int damaged;  // 0 no, 1 yes, 2 no but passed over with a warning
        } rows[] = {
            {"empty", named, QByteArray(), true},
            {"cut in the header", named, whole.left(500), true},
            {"bad magic", named, changed(0, 'X'), true},
            {"unknown header format", named, changed(14, 2), true},
            {"bad checksum", named, changed(whole.size() - 1, char(whole.back() ^ 1)), true},
            {"truncated", named, image(0x0107, 210, Mouse.toLatin1(), 1000, 1, 4096), true},
            {"a receiver's type byte", named, changed(20, char(211)), true},
            {"a byte of the firmware name", named, changed(90, 'x'), true},
            {"whole, another MID where the name says MID1", saysMid1, image(0x0107, 210, Mouse.toLatin1(), 1000, 2),
             true},
            {"whole, another firmware's", named, image(0x0107, 210, "CDM_IX90_MOUSE"), 2},
            {"none at all: an empty file of another name", QStringLiteral("other.bin"), QByteArray(), false},
            {"another model's, named MID2", Mouse + QStringLiteral("_MID2_v1.7.bin"),
             image(0x0107, 210, Mouse.toLatin1(), 1000, 2), false},
        };
        for (const auto& row : rows) {
            for (const bool good : {false, true})
                QTest::addRow(good ? "%s beside a good older one" : "%s", row.row)
                    << row.fileName << row.bytes << good << (row.damaged == 1) << (row.damaged != 0);
        }
    }
    void damagedImages()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, good);
        QFETCH(bool, damaged);
        QFETCH(bool, logged);
        if (logged)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^firmware image passed over: ")));
        QTemporaryDir dir;
        if (good)
            writeFile(dir.filePath("a.bin"), image(0x0106, 210, Mouse.toLatin1()));
        writeFile(dir.filePath(fileName), bytes);
        bool onlyDamaged = good;  // set either way
        const auto file = FindFirmwareFile(dir.path(), 210, "v1.5", Mouse, 24, 1, &onlyDamaged);
        const FirmwareLoadResult taken = file ? LoadFirmwareFile(*file) : FirmwareLoadResult{};
        QCOMPARE(taken.image ? QFileInfo(taken.image->Path()).fileName() : QString(), good ? "a.bin" : QString());
        QCOMPARE(onlyDamaged || (file && !taken.image), !good && damaged);
    }

    void wholeImage_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("error");
        QTest::newRow("whole") << image(0x0105, 210, "A", 1000) << int(FirmwareImageError::None);
        QTest::newRow("longer than announced") << image(0x0105, 210, "A", 1000, 1, 900) << int(FirmwareImageError::None);
        QTest::newRow("truncated") << image(0x0105, 210, "A", 1000, 1, 4096) << int(FirmwareImageError::Truncated);
        QTest::newRow("announces less than a header")
            << image(0x0105, 210, "A", 1000, 1, 100) << int(FirmwareImageError::BadLength);
        QTest::newRow("no header") << image(0x0105, 210, "A", 500) << int(FirmwareImageError::TooShort);
        QByteArray bytes = image(0x0105, 210, "A");
        bytes[500] = char(bytes.at(500) ^ 0x10);
        QTest::newRow("a header byte changed") << bytes << int(FirmwareImageError::BadChecksum);
    }
    void wholeImage()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, error);
        QCOMPARE(int(CheckFirmwareImage(data)), error);
        QTemporaryDir dir;
        writeFile(dir.filePath("x.bin"), data);
        const FirmwareLoadResult loaded = LoadFirmwareImage(dir.filePath("x.bin"));
        QCOMPARE(int(loaded.error), error);
        QCOMPARE(loaded.image != nullptr, error == int(FirmwareImageError::None));
        QVERIFY(!FirmwareImageErrorText(loaded.error).isEmpty());
    }

    void truncatedImageNeverReachesTheLibrary()
    {
        QTemporaryDir dir;
        const QByteArray whole = benchImage(dir.path(), QStringLiteral("type=receiver name=CDM_RX8K mid=1 version=1.6"));
        QVERIFY(whole.size() > FirmwareHeaderSize);
        writeFile(dir.filePath("cut.bin"), whole.left(whole.size() - 1));
        const FirmwareLoadResult cut = LoadFirmwareImage(dir.filePath("cut.bin"));
        QVERIFY(!cut.image);
        QCOMPARE(cut.error, FirmwareImageError::Truncated);
        QVERIFY(FirmwareImageErrorText(cut.error).contains(QLatin1String("truncated")));
        // Without a whole image nothing is asked of the library.
        bench({QStringLiteral("option"), QStringLiteral("trace=on")});
        clearCallsLog();
        QCOMPARE(FirmwareBootDeviceCount(cut.image), -1);
        QVERIFY(!StartFirmwareUpgrade(cut.image, Receiver8k, [](const UpgradeEvent&, const FirmwareImageHandle&) {}));
        QVERIFY(callsLog({QStringLiteral("UsbUpgrade")}).isEmpty());
    }

    void upgradeKeepsItsImageUntilTheEnd()
    {
        QTemporaryDir dir;
        bench({QStringLiteral("option"), QStringLiteral("upgrade_step_ms=5")});
        writeFile(dir.filePath("rx.bin"),
                  benchImage(dir.path(), QStringLiteral("type=receiver name=CDM_RX8K mid=1 version=1.6")));
        FirmwareLoadResult loaded;
        bool done = false;
        LoadFirmwareImageAsync(FirmwareFile{dir.filePath("rx.bin"), {}, {}}, this, [&](FirmwareLoadResult r) {
            loaded = r;
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QVERIFY(loaded.image);
        QCOMPARE(FirmwareBootDeviceCount(loaded.image), 0);

        QMutex mutex;
        QList<UpgradeEvent> events;
        bool heldAtEnd = false;
        const FirmwareImage* started = loaded.image.get();
        QVERIFY(StartFirmwareUpgrade(loaded.image, Receiver8k, [&](const UpgradeEvent& e, const FirmwareImageHandle& image) {
            QMutexLocker lock(&mutex);
            events.append(e);
            if (e.kind == UpgradeEvent::Finished)
                heldAtEnd = image.get() == started;
        }));
        QVERIFY(FirmwareUpgradeRunning());
        // Only the session and this test hold the image; the test lets go.
        const std::weak_ptr<const FirmwareImage> watch = loaded.image;
        loaded.image.reset();
        QVERIFY(!watch.expired());
        QVERIFY(!StartFirmwareUpgrade(watch.lock(), Receiver8k, nullptr));  // one at a time
        QTRY_VERIFY_WITH_TIMEOUT(!FirmwareUpgradeRunning(), 20000);
        QTRY_VERIFY(watch.expired());
        QMutexLocker lock(&mutex);
        QVERIFY(heldAtEnd);
        QVERIFY(events.size() >= 2);
        QCOMPARE(events.first().kind, UpgradeEvent::Progress);
        QCOMPARE(events.last().kind, UpgradeEvent::Finished);
        QVERIFY(events.last().success);
        QVERIFY(bench({QStringLiteral("list")}).contains(QLatin1String("firmware=v1.6")));
    }

    void silentUpgradeFailsAfterTheTimeout()
    {
        QTemporaryDir dir;
        bench({QStringLiteral("option"), QStringLiteral("upgrade_step_ms=150")});
        writeFile(dir.filePath("rx.bin"),
                  benchImage(dir.path(), QStringLiteral("type=receiver name=CDM_RX8K mid=1 version=1.7")));
        const FirmwareLoadResult loaded = LoadFirmwareImage(dir.filePath("rx.bin"));
        QVERIFY(loaded.image);
        QVERIFY(WriteUpdateFailInfo({210, 0, 24, 2}));  // another device's, replaced by the failure's
        QMutex mutex;
        QList<UpgradeEvent> events;
        SetFirmwareUpgradeTimeout(50);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("sent nothing for 50 ms")));
        QVERIFY(StartFirmwareUpgrade(loaded.image, Receiver8k, [&](const UpgradeEvent& e, const FirmwareImageHandle&) {
            QMutexLocker lock(&mutex);
            events.append(e);
        }));
        SetFirmwareUpgradeTimeout(0);  // back to the default for the next start
        const auto count = [&] {
            QMutexLocker lock(&mutex);
            return events.size();
        };
        QTRY_COMPARE_WITH_TIMEOUT(count(), 1, 10000);
        QVERIFY(!FirmwareUpgradeRunning());
        {
            QMutexLocker lock(&mutex);
            QCOMPARE(events.first().kind, UpgradeEvent::Finished);
            QVERIFY(events.first().timedOut);
            QVERIFY(!events.first().success);
        }
        QCOMPARE(recordText(), UpdateFailInfoText(Receiver8k));
        // The library's own events of that upgrade reach no one, nor the record.
        QTRY_VERIFY_WITH_TIMEOUT(bench({QStringLiteral("list")}).contains(QLatin1String("firmware=v1.7")), 20000);
        QMutexLocker lock(&mutex);
        QCOMPARE(events.size(), 1);
        QCOMPARE(recordText(), UpdateFailInfoText(Receiver8k));
    }

    // The failed-update record around one write of the receiver: stored
    // before the library starts, gone after success, kept by a failure, none
    // after a start the library refuses (an image no device takes) or a
    // damaged image that never becomes one to start. A record already there
    // stays during the write; a success removes it when it names the device
    // written (a mouse whatever its receiver kind), a failure puts the
    // write's own in its place.
    void recordAroundAWrite_data()
    {
        QTest::addColumn<QString>("device");  // the record the start names
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("during");  // empty: the start is refused
        QTest::addColumn<QString>("after");
        const QString rx = UpdateFailInfoText(Receiver8k);
        QTest::newRow("success") << rx << "" << "" << rx << "";
        QTest::newRow("failure") << rx << "" << "upgrade-fail" << rx << rx;
        QTest::newRow("refused up front") << rx << "" << "no device" << "" << "";
        QTest::newRow("damaged: the library is not asked") << rx << "" << "checksum" << "" << "";
        QTest::newRow("another record there") << rx << "210,0,24,2" << "" << "210,0,24,2" << "210,0,24,2";
        QTest::newRow("another record there, failure") << rx << "210,0,24,2" << "upgrade-fail" << "210,0,24,2" << rx;
        QTest::newRow("its own record there") << rx << rx << "" << rx << "";
        QTest::newRow("the mouse's, another receiver kind") << "210,0,24,1" << "210,8,24,1" << "" << "210,8,24,1" << "";
        QTest::newRow("another receiver kind") << rx << "211,4,24,1" << "" << "211,4,24,1" << "211,4,24,1";
    }
    void recordAroundAWrite()
    {
        QFETCH(QString, device);
        QFETCH(QString, before);
        QFETCH(QString, fault);
        QFETCH(QString, during);
        QTemporaryDir dir;
        QVERIFY(benchToDefaults());
        bench({"option", "upgrade_step_ms=20"});
        if (fault == "upgrade-fail")
            bench({"fault", "rx8k", fault, "40"});
        QByteArray bytes = benchImage(dir.path(), QStringLiteral("type=receiver name=CDM_RX8K mid=%1 version=1.6")
                                                      .arg(fault == "no device" ? 9 : 1));  // MID 9: no device takes it
        if (fault == "checksum")
            bytes[bytes.size() - 1] = char(bytes.at(bytes.size() - 1) ^ 1);
        QVERIFY(before.isEmpty() ? RemoveUpdateFailInfo() : WriteUpdateFailInfo(*ParseUpdateFailInfo(before)));
        if (during.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(fault == "checksum" ? "upgrade not started: no image"
                                                                                       : "did not start the upgrade"));
        std::atomic<int> ends{0};
        const bool started = StartFirmwareUpgrade(FirmwareImageFromBytes(bytes, dir.path()).image,
                                                  *ParseUpdateFailInfo(device),
                                                  [&](const UpgradeEvent& e, const FirmwareImageHandle&) {
                                                      ends += e.kind == UpgradeEvent::Finished;
                                                  });
        QCOMPARE(started, !during.isEmpty());
        QCOMPARE(recordText(), during);
        QTRY_COMPARE_WITH_TIMEOUT(ends.load(), started ? 1 : 0, 20000);
        QTEST(recordText(), "after");
    }

    void events_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("success");
        QTest::newRow("progress") << QByteArray("\x07\x01\x28", 3) << int(UpgradeEvent::Progress) << 40 << false;
        QTest::newRow("success") << QByteArray("\x07\x02\x01", 3) << int(UpgradeEvent::Finished) << 0 << true;
        QTest::newRow("failure") << QByteArray("\x07\x02\x00", 3) << int(UpgradeEvent::Finished) << 0 << false;
        QTest::newRow("another code") << QByteArray("\x06\x01\x28", 3) << int(UpgradeEvent::Ignored) << 0 << false;
        QTest::newRow("another kind") << QByteArray("\x07\x03\x01", 3) << int(UpgradeEvent::Ignored) << 0 << false;
    }
    void events()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(int, percent);
        QFETCH(bool, success);
        const UpgradeEvent e = DecodeUpgradeEvent(reinterpret_cast<const unsigned char*>(bytes.constData()));
        QCOMPARE(int(e.kind), kind);
        QCOMPARE(e.percent, percent);
        QCOMPARE(e.success, success);
        QCOMPARE(int(DecodeUpgradeEvent(nullptr).kind), int(UpgradeEvent::Ignored));
    }

    void progress_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("stages");
        QTest::addColumn<int>("shown");
        QTest::newRow("one stage") << 40 << 0 << 1 << 40;
        QTest::newRow("receiver of two") << 40 << 0 << 2 << 20;
        QTest::newRow("mouse of two") << 40 << 1 << 2 << 70;
        QTest::newRow("mouse done") << 100 << 1 << 2 << 100;
        QTest::newRow("above 100") << 250 << 0 << 1 << 100;
    }
    void progress()
    {
        QFETCH(int, percent);
        QFETCH(int, stage);
        QFETCH(int, stages);
        QFETCH(int, shown);
        QCOMPARE(UpgradeProgressValue(percent, stage, stages), shown);
    }

    void failRecord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("four fields") << "211,4,5,12" << true;
        QTest::newRow("three fields") << "210,4,5" << false;
        QTest::newRow("five fields") << "211,4,5,12,1" << false;
        QTest::newRow("a name") << "mouse" << false;
        QTest::newRow("not a number") << "211,x,5,12" << false;
        QTest::newRow("negative") << "211,-4,5,12" << false;
        QTest::newRow("empty") << "" << false;
    }
    void failRecord()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<UpdateFailRecord> parsed = ParseUpdateFailInfo(text);
        QCOMPARE(parsed.has_value(), valid);
        // Stored as it came: only a valid record is read back.
        QVERIFY(RegistryStore(ProgramRegistryKey()).setValue(QStringLiteral("UpdateFailInfo"), text));
        QCOMPARE(ReadUpdateFailInfo().has_value(), valid);
        if (valid) {
            QCOMPARE(UpdateFailInfoText(*parsed), text);
            QVERIFY(RemoveUpdateFailInfo());
            QVERIFY(WriteUpdateFailInfo(*parsed));
            QCOMPARE(RegistryStore(ProgramRegistryKey()).value(QStringLiteral("UpdateFailInfo")).toString(), text);
        }
        QVERIFY(RemoveUpdateFailInfo());
        QVERIFY(!ReadUpdateFailInfo());
        QVERIFY(RemoveUpdateFailInfo());  // nothing left is no error
    }

    void mouseVersion()
    {
        QVERIFY(WriteMouseVersion(QStringLiteral("24"), QStringLiteral("1"), QStringLiteral("v1.6")));
        QCOMPARE(RegistryStore(ProgramRegistryKey()).value(QStringLiteral("MouseVer241")).toString(),
                 QStringLiteral("v1.6"));
    }

    void updateLogEntry_data()
    {
        // Entries of the rows: a named first line and seven empty ones (10 bytes).
        auto entry = [](const QByteArray& first) { return first + '\n' + QByteArray(7, '\n'); };
        using L = QStringList;
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("first entry") << QByteArray() << L{"a1", "b"} << 1000 << QByteArray("a1\nb\n\n\n\n\n\n\n");
        QTest::newRow("appended") << entry("a1") << L{"a2"} << 1000 << entry("a1") + entry("a2");
        QTest::newRow("at the bound") << entry("a1") + entry("a2") << L{"a3"} << 30
                                      << entry("a1") + entry("a2") + entry("a3");
        QTest::newRow("past the bound: the oldest go")
            << entry("a1") + entry("a2") + entry("a3") << L{"a4"} << 29 << entry("a3") + entry("a4");
        QTest::newRow("the new entry stays") << entry(QByteArray(20, 'o')) << L{"a1"} << 24 << entry("a1");
        QTest::newRow("lines before the oldest whole entry are older still")
            << "x\ny\n" + entry("a1") << L{"a2"} << 1000 << "x\ny\n" + entry("a1") + entry("a2");
        QTest::newRow("... and go first") << "xx\nyy\n" + entry("a1") << L{"a2"} << 25 << entry("a1") + entry("a2");
        QTest::newRow("a last line without its end") << QByteArray("x") << L{"a1"} << 1000 << "x\n" + entry("a1");
        QTest::newRow("line ends inside a line") << QByteArray() << L{"one\ntwo\rthree"} << 1000
                                                 << entry("one two three");
        QTest::newRow("eight lines at most") << QByteArray() << L{"1", "2", "3", "4", "5", "6", "7", "8", "9"} << 1000
                                             << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n");
        QTest::newRow("a long line is cut to an eighth") << QByteArray() << L{"abcdefghijkl"} << 80
                                                         << entry("abcdefghi");
    }

    void updateLogEntry()
    {
        QFETCH(QByteArray, log);
        QFETCH(QStringList, lines);
        QFETCH(int, maxBytes);
        QTEST(AppendUpdateLogEntry(log, lines, maxBytes), "result");
    }

    void updateLogKeepsEveryFailureWithinItsBound()
    {
        QFile::remove(UpdateLogPath());
        auto logText = [] {
            QFile file(UpdateLogPath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        // Failures past the bound: each appended, the file within the bound,
        // whole entries, the newest last.
        const QString filler(1000, 'x');  // an entry of about 2 KB
        for (int i = 0; i < 50; ++i)
            QVERIFY(WriteUpdateLog({QStringLiteral("failure %1").arg(i), filler, filler}));
        QByteArray text = logText();
        QVERIFY(text.size() <= UpdateLogMaxBytes);
        QVERIFY(text.size() > UpdateLogMaxBytes - 2020);  // no more went than had to
        QVERIFY(text.startsWith("failure "));
        QCOMPARE(text.count('\n') % 8, 0);
        QVERIFY(text.endsWith("failure 49\n" + filler.toLatin1() + '\n' + filler.toLatin1() + QByteArray(6, '\n')));

        // A log grown past the bound by another hand: only its end is read.
        writeFile(UpdateLogPath(), QByteArray(3 * UpdateLogMaxBytes, 'o').replace(QByteArray(100, 'o'), QByteArray(99, 'o') + '\n'));
        QVERIFY(WriteUpdateLog({"last"}));
        text = logText();
        QVERIFY(text.size() <= UpdateLogMaxBytes && text.endsWith("last\n" + QByteArray(7, '\n')));
    }
};

QTEST_MAIN(FirmwareTest)
#include "tst_firmware.moc"
