// Macro rows: the record codec, the per-macro file text, the files of the
// macro folder, and the fullest macro through the device library.
#include "../core/LinkTestSupport.h"

#include "DeviceWriters.h"
#include "HIDUsb.h"
#include "KeyNames.h"
#include "MacroName.h"
#include "MacroRows.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cstring>

using namespace keys;

namespace keys {
// Failure messages name the rows.
char* toString(const MacroRows& rows)
{
    QStringList out;
    for (const MacroRow& row : rows)
        out << (row.IsDelay() ? row.text : QStringLiteral("%1:%2%3'%4'").arg(row.kind).arg(row.code, 0, 16).arg(row.down ? '+' : '-').arg(row.text));
    return QTest::toString(out.join(QLatin1Char(' ')));
}
}  // namespace keys

namespace {

// Rows from a short text: "A+" press, "A-" release, "2:04+" a key row of
// kind 2 and code 0x04, a number a delay row.
MacroRows rows(const QString& spec)
{
    MacroRows out;
    const QStringList tokens = spec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& token : tokens) {
        const QChar last = token.back();
        if (last != QLatin1Char('+') && last != QLatin1Char('-')) {
            out.append(MacroRow::Delay(token.toUInt()));
            continue;
        }
        const QString key = token.chopped(1);
        const bool down = last == QLatin1Char('+');
        const int colon = key.indexOf(QLatin1Char(':'));
        if (colon > 0 && key.size() > 2)
            out.append(MacroRow::Key(key.left(colon).toInt(), key.mid(colon + 1).toInt(nullptr, 16), down));
        else
            out.append(MacroRow::Named(key, down));
    }
    return out;
}

// n presses and releases of letters, each followed by `delay`.
MacroRows eventRows(int n, quint32 delay)
{
    MacroRows out;
    for (int i = 0; i < n; ++i) {
        out.append(MacroRow::Key(KindKeyboard, 0x04 + i % 26, i % 2 == 0));
        out.append(MacroRow::Delay(delay));
    }
    return out;
}

// The events of a record as "kind:code state delay" words.
QString events(const MacroRecord& record)
{
    QStringList out;
    for (int i = 0; i < record.eventCount; ++i) {
        const KeyEvent& e = record.events[i];
        out << QStringLiteral("%1:%2%3%4").arg(e.kind).arg(e.code, 2, 16, QLatin1Char('0')).arg(e.state ? '-' : '+').arg(e.delay);
    }
    return out.join(QLatin1Char(' '));
}

QByteArray bytesOf(const MacroRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

MacroRecord recordOf(const QByteArray& name, int count, quint32 lastDelay)
{
    MacroRecord record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(record.name, name.constData(), size_t(qMin(name.size(), MacroNameBytes)));
    record.nameLength = uint8_t(qMin(name.size(), MacroNameBytes));
    record.eventCount = uint8_t(count);
    for (int i = 0; i < qMin(count, MacroRecordEvents); ++i)
        record.events[i] = KeyEvent{uint8_t(i % 2), uint8_t(i % 3 == 2 ? 4 : i % 2), uint16_t(i % 3 == 2 ? 2 : 4 + i),
                                    i + 1 == count ? lastDelay : quint32(i * 7)};
    return record;
}

QString folderFiles()
{
    return QDir(MacroFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(QLatin1Char(','));
}

}  // namespace

class MacroRowsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(MacroFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(MacroFolder()));
    }

    // Rows -> record by row kind; the well-formed examples give the pairing
    // "key row i and the delay row after it make event i".
    void recordFromRows_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("one key") << "A+" << "1:04+0";
        QTest::newRow("key delay key") << "A+ 10 A-" << "1:04+10 1:04-0";
        QTest::newRow("key delay key delay") << "A+ 10 A- 20" << "1:04+10 1:04-20";
        QTest::newRow("kinds") << "LShift+ 5 4:02-" << "0:02+5 4:02-0";
        QTest::newRow("leading delay dropped") << "7 A+ 10 A-" << "1:04+10 1:04-0";
        QTest::newRow("two delays add") << "A+ 10 20 A-" << "1:04+30 1:04-0";
        QTest::newRow("two keys") << "A+ B+ 10 A-" << "1:04+0 1:05+10 1:04-0";
        QTest::newRow("delays saturate") << "A+ 4294967295 1" << "1:04+4294967295";
        QTest::newRow("unnamed kind kept") << "2:04+ 3 1:64-" << "2:04+3 1:64-0";
        QTest::newRow("unknown name") << "NoSuchKey+" << "1:00+0";
    }
    void recordFromRows()
    {
        QFETCH(QString, spec);
        QFETCH(QString, expected);
        bool cut = true;
        const MacroRecord record = RecordFromRows(QStringLiteral("m"), rows(spec), &cut);
        QVERIFY(!cut);
        QCOMPARE(events(record), expected);
        // Nothing beyond the count.
        const QByteArray all = bytesOf(record);
        QCOMPARE(all.mid(32 + 8 * record.eventCount), QByteArray(592 - 32 - 8 * record.eventCount, '\0'));
    }

    void recordLimit_data()
    {
        QTest::addColumn<int>("events");
        QTest::addColumn<bool>("cut");
        QTest::newRow("70") << 70 << false;
        QTest::newRow("71") << 71 << true;
    }
    void recordLimit()
    {
        QFETCH(int, events);
        QFETCH(bool, cut);
        bool wasCut = !cut;
        const MacroRecord record = RecordFromRows(QStringLiteral("m"), eventRows(events, 65535), &wasCut);
        QCOMPARE(wasCut, cut);
        QCOMPARE(int(record.eventCount), 70);
        QCOMPARE(record.events[69].delay, 65535u);  // its delay rows stay with the 70th event
        QCOMPARE(KeyRowCount(FitMacro(eventRows(events, 1))), 70);
    }

    // Record -> rows -> record keeps every byte for 0, 1 and 70 events; a
    // count of 71 is read as 70; names are UTF-8 up to the first zero byte.
    void recordRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<quint32>("lastDelay");
        QTest::addColumn<int>("rowCount");
        QTest::newRow("no event") << QByteArray("empty") << 0 << 0u << 0;
        QTest::newRow("one event") << QByteArray("one") << 1 << 0u << 1;
        QTest::newRow("one event, pause before repeat") << QByteArray("one") << 1 << 500u << 2;
        QTest::newRow("70 events, 30-byte name") << QByteArray(30, 'x') << 70 << 65535u << 140;
        QTest::newRow("multi-byte name") << QString(10, QChar(0x5B8F)).toUtf8() << 3 << 0u << 5;
    }
    void recordRoundTrip()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, count);
        QFETCH(quint32, lastDelay);
        QFETCH(int, rowCount);
        const MacroRecord record = recordOf(name, count, lastDelay);
        const NamedMacro macro = RowsFromRecord(record);
        QCOMPARE(macro.name, QString::fromUtf8(name));
        QCOMPARE(macro.rows.size(), rowCount);
        QCOMPARE(bytesOf(RecordFromRows(macro.name, macro.rows)), bytesOf(record));
    }

    void recordEdges()
    {
        // A count over 70 is read as 70.
        const NamedMacro big = RowsFromRecord(recordOf("big", 71, 9));
        QCOMPARE(KeyRowCount(big.rows), 70);
        // Three letters and zeros show three letters, whatever the length byte.
        MacroRecord record = recordOf("abc", 0, 0);
        record.nameLength = 30;
        QCOMPARE(RowsFromRecord(record).name, QStringLiteral("abc"));
        // A name over 30 bytes is cut at a character boundary.
        const MacroRecord cut = RecordFromRows(QString(11, QChar(0x5B8F)), {});
        QCOMPARE(int(cut.nameLength), 30);
        QCOMPARE(RowsFromRecord(cut).name, QString(10, QChar(0x5B8F)));
        const MacroRecord mixed = RecordFromRows(QStringLiteral("a") + QString(10, QChar(0x5B8F)), {});
        QCOMPARE(int(mixed.nameLength), 28);
        // Keys of the image: 0..15 only.
        FlashDataMap image{};
        image.macros[15] = recordOf("last", 2, 0);
        QCOMPARE(MacroOfKey(image, 15)->name, QStringLiteral("last"));
        QVERIFY(!MacroOfKey(image, 16));
        QVERIFY(!MacroOfKey(image, -1));
    }

    // Names of events by their own kind only.
    void eventNames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("modifier 0x04") << 0 << 0x04 << "LAlt";
        QTest::newRow("key 0x04") << 1 << 0x04 << "A";
        QTest::newRow("type 2 0x04") << 2 << 0x04 << "";
        QTest::newRow("key 0x40") << 1 << 0x40 << "F7";
        QTest::newRow("modifier 0x40") << 0 << 0x40 << "RAlt";
        QTest::newRow("key 0x01") << 1 << 0x01 << "";
        QTest::newRow("modifier 0x05") << 0 << 0x05 << "";
        QTest::newRow("mouse 16") << 4 << 16 << "Mouse Forward";
        QTest::newRow("mouse 3") << 4 << 3 << "";
    }
    void eventNames()
    {
        QFETCH(int, kind);
        QFETCH(int, code);
        QFETCH(QString, name);
        const QString saved = MouseForwardText;
        MouseForwardText.clear();  // the English default
        const MacroRow row = MacroRow::Key(kind, code, true);
        MouseForwardText = saved;
        QCOMPARE(row.text, name);
        // The row keeps its event whether or not it has a name.
        const MacroRecord record = RecordFromRows(QStringLiteral("n"), {row});
        QCOMPARE(int(record.events[0].kind), kind);
        QCOMPARE(int(record.events[0].code), code);
    }

    void parseFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("hasRepeat");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty file") << QByteArray() << false << 1 << "";
        QTest::newRow("only repeat") << QByteArray("3\n") << true << 3 << "";
        QTest::newRow("examples") << QByteArray("254\n0x2B 1 0\n10ms\n0x02 0 1\n20ms\n0x01 4 0\n") << true << 254
                                  << "Tab+ 10 LShift- 20 4:01+";
        QTest::newRow("CRLF") << QByteArray("255\r\n0x04 1 0\r\n10ms\r\n0x04 1 1\r\n") << true << 255 << "A+ 10 A-";
        QTest::newRow("no final line feed") << QByteArray("253\n0x04 1 0\n10ms\n0x04 1 1") << true << 253
                                            << "A+ 10 A-";
        QTest::newRow("stray CR and blanks") << QByteArray("7\n 0x04\r1  0 \n\r\n  10ms\r\n") << true << 7 << "A+ 10";
        QTest::newRow("junk lines") << QByteArray("1\n\nhello\n0x04 1\n10 ms\nabcms\n-5ms\n0x04 1 2\n0xZZ 1 0\n"
                                                  "0x04 256 0\n0x04 1 0 9\n12ms\n")
                                    << true << 1 << "12";
        QTest::newRow("codes kept") << QByteArray("1\n0x2b 1 0\n0x64 1 1\n0x1234 2 0\n") << true << 1
                                    << "Tab+ 1:64- 2:1234+";
        QTest::newRow("repeat 0") << QByteArray("0\n") << true << 1 << "";
        QTest::newRow("repeat 251") << QByteArray("251\n") << true << 1 << "";
        QTest::newRow("repeat letters") << QByteArray("abc\n") << true << 1 << "";
        QTest::newRow("repeat 250") << QByteArray("250 x\n") << true << 250 << "";
        QTest::newRow("blank first line") << QByteArray("\n0x04 1 0\n") << true << 1 << "A+";
        QTest::newRow("huge delay") << QByteArray("1\n4294967296ms\n4294967295ms\n") << true << 1 << "4294967295";
    }
    void parseFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, hasRepeat);
        QFETCH(int, repeat);
        QFETCH(QString, expected);
        const MacroFileContent file = ParseMacroFile(content);
        QCOMPARE(file.hasRepeatLine, hasRepeat);
        QCOMPARE(file.repeatCode, repeat);
        QCOMPARE(file.rows, rows(expected));
        QVERIFY(!file.cut);
        // What is written reads back the same.
        const MacroFileContent again = ParseMacroFile(MacroFileText(file.repeatCode, file.rows));
        QCOMPARE(again.rows, file.rows);
        QCOMPARE(again.repeatCode, file.repeatCode);
    }

    void fileText()
    {
        QCOMPARE(MacroFileText(254, rows("Tab+ 10 LShift- 0 4:01+ 2:1234-")),
                 QByteArray("254\n0x2B 1 0\n10ms\n0x02 0 1\n0ms\n0x01 4 0\n0x1234 2 1\n"));
        QCOMPARE(MacroFileText(0, {}), QByteArray("1\n"));
        bool cut = false;
        const QByteArray text = MacroFileText(1, eventRows(71, 5), &cut);
        QVERIFY(cut);
        const MacroFileContent file = ParseMacroFile(text + "0x04 1 0\n");
        QVERIFY(file.cut);
        QCOMPARE(file.rows, eventRows(70, 5));
    }

    void listing()
    {
        const QString folder = MacroFolder();
        for (const char* name : {"beta.ini", "Alpha.ini", "a.ini.ini", "b.txt", "UPPER.INI", "notes.xml", ".hidden.ini"}) {
            QFile file(folder + QLatin1Char('/') + QString::fromLatin1(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(folder).mkdir(QStringLiteral("folder.ini")));
        QVERIFY(QFile::link(folder + QStringLiteral("/beta.ini"), folder + QStringLiteral("/link.ini")));
        QCOMPARE(ListMacros(), (QStringList{"a.ini", "Alpha", "beta"}));
        QDir(folder).removeRecursively();
        QCOMPARE(ListMacros(), QStringList());
    }

    void files()
    {
        QVERIFY(!AppendMacroFile(QStringLiteral("m"), rows("A+")));  // no file: nothing
        QCOMPARE(folderFiles(), QString());
        QVERIFY(CreateMacroFile(QStringLiteral("m")));
        QCOMPARE(QFile(MacroFolder() + QStringLiteral("/m.ini")).size(), 0);
        QVERIFY(!ReadMacroFile(QStringLiteral("m"))->hasRepeatLine);

        // An empty file gets the repeat line before the appended rows.
        QVERIFY(AppendMacroFile(QStringLiteral("m"), rows("A+ 10")));
        QVERIFY(AppendMacroFile(QStringLiteral("m"), rows("A-")));
        QFile file(MacroFolder() + QStringLiteral("/m.ini"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("1\n0x04 1 0\n10ms\n0x04 1 1\n"));
        file.close();

        QVERIFY(SaveMacroFile(QStringLiteral("m"), 255, rows("B+")));
        QCOMPARE(ReadMacroFile(QStringLiteral("m"))->repeatCode, 255);
        QCOMPARE(ReadMacroFile(QStringLiteral("m"))->rows, rows("B+"));
        bool cut = false;
        QVERIFY(AppendMacroFile(QStringLiteral("m"), eventRows(70, 1), &cut));
        QVERIFY(cut);
        QCOMPARE(KeyRowCount(ReadMacroFile(QStringLiteral("m"))->rows), 70);

        QCOMPARE(RenameMacroFile(QStringLiteral("m"), QStringLiteral("m")), RenameResult::Refused);
        QCOMPARE(RenameMacroFile(QStringLiteral("m"), QStringLiteral("../m")), RenameResult::Refused);
        QCOMPARE(RenameMacroFile(QStringLiteral("x"), QStringLiteral("y")), RenameResult::Missing);
        QVERIFY(CreateMacroFile(QStringLiteral("other")));
        QCOMPARE(RenameMacroFile(QStringLiteral("m"), QStringLiteral("other")), RenameResult::Exists);
        QCOMPARE(QFile(MacroFolder() + QStringLiteral("/other.ini")).size(), 0);  // not overwritten
        QCOMPARE(RenameMacroFile(QStringLiteral("m"), QStringLiteral("宏")), RenameResult::Renamed);
        QCOMPARE(ReadMacroFile(QStringLiteral("宏"))->repeatCode, 255);
        QCOMPARE(ListMacros(), (QStringList{"other", "宏"}));

        QVERIFY(DeleteMacroFile(QStringLiteral("other")));
        QVERIFY(!DeleteMacroFile(QStringLiteral("other")));
        // Names that may not be file names reach nothing.
        for (const QString& bad : {QStringLiteral("../up"), QStringLiteral(".."), QString(), QStringLiteral("a/b")}) {
            QVERIFY(!SaveMacroFile(bad, 1, rows("A+")));
            QVERIFY(!CreateMacroFile(bad));
            QVERIFY(!ReadMacroFile(bad));
            QVERIFY(!DeleteMacroFile(bad));
        }
        QCOMPARE(folderFiles(), QStringLiteral("宏.ini"));
        QVERIFY(!QFileInfo::exists(UserDir() + QStringLiteral("/usersetting/up.ini")));
    }

    // The fullest macro, 70 events with 65535 ms each, sent to the simulated
    // mouse, stored in its memory and read back as the same rows.
    void fullestMacroThroughTheDevice()
    {
        using namespace linktest;
        FlashDataMap factory;
        QVERIFY(openReceiverLink(&factory));
        QVERIFY(startFromDeviceImage(QStringLiteral("mouse1"), factory));
        const QString name = QString(10, QChar(0x5B8F));
        const MacroRows sent = eventRows(70, 65535);
        const MacroRecord record = RecordFromRows(name, sent);
        QVERIFY(SetButtonMacro(3, KeyFunction{6, 3, RepeatCode::ReUntilClick}, record));
        UsbServer_Exit();
        const FlashDataMap stored = deviceImage(QStringLiteral("mouse1"));
        QCOMPARE(bytesOf(stored.macros[3]), bytesOf(record));
        QCOMPARE(int(stored.keys[3].value2), RepeatCode::ReUntilClick);
        const std::optional<NamedMacro> back = MacroOfKey(stored, 3);
        QCOMPARE(back->name, name);
        QCOMPARE(back->rows, sent);
    }
};

QTEST_MAIN(MacroRowsTest)
#include "tst_macrorows.moc"
