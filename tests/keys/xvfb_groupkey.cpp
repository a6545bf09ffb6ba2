// Real key presses, sent by xdotool to a virtual X server, reach the
// key-combination dialog through the event source as the right names: the
// X11 key codes map to the virtual keys (left and right modifiers apart),
// each key event is reported once, and the dialog stays open on Escape.
#include "GroupKey.h"
#include "KeyEventSource.h"
#include "KeyboardHook.h"
#include "XdotoolSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QShortcut>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

class TestXvfbGroupKey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void realKeys();

private:
    // Presses and releases each key (X keysym names) on the focused window.
    bool xdotool(const QStringList& keys);
    QString m_xdotool;
};

void TestXvfbGroupKey::initTestCase()
{
    if (const char* missing = testsupport::XdotoolMissing(&m_xdotool))
        QSKIP(missing);
}

bool TestXvfbGroupKey::xdotool(const QStringList& keys)
{
    QProcess process;
    process.start(m_xdotool, QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} + keys);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void TestXvfbGroupKey::realKeys()
{
    struct Seen {
        int message;
        int vk;
    };
    QVector<Seen> seen;
    const int handle = KeyEventSource::Add([&seen](int message, int vk) { seen.append({message, vk}); });

    GroupKey dialog;
    qint64 now = 0;
    dialog.SetClock([&now] { return now; });
    QLineEdit* line = dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit"));
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(line));

    // Three keys within the group window.
    QVERIFY(xdotool({"a", "b", "d"}));
    QTRY_COMPARE(line->text(), QStringLiteral("A+B+D"));
    // Each press and release reported once, as the virtual keys of A, B, D.
    QTRY_COMPARE(seen.size(), 6);
    const int expected[] = {'A', 'A', 'B', 'B', 'D', 'D'};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(seen.at(i).vk, expected[i]);
        QCOMPARE(seen.at(i).message, i % 2 == 0 ? int(KeyEventSource::KeyDown) : int(KeyEventSource::KeyUp));
    }

    // A new group: the keypad plus is one name, F1 after F12 is a new name.
    now += 3000;
    QVERIFY(xdotool({"KP_Add", "F12", "F1"}));
    QTRY_COMPARE(line->text(), QStringLiteral("Num++F12+F1"));

    // Modifier keys never enter the line; Escape does and does not close.
    now += 3000;
    seen.clear();
    QVERIFY(xdotool({"Shift_L", "Shift_R", "Control_R", "Super_L", "Escape"}));
    QTRY_COMPARE(line->text(), QStringLiteral("Esc"));
    QVERIFY(dialog.isVisible());
    // (xdotool holds the left modifier too while it presses a right one.)
    QTRY_VERIFY(!seen.isEmpty() && seen.last().vk == 27 && seen.last().message == KeyEventSource::KeyUp);
    QVector<int> downs, ups;
    for (const Seen& s : seen)
        (s.message == KeyEventSource::KeyDown ? downs : ups).append(s.vk);
    std::sort(downs.begin(), downs.end());
    std::sort(ups.begin(), ups.end());
    QCOMPARE(downs, ups);
    QCOMPARE(downs, (QVector<int>{27, 91, 160, 160, 161, 162, 163}));

    // A key bound to a shortcut (it comes as a ShortcutOverride only): still
    // reported once, and the shortcut still fires.
    now += 3000;
    seen.clear();
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::Key_F5), &dialog);
    connect(&shortcut, &QShortcut::activated, [&fired] { ++fired; });
    QVERIFY(xdotool({"F5"}));
    QTRY_COMPARE(seen.size(), 2);
    QCOMPARE(seen.at(0).vk, 116);
    QCOMPARE(seen.at(0).message, int(KeyEventSource::KeyDown));
    QCOMPARE(seen.at(1).message, int(KeyEventSource::KeyUp));
    QCOMPARE(fired, 1);
    QCOMPARE(line->text(), QStringLiteral("F5"));

    // OK with a captured key: the answer, and the installation removed.
    now += 3000;
    QVERIFY(xdotool({"Tab"}));
    QTRY_COMPARE(line->text(), QStringLiteral("Tab"));
    QTest::mouseClick(dialog.findChild<QToolButton*>(QStringLiteral("NewHong")), Qt::LeftButton);
    QVERIFY(dialog.IsAccepted());
    QCOMPARE(dialog.ResultText(), QStringLiteral("Tab"));
    QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
    KeyEventSource::Remove(handle);
}

QTEST_MAIN(TestXvfbGroupKey)
#include "xvfb_groupkey.moc"
