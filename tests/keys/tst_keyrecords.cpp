// Key event records: combinations and consumer keys, byte for byte, and the
// model defaults of the shipped Config.ini.
#include "ConfigSettings.h"
#include "Globals.h"
#include "KeyFunctions.h"
#include "KeyNames.h"
#include "KeyRecords.h"

#include <QtTest>

#include <cstring>

using namespace keys;

namespace {

QByteArray bytesOf(const KeyEventRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

// One event as the record stores it: state, kind, code LE, delay LE.
QByteArray ev(int state, int kind, int code)
{
    QByteArray b;
    b.append(char(state)).append(char(kind)).append(char(code & 0xFF)).append(char(code >> 8));
    b.append(char(10)).append(3, '\0');
    return b;
}

QByteArray record(int count, const QList<QByteArray>& events)
{
    QByteArray b;
    b.append(char(count)).append(3, '\0');
    for (const QByteArray& e : events)
        b.append(e);
    b.append(52 - b.size(), '\0');
    return b;
}

// Entry texts as a page would show them: the object name in brackets.
class NameView : public ButtonPageView
{
public:
    QString EntryText(const QString& objectName) const override { return "<" + objectName + ">"; }
    void SetKeyCaption(int, const QString&) override {}
    void ShowNoSubMenu() override {}
    void ClearOptionChecks() override {}
    void ShowFunctionList() override {}
};

}  // namespace

class KeyRecordsTest : public QObject
{
    Q_OBJECT

private slots:
    void combinationBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("A") << "A" << record(2, {ev(0, 1, 4), ev(1, 1, 4)});
        QTest::newRow("empty") << "" << record(2, {ev(0, 1, 0), ev(1, 1, 0)});
        QTest::newRow("Ctrl+Alt") << "Ctrl+Alt" << record(4, {ev(0, 0, 1), ev(0, 0, 4), ev(1, 0, 4), ev(1, 0, 1)});
        QTest::newRow("Ctrl+Shift+A")
            << "Ctrl+Shift+A"
            << record(6, {ev(0, 0, 1), ev(0, 0, 2), ev(0, 1, 4), ev(1, 1, 4), ev(1, 0, 2), ev(1, 0, 1)});
        QTest::newRow("A++B") << "A++B"
                              << record(6, {ev(0, 1, 4), ev(0, 1, 0), ev(0, 1, 5), ev(1, 1, 5), ev(1, 1, 0),
                                            ev(1, 1, 4)});
        QTest::newRow("unknown name") << "Ctrl+Foo"
                                      << record(4, {ev(0, 0, 1), ev(0, 1, 0), ev(1, 1, 0), ev(1, 0, 1)});
        QTest::newRow("keypad plus") << "Win+Num+" << record(4, {ev(0, 0, 8), ev(0, 1, 0x57), ev(1, 1, 0x57),
                                                                  ev(1, 0, 8)});
        QTest::newRow("side name unknown") << "LCtrl" << record(2, {ev(0, 1, 0), ev(1, 1, 0)});
    }
    void combinationBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const std::optional<KeyEventRecord> result = GroupKeyToRecord(text);
        QVERIFY(result.has_value());
        QCOMPARE(bytesOf(*result).toHex(' '), bytes.toHex(' '));
    }

    // More than three names do not fit: nothing is built, so nothing around
    // the key's record in an image changes; three names change the record
    // and nothing else.
    void combinationStaysInsideItsRecord()
    {
        QVERIFY(!GroupKeyToRecord("A+B+C+D").has_value());
        QVERIFY(!GroupKeyToRecord("Ctrl+Shift+Alt+Win").has_value());
        QVERIFY(!GroupKeyToRecord("+++").has_value());

        for (int key : {0, 5, 15}) {
            FlashDataMap image;
            std::memset(&image, 0xAA, sizeof image);
            const QByteArray before(reinterpret_cast<const char*>(&image), sizeof image);
            if (const auto refused = GroupKeyToRecord("A+B+C+D"))
                image.keyEvents[key] = *refused;
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(&image), sizeof image), before);

            const auto three = GroupKeyToRecord("Ctrl+Shift+Num+");
            QVERIFY(three.has_value());
            image.keyEvents[key] = *three;
            const QByteArray after(reinterpret_cast<const char*>(&image), sizeof image);
            const int at = int(KeyEventRecordOffset(key));
            QCOMPARE(after.left(at), before.left(at));
            QCOMPARE(after.mid(at + 52), before.mid(at + 52));
            QCOMPARE(int(uint8_t(after.at(at))), 6);
            QCOMPARE(after.mid(at + 1, 3), QByteArray(3, '\0'));
        }
    }

    void consumerRecords()
    {
        const QByteArray playPause = QByteArray::fromHex("02000000" "0002CD000A000000" "0102CD000A000000")
                                     + QByteArray(32, '\0');
        QCOMPARE(bytesOf(ConsumerRecord(0xCD)).toHex(' '), playPause.toHex(' '));
        const KeyEventRecord player = ConsumerRecord(0x0183);
        QCOMPARE(bytesOf(player).mid(6, 2), QByteArray::fromHex("8301"));
        QCOMPARE(bytesOf(player).mid(14, 2), QByteArray::fromHex("8301"));

        QCOMPARE(ConsumerEntries().size(), 18);
        QSet<int> selectors;
        for (const ConsumerEntry& entry : ConsumerEntries()) {
            QCOMPARE(entry.selector, entry.usage & 0xFF);
            selectors.insert(entry.selector);
            QCOMPARE(FindConsumerEntry(entry.selector), &entry);
        }
        QCOMPARE(selectors.size(), 18);
        // The selector is compared whole: the usage itself selects nothing.
        QVERIFY(FindConsumerEntry(0x183) == nullptr);
        QVERIFY(FindConsumerEntry(0) == nullptr);
        QCOMPARE(QString(FindConsumerEntry(0x83)->objectName), QString("Player"));
        QCOMPARE(QString(FindConsumerEntry(0xE2)->objectName), QString("VolumeUp"));
        QCOMPARE(FindConsumerEntry(0x2A)->usage, 0x022A);
    }

    void keyParamDefaults_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("selector");
        QTest::addColumn<QString>("combination");
        QTest::newRow("consumer") << QStringList{"0x05", "0x00", "CD"} << int(KeyParamDefault::Consumer) << 0xCD << "";
        QTest::newRow("consumer 0x") << QStringList{"0x05", "0", "0xE9"} << int(KeyParamDefault::Consumer) << 0xE9
                                     << "";
        QTest::newRow("combination") << QStringList{"0x05", "0", "0", "Ctrl+C"} << int(KeyParamDefault::Combination)
                                     << 0 << "Ctrl+C";
        QTest::newRow("mouse button") << QStringList{"0x01", "0x01", "0x00"} << int(KeyParamDefault::None) << 0 << "";
        QTest::newRow("two items") << QStringList{"0x05", "0"} << int(KeyParamDefault::None) << 0 << "";
        QTest::newRow("five items") << QStringList{"0x05", "0", "0", "A", "B"} << int(KeyParamDefault::None) << 0
                                    << "";
        QTest::newRow("no number") << QStringList{"0x05", "0", "zz"} << int(KeyParamDefault::None) << 0 << "";
        QTest::newRow("empty") << QStringList{} << int(KeyParamDefault::None) << 0 << "";
        QTest::newRow("0x5 is not 0x05") << QStringList{"0x5", "0", "CD"} << int(KeyParamDefault::None) << 0 << "";
    }
    void keyParamDefaults()
    {
        QFETCH(QStringList, items);
        QFETCH(int, kind);
        QFETCH(int, selector);
        QFETCH(QString, combination);
        const KeyParamDefault parsed = ParseKeyParamDefault(items);
        QCOMPARE(int(parsed.kind), kind);
        QCOMPARE(parsed.selector, selector);
        QCOMPARE(parsed.combination, combination);
    }

    // Every KeyParam of the shipped model table is a function the program can
    // write and show: an event-record default names a known consumer key or
    // a combination of at most three known names; any other default is a
    // function type with a caption.
    void shippedKeyDefaultsAreValid()
    {
        ConfigSettings* config = ConfigSettings::GetInstance();
        config->Reload();
        const int models = config->GetInt("Option", "DeviceTotal");
        QVERIFY(models >= 1);
        NameView view;
        const FlashDataMap image{};
        int eventDefaults = 0;
        for (int n = 1; n <= models; ++n) {
            const QString group = QStringLiteral("Drive%1").arg(n);
            for (int k = 1; k <= 6; ++k) {
                const QStringList items = config->GetValueList(group, QStringLiteral("KeyParam%1").arg(k));
                const QString where = group + "/KeyParam" + QString::number(k) + " = " + items.join(',');
                QVERIFY2(items.size() >= 3, qPrintable(where));
                if (items.at(0) == "0x05") {
                    ++eventDefaults;
                    const KeyParamDefault parsed = ParseKeyParamDefault(items);
                    QVERIFY2(parsed.kind != KeyParamDefault::None, qPrintable(where));
                    if (parsed.kind == KeyParamDefault::Consumer) {
                        QVERIFY2(FindConsumerEntry(parsed.selector), qPrintable(where));
                        continue;
                    }
                    QVERIFY2(GroupKeyToRecord(parsed.combination).has_value(), qPrintable(where));
                    for (const QString& name : SplitKeyCombination(parsed.combination)) {
                        const KeyEventRecord r = KeyNameToRecord(name, 0, 1, KeyEventRecord{});
                        QVERIFY2(!name.isEmpty() && r.events[0].code != 0, qPrintable(where + ": " + name));
                    }
                    continue;
                }
                QCOMPARE(items.size(), 3);
                bool ok[3] = {};
                const int values[3] = {items[0].toInt(&ok[0], 16), items[1].toInt(&ok[1], 16),
                                       items[2].toInt(&ok[2], 16)};
                QVERIFY2(ok[0] && ok[1] && ok[2], qPrintable(where));
                // Types 5 and 6 need records; the others need a caption.
                QVERIFY2(values[0] != FunctionEventRecord && values[0] != FunctionMacro, qPrintable(where));
                QVERIFY2(ButtonFunctionCaption(view, k - 1, values[0], values[1], values[2], image, "", "",
                                               SensorDefines())
                             .has_value(),
                         qPrintable(where));
            }
        }
        QVERIFY(eventDefaults >= 1);
    }
};

QTEST_GUILESS_MAIN(KeyRecordsTest)
#include "tst_keyrecords.moc"
