// The sensor page's rules without widgets: rate codes, which rates a device
// shows and offers, the level file's line, lift-off codes, the DPI light.
#include "SensorRules.h"

#include <QtTest>

using namespace SensorRules;

class SensorRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void rates_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("hub");
        const int codes[RateCount] = {8, 4, 2, 1, 16, 32, 64};
        const char* const names[RateCount] = {"Button125HZ",  "Button250HZ",  "Button500HZ", "Button1000HZ",
                                              "Button2000HZ", "Button4000HZ", "Button8000HZ"};
        for (int i = 0; i < RateCount; ++i)
            QTest::addRow("%s", names[i]) << i << codes[i] << (i > 3 ? 1 : 0);
    }

    void rates()
    {
        QFETCH(int, index);
        QFETCH(int, code);
        QCOMPARE(RateCode(index), code);
        QCOMPARE(RateIndexOfCode(code), index);
        QTEST(RateHubValue(index), "hub");
    }

    void noRate()
    {
        for (int code : {0, 3, 5, 128, 255, -1})
            QCOMPARE(RateIndexOfCode(code), -1);
        QCOMPARE(RateCode(7), 0);
        QCOMPARE(RateCode(-1), 0);
    }

    void shownRate_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("directMouse");
        QTest::addColumn<int>("index");
        QTest::newRow("4000 Hz") << 32 << false << 5;
        QTest::newRow("4000 Hz, cabled") << 32 << true << 3;
        QTest::newRow("2000 Hz, cabled") << 16 << true << 3;
        QTest::newRow("8000 Hz, cabled") << 64 << true << 3;
        QTest::newRow("500 Hz, cabled") << 2 << true << 2;
        QTest::newRow("no rate") << 0 << false << -1;
        QTest::newRow("no rate, cabled") << 3 << true << -1;
    }

    void shownRate()
    {
        QFETCH(int, code);
        QFETCH(bool, directMouse);
        QTEST(ShownRateIndex(code, directMouse), "index");
    }

    // The receiver's kind byte decides the fast rates; 2000, 4000, 8000 Hz
    // shown as a three-letter mask.
    void rateButtons_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("receiverClass");
        QTest::addColumn<QString>("fast");
        QTest::newRow("1 kHz receiver") << 0 << 0 << "---";
        QTest::newRow("cabled mouse") << 2 << 0 << "---";
        QTest::newRow("2 kHz receiver") << 4 << 2 << "x--";
        QTest::newRow("4 kHz receiver") << 1 << 1 << "xx-";
        QTest::newRow("8 kHz receiver") << 5 << 3 << "xxx";
        QTest::newRow("kind 3") << 3 << 3 << "xxx";
        QTest::newRow("unknown kind") << 6 << -1 << "";
    }

    void rateButtons()
    {
        QFETCH(int, type);
        QFETCH(int, receiverClass);
        QFETCH(QString, fast);
        QCOMPARE(RateButtonsOfType(type), receiverClass);
        if (receiverClass < 0)
            return;
        QString shown;
        for (int i = 0; i < RateCount; ++i) {
            if (i <= Rate1000Hz)
                QVERIFY(RateShown(receiverClass, i));
            else
                shown += QLatin1Char(RateShown(receiverClass, i) ? 'x' : '-');
        }
        QCOMPARE(shown, fast);
    }

    void levelLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("level");
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("number") << "5" << 5;
        QTest::newRow("no number") << "five" << 0;
    }

    void levelLine()
    {
        QFETCH(QString, line);
        QTEST(LevelFromLine(line), "level");
    }

    void liftOff_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("code");
        QTest::newRow("2 items, 1mm") << 2 << 0 << 1;
        QTest::newRow("2 items, 2mm") << 2 << 1 << 2;
        QTest::newRow("2 items, none") << 2 << -1 << -1;
        QTest::newRow("2 items, past") << 2 << 2 << -1;
        QTest::newRow("3 items, 0.7mm") << 3 << 0 << 3;
        QTest::newRow("3 items, 1mm") << 3 << 1 << 1;
        QTest::newRow("3 items, 2mm") << 3 << 2 << 2;
        QTest::newRow("3 items, none") << 3 << -1 << -1;
    }

    void liftOff()
    {
        QFETCH(int, items);
        QFETCH(int, index);
        QFETCH(int, code);
        QCOMPARE(LodCodeOfIndex(index, items), code);
        // SetIndex takes the code - 1 and finds the same item.
        if (code > 0)
            QCOMPARE(LodIndexOfValue(code - 1, items), index);
    }

    void liftOffEdges()
    {
        QCOMPARE(LodIndexOfValue(2, 2), -1);  // 0.7 mm without its item
        QCOMPARE(LodIndexOfValue(-1, 3), -1);
        QCOMPARE(LodCodeOfIndex(0, 1), -1);
        QCOMPARE(LodCodeOfBox(0), 3);
        QCOMPARE(LodCodeOfBox(1), 1);
        QCOMPARE(LodCodeOfBox(2), 2);
        QCOMPARE(LodCodeOfBox(3), -1);
    }

    void brightness()
    {
        const int bytes[10] = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};
        for (int step = 1; step <= 10; ++step) {
            QCOMPARE(BrightnessByte(step), bytes[step - 1]);
            QCOMPARE(BrightnessStepOfByte(bytes[step - 1]), step);
        }
        QCOMPARE(BrightnessByte(0), -1);
        QCOMPARE(BrightnessByte(11), -1);
        QCOMPARE(BrightnessByte(-1), -1);
        QCOMPARE(BrightnessStepOfByte(100), -1);
    }

    void lightModes_data()
    {
        QTest::addColumn<int>("on");
        QTest::addColumn<int>("modeByte");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("speed");
        QTest::addColumn<bool>("brightness");
        QTest::newRow("off") << 0 << 2 << 0 << false << false;
        QTest::newRow("steady") << 1 << 1 << 1 << false << true;
        QTest::newRow("breathing") << 1 << 2 << 2 << true << false;
        QTest::newRow("no mode") << 1 << 7 << -1 << false << false;
    }

    void lightModes()
    {
        QFETCH(int, on);
        QFETCH(int, modeByte);
        QFETCH(int, mode);
        QCOMPARE(EffectModeOf(on, modeByte), mode);
        QCOMPARE(ValidEffectMode(mode), mode >= 0);
        const EffectRows rows = RowsOfMode(mode);
        QTEST(rows.speed, "speed");
        QTEST(rows.brightness, "brightness");
    }
};

QTEST_APPLESS_MAIN(SensorRulesTest)
#include "tst_sensorrules.moc"
