// The key-combination dialog (GroupKey) and the single-key dialog (addKey):
// their key-name tables, the grouping of keys on a clock the test drives,
// OK with modifiers, the too-many notice, pasted text, the ways out and the
// hook installation that each of them must remove.
#include "GroupKey.h"
#include "GroupMaxThree.h"
#include "KeyEventSource.h"
#include "KeyGroupCapture.h"
#include "KeyNames.h"
#include "KeyRecords.h"
#include "KeyboardHook.h"
#include "VirtualKeyNames.h"
#include "addKey.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace keys;

namespace {

constexpr int Down = KeyboardHook::WmKeyDown;
constexpr int Up = KeyboardHook::WmKeyUp;

// Virtual keys.
constexpr int VkSpace = 32, VkShift = 160, VkRShift = 161, VkRWin = 92, VkRAlt = 165, VkEsc = 27;
constexpr int VkF1 = 112, VkF12 = 123, VkPgUp = 33, VkNum1 = 97, VkNumPlus = 107;

// A GroupKey with a clock the test moves.
struct Group {
    GroupKey dialog;
    qint64 now = 1000;
    QLineEdit* line;

    Group()
    {
        dialog.SetClock([this] { return now; });
        line = dialog.findChild<QLineEdit*>(QStringLiteral("lineEdit"));
    }
    // A key pressed and released through the hook.
    void key(int vk)
    {
        KeyboardHook::HookProc(KeyboardHook::GroupKey, Down, vk);
        KeyboardHook::HookProc(KeyboardHook::GroupKey, Up, vk);
    }
    void press(int vk) { KeyboardHook::HookProc(KeyboardHook::GroupKey, Down, vk); }
    void check(const char* name) { dialog.findChild<QCheckBox*>(QString::fromLatin1(name))->setChecked(true); }
    void click(const char* name) { QTest::mouseClick(dialog.findChild<QToolButton*>(QString::fromLatin1(name)), Qt::LeftButton); }
};

QToolButton* button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QToolButton*>(QString::fromLatin1(name));
}

bool openActive(QWidget& w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    return QTest::qWaitForWindowActive(&w);
}

}  // namespace

class TestCaptureDialogs : public QObject
{
    Q_OBJECT

private slots:
    void keyNameTables();
    void groupingPure();
    void groupKeyLines();
    void groupKeyOk();
    void groupKeyTooMany();
    void groupKeyPasted();
    void groupKeyRealKeys();
    void groupKeyExits();
    void addKeyLastEvent();
    void addKeyExits();
};

void TestCaptureDialogs::keyNameTables()
{
    // The combination table: 95 named keys; the single-key table 7 more.
    int combination = 0, single = 0;
    for (int vk = 0; vk < 256; ++vk) {
        const QString name = CombinationKeyName(vk);
        const QString singleName = SingleKeyName(vk);
        if (!name.isEmpty()) {
            ++combination;
            // Every name is a key of the vocabulary and goes into a record.
            QVERIFY2(IsCombinationName(name), qPrintable(name));
            QCOMPARE(singleName, name);
        }
        if (!singleName.isEmpty()) {
            ++single;
            QVERIFY2(KeyNameToHidCodes(singleName).size() == 2, qPrintable(singleName));
        }
    }
    QCOMPARE(combination, 94);  // the 95th row, code 12, is the empty name
    QCOMPARE(single, 101);
    QCOMPARE(CombinationKeyName('A'), QStringLiteral("A"));
    QCOMPARE(CombinationKeyName('0'), QStringLiteral("0"));
    QCOMPARE(CombinationKeyName(96), QStringLiteral("Num0"));
    QCOMPARE(CombinationKeyName(VkNumPlus), QStringLiteral("Num+"));
    QCOMPARE(CombinationKeyName(37), QString(QChar(0x2190)));
    QCOMPARE(CombinationKeyName(40), QString(QChar(0x2193)));
    QCOMPARE(CombinationKeyName(192), QStringLiteral("`"));
    QCOMPARE(CombinationKeyName(220), QStringLiteral("\\"));
    QCOMPARE(CombinationKeyName(44), QStringLiteral("Screen"));
    for (int vk : {12, VkSpace, 16, 17, 18, VkShift, VkRShift, 162, 163, 164, VkRAlt, 91, VkRWin})
        QCOMPARE(CombinationKeyName(vk), QString());
    QCOMPARE(SingleKeyName(VkShift), QStringLiteral("LShift"));
    QCOMPARE(SingleKeyName(VkRWin), QStringLiteral("RWin"));
    QCOMPARE(SingleKeyName(164), QStringLiteral("LAlt"));
    QCOMPARE(SingleKeyName(VkRAlt), QString());
    QCOMPARE(SingleKeyName(VkSpace), QString());
}

void TestCaptureDialogs::groupingPure()
{
    KeyGroupCapture c;
    QString line;
    line = c.KeyDown('A', "A", line, 0);
    line = c.KeyDown('B', "B", line, 500);
    line = c.KeyDown('D', "D", line, 1999);
    QCOMPARE(line, QStringLiteral("A+B+D"));
    QCOMPARE(c.LastKey(), -1);
    QCOMPARE(c.SeparatorCount(), 1);
    // The window is measured from the group's first key, not the last one.
    line = c.KeyDown('E', "E", line, 2000);
    QCOMPARE(line, QStringLiteral("E"));
    QCOMPARE(c.SeparatorCount(), 0);
    line = c.KeyDown('F', "F", line, 2001);
    QCOMPARE(line, QStringLiteral("F"));  // 2001 ms after A: a new group
    // The same key held down past the window starts a new group with itself.
    line = c.KeyDown('F', "F", line, 2500);
    QCOMPARE(line, QStringLiteral("F"));
    line = c.KeyDown('F', "F", line, 4100);
    QCOMPARE(line, QStringLiteral("F"));
    line = c.KeyDown('G', "G", line, 4200);
    QCOMPARE(line, QStringLiteral("F+G"));

    // OK's composition.
    QCOMPARE(ComposeCombination(true, false, false, false, "A+B").text, QStringLiteral("Shift+A+B"));
    QCOMPARE(ComposeCombination(false, true, true, false, "").text, QStringLiteral("Ctrl+Alt"));
    QCOMPARE(ComposeCombination(true, true, true, true, "").outcome, Combination::TooMany);
    QCOMPARE(ComposeCombination(false, true, true, false, "A+B").outcome, Combination::TooMany);
    QCOMPARE(ComposeCombination(false, false, false, false, "").outcome, Combination::Empty);
    QCOMPARE(ComposeCombination(false, false, false, false, "CTRL+A").outcome, Combination::Unknown);
    QCOMPARE(ComposeCombination(false, false, false, false, "A+").outcome, Combination::Unknown);
    const Combination plus = ComposeCombination(false, true, false, false, "Num++A");
    QCOMPARE(plus.outcome, Combination::Accepted);
    QCOMPARE(plus.text, QStringLiteral("Ctrl+Num++A"));
}

void TestCaptureDialogs::groupKeyLines()
{
    {
        // A, B, D within 2000 ms of A; E next, still within the window.
        Group g;
        g.key('A');
        g.now += 700;
        g.key('B');
        g.now += 700;
        g.key('D');
        QCOMPARE(g.line->text(), QStringLiteral("A+B+D"));
        g.now += 100;
        g.key('E');
        QCOMPARE(g.line->text(), QStringLiteral("E"));
    }
    {
        // B 2500 ms after A.
        Group g;
        g.key('A');
        g.now += 2500;
        g.key('B');
        QCOMPARE(g.line->text(), QStringLiteral("B"));
    }
    {
        // A twice; then a held D after a full line starts the next line.
        Group g;
        g.key('A');
        g.key('A');
        QCOMPARE(g.line->text(), QStringLiteral("A"));
        g.key('B');
        g.press('D');
        QCOMPARE(g.line->text(), QStringLiteral("A+B+D"));
        g.press('D');  // auto-repeat
        QCOMPARE(g.line->text(), QStringLiteral("D"));
    }
    {
        // Names are compared whole: F1 after F12, P after PgUp, 1 after Num1.
        Group g;
        g.key(VkF12);
        g.key(VkF1);
        QCOMPARE(g.line->text(), QStringLiteral("F12+F1"));
        g.now += 3000;
        g.key(VkPgUp);
        g.key('P');
        QCOMPARE(g.line->text(), QStringLiteral("PgUp+P"));
        g.now += 3000;
        g.key(VkNum1);
        g.key('1');
        QCOMPARE(g.line->text(), QStringLiteral("Num1+1"));
    }
    {
        // "Num+" is one name wherever it stands, and the line still holds
        // at most three names.
        Group g;
        g.key(VkNumPlus);
        g.key('A');
        QCOMPARE(g.line->text(), QStringLiteral("Num++A"));
        g.key(VkNumPlus);  // already in the line
        QCOMPARE(g.line->text(), QStringLiteral("Num++A"));
        g.key('B');
        QCOMPARE(g.line->text(), QStringLiteral("Num++A+B"));
        g.key('C');
        QCOMPARE(g.line->text(), QStringLiteral("C"));
        g.key('A');
        g.key(VkNumPlus);
        QCOMPARE(g.line->text(), QStringLiteral("C+A+Num+"));
        QCOMPARE(SplitKeyCombination(g.line->text()).size(), 3);
    }
    {
        // Space and the modifier keys have no name: nothing enters the line;
        // on a full line such a key clears it.
        Group g;
        g.key('A');
        g.key(VkSpace);
        g.key(VkShift);
        g.key(164);
        QCOMPARE(g.line->text(), QStringLiteral("A"));
        g.key('B');
        g.key('C');
        g.key(VkSpace);
        QCOMPARE(g.line->text(), QString());
    }
}

void TestCaptureDialogs::groupKeyOk()
{
    {
        Group g;
        g.check("Shift");
        g.key('A');
        g.key('B');
        g.click("NewHong");
        QVERIFY(g.dialog.IsAccepted());
        QCOMPARE(g.dialog.ResultText(), QStringLiteral("Shift+A+B"));
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
    }
    {
        Group g;
        g.check("Ctrl");
        g.click("NewHong");
        QVERIFY(g.dialog.IsAccepted());
        QCOMPARE(g.dialog.ResultText(), QStringLiteral("Ctrl"));
    }
    {
        // A combination with the keypad plus converts to a record of three keys.
        Group g;
        g.check("Alt");
        g.key(VkNumPlus);
        g.key('A');
        g.click("NewHong");
        QVERIFY(g.dialog.IsAccepted());
        QCOMPARE(g.dialog.ResultText(), QStringLiteral("Alt+Num++A"));
        const auto record = GroupKeyToRecord(g.dialog.ResultText());
        QVERIFY(record.has_value());
        QCOMPARE(int(record->count), 6);
        QCOMPARE(int(record->events[1].code), 0x57);
        QCOMPARE(int(record->events[2].code), 0x04);
    }
    {
        // Nothing ticked and nothing captured: closed like Cancel.
        Group g;
        QVERIFY(openActive(g.dialog));
        g.click("NewHong");
        QVERIFY(!g.dialog.IsAccepted());
        QVERIFY(g.dialog.ResultText().isEmpty());
        QVERIFY(!g.dialog.isVisible());
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
    }
}

void TestCaptureDialogs::groupKeyTooMany()
{
    Group g;
    g.dialog.move(120, 90);
    QVERIFY(openActive(g.dialog));
    g.check("Ctrl");
    g.check("Alt");
    g.key('A');
    g.key('B');
    // The notice comes up modal on the dialog's top-left corner.
    QString noticeClass;
    QPoint noticeAt;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        noticeClass = QString::fromLatin1(modal->metaObject()->className());
        noticeAt = modal->pos();
        modal->close();
    });
    g.click("NewHong");
    QCOMPARE(noticeClass, QStringLiteral("GroupMaxThree"));
    QCOMPARE(noticeAt, g.dialog.mapToGlobal(QPoint(0, 0)));
    // The keys are cleared; the dialog, the modifiers and the hook stay.
    QCOMPARE(g.line->text(), QString());
    QVERIFY(g.dialog.isVisible());
    QVERIFY(!g.dialog.IsAccepted());
    QVERIFY(g.dialog.findChild<QCheckBox*>("Ctrl")->isChecked());
    QVERIFY(KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
    // The next key starts a fresh line, and one key with two modifiers passes.
    g.key('B');
    QCOMPARE(g.line->text(), QStringLiteral("B"));
    g.click("NewHong");
    QVERIFY(g.dialog.IsAccepted());
    QCOMPARE(g.dialog.ResultText(), QStringLiteral("Ctrl+Alt+B"));
}

void TestCaptureDialogs::groupKeyPasted()
{
    Group g;
    QVERIFY(openActive(g.dialog));
    QApplication::clipboard()->setText(QStringLiteral("ctrl+a"));
    g.line->paste();
    QCOMPARE(g.line->text(), QStringLiteral("CTRL+A"));
    // Not a combination of key names: refused, the line cleared, still open.
    g.click("NewHong");
    QVERIFY(!g.dialog.IsAccepted());
    QVERIFY(g.dialog.isVisible());
    QCOMPARE(g.line->text(), QString());
    QVERIFY(KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
    // A pasted text of key names is taken.
    QApplication::clipboard()->setText(QStringLiteral("f5"));
    g.line->paste();
    g.click("NewHong");
    QVERIFY(g.dialog.IsAccepted());
    QCOMPARE(g.dialog.ResultText(), QStringLiteral("F5"));
}

void TestCaptureDialogs::groupKeyRealKeys()
{
    // Keys typed on the focused field reach the dialog through the event
    // source; Escape and F12 are captured and do not close it.
    Group g;
    QVERIFY(openActive(g.dialog));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(g.line));
    QTest::keyClick(g.line, Qt::Key_Escape);
    QTest::keyClick(g.line, Qt::Key_F12);
    QTest::keyClick(g.line, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(g.line->text(), QStringLiteral("Esc+F12+Num+"));
    QVERIFY(g.dialog.isVisible());
    // Escape on another widget of the dialog does not close it either.
    QCheckBox* shift = g.dialog.findChild<QCheckBox*>("Shift");
    shift->setFocus();
    QTest::keyClick(shift, Qt::Key_Escape);
    QVERIFY(g.dialog.isVisible());
    // Typing into the field adds nothing beyond the captured names.
    g.line->setFocus();
    g.now += 3000;
    QTest::keyClick(g.line, Qt::Key_A);
    QCOMPARE(g.line->text(), QStringLiteral("A"));

    // The whole way through exec(): keys, OK, the answer.
    GroupKey dialog;
    QTimer::singleShot(0, [&dialog] {
        if (!QTest::qWaitForWindowActive(&dialog))  // the keys go to the focused field
            qWarning("the dialog did not become active");
        QLineEdit* line = dialog.findChild<QLineEdit*>("lineEdit");
        QTest::keyClick(line, Qt::Key_C);
        QTest::keyClick(line, Qt::Key_V);
        QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton);
    });
    dialog.exec();
    QVERIFY(dialog.IsAccepted());
    QCOMPARE(dialog.ResultText(), QStringLiteral("C+V"));
}

void TestCaptureDialogs::groupKeyExits()
{
    // Cancel and the close button: no answer, the installation removed.
    for (const char* way : {"NewHong_2", "CloseButton"}) {
        Group g;
        QVERIFY(openActive(g.dialog));
        g.key('A');
        g.click(way);
        QVERIFY(!g.dialog.IsAccepted());
        QVERIFY(g.dialog.ResultText().isEmpty());
        QVERIFY(!g.dialog.isVisible());
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
    }
    {
        // Closed by the window system.
        Group g;
        QVERIFY(openActive(g.dialog));
        g.dialog.close();
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
        QCOMPARE(KeyEventSource::ListenerCount(), 0);
    }
    {
        // Destroyed while still open: nothing can call it afterwards.
        auto g = std::make_unique<Group>();
        QVERIFY(KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
        g.reset();
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::GroupKey));
        KeyboardHook::HookProc(KeyboardHook::GroupKey, Down, 'A');
        QCOMPARE(KeyEventSource::ListenerCount(), 0);
    }
}

void TestCaptureDialogs::addKeyLastEvent()
{
    addKey dialog;
    QLineEdit* line = dialog.findChild<QLineEdit*>("lineEdit");
    auto event = [](int message, int vk) { KeyboardHook::HookProc(KeyboardHook::AddKey, message, vk); };
    event(Down, 'A');
    event(Up, 'A');
    QCOMPARE(line->text(), QStringLiteral("A"));
    QCOMPARE(dialog.ResultText(), QStringLiteral("A"));
    event(Down, VkShift);
    event(Up, VkShift);
    QCOMPARE(dialog.ResultText(), QStringLiteral("LShift"));
    event(Down, VkRWin);
    QCOMPARE(dialog.ResultText(), QStringLiteral("RWin"));
    // Overlapping keys: the one released last.
    event(Down, 'A');
    event(Down, 'B');
    event(Up, 'A');
    event(Up, 'B');
    QCOMPARE(dialog.ResultText(), QStringLiteral("B"));
    event(Down, 'A');
    event(Down, 'B');
    event(Up, 'B');
    event(Up, 'A');
    QCOMPARE(dialog.ResultText(), QStringLiteral("A"));
    // Keys without a name empty the line.
    event(Down, VkRAlt);
    QCOMPARE(line->text(), QString());
    QCOMPARE(dialog.ResultText(), QString());
    event(Down, 'A');
    event(Down, VkSpace);
    QCOMPARE(dialog.ResultText(), QString());

    // Escape and F12 through the keyboard: shown, and the dialog stays.
    QVERIFY(openActive(dialog));
    QTest::keyClick(line, Qt::Key_Escape);
    QCOMPARE(line->text(), QStringLiteral("Esc"));
    QVERIFY(dialog.isVisible());
    QTest::keyClick(line, Qt::Key_F12);
    QCOMPARE(line->text(), QStringLiteral("F12"));
    QVERIFY(dialog.isVisible());
    // A typed letter shows as the key's name, not as the character.
    QTest::keyClick(line, Qt::Key_Q);
    QCOMPARE(line->text(), QStringLiteral("Q"));
    QCOMPARE(dialog.ResultText(), QStringLiteral("Q"));
}

void TestCaptureDialogs::addKeyExits()
{
    {
        // OK through exec(): Accepted and the name.
        addKey dialog;
        QTimer::singleShot(0, [&dialog] {
            if (!QTest::qWaitForWindowActive(&dialog))
                qWarning("the dialog did not become active");
            QTest::keyClick(dialog.findChild<QLineEdit*>("lineEdit"), Qt::Key_Tab);
            QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(dialog.IsAccepted());
        QCOMPARE(dialog.ResultText(), QStringLiteral("Tab"));
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::AddKey));
    }
    for (const char* way : {"NewHong_2", "CloseButton"}) {
        // Cancel and Close after a key was captured: no answer.
        addKey dialog;
        QTimer::singleShot(0, [&dialog, way] {
            KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'A');
            QTest::mouseClick(button(dialog, way), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(!dialog.IsAccepted());
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::AddKey));
    }
    {
        // OK with a key that has no name: like Cancel.
        addKey dialog;
        QTimer::singleShot(0, [&dialog] {
            KeyboardHook::HookProc(KeyboardHook::AddKey, Down, VkSpace);
            QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(!dialog.IsAccepted());
    }
    {
        // Closed by the window system, and destroyed while open.
        addKey closed;
        QVERIFY(openActive(closed));
        closed.close();
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::AddKey));
        auto open = std::make_unique<addKey>();
        QVERIFY(KeyboardHook::IsInstalled(KeyboardHook::AddKey));
        open.reset();
        QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::AddKey));
        KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'A');
        QCOMPARE(KeyEventSource::ListenerCount(), 0);
    }
    {
        // One dialog after another in one scope: the first going away does
        // not take the second one's installation with it.
        auto first = std::make_unique<addKey>();
        first->on_NewHong_2_clicked();
        addKey second;
        first.reset();
        QVERIFY(KeyboardHook::IsInstalled(KeyboardHook::AddKey));
        KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'K');
        QCOMPARE(second.ResultText(), QStringLiteral("K"));
    }
}

QTEST_MAIN(TestCaptureDialogs)
#include "tst_capturedialogs.moc"
