// The rules of a configuration image: which field breaks which rule, the
// key function table, and what the mend of a device's image repairs.
#include "ImageCheck.h"

#include "BenchFlash.h"

#include <QtTest>

#include <cstring>

namespace {

// An image that breaks no rule: what the simulated mouse leaves the
// factory with (stage 2 of 6, key 5 a mouse button).
FlashDataMap validImage()
{
    return hidusb::ModelDefaultImage(1);
}

// Byte edits as offset, value, offset, value, ...
FlashDataMap edited(const QVector<int>& edits)
{
    FlashDataMap image = validImage();
    uint8_t* bytes = FlashBytes(image);
    for (int i = 0; i + 1 < edits.size(); i += 2)
        bytes[edits[i]] = uint8_t(edits[i + 1]);
    return image;
}

}  // namespace

class ImageCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QVector<int>>("edits");
        QTest::addColumn<int>("maxStages");
        QTest::addColumn<uint>("problems");
        const int keys = int(KeyFunctionOffset(0));
        QTest::newRow("factory image") << QVector<int>{} << 8 << 0u;
        QTest::newRow("model with six stages") << QVector<int>{} << 6 << 0u;
        QTest::newRow("8000 Hz") << QVector<int>{0, 64} << 8 << 0u;
        QTest::newRow("rate 255") << QVector<int>{0, 255} << 8 << uint(RuleReportRate);
        QTest::newRow("rate 3") << QVector<int>{0, 3} << 8 << uint(RuleReportRate);
        QTest::newRow("no stages") << QVector<int>{1, 0} << 8 << uint(RuleStageCount | RuleCurrentStage);
        QTest::newRow("nine stages") << QVector<int>{1, 9} << 8 << uint(RuleStageCount);
        QTest::newRow("seven of a six-stage model") << QVector<int>{1, 7} << 6 << uint(RuleStageCount);
        QTest::newRow("model without a stage limit") << QVector<int>{} << 0 << uint(RuleStageCount);
        QTest::newRow("current 6 of 6") << QVector<int>{2, 6} << 8 << uint(RuleCurrentStage);
        QTest::newRow("lift-off 255") << QVector<int>{5, 255} << 8 << uint(RuleLiftOff);
        QTest::newRow("lift-off 0.7 mm") << QVector<int>{5, 3} << 8 << 0u;
        QTest::newRow("debounce 20") << QVector<int>{6, 20} << 8 << 0u;
        QTest::newRow("debounce 21") << QVector<int>{6, 21} << 8 << uint(RuleDebounce);
        QTest::newRow("sleep 0") << QVector<int>{8, 0} << 8 << uint(RuleSleepTime);
        QTest::newRow("sleep 40 min") << QVector<int>{8, 240} << 8 << 0u;
        QTest::newRow("sleep 255") << QVector<int>{8, 255} << 8 << uint(RuleSleepTime);
        QTest::newRow("light mode 7") << QVector<int>{67, 7} << 8 << uint(RuleLight);
        QTest::newRow("light speed 10") << QVector<int>{71, 10} << 8 << uint(RuleLight);
        QTest::newRow("light on 2") << QVector<int>{73, 2} << 8 << uint(RuleLight);
        QTest::newRow("key FF FF FF") << QVector<int>{keys, 255, keys + 1, 255, keys + 2, 255} << 8
                                      << uint(RuleKeyFunctions);
        QTest::newRow("last key of 16 bad") << QVector<int>{keys + 45, 12} << 8 << uint(RuleKeyFunctions);
        QTest::newRow("key events 7") << QVector<int>{int(KeyEventRecordOffset(3)), 7} << 8
                                      << uint(RuleRecordCounts);
        QTest::newRow("everything") << QVector<int>{0, 0, 1, 0, 5, 0, 6, 99, 8, 0, 67, 9, keys, 13} << 8
                                    << uint(RuleReportRate | RuleStageCount | RuleCurrentStage | RuleLiftOff
                                            | RuleDebounce | RuleSleepTime | RuleLight | RuleKeyFunctions);
    }

    void rules()
    {
        QFETCH(QVector<int>, edits);
        QFETCH(int, maxStages);
        QFETCH(uint, problems);
        const FlashDataMap image = edited(edits);
        QCOMPARE(uint(CheckImage(image, ImageLimits{maxStages})), problems);
        QCOMPARE(ImageIsValid(image, ImageLimits{maxStages}), problems == 0);
    }

    void keyFunctions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("value2");
        QTest::addColumn<bool>("valid");
        QTest::newRow("disabled") << 0 << 0 << 0 << true;
        QTest::newRow("disabled with a value") << 0 << 1 << 0 << false;
        QTest::newRow("forward button") << 1 << 16 << 0 << true;
        QTest::newRow("button 3") << 1 << 3 << 0 << false;
        QTest::newRow("DPI down") << 2 << 3 << 0 << true;
        QTest::newRow("DPI 4") << 2 << 4 << 0 << false;
        QTest::newRow("tilt right") << 3 << 2 << 0 << true;
        QTest::newRow("fire 10 ms, 3 shots") << 4 << 10 << 3 << true;
        QTest::newRow("fire 9 ms") << 4 << 9 << 0 << false;
        QTest::newRow("fire 4 shots") << 4 << 255 << 4 << false;
        QTest::newRow("key events") << 5 << 0 << 0 << true;
        QTest::newRow("macro of its key, 250 times") << 6 << 2 << 250 << true;
        QTest::newRow("macro until released") << 6 << 2 << 254 << true;
        QTest::newRow("macro repeat 251") << 6 << 2 << 251 << false;
        QTest::newRow("macro repeat 0") << 6 << 2 << 0 << false;
        QTest::newRow("macro of another key") << 6 << 3 << 1 << false;
        QTest::newRow("report rate") << 7 << 0 << 0 << true;
        QTest::newRow("light 2") << 8 << 2 << 0 << false;
        QTest::newRow("next light effect") << 8 << 4 << 0 << true;
        QTest::newRow("profile") << 9 << 0 << 0 << true;
        QTest::newRow("DPI lock step 200") << 10 << 200 << 0 << true;
        QTest::newRow("DPI lock with value2") << 10 << 1 << 1 << false;
        QTest::newRow("wheel down") << 11 << 2 << 0 << true;
        QTest::newRow("type 12") << 12 << 0 << 0 << false;
    }

    void keyFunctions()
    {
        QFETCH(int, type);
        QFETCH(int, value1);
        QFETCH(int, value2);
        QFETCH(bool, valid);
        QCOMPARE(KeyFunctionIsValid(KeyFunction{uint8_t(type), uint8_t(value1), uint8_t(value2)}, 2), valid);
    }

    void mend_data()
    {
        QTest::addColumn<QVector<int>>("edits");
        QTest::addColumn<int>("maxStages");
        QTest::addColumn<uint>("mended");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("stage");
        QTest::newRow("nothing to mend") << QVector<int>{0, 255, 8, 0} << 8 << 0u << 6 << 1;
        QTest::newRow("no stages") << QVector<int>{1, 0} << 8 << uint(RuleStageCount | RuleCurrentStage) << 1 << 0;
        QTest::newRow("nine stages") << QVector<int>{1, 9} << 6 << uint(RuleStageCount) << 6 << 1;
        QTest::newRow("nine, no model limit") << QVector<int>{1, 9} << 0 << uint(RuleStageCount) << 8 << 1;
        QTest::newRow("current 6 of 6") << QVector<int>{2, 6} << 8 << uint(RuleCurrentStage) << 6 << 0;
    }

    void mend()
    {
        QFETCH(QVector<int>, edits);
        QFETCH(int, maxStages);
        QFETCH(uint, mended);
        QFETCH(int, count);
        QFETCH(int, stage);
        FlashDataMap image = edited(edits);
        const FlashDataMap before = image;
        QCOMPARE(uint(MendImage(image, ImageLimits{maxStages})), mended);
        QCOMPARE(int(image.dpiStageCount), count);
        QCOMPARE(int(image.dpiStage), stage);
        // Only the stage bytes change; the rest is the device's.
        QCOMPARE(std::memcmp(FlashBytes(image) + 3, FlashBytes(before) + 3, sizeof image - 3), 0);
        QCOMPARE(MendImage(image, ImageLimits{maxStages}), ImageProblems(0));
    }

    void mendCutsRecordCounts()
    {
        FlashDataMap image = validImage();
        image.keyEvents[0].count = 7;
        image.keyEvents[15].count = 255;
        image.keyEvents[3].count = 6;
        image.macros[0].eventCount = 71;
        image.macros[4].eventCount = 70;
        image.macros[15].nameLength = 200;
        image.macros[5].nameLength = 30;
        QCOMPARE(CheckImage(image, ImageLimits{}), ImageProblems(RuleRecordCounts));
        QCOMPARE(MendImage(image, ImageLimits{}), ImageProblems(RuleRecordCounts));
        QCOMPARE(image.keyEvents[0].count, uint8_t(6));
        QCOMPARE(image.keyEvents[15].count, uint8_t(6));
        QCOMPARE(image.keyEvents[3].count, uint8_t(6));
        QCOMPARE(image.macros[0].eventCount, uint8_t(70));
        QCOMPARE(image.macros[4].eventCount, uint8_t(70));
        QCOMPARE(image.macros[15].nameLength, uint8_t(30));
        QCOMPARE(image.macros[5].nameLength, uint8_t(30));
        QVERIFY(ImageIsValid(image, ImageLimits{}));
    }

    void factoryImageOfTheSecondModel()
    {
        // Two keys that send key events, six stages.
        QVERIFY(ImageIsValid(hidusb::ModelDefaultImage(2), ImageLimits{6}));
    }

    void problemText()
    {
        QCOMPARE(ImageProblemText(RuleStageCount | RuleLight), QStringLiteral("stage count, light"));
        QCOMPARE(ImageProblemText(0), QString());
    }
};

QTEST_GUILESS_MAIN(ImageCheckTest)
#include "tst_imagecheck.moc"
