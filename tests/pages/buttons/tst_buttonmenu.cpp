// The function menu as data: which key button stands for which key, what
// every entry gives a key, and which entries a key's present function marks
// when its menu opens.
#include "ButtonMenu.h"
#include "KeyRecords.h"

#include <QSet>
#include <QtTest>

#include <algorithm>

using namespace buttons;

namespace {
KeyEventRecord recordOf(int kind, int code)
{
    KeyEventRecord record{};
    record.count = 2;
    record.events[0] = {0, uint8_t(kind), uint16_t(code), 10};
    record.events[1] = {1, uint8_t(kind), uint16_t(code), 10};
    return record;
}
}  // namespace

class ButtonMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void keyButtons()
    {
        // Page order; StartPause (key 4) stands before TopMusic (key 3).
        QStringList names;
        QList<int> keys;
        QStringList fallbacks;
        for (const KeyButtonInfo& info : KeyButtons()) {
            names << QLatin1String(info.objectName);
            keys << info.key;
            fallbacks << QLatin1String(info.fallbackEntry);
        }
        QCOMPARE(names, (QStringList{"FireKey", "RightKey", "BackKey", "StartPause", "TopMusic", "BackMusic"}));
        QCOMPARE(keys, (QList<int>{0, 1, 2, 4, 3, 5}));
        // Keys 0..4 fall back to the mouse button 1 << key, key 5 to DPI cycle.
        for (const KeyButtonInfo& info : KeyButtons()) {
            const FunctionEntry* entry = FindFunctionEntry(QLatin1String(info.fallbackEntry));
            QVERIFY(entry);
            if (info.key < 5) {
                QCOMPARE(entry->type, 1);
                QCOMPARE(entry->value, 1 << info.key);
            } else {
                QCOMPARE(entry->type, 2);
                QCOMPARE(entry->value, 1);
            }
        }
        QCOMPARE(QLatin1String(KeyButtonName(3)), QLatin1String("TopMusic"));
        QVERIFY(KeyButtonName(6) == nullptr);
        QVERIFY(KeyButtonName(-1) == nullptr);
    }

    void entriesAreUniqueAndComplete()
    {
        QSet<QString> names;
        int main = 0, consumer = 0, dpiLock = 0;
        for (const FunctionEntry& entry : FunctionEntries()) {
            QVERIFY2(!names.contains(QLatin1String(entry.objectName)), entry.objectName);
            names.insert(QLatin1String(entry.objectName));
            main += entry.mainList;
            consumer += entry.kind == FunctionEntry::Consumer;
            dpiLock += entry.kind == FunctionEntry::DpiLock;
            QVERIFY(entry.type >= 0 && entry.type <= 11);
        }
        QCOMPARE(FunctionEntries().size(), 49);
        QCOMPARE(main, 8);
        QCOMPARE(consumer, 18);
        QCOMPARE(dpiLock, 12);
        // The DPI-lock entries in menu order lock 100 .. 1200.
        QList<int> dpis;
        for (const FunctionEntry& entry : FunctionEntries()) {
            if (entry.kind == FunctionEntry::DpiLock)
                dpis << entry.value;
        }
        QCOMPARE(dpis, (QList<int>{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200}));
        QCOMPARE(FindFunctionEntry("VolumeUp_22")->value, 800);
        QCOMPARE(FindFunctionEntry("VolumeUp_6")->value, 3);  // the light strip; no entry writes 2
        QVERIFY(!FindFunctionEntry("DPI_4"));  // opens a sub-menu
        QVERIFY(!FindFunctionEntry("DPI_8"));  // opens a dialog
        // The main list: 17 entries, the switches among them.
        QCOMPARE(MainListEntries().size(), 17);
        for (const SubMenuSwitch& sub : SubMenuSwitches())
            QVERIFY(std::any_of(MainListEntries().begin(), MainListEntries().end(),
                                [&](const char* e) { return qstrcmp(e, sub.entry) == 0; }));
    }

    void selection_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("main");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<int>("mainRow");  // the main list's scroll row (not the entry's place)
        QTest::addColumn<QString>("list");  // the second list scrolled
        QTest::addColumn<int>("listRow");
        const QString lock = QStringLiteral("scrollArea_10");
        const QString media = QStringLiteral("scrollArea_3");
        QTest::newRow("disabled") << 0 << 0 << 0 << 0 << 0 << 2 << "page_9" << "DPI_5" << "" << 9 << lock << 0;
        QTest::newRow("left") << 1 << 1 << 0 << 0 << 0 << 2 << "page_9" << "LeftKey_3" << "" << 0 << lock << 0;
        QTest::newRow("forward") << 1 << 16 << 0 << 0 << 0 << 2 << "page_9" << "ForWardKey" << "" << 4 << lock << 0;
        QTest::newRow("no button 3") << 1 << 3 << 0 << 0 << 0 << 2 << "page_9" << "" << "" << 0 << lock << 0;
        QTest::newRow("dpi down") << 2 << 3 << 0 << 0 << 0 << 2 << "page_7" << "DPI_7" << "VolumeUp_10" << 13 << lock << 0;
        QTest::newRow("dpi other") << 2 << 9 << 0 << 0 << 0 << 2 << "page_7" << "DPI_7" << "" << 13 << lock << 0;
        QTest::newRow("tilt right") << 3 << 2 << 0 << 0 << 0 << 2 << "page_4" << "DPI_11" << "VolumeDown_2" << 10 << lock << 0;
        QTest::newRow("fire") << 4 << 50 << 0 << 0 << 0 << 2 << "page_9" << "DPI_6" << "" << 7 << lock << 0;
        QTest::newRow("volume down") << 5 << 0 << 2 << 0x00EA << 0 << 2 << "page_3" << "DPI_12" << "VolumeDown_4" << 16 << media << 7;
        QTest::newRow("mute by low byte") << 5 << 0 << 2 << 0x01E2 << 0 << 2 << "page_3" << "DPI_12" << "VolumeUp" << 16 << media << 5;
        // The browser forward and back rows trade places except for key 1.
        QTest::newRow("forward page") << 5 << 0 << 2 << 0x0225 << 0 << 2 << "page_3" << "DPI_12" << "VolumeDown_7" << 16 << media << 14;
        QTest::newRow("back page") << 5 << 0 << 2 << 0x0224 << 0 << 0 << "page_3" << "DPI_12" << "VolumeDown_10" << 16 << media << 13;
        QTest::newRow("forward page, key 1") << 5 << 0 << 2 << 0x0225 << 0 << 1 << "page_3" << "DPI_12" << "VolumeDown_7" << 16 << media << 13;
        QTest::newRow("back page, key 1") << 5 << 0 << 2 << 0x0224 << 0 << 1 << "page_3" << "DPI_12" << "VolumeDown_10" << 16 << media << 14;
        // The key "4" has the usage 0x21 on the keyboard page: no search key.
        QTest::newRow("combination 4") << 5 << 0 << 1 << 0x21 << 0 << 2 << "page_9" << "DPI_8" << "" << 8 << media << 0;
        QTest::newRow("unknown consumer") << 5 << 0 << 2 << 0x55 << 0 << 2 << "page_9" << "DPI_8" << "" << 8 << media << 0;
        QTest::newRow("macro") << 6 << 0 << 0 << 0 << 0 << 2 << "page_5" << "DPI_10" << "" << 15 << lock << 0;
        QTest::newRow("rate") << 7 << 0 << 0 << 0 << 0 << 2 << "page_9" << "DPI_2" << "" << 5 << lock << 0;
        QTest::newRow("strip") << 8 << 3 << 0 << 0 << 0 << 2 << "page_6" << "DPI_9" << "VolumeUp_6" << 12 << lock << 0;
        QTest::newRow("effect") << 8 << 4 << 0 << 0 << 0 << 2 << "page_6" << "DPI_9" << "VolumeUp_7" << 12 << lock << 0;
        QTest::newRow("light 2") << 8 << 2 << 0 << 0 << 0 << 2 << "page_6" << "DPI_9" << "" << 12 << lock << 0;
        QTest::newRow("profile") << 9 << 0 << 0 << 0 << 0 << 2 << "page_9" << "DPI_3" << "" << 6 << lock << 0;
        QTest::newRow("lock 800") << 10 << 16 << 0 << 0 << 800 << 2 << "page_8" << "DPI_4" << "VolumeUp_22" << 15 << lock << 7;
        QTest::newRow("lock 1200") << 10 << 24 << 0 << 0 << 1200 << 2 << "page_8" << "DPI_4" << "VolumeUp_21" << 15 << lock << 11;
        QTest::newRow("lock 1250") << 10 << 25 << 0 << 0 << 1250 << 2 << "page_8" << "DPI_4" << "" << 15 << lock << 0;
        QTest::newRow("wheel down") << 11 << 2 << 0 << 0 << 0 << 2 << "page_10" << "DPI_13" << "VolumeDown_14" << 10 << lock << 0;
    }

    void selection()
    {
        QFETCH(int, type);
        QFETCH(int, value1);
        QFETCH(int, kind);
        QFETCH(int, code);
        QFETCH(int, dpi);
        QFETCH(int, key);
        QFETCH(QString, page);
        QFETCH(QString, main);
        QFETCH(QString, sub);
        QFETCH(int, mainRow);
        QFETCH(QString, list);
        QFETCH(int, listRow);
        const MenuSelection s = SelectionFor(type, value1, recordOf(kind, code), dpi, key);
        QVERIFY(s.known);
        QCOMPARE(s.subPage, page);
        QCOMPARE(s.mainEntry, main);
        QCOMPARE(s.subEntry, sub);
        QCOMPARE(s.macroKey, type == 6);
        QCOMPARE(s.scrolls.size(), 2);
        QCOMPARE(s.scrolls.at(0).area, QStringLiteral("scrollArea_4"));
        QCOMPARE(s.scrolls.at(0).pixels, MenuRowPixels * mainRow);
        QCOMPARE(s.scrolls.at(1).area, list);
        QCOMPARE(s.scrolls.at(1).pixels, MenuRowPixels * listRow);
    }

    void typesOutsideTheTableChangeNothing()
    {
        for (int type : {-1, 12, 255}) {
            const MenuSelection s = SelectionFor(type, 1, KeyEventRecord{}, 0, 0);
            QVERIFY(!s.known);
            QVERIFY(s.subPage.isEmpty());
            QVERIFY(s.mainEntry.isEmpty());
        }
    }
    // The key caption files: line 1 parsed with a check, the entry named and
    // the lists scrolled.
    void captionFile_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("scrolls");  // "area=pixels" in order
        QTest::newRow("main entry") << "7" << true << "DPI_6" << QStringList{"scrollArea_4=105"};
        QTest::newRow("multimedia") << "14,3" << true << "TopMusic_2" << QStringList{"scrollArea_3=45", "scrollArea_4=210"};
        QTest::newRow("DPI lock") << " 15 , 11 " << true << "VolumeUp_21" << QStringList{"scrollArea_10=165", "scrollArea_4=225"};
        QTest::newRow("tilt") << "10,1" << true << "VolumeDown_2" << QStringList{"scrollArea_4=150"};
        QTest::newRow("no caption row") << "11,0" << true << "" << QStringList{"scrollArea_4=165"};
        QTest::newRow("row past the list") << "12,4" << true << "" << QStringList{"scrollArea_4=180"};
        QTest::newRow("main list needs one field") << "3,0" << true << "" << QStringList{"scrollArea_4=45"};
        QTest::newRow("sub-list needs two") << "13" << true << "" << QStringList{"scrollArea_4=195"};
        QTest::newRow("not a number") << "7x" << false << "" << QStringList{};
        QTest::newRow("second not a number") << "14,b" << false << "" << QStringList{};
        QTest::newRow("three fields") << "1,2,3" << false << "" << QStringList{};
        QTest::newRow("empty") << "" << false << "" << QStringList{};
        QTest::newRow("negative") << "-1" << false << "" << QStringList{};
        QTest::newRow("too large") << "2147483647" << false << "" << QStringList{};
    }

    void captionFile()
    {
        QFETCH(QString, line);
        QFETCH(bool, parsed);
        QFETCH(QString, entry);
        QFETCH(QStringList, scrolls);
        const std::optional<CaptionFileLine> read = ParseCaptionFileLine(line);
        QCOMPARE(bool(read), parsed);
        if (!read)
            return;
        QCOMPARE(CaptionFileEntry(*read), entry);
        QStringList got;
        for (const ScrollTo& scroll : CaptionFileScrolls(*read))
            got << scroll.area + QLatin1Char('=') + QString::number(scroll.pixels);
        QCOMPARE(got, scrolls);
    }
};

QTEST_MAIN(ButtonMenuTest)
#include "tst_buttonmenu.moc"
