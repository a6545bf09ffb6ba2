// The key vocabulary: names, codes, kinds and the five conversions, the
// caption names and the one tokenizer of combination texts.
#include "Globals.h"
#include "KeyNames.h"

#include <QSet>
#include <QtTest>

#include <cstring>

using namespace keys;

namespace {

struct MouseTexts {
    QString left, right, middle, back, forward;
};

MouseTexts saveMouseTexts()
{
    return {MouseLeftText, MouseRightText, MouseMiddleText, MouseBackText, MouseForwardText};
}

void setMouseTexts(const MouseTexts& t)
{
    MouseLeftText = t.left;
    MouseRightText = t.right;
    MouseMiddleText = t.middle;
    MouseBackText = t.back;
    MouseForwardText = t.forward;
}

QByteArray bytesOf(const KeyEventRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

QByteArray bytesOf(const MacroRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), sizeof record);
}

}  // namespace

class KeyNamesTest : public QObject
{
    Q_OBJECT

    MouseTexts m_saved;

private slots:
    void init() { m_saved = saveMouseTexts(); }
    void cleanup() { setMouseTexts(m_saved); }

    void tablesHoldEveryNameOnce()
    {
        QCOMPARE(KeyboardNames().size(), 96);
        QSet<QString> names;
        QSet<int> codes;
        for (const KeyNameEntry& entry : KeyboardNames()) {
            QCOMPARE(entry.kind, int(KindKeyboard));
            names.insert(entry.name);
            codes.insert(entry.code);
        }
        QCOMPARE(names.size(), 96);
        QCOMPARE(codes.size(), 96);
        // Usages with no keyboard name.
        for (int code : {0x32, 0x58, 0x64, 0x66, 0xE0})
            QVERIFY2(!codes.contains(code), qPrintable(QString::number(code, 16)));

        setMouseTexts({"Left", "Right", "Middle", "Back", "Forward"});
        const QVector<KeyNameEntry> vocabulary = MacroVocabulary();
        QCOMPARE(vocabulary.size(), 109);
        QSet<QString> all;
        for (const KeyNameEntry& entry : vocabulary)
            all.insert(entry.name);
        QCOMPARE(all.size(), 109);
        // Arrow names are the single arrow characters.
        QCOMPARE(KeyNameToHidCodes(QString(QChar(0x2190))), QStringList({"0x50", "1"}));
        QCOMPARE(KeyNameToHidCodes(QString(QChar(0x2192))), QStringList({"0x4F", "1"}));
        QCOMPARE(KeyNameToHidCodes(QString(QChar(0x2191))), QStringList({"0x52", "1"}));
        QCOMPARE(KeyNameToHidCodes(QString(QChar(0x2193))), QStringList({"0x51", "1"}));
    }

    void nameToCodes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("Tab") << "Tab" << QStringList{"0x2B", "1"};
        QTest::newRow("RAlt") << "RAlt" << QStringList{"0x40", "0"};
        QTest::newRow("RWin") << "RWin" << QStringList{"0x80", "0"};
        QTest::newRow("LCtrl") << "LCtrl" << QStringList{"0x01", "0"};
        QTest::newRow("empty") << "" << QStringList{"0x00", "1"};
        QTest::newRow("A") << "A" << QStringList{"0x04", "1"};
        QTest::newRow("Z") << "Z" << QStringList{"0x1D", "1"};
        QTest::newRow("1") << "1" << QStringList{"0x1E", "1"};
        QTest::newRow("0") << "0" << QStringList{"0x27", "1"};
        QTest::newRow("F12") << "F12" << QStringList{"0x45", "1"};
        QTest::newRow("Num0") << "Num0" << QStringList{"0x62", "1"};
        QTest::newRow("Num+") << "Num+" << QStringList{"0x57", "1"};
        QTest::newRow("Num.") << "Num." << QStringList{"0x63", "1"};
        QTest::newRow("APPs") << "APPs" << QStringList{"0x65", "1"};
        QTest::newRow("backslash") << "\\" << QStringList{"0x31", "1"};
        QTest::newRow("apostrophe") << "'" << QStringList{"0x34", "1"};
        QTest::newRow("grave") << "`" << QStringList{"0x35", "1"};
        QTest::newRow("Ctrl is no macro name") << "Ctrl" << QStringList{};
        QTest::newRow("Win is no macro name") << "Win" << QStringList{};
        QTest::newRow("case matters") << "tab" << QStringList{};
        QTest::newRow("spaces matter") << " Tab" << QStringList{};
        QTest::newRow("unknown") << "Enter2" << QStringList{};
    }
    void nameToCodes()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, codes);
        QCOMPARE(KeyNameToHidCodes(name), codes);
    }

    void codesToName_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("Tab") << "0x2B" << 1 << "Tab";
        QTest::newRow("lower-case digits") << "0x2b" << 1 << "";
        QTest::newRow("Tab as modifier") << "0x2B" << 0 << "";
        QTest::newRow("M") << "0x10" << 1 << "M";
        QTest::newRow("RCtrl") << "0x10" << 0 << "RCtrl";
        QTest::newRow("3") << "0x20" << 1 << "3";
        QTest::newRow("RShift") << "0x20" << 0 << "RShift";
        QTest::newRow("no key 1") << "0x01" << 1 << "";
        QTest::newRow("empty name") << "0x00" << 1 << "";
        QTest::newRow("two modifier bits") << "0x03" << 0 << "";
        QTest::newRow("one digit") << "0x1" << 1 << "";
        QTest::newRow("three digits") << "0x004" << 1 << "";
        QTest::newRow("no prefix") << "2B" << 1 << "";
        QTest::newRow("upper-case X") << "0X2B" << 1 << "";
        QTest::newRow("keypad enter") << "0x58" << 1 << "";
        QTest::newRow("kind 2") << "0x2B" << 2 << "";
        QTest::newRow("kind 3") << "0x2B" << 3 << "";
        QTest::newRow("mouse 0x03") << "0x03" << 4 << "";
        QTest::newRow("mouse 0x20") << "0x20" << 4 << "";
    }
    void codesToName()
    {
        QFETCH(QString, code);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QCOMPARE(HidCodeToKeyName(code, kind), name);
    }

    // Every name of the macro vocabulary survives name -> code texts -> name,
    // and name -> macro event gives the code and kind it stands for.
    void everyNameRoundTrips_data()
    {
        QTest::addColumn<QStringList>("mouse");
        QTest::newRow("english") << QStringList{"Mouse Left", "Mouse Right", "Mouse Middle", "Mouse Back",
                                                "Mouse Forward"};
        QTest::newRow("chinese") << QStringList{"鼠标左键", "鼠标右键", "鼠标中键", "后退键", "前进键"};
    }
    void everyNameRoundTrips()
    {
        QFETCH(QStringList, mouse);
        setMouseTexts({mouse[0], mouse[1], mouse[2], mouse[3], mouse[4]});
        QCOMPARE(HidCodeToKeyName("0x10", KindMouse), mouse[4]);
        QCOMPARE(HidCodeToKeyName("0x08", KindMouse), mouse[3]);
        int checked = 0;
        for (const KeyNameEntry& entry : MacroVocabulary()) {
            const QStringList texts = KeyNameToHidCodes(entry.name);
            QCOMPARE(texts.size(), 2);
            QCOMPARE(texts[0], CodeText(entry.code));
            QVERIFY(QRegularExpression("^0x[0-9A-F]{2}$").match(texts[0]).hasMatch());
            bool ok = false;
            const int kind = texts[1].toInt(&ok);
            QVERIFY(ok);
            QCOMPARE(kind, entry.kind);
            QCOMPARE(HidCodeToKeyName(texts[0], kind), entry.name);

            MacroRecord record;
            std::memset(&record, 0x5A, sizeof record);
            const QByteArray before = bytesOf(record);
            KeyNameToValue(entry.name, 69, record);
            QCOMPARE(int(record.events[69].kind), entry.kind);
            QCOMPARE(int(record.events[69].code), entry.code);
            QCOMPARE(int(record.events[69].state), 0x5A);
            QCOMPARE(record.events[69].delay, 0x5A5A5A5Au);
            // Only type and code of event 69 changed.
            QCOMPARE(bytesOf(record).left(int(offsetof(MacroRecord, events)) + 69 * 8 + 1),
                     before.left(int(offsetof(MacroRecord, events)) + 69 * 8 + 1));
            ++checked;
        }
        QCOMPARE(checked, 109);
    }

    // A mouse click never becomes an empty key, even while a language file
    // left a mouse-button text empty.
    void emptyMouseTextsFallBackToDefaults()
    {
        setMouseTexts({"", "", "", "", ""});
        QCOMPARE(HidCodeToKeyName("0x01", KindMouse), QString("Mouse Left"));
        QCOMPARE(HidCodeToKeyName("0x10", KindMouse), QString("Mouse Forward"));
        QCOMPARE(KeyNameToHidCodes("Mouse Back"), QStringList({"0x08", "4"}));
        QCOMPARE(KeyNameToHidCodes(""), QStringList({"0x00", "1"}));
        MacroRecord record{};
        KeyNameToValue(HidCodeToKeyName("0x02", KindMouse), 0, record);
        QCOMPARE(int(record.events[0].kind), int(KindMouse));
        QCOMPARE(int(record.events[0].code), 2);
        // The defaults are English until a language sets its own.
        setMouseTexts(m_saved);
        QCOMPARE(MouseButtonText(1), DefaultMouseButtonText(1));
        QVERIFY(!DefaultMouseButtonText(16).isEmpty());
    }

    void mouseTextTies()
    {
        // A text equal to a fixed name converts to the fixed name's code.
        setMouseTexts({"Tab", "Same", "Same", "Back", "Forward"});
        QCOMPARE(KeyNameToHidCodes("Tab"), QStringList({"0x2B", "1"}));
        // Of two equal texts the lower code wins.
        QCOMPARE(KeyNameToHidCodes("Same"), QStringList({"0x02", "4"}));
        MacroRecord record{};
        KeyNameToValue("Same", 3, record);
        QCOMPARE(int(record.events[3].code), 2);
    }

    void keyNameToValueLimits()
    {
        MacroRecord record;
        std::memset(&record, 0x33, sizeof record);
        const QByteArray before = bytesOf(record);
        KeyNameToValue("A", 70, record);
        KeyNameToValue("A", -1, record);
        QCOMPARE(bytesOf(record), before);
        // An unknown name: type 1, the code stays.
        KeyNameToValue("NoSuchKey", 5, record);
        QCOMPARE(int(record.events[5].kind), 1);
        QCOMPARE(int(record.events[5].code), 0x3333);
        // Generic modifiers are no macro names.
        KeyNameToValue("Ctrl", 6, record);
        QCOMPARE(int(record.events[6].kind), 1);
        QCOMPARE(int(record.events[6].code), 0x3333);
    }

    void keyNameToRecord()
    {
        const KeyEventRecord cleared{};
        KeyEventRecord f = KeyNameToRecord("F", 0, 1, cleared);
        QCOMPARE(int(f.count), 0);
        QCOMPARE(int(f.events[0].state), 0);
        QCOMPARE(int(f.events[0].kind), 1);
        QCOMPARE(int(f.events[0].code), 0x09);
        QCOMPARE(f.events[0].delay, 10u);
        QCOMPARE(int(f.events[1].state), 1);
        QCOMPARE(int(f.events[1].kind), 1);
        QCOMPARE(int(f.events[1].code), 0x09);
        QCOMPARE(f.events[1].delay, 10u);
        QCOMPARE(bytesOf(f).mid(20), QByteArray(32, '\0'));

        KeyEventRecord ctrl = KeyNameToRecord("Ctrl", 0, 1, cleared);
        QCOMPARE(int(ctrl.events[0].kind), 0);
        QCOMPARE(int(ctrl.events[0].code), 1);
        KeyEventRecord win = KeyNameToRecord("Win", 0, 1, cleared);
        QCOMPARE(int(win.events[1].code), 8);

        // A side name is not a combination name: kind 1, the code stays.
        KeyEventRecord patterned;
        std::memset(&patterned, 0x77, sizeof patterned);
        KeyEventRecord lctrl = KeyNameToRecord("LCtrl", 0, 1, patterned);
        QCOMPARE(int(lctrl.events[0].kind), 1);
        QCOMPARE(int(lctrl.events[0].code), 0x7777);
        QCOMPARE(int(KeyNameToRecord("LCtrl", 0, 1, cleared).events[0].code), 0);

        // Position 1 of 3 writes events 1 and 4 only.
        KeyEventRecord tab = KeyNameToRecord("Tab", 1, 3, patterned);
        QCOMPARE(int(tab.count), 0x77);
        for (int i : {0, 2, 3, 5})
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(&tab.events[i]), 8), QByteArray(8, 0x77));
        QCOMPARE(int(tab.events[1].state), 0);
        QCOMPARE(int(tab.events[4].state), 1);
        QCOMPARE(int(tab.events[1].code), 0x2B);
        QCOMPARE(int(tab.events[4].code), 0x2B);

        // Positions outside the record's six events change nothing.
        const QByteArray before = bytesOf(patterned);
        QCOMPARE(bytesOf(KeyNameToRecord("A", 3, 4, patterned)), before);
        QCOMPARE(bytesOf(KeyNameToRecord("A", 0, 4, patterned)), before);
        QCOMPARE(bytesOf(KeyNameToRecord("A", -1, 2, patterned)), before);
        QCOMPARE(bytesOf(KeyNameToRecord("A", 2, 2, patterned)), before);
        QCOMPARE(bytesOf(KeyNameToRecord("A", 0, 0, patterned)), before);

        // Press and release carry the same code for every keyboard name.
        for (const KeyNameEntry& entry : KeyboardNames()) {
            const KeyEventRecord r = KeyNameToRecord(entry.name, 0, 1, cleared);
            QCOMPARE(int(r.events[0].code), entry.code);
            QCOMPARE(int(r.events[1].code), entry.code);
        }
    }

    void captionNames_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("16 modifier") << 16 << 0 << "Ctrl";
        QTest::newRow("16 key") << 16 << 1 << "M";
        QTest::newRow("32 modifier") << 32 << 0 << "Shift";
        QTest::newRow("32 key") << 32 << 1 << "3";
        QTest::newRow("32 consumer") << 32 << 2 << "";
        QTest::newRow("64 modifier") << 64 << 0 << "Alt";
        QTest::newRow("64 key") << 64 << 1 << "F7";
        QTest::newRow("4 modifier") << 4 << 0 << "Alt";
        QTest::newRow("4 key") << 4 << 1 << "A";
        QTest::newRow("4 mouse") << 4 << 4 << "";
        QTest::newRow("8 modifier") << 8 << 0 << "Win";
        QTest::newRow("8 key") << 8 << 1 << "E";
        QTest::newRow("1 key") << 1 << 1 << "Ctrl";
        QTest::newRow("2 key") << 2 << 1 << "Shift";
        QTest::newRow("128 mouse") << 128 << 4 << "Win";
        QTest::newRow("5 modifier") << 5 << 0 << "B";
        QTest::newRow("3 modifier") << 3 << 0 << "";
        QTest::newRow("keypad enter") << 88 << 1 << "Enter";
        QTest::newRow("keypad enter any kind") << 88 << 0 << "Enter";
        QTest::newRow("Num3") << 91 << 1 << "Num3";
        QTest::newRow("Num+") << 0x57 << 1 << "Num+";
        QTest::newRow("zero") << 0 << 1 << "";
        QTest::newRow("102") << 102 << 1 << "";
        QTest::newRow("non-US hash") << 0x32 << 1 << "";
        QTest::newRow("APPs") << 0x65 << 0 << "APPs";
        QTest::newRow("right arrow") << 0x4F << 1 << QString(QChar(0x2192));
        QTest::newRow("negative") << -1 << 1 << "";
    }
    void captionNames()
    {
        QFETCH(int, value);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QCOMPARE(KeyValueToName(value, kind), name);
    }

    void tokenizer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("empty") << "" << QStringList{""};
        QTest::newRow("one") << "A" << QStringList{"A"};
        QTest::newRow("three") << "Ctrl+Shift+A" << QStringList{"Ctrl", "Shift", "A"};
        QTest::newRow("empty middle") << "A++B" << QStringList{"A", "", "B"};
        QTest::newRow("trailing separator") << "A+" << QStringList{"A", ""};
        QTest::newRow("only separator") << "+" << QStringList{"", ""};
        QTest::newRow("keypad plus") << "Num+" << QStringList{"Num+"};
        QTest::newRow("keypad plus last") << "Ctrl+Num+" << QStringList{"Ctrl", "Num+"};
        QTest::newRow("keypad plus first") << "Num++A" << QStringList{"Num+", "A"};
        QTest::newRow("keypad plus middle") << "Ctrl+Num++A" << QStringList{"Ctrl", "Num+", "A"};
        QTest::newRow("two keypad plus") << "Num++Num+" << QStringList{"Num+", "Num+"};
        QTest::newRow("Num then A") << "Num+A" << QStringList{"Num", "A"};
        QTest::newRow("keypad minus") << "Num-+Num*" << QStringList{"Num-", "Num*"};
        QTest::newRow("four") << "A+B+C+D" << QStringList{"A", "B", "C", "D"};
    }
    void tokenizer()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QCOMPARE(SplitKeyCombination(text), names);
    }

    // A caption joins names with "+"; splitting it gives the same names back
    // for every pair of keys, the keypad plus included.
    void captionsSplitBack()
    {
        QStringList names;
        for (const KeyNameEntry& entry : KeyboardNames()) {
            if (!entry.name.isEmpty())
                names.append(entry.name);
        }
        names << "Ctrl" << "Shift" << "Alt" << "Win";
        for (const QString& a : names) {
            for (const QString& b : names) {
                const QStringList parts = SplitKeyCombination(a + "+" + b);
                if (parts != QStringList({a, b}))
                    QFAIL(qPrintable(a + " + " + b + " splits as " + parts.join(" | ")));
            }
        }
    }
};

QTEST_GUILESS_MAIN(KeyNamesTest)
#include "tst_keynames.moc"
