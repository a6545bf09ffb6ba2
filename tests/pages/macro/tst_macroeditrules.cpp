// The macro page's rules without widgets: the insert and delete tables, the
// repeat codes and the recorder.
#include "KeyNames.h"
#include "MacroEditRules.h"

#include <QtTest>

using namespace MacroEdit;

namespace {

// Rows in a short notation: "a" a press of A, "a'" its release, "5" a delay
// of 5 ms, "L"/"L'" a press/release of the left mouse button.
MacroRows rowsOf(const QString& text)
{
    MacroRows rows;
    for (const QString& t : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool down = !t.endsWith(QLatin1Char('\''));
        const QString name = down ? t : t.chopped(1);
        if (name.at(0).isDigit())
            rows.append(MacroRow::Delay(name.toUInt()));
        else if (name == QLatin1String("L"))
            rows.append(MacroRow::Key(keys::KindMouse, 1, down));
        else
            rows.append(MacroRow::Named(name.toUpper(), down));
    }
    return rows;
}

QString textOf(const MacroRows& rows)
{
    QStringList out;
    for (const MacroRow& row : rows) {
        if (row.IsDelay())
            out << QString::number(row.delay);
        else if (row.kind == keys::KindMouse)
            out << (row.down ? QStringLiteral("L") : QStringLiteral("L'"));
        else
            out << row.text.toLower() + (row.down ? QString() : QStringLiteral("'"));
    }
    return out.join(QLatin1Char(' '));
}

}  // namespace

class MacroEditRulesTest : public QObject
{
    Q_OBJECT

private slots:
    // Each editing button's splice: the rows after it and the current row
    // (KeepCurrent: unchanged).
    void splices_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("currentAfter");
        const int keep = KeepCurrent;
        QTest::newRow("key: empty list") << "key" << "" << -1 << "10 k" << keep;
        QTest::newRow("key: no current row") << "key" << "a 5 b" << -1 << "a 5 b 10 k" << keep;
        QTest::newRow("key: one row, selected") << "key" << "a" << 0 << "a k 10" << keep;
        QTest::newRow("key: first row") << "key" << "a 5 b 6 c" << 0 << "a 5 k 10 b 6 c" << keep;
        QTest::newRow("key: last row") << "key" << "a 5 b" << 2 << "a 5 b 10 k" << keep;
        QTest::newRow("key: a delay row") << "key" << "a 5 b 6 c" << 1 << "a 5 k 10 b 6 c" << keep;
        QTest::newRow("key: a key row") << "key" << "a 5 b 6 c" << 2 << "a 5 b 6 k 10 c" << keep;
        QTest::newRow("mouse: empty list") << "mouse" << "" << -1 << "L 10 L'" << keep;
        QTest::newRow("mouse: no current row") << "mouse" << "a" << -1 << "a 10 L 10 L'" << keep;
        QTest::newRow("mouse: first row") << "mouse" << "a 5 b" << 0 << "a 5 L 10 L' 10 b" << keep;
        QTest::newRow("mouse: last row") << "mouse" << "a 5 b" << 2 << "a 5 b 10 L 10 L'" << keep;
        QTest::newRow("mouse: a delay row") << "mouse" << "a 5 b 6 c" << 3 << "a 5 b 6 L 10 L' 10 c" << keep;
        QTest::newRow("mouse: a key row") << "mouse" << "a 5 b 6 c" << 2 << "a 5 b 10 L 10 L' 6 c" << keep;
        QTest::newRow("delay: no current row, appended") << "delay" << "a 5 b" << -1 << "a 5 b 99" << keep;
        QTest::newRow("delay: first row, nothing") << "delay" << "a 5 b" << 0 << "a 5 b" << keep;
        QTest::newRow("delay: a delay row, replaced") << "delay" << "a 5 b" << 1 << "a 99 b" << 1;
        QTest::newRow("delay: a key after a delay") << "delay" << "a 5 b" << 2 << "a 99 b" << 1;
        QTest::newRow("delay: a key after a key") << "delay" << "a b" << 1 << "a 99 b" << 1;
        QTest::newRow("delete: three rows, all go") << "delete" << "a 5 a'" << 1 << "" << -1;
        QTest::newRow("delete: three rows, none current") << "delete" << "a 5 a'" << -1 << "" << -1;
        QTest::newRow("delete: no current row") << "delete" << "a 5 b 6 c" << -1 << "a 5 b 6 c" << keep;
        QTest::newRow("delete: a key with its delay") << "delete" << "a 5 b 6 c" << 2 << "a 5 c" << 2;
        QTest::newRow("delete: a delay with its key") << "delete" << "a 5 b 6 c" << 3 << "a 5 c" << 2;
        QTest::newRow("delete: the last key, delay before") << "delete" << "a 5 b 6 c" << 4 << "a 5 b" << 2;
        QTest::newRow("delete: a leading delay alone") << "delete" << "5 a 6 b" << 0 << "a 6 b" << 0;
    }
    void splices()
    {
        QFETCH(QString, edit);
        QFETCH(QString, rows);
        QFETCH(int, current);
        QFETCH(QString, after);
        QFETCH(int, currentAfter);
        const MacroRows before = rowsOf(rows);
        RowSplice splice;
        if (edit == QLatin1String("key"))
            splice = InsertKey(before, current, MacroRow::Named(QStringLiteral("K"), true));
        else if (edit == QLatin1String("mouse"))
            splice = InsertMouseButton(before, current, 1);
        else if (edit == QLatin1String("delay"))
            splice = InsertDelay(before, current, 99);
        else
            splice = DeleteAt(before, current);
        QCOMPARE(textOf(Apply(before, splice)), after);
        QCOMPARE(splice.current, currentAfter);
    }

    void repeatCodes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("code");
        QTest::newRow("until released") << int(RepeatMode::UntilLoose) << 7 << 254;
        QTest::newRow("until pressed again") << int(RepeatMode::UntilClick) << 7 << 255;
        QTest::newRow("until any key") << int(RepeatMode::Until) << 7 << 253;
        QTest::newRow("a count") << int(RepeatMode::Number) << 250 << 250;
    }
    void repeatCodes()
    {
        QFETCH(int, mode);
        QFETCH(int, count);
        QFETCH(int, code);
        QCOMPARE(RepeatCodeOf(RepeatMode(mode), count), code);
        QCOMPARE(int(RepeatModeOf(code)), mode);
        QCOMPARE(RepeatCountOf(code), mode == int(RepeatMode::Number) ? count : 1);
    }

    // Events (virtual key, down, ms) -> rows.
    void recorder_data()
    {
        QTest::addColumn<QString>("events");  // "A+@0" press of A at 0 ms, "A-@40" its release
        QTest::addColumn<int>("fixedDelay");  // 0: measured
        QTest::addColumn<QString>("rows");
        QTest::newRow("overlapping keys") << "A+@0 B+@30 A-@50 B-@90" << 0 << "a 30 b 20 a' 40 b'";
        QTest::newRow("a held key presses once") << "A+@0 A+@500 A+@530 A-@600" << 0 << "a 600 a'";
        QTest::newRow("press again after the release") << "B+@0 B-@10 B+@20 B-@30" << 0 << "b 10 b' 10 b 10 b'";
        QTest::newRow("the default delay") << "A+@0 A-@7000" << 50 << "a 50 a'";
        QTest::newRow("a long pause") << "A+@0 A-@70000" << 0 << "a 70000 a'";
        QTest::newRow("a key outside the table: its time goes on")
            << "A+@0 255+@10 255-@20 B+@30" << 0 << "a 30 b";
        QTest::newRow("a release of a key pressed before") << "A-@0 B+@10" << 0 << "b";
        QTest::newRow("Space, right Alt, Return, Escape") << "32+@0 165+@1 13+@2 27+@3" << 0 << "space 1 ralt 1 enter 1 esc";
        QTest::newRow("VK 12: the empty name") << "12+@0" << 0 << "";
    }
    void recorder()
    {
        QFETCH(QString, events);
        QFETCH(int, fixedDelay);
        MacroRecorder recorder;
        recorder.Start(0);
        MacroRows recorded;
        for (const QString& e : events.split(QLatin1Char(' '))) {
            const QStringList parts = e.split(QLatin1Char('@'));
            const QString key = parts.at(0).chopped(1);
            const int vk = key.size() == 1 ? key.at(0).unicode() : key.toInt();
            std::optional<quint32> fixed;
            if (fixedDelay > 0)
                fixed = quint32(fixedDelay);
            const MacroRecorder::Step step = recorder.Event(vk, parts.at(0).endsWith(QLatin1Char('+')), parts.at(1).toLongLong(), fixed);
            if (step.delay)
                recorded.append(MacroRow::Delay(*step.delay));
            if (step.key)
                recorded.append(*step.key);
        }
        QFETCH(QString, rows);
        QCOMPARE(textOf(recorded), rows);
        if (events.startsWith(QLatin1String("12+")))
            QCOMPARE(recorded.value(0), MacroRow::Key(keys::KindKeyboard, 0, true));
    }

    // The 70th key row ends the recording, once.
    void recorderLimit()
    {
        MacroRecorder recorder;
        recorder.Start(0);
        int keysRecorded = 0;
        int limits = 0;
        for (int i = 0; i < 50; ++i) {
            for (bool down : {true, false}) {
                const MacroRecorder::Step step = recorder.Event('A' + i % 26, down, i, std::nullopt);
                keysRecorded += step.key ? 1 : 0;
                limits += step.limitReached ? 1 : 0;
            }
        }
        QCOMPARE(keysRecorded, keys::MaxMacroEvents);
        QCOMPARE(limits, 1);
        QVERIFY(!recorder.Active());
    }
};

QTEST_APPLESS_MAIN(MacroEditRulesTest)
#include "tst_macroeditrules.moc"
