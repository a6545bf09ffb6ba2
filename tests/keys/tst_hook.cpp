// The keyboard hook: its state machine fed with synthetic events, the three
// installations kept apart, removal and owners that go away, and the event
// source that turns Qt key events into virtual keys (scan codes, the Qt::Key
// fallback, auto-repeat, shortcuts, propagation to parents).
#include "KeyEventSource.h"
#include "KeyboardHook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

struct Report {
    int vk;
    bool down;
    bool repeated;
    bool operator==(const Report& o) const { return vk == o.vk && down == o.down && repeated == o.repeated; }
};

struct Sourced {
    int message;
    int vk;
    bool operator==(const Sourced& o) const { return message == o.message && vk == o.vk; }
};

// Readable failures (found by argument-dependent lookup from QCOMPARE).
char* toString(const Report& r)
{
    return qstrdup(QByteArray("(" + QByteArray::number(r.vk) + (r.down ? ", down" : ", up")
                              + (r.repeated ? ", repeated)" : ")"))
                       .constData());
}

char* toString(const QVector<Report>& reports)
{
    QByteArray text;
    for (const Report& r : reports) {
        char* one = toString(r);
        text += one;
        delete[] one;
    }
    return qstrdup(text.constData());
}

char* toString(const QVector<Sourced>& events)
{
    QByteArray text;
    for (const Sourced& s : events)
        text += "(0x" + QByteArray::number(s.message, 16) + ", " + QByteArray::number(s.vk) + ")";
    return qstrdup(text.constData());
}

// An owner as the dialogs are: a QObject with the callback as a member.
class Owner : public QObject
{
    Q_OBJECT

public:
    QVector<Report> reports;

public slots:
    void UpdateCapslockTip(int vk, bool down, bool repeated) { reports.append({vk, down, repeated}); }
};

// A focused line edit in an active window, with the event source's reports.
struct KeyWindow {
    QWidget window;
    QLineEdit* edit;
    QVector<Sourced> seen;
    int handle = 0;

    KeyWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        edit = new QLineEdit(&window);
        layout->addWidget(edit);
        handle = KeyEventSource::Add([this](int message, int vk) { seen.append({message, vk}); });
    }
    ~KeyWindow() { KeyEventSource::Remove(handle); }

    bool open()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        edit->setFocus();
        return QApplication::focusWidget() == edit;
    }

    // A key event as the X11 platform delivers it: with its scan code.
    void send(QEvent::Type type, int qtKey, quint32 scanCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              bool autoRepeat = false, const QString& text = QString())
    {
        QKeyEvent event(type, qtKey, modifiers, scanCode, 0, 0, text, autoRepeat);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }
};

constexpr int Down = KeyboardHook::WmKeyDown;
constexpr int Up = KeyboardHook::WmKeyUp;
constexpr int SysDown = KeyboardHook::WmSysKeyDown;
constexpr int SysUp = KeyboardHook::WmSysKeyUp;

}  // namespace

class TestHook : public QObject
{
    Q_OBJECT

private slots:
    void stateMachine();
    void installationsApart();
    void removalAndOwners();
    void sourceReportsOncePerEvent();
    void sourceAutoRepeatAndShortcuts();
    void scanCodes();
    void systemKeys();
};

void TestHook::stateMachine()
{
    KeyboardHook::State s;
    auto step = [&s](int message, int vk) {
        KeyboardHook::Step(s, message, vk);
        return Report{vk, s.keyDown, s.keyRepeated};
    };
    // Holding A: first key-down, auto-repeats, release.
    QCOMPARE(step(Down, 'A'), (Report{'A', true, false}));
    QCOMPARE(step(Down, 'A'), (Report{'A', true, true}));
    QCOMPARE(step(Down, 'A'), (Report{'A', true, true}));
    QCOMPARE(step(Up, 'A'), (Report{'A', false, false}));
    QCOMPARE(s.lastKey, 0);
    // Pressed again after a key-up: not a repeat.
    QCOMPARE(step(Down, 'A'), (Report{'A', true, false}));
    QCOMPARE(step(Up, 'A'), (Report{'A', false, false}));

    // System keys: F10 alone, a key with Alt; the system key-up keeps the
    // last key, so the next press of the same key counts as repeated.
    QCOMPARE(step(SysDown, 121), (Report{121, true, false}));
    QCOMPARE(step(SysUp, 121), (Report{121, false, true}));
    QCOMPARE(s.lastKey, 121);
    QCOMPARE(step(SysDown, 'K'), (Report{'K', true, false}));
    QCOMPARE(step(SysUp, 'K'), (Report{'K', false, true}));
    QCOMPARE(step(Down, 'K'), (Report{'K', true, true}));
    QCOMPARE(step(Up, 'K'), (Report{'K', false, false}));

    // Overlapping keys: each event compares with the previous event's key.
    QCOMPARE(step(Down, 'A'), (Report{'A', true, false}));
    QCOMPARE(step(Down, 'B'), (Report{'B', true, false}));
    QCOMPARE(step(Up, 'A'), (Report{'A', false, false}));
    QCOMPARE(step(Up, 'B'), (Report{'B', false, false}));

    // Another message changes only the last key and the repeated flag.
    QCOMPARE(step(Down, 'C'), (Report{'C', true, false}));
    QCOMPARE(step(0x0102, 'C'), (Report{'C', true, true}));
}

void TestHook::installationsApart()
{
    Owner recorder, single, group;
    KeyboardHook recorderHook(KeyboardHook::Recorder);
    KeyboardHook singleHook(KeyboardHook::AddKey);
    KeyboardHook groupHook(KeyboardHook::GroupKey);
    recorderHook.SetHook();
    recorderHook.BindKeyHookCallback(&recorder, &Owner::UpdateCapslockTip);
    singleHook.SetHook();
    singleHook.BindKeyHookCallback(&single, &Owner::UpdateCapslockTip);
    groupHook.SetHook();
    groupHook.BindKeyHookCallback(&group, &Owner::UpdateCapslockTip);
    QVERIFY(recorderHook.IsInstalled() && singleHook.IsInstalled() && groupHook.IsInstalled());
    QCOMPARE(KeyEventSource::ListenerCount(), 3);

    // Each installation's events reach its own owner only, with its own state.
    KeyboardHook::HookProc(KeyboardHook::Recorder, Down, 'A');
    KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'A');
    KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'A');
    KeyboardHook::HookProc(KeyboardHook::GroupKey, Up, 'Z');
    QCOMPARE(recorder.reports, (QVector<Report>{{'A', true, false}}));
    QCOMPARE(single.reports, (QVector<Report>{{'A', true, false}, {'A', true, true}}));
    QCOMPARE(group.reports, (QVector<Report>{{'Z', false, false}}));
    QCOMPARE(KeyboardHook::InstallationState(KeyboardHook::Recorder).lastKey, int('A'));
    QCOMPARE(KeyboardHook::InstallationState(KeyboardHook::GroupKey).lastKey, 0);

    // A second SetHook while installed does not register twice.
    singleHook.SetHook();
    QCOMPARE(KeyEventSource::ListenerCount(), 3);

    // Rebinding replaces the slot; an empty slot still updates the state.
    singleHook.SetKeyHookCallback(nullptr);
    KeyboardHook::HookProc(KeyboardHook::AddKey, Up, 'A');
    QCOMPARE(single.reports.size(), 2);
    QCOMPARE(KeyboardHook::InstallationState(KeyboardHook::AddKey).keyDown, false);

    // A real event reaches every installed owner once.
    KeyWindow w;
    QVERIFY(w.open());
    QTest::keyClick(w.edit, Qt::Key_Q);
    QCOMPARE(recorder.reports.mid(1), (QVector<Report>{{'Q', true, false}, {'Q', false, false}}));
    QCOMPARE(group.reports.mid(1), (QVector<Report>{{'Q', true, false}, {'Q', false, false}}));
    // And goes on to the focused widget unchanged.
    QCOMPARE(w.edit->text(), QStringLiteral("q"));
}

void TestHook::removalAndOwners()
{
    Owner owner;
    {
        KeyboardHook hook(KeyboardHook::AddKey);
        hook.SetHook();
        hook.BindKeyHookCallback(&owner, &Owner::UpdateCapslockTip);
        KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'A');
        hook.UnHook();
        hook.UnHook();  // harmless
        QVERIFY(!hook.IsInstalled());
        KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'B');
        QCOMPARE(owner.reports, (QVector<Report>{{'A', true, false}}));

        // Installed again: the state starts afresh.
        hook.SetHook();
        KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'A');
        QCOMPARE(owner.reports.last(), (Report{'A', true, false}));
    }
    // The hook object went away without UnHook: the installation went with it.
    QVERIFY(!KeyboardHook::IsInstalled(KeyboardHook::AddKey));
    QCOMPARE(KeyEventSource::ListenerCount(), 0);
    const int before = owner.reports.size();
    KeyboardHook::HookProc(KeyboardHook::AddKey, Down, 'C');
    QCOMPARE(owner.reports.size(), before);

    // An owner destroyed while its installation is still in place is never
    // called (ASan would report a call into the freed object).
    KeyboardHook hook(KeyboardHook::Recorder);
    auto gone = std::make_unique<Owner>();
    hook.SetHook();
    hook.BindKeyHookCallback(gone.get(), &Owner::UpdateCapslockTip);
    gone.reset();
    KeyboardHook::HookProc(KeyboardHook::Recorder, Down, 'A');
    QVERIFY(KeyboardHook::IsInstalled(KeyboardHook::Recorder));

    // A callback may remove its own installation while it runs.
    KeyboardHook self(KeyboardHook::GroupKey);
    int calls = 0;
    self.SetHook();
    self.SetKeyHookCallback([&](int, bool, bool) {
        ++calls;
        self.UnHook();
    });
    KeyWindow w;
    QVERIFY(w.open());
    QTest::keyClick(w.edit, Qt::Key_A);
    QCOMPARE(calls, 1);
    QVERIFY(!self.IsInstalled());
    hook.UnHook();
}

void TestHook::sourceReportsOncePerEvent()
{
    KeyWindow w;
    QVERIFY(w.open());
    QTest::keyClick(w.edit, Qt::Key_A);
    QCOMPARE(w.seen, (QVector<Sourced>{{Down, 'A'}, {Up, 'A'}}));
    QCOMPARE(w.edit->text(), QStringLiteral("a"));

    // A key the focused widget ignores goes on to its parents: still one report.
    w.seen.clear();
    QTest::keyClick(w.edit, Qt::Key_F7);
    QCOMPARE(w.seen, (QVector<Sourced>{{Down, 118}, {Up, 118}}));

    // Events that reach another widget than the key target are not keys of
    // the keyboard (a parent handed one by code): not reported.
    w.seen.clear();
    QKeyEvent stray(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier);
    QApplication::sendEvent(&w.window, &stray);
    QVERIFY(w.seen.isEmpty());

    // Keys the table does not know are passed over.
    QTest::keyClick(w.edit, Qt::Key_Launch0);
    QVERIFY(w.seen.isEmpty());

    // The Qt::Key fallback: keypad keys, shifted characters, modifiers.
    QTest::keyClick(w.edit, Qt::Key_7, Qt::KeypadModifier);
    QTest::keyClick(w.edit, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(w.edit, Qt::Key_Exclam, Qt::ShiftModifier);
    QTest::keyClick(w.edit, Qt::Key_Escape);
    // (QTest presses and releases Shift around the "!".)
    QCOMPARE(w.seen, (QVector<Sourced>{{Down, 103}, {Up, 103}, {Down, 107}, {Up, 107}, {Down, 160}, {Down, '1'},
                                       {Up, '1'}, {Up, 160}, {Down, 27}, {Up, 27}}));
    QCOMPARE(KeyEventSource::VirtualKeyFromQtKey(Qt::Key_Shift, Qt::NoModifier), 160);
    QCOMPARE(KeyEventSource::VirtualKeyFromQtKey(Qt::Key_Control, Qt::NoModifier), 162);
    QCOMPARE(KeyEventSource::VirtualKeyFromQtKey(Qt::Key_Alt, Qt::NoModifier), 164);
    QCOMPARE(KeyEventSource::VirtualKeyFromQtKey(Qt::Key_Meta, Qt::NoModifier), 91);
    QCOMPARE(KeyEventSource::VirtualKeyFromQtKey(Qt::Key_Minus, Qt::NoModifier), 189);
    QCOMPARE(KeyEventSource::VirtualKeyFromQtKey(Qt::Key_Minus, Qt::KeypadModifier), 109);
}

void TestHook::sourceAutoRepeatAndShortcuts()
{
    KeyWindow w;
    QVERIFY(w.open());
    KeyboardHook hook(KeyboardHook::Recorder);
    Owner owner;
    hook.SetHook();
    hook.BindKeyHookCallback(&owner, &Owner::UpdateCapslockTip);

    // A held key as X11 delivers it: press, then release + press pairs
    // marked auto-repeat, then the real release.
    w.send(QEvent::KeyPress, Qt::Key_A, 38, Qt::NoModifier, false, "a");
    for (int i = 0; i < 2; ++i) {
        w.send(QEvent::KeyRelease, Qt::Key_A, 38, Qt::NoModifier, true, "a");
        w.send(QEvent::KeyPress, Qt::Key_A, 38, Qt::NoModifier, true, "a");
    }
    w.send(QEvent::KeyRelease, Qt::Key_A, 38, Qt::NoModifier, false, "a");
    QCOMPARE(w.seen, (QVector<Sourced>{{Down, 'A'}, {Down, 'A'}, {Down, 'A'}, {Up, 'A'}}));
    QCOMPARE(owner.reports,
             (QVector<Report>{{'A', true, false}, {'A', true, true}, {'A', true, true}, {'A', false, false}}));
    QCOMPARE(w.edit->text(), QStringLiteral("aaa"));

    // A key bound to a shortcut arrives as a ShortcutOverride only: its press
    // is reported from there, once, and the shortcut still fires.
    w.seen.clear();
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::Key_F5), &w.window);
    connect(&shortcut, &QShortcut::activated, [&fired] { ++fired; });
    QTest::keyClick(w.edit, Qt::Key_F5);
    QCOMPARE(fired, 1);
    QCOMPARE(w.seen, (QVector<Sourced>{{Down, 116}, {Up, 116}}));

    // A key that the focused widget takes over from the shortcut comes as
    // ShortcutOverride and then as the key press: one report.
    w.seen.clear();
    QShortcut letter(QKeySequence(Qt::Key_B), &w.window);
    connect(&letter, &QShortcut::activated, [&fired] { ++fired; });
    QTest::keyClick(w.edit, Qt::Key_B);
    QCOMPARE(fired, 1);
    QCOMPARE(w.seen, (QVector<Sourced>{{Down, 'B'}, {Up, 'B'}}));
    QCOMPARE(w.edit->text(), QStringLiteral("aaab"));
}

void TestHook::scanCodes()
{
    using KeyEventSource::VirtualKeyFromScanCode;
    // X11 key codes (Linux key code + 8): left and right modifiers apart.
    QCOMPARE(VirtualKeyFromScanCode(50), 160);   // left Shift
    QCOMPARE(VirtualKeyFromScanCode(62), 161);   // right Shift
    QCOMPARE(VirtualKeyFromScanCode(37), 162);   // left Ctrl
    QCOMPARE(VirtualKeyFromScanCode(105), 163);  // right Ctrl
    QCOMPARE(VirtualKeyFromScanCode(64), 164);   // left Alt
    QCOMPARE(VirtualKeyFromScanCode(108), 165);  // right Alt
    QCOMPARE(VirtualKeyFromScanCode(133), 91);   // left Win
    QCOMPARE(VirtualKeyFromScanCode(134), 92);   // right Win
    QCOMPARE(VirtualKeyFromScanCode(135), 93);   // menu
    QCOMPARE(VirtualKeyFromScanCode(38), int('A'));
    QCOMPARE(VirtualKeyFromScanCode(58), int('M'));
    QCOMPARE(VirtualKeyFromScanCode(19), int('0'));
    QCOMPARE(VirtualKeyFromScanCode(10), int('1'));
    QCOMPARE(VirtualKeyFromScanCode(67), 112);   // F1
    QCOMPARE(VirtualKeyFromScanCode(96), 123);   // F12
    QCOMPARE(VirtualKeyFromScanCode(86), 107);   // keypad +
    QCOMPARE(VirtualKeyFromScanCode(104), 13);   // keypad Enter
    QCOMPARE(VirtualKeyFromScanCode(107), 44);   // Print
    QCOMPARE(VirtualKeyFromScanCode(127), 19);   // Pause
    QCOMPARE(VirtualKeyFromScanCode(49), 192);   // grave accent
    QCOMPARE(VirtualKeyFromScanCode(51), 220);   // backslash
    QCOMPARE(VirtualKeyFromScanCode(113), 37);   // Left
    QCOMPARE(VirtualKeyFromScanCode(0), 0);
    QCOMPARE(VirtualKeyFromScanCode(7), 0);
    QCOMPARE(VirtualKeyFromScanCode(300), 0);

    KeyWindow w;
    QVERIFY(w.open());
    // The scan code wins over the Qt key: Shift+1 is still the key "1", and
    // the right Shift is not the left one.
    w.send(QEvent::KeyPress, Qt::Key_Exclam, 10, Qt::ShiftModifier, false, "!");
    w.send(QEvent::KeyPress, Qt::Key_Shift, 62, Qt::ShiftModifier);
    // Keypad 7 with NumLock on is Num7, with NumLock off the Home key.
    w.send(QEvent::KeyPress, Qt::Key_7, 79, Qt::KeypadModifier, false, "7");
    w.send(QEvent::KeyPress, Qt::Key_Home, 79, Qt::KeypadModifier);
    // A code the table does not know falls back to the Qt key.
    w.send(QEvent::KeyPress, Qt::Key_Z, 250, Qt::NoModifier, false, "z");
    QCOMPARE(w.seen, (QVector<Sourced>{{Down, '1'}, {Down, 161}, {Down, 103}, {Down, 36}, {Down, 'Z'}}));
}

void TestHook::systemKeys()
{
    KeyWindow w;
    QVERIFY(w.open());
    // Alt, then A while Alt is held: system keys; A's release while Alt is
    // down too; Alt's own release after another key: an ordinary key-up.
    w.send(QEvent::KeyPress, Qt::Key_Alt, 64);
    w.send(QEvent::KeyPress, Qt::Key_A, 38, Qt::AltModifier);
    w.send(QEvent::KeyRelease, Qt::Key_A, 38, Qt::AltModifier);
    w.send(QEvent::KeyRelease, Qt::Key_Alt, 64, Qt::AltModifier);
    // Alt alone, and F10 alone.
    w.send(QEvent::KeyPress, Qt::Key_Alt, 64);
    w.send(QEvent::KeyRelease, Qt::Key_Alt, 64, Qt::AltModifier);
    w.send(QEvent::KeyPress, Qt::Key_F10, 76);
    w.send(QEvent::KeyRelease, Qt::Key_F10, 76);
    // Ctrl+Alt+A: ordinary keys.
    w.send(QEvent::KeyPress, Qt::Key_Control, 37);
    w.send(QEvent::KeyPress, Qt::Key_Alt, 64, Qt::ControlModifier);
    w.send(QEvent::KeyPress, Qt::Key_A, 38, Qt::ControlModifier | Qt::AltModifier);
    w.send(QEvent::KeyRelease, Qt::Key_A, 38, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(w.seen, (QVector<Sourced>{{SysDown, 164},
                                       {SysDown, 'A'},
                                       {SysUp, 'A'},
                                       {Up, 164},
                                       {SysDown, 164},
                                       {SysUp, 164},
                                       {SysDown, 121},
                                       {SysUp, 121},
                                       {Down, 162},
                                       {Down, 164},
                                       {Down, 'A'},
                                       {Up, 'A'}}));
}

QTEST_MAIN(TestHook)
#include "tst_hook.moc"
