// The DPI panel's rules without widgets: the model's default stages of
// Config.ini and the drops of the stage marker that the windows do not
// cover (the panel test drags the marker into each window).
#include "DpiPanelRules.h"

#include <QtTest>

using namespace DpiPanelRules;

class DpiPanelRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void stages()
    {
        QCOMPARE(MarkerPosition(5), QPoint(483, 154));
        QCOMPARE(MarkerPosition(6), QPoint(573, 154));
        QCOMPARE(MarkerPosition(-1), QPoint());
        QCOMPARE(DefaultColor(7), QStringLiteral("0,212,252"));
        // An image's count within 1..8 and the model's grade; its stage within the count.
        QCOMPARE(ShownStageCount(0, 0), 1);
        QCOMPARE(ShownStageCount(9, 0), 8);
        QCOMPARE(ShownStageCount(6, 4), 4);
        QCOMPARE(ShownStageCount(6, 12), 6);
        QCOMPARE(ShownStage(2, 3), 2);
        QCOMPARE(ShownStage(3, 3), -1);
        QCOMPARE(ShownStage(8, 8), -1);
    }

    void modelColors_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("colors");
        QTest::newRow("nine numbers") << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}
                                      << QStringList{"1,2,3", "4,5,6", "7,8,9", "", "", "", "", ""};
        QTest::newRow("incomplete last triple") << QStringList{"1", "2", "3", "4", "5"}
                                                << QStringList{"1,2,3", "", "", "", "", "", "", ""};
        QTest::newRow("broken triple") << QStringList{"1", "x", "3", "4", "5", "300", "7", "8", "9"}
                                       << QStringList{"", "", "7,8,9", "", "", "", "", ""};
        QStringList many;
        for (int i = 0; i < 30; ++i)
            many << QString::number(i);
        QTest::newRow("past the 24th") << many
                                       << QStringList{"0,1,2",    "3,4,5",    "6,7,8",    "9,10,11",
                                                      "12,13,14", "15,16,17", "18,19,20", "21,22,23"};
        QTest::newRow("missing") << QStringList() << QStringList{"", "", "", "", "", "", "", ""};
    }
    void modelColors()
    {
        QFETCH(QStringList, list);
        QFETCH(QStringList, colors);
        QCOMPARE(ModelStageColors(list).toList(), colors.toVector().toList());
    }

    void modelTexts()
    {
        QVERIFY(ModelStageTexts({"1", "2", "3", "4", "5", "6", "7"}).isEmpty());
        QCOMPARE(ModelStageTexts({"400", " 800", "x", "0", "5", "6", "7", "8", "9"}).toList(),
                 (QList<QString>{"400", "800", "", "", "5", "6", "7", "8"}));
    }

    void drops_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("homeX");
        QTest::addColumn<int>("countIndex");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("stages");
        QTest::newRow("left of the panel's stages") << 14 << 27 << 7 << int(MarkerDrop::Home) << 0;
        QTest::newRow("right of them") << 707 << 573 << 7 << int(MarkerDrop::Home) << 0;
        QTest::newRow("beyond three stages") << 300 << 209 << 2 << int(MarkerDrop::Resend) << 0;
        QTest::newRow("beyond seven stages, 3 px short") << 613 << 573 << 6 << int(MarkerDrop::Resend) << 0;
        QTest::newRow("seven stages, on the last") << 612 << 573 << 6 << int(MarkerDrop::Home) << 0;
        QTest::newRow("between windows") << 250 << 27 << 7 << int(MarkerDrop::Home) << 0;
        QTest::newRow("plain click") << 42 << 27 << 7 << int(MarkerDrop::Home) << 0;
        QTest::newRow("window edge") << 27 + 78 << 27 << 7 << int(MarkerDrop::Move) << 1;
        QTest::newRow("centre to centre, +2") << 224 << 27 << 7 << int(MarkerDrop::Move) << 2;
    }
    void drops()
    {
        QFETCH(int, x);
        QFETCH(int, homeX);
        QFETCH(int, countIndex);
        QFETCH(int, action);
        QFETCH(int, stages);
        const MarkerDrop drop = DropMarker(x, homeX, countIndex);
        QCOMPARE(int(drop.action), action);
        QCOMPARE(drop.stages, stages);
    }
};

QTEST_MAIN(DpiPanelRulesTest)
#include "tst_dpipanelrules.moc"
