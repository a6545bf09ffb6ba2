#include "KeyEventSource.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QVector>
#include <QWidget>

namespace KeyEventSource {

namespace {

// Virtual keys by Linux input key code (the scan code minus 8).
const QHash<int, int>& linuxKeyTable()
{
    static const QHash<int, int> table = [] {
        QHash<int, int> t;
        t.insert(1, 27);  // Esc
        for (int i = 0; i < 9; ++i)
            t.insert(2 + i, '1' + i);  // 1..9
        t.insert(11, '0');
        t.insert(12, 189);  // -
        t.insert(13, 187);  // =
        t.insert(14, 8);    // BackSpace
        t.insert(15, 9);    // Tab
        const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
        const int rowStart[] = {16, 30, 44};
        for (int r = 0; r < 3; ++r) {
            for (int i = 0; rows[r][i]; ++i)
                t.insert(rowStart[r] + i, rows[r][i]);
        }
        t.insert(26, 219);  // [
        t.insert(27, 221);  // ]
        t.insert(28, 13);   // Enter
        t.insert(29, 162);  // left Ctrl
        t.insert(39, 186);  // ;
        t.insert(40, 222);  // '
        t.insert(41, 192);  // `
        t.insert(42, 160);  // left Shift
        t.insert(43, 220);  // backslash
        t.insert(51, 188);  // ,
        t.insert(52, 190);  // .
        t.insert(53, 191);  // /
        t.insert(54, 161);  // right Shift
        t.insert(55, 106);  // keypad *
        t.insert(56, 164);  // left Alt
        t.insert(57, 32);   // Space
        t.insert(58, 20);   // CapsLock
        for (int i = 0; i < 10; ++i)
            t.insert(59 + i, 112 + i);  // F1..F10
        t.insert(69, 144);  // NumLock
        t.insert(70, 145);  // ScrollLock
        // Keypad digits and point, as with NumLock on.
        const int keypad[] = {71, 103, 72, 104, 73, 105, 75, 100, 76, 101, 77, 102, 79, 97, 80, 98, 81, 99, 82, 96, 83, 110};
        for (size_t i = 0; i < sizeof keypad / sizeof keypad[0]; i += 2)
            t.insert(keypad[i], keypad[i + 1]);
        t.insert(74, 109);  // keypad -
        t.insert(78, 107);  // keypad +
        t.insert(86, 226);  // the extra key of ISO keyboards
        t.insert(87, 122);  // F11
        t.insert(88, 123);  // F12
        t.insert(96, 13);   // keypad Enter
        t.insert(97, 163);  // right Ctrl
        t.insert(98, 111);  // keypad /
        t.insert(99, 44);   // PrintScreen
        t.insert(100, 165);  // right Alt
        t.insert(102, 36);   // Home
        t.insert(103, 38);   // Up
        t.insert(104, 33);   // PageUp
        t.insert(105, 37);   // Left
        t.insert(106, 39);   // Right
        t.insert(107, 35);   // End
        t.insert(108, 40);   // Down
        t.insert(109, 34);   // PageDown
        t.insert(110, 45);   // Insert
        t.insert(111, 46);   // Delete
        t.insert(113, 173);  // volume mute
        t.insert(114, 174);  // volume down
        t.insert(115, 175);  // volume up
        t.insert(119, 19);   // Pause
        t.insert(125, 91);   // left Win
        t.insert(126, 92);   // right Win
        t.insert(127, 93);   // menu key
        t.insert(163, 176);  // next track
        t.insert(164, 179);  // play/pause
        t.insert(165, 177);  // previous track
        t.insert(166, 178);  // stop
        for (int i = 0; i < 12; ++i)
            t.insert(183 + i, 124 + i);  // F13..F24
        return t;
    }();
    return table;
}

const QHash<int, int>& qtKeyTable()
{
    static const QHash<int, int> table = [] {
        QHash<int, int> t;
        t.insert(Qt::Key_Escape, 27);
        t.insert(Qt::Key_Tab, 9);
        t.insert(Qt::Key_Backtab, 9);
        t.insert(Qt::Key_Backspace, 8);
        t.insert(Qt::Key_Return, 13);
        t.insert(Qt::Key_Enter, 13);
        t.insert(Qt::Key_Insert, 45);
        t.insert(Qt::Key_Delete, 46);
        t.insert(Qt::Key_Pause, 19);
        t.insert(Qt::Key_Print, 44);
        t.insert(Qt::Key_SysReq, 44);
        t.insert(Qt::Key_Clear, 12);
        t.insert(Qt::Key_Home, 36);
        t.insert(Qt::Key_End, 35);
        t.insert(Qt::Key_Left, 37);
        t.insert(Qt::Key_Up, 38);
        t.insert(Qt::Key_Right, 39);
        t.insert(Qt::Key_Down, 40);
        t.insert(Qt::Key_PageUp, 33);
        t.insert(Qt::Key_PageDown, 34);
        t.insert(Qt::Key_Shift, 160);
        t.insert(Qt::Key_Control, 162);
        t.insert(Qt::Key_Meta, 91);
        t.insert(Qt::Key_Super_L, 91);
        t.insert(Qt::Key_Super_R, 92);
        t.insert(Qt::Key_Alt, 164);
        t.insert(Qt::Key_AltGr, 165);
        t.insert(Qt::Key_Menu, 93);
        t.insert(Qt::Key_CapsLock, 20);
        t.insert(Qt::Key_NumLock, 144);
        t.insert(Qt::Key_ScrollLock, 145);
        for (int i = 0; i < 24; ++i)
            t.insert(Qt::Key_F1 + i, 112 + i);
        t.insert(Qt::Key_Space, 32);
        for (int i = 0; i < 10; ++i)
            t.insert(Qt::Key_0 + i, '0' + i);
        for (int i = 0; i < 26; ++i)
            t.insert(Qt::Key_A + i, 'A' + i);
        // Punctuation and the shifted characters of a US layout: the key
        // that carries them.
        t.insert(Qt::Key_Minus, 189);
        t.insert(Qt::Key_Underscore, 189);
        t.insert(Qt::Key_Equal, 187);
        t.insert(Qt::Key_Plus, 187);
        t.insert(Qt::Key_BracketLeft, 219);
        t.insert(Qt::Key_BraceLeft, 219);
        t.insert(Qt::Key_BracketRight, 221);
        t.insert(Qt::Key_BraceRight, 221);
        t.insert(Qt::Key_Backslash, 220);
        t.insert(Qt::Key_Bar, 220);
        t.insert(Qt::Key_Semicolon, 186);
        t.insert(Qt::Key_Colon, 186);
        t.insert(Qt::Key_Apostrophe, 222);
        t.insert(Qt::Key_QuoteDbl, 222);
        t.insert(Qt::Key_QuoteLeft, 192);
        t.insert(Qt::Key_AsciiTilde, 192);
        t.insert(Qt::Key_Comma, 188);
        t.insert(Qt::Key_Less, 188);
        t.insert(Qt::Key_Period, 190);
        t.insert(Qt::Key_Greater, 190);
        t.insert(Qt::Key_Slash, 191);
        t.insert(Qt::Key_Question, 191);
        t.insert(Qt::Key_Exclam, '1');
        t.insert(Qt::Key_At, '2');
        t.insert(Qt::Key_NumberSign, '3');
        t.insert(Qt::Key_Dollar, '4');
        t.insert(Qt::Key_Percent, '5');
        t.insert(Qt::Key_AsciiCircum, '6');
        t.insert(Qt::Key_Ampersand, '7');
        t.insert(Qt::Key_Asterisk, '8');
        t.insert(Qt::Key_ParenLeft, '9');
        t.insert(Qt::Key_ParenRight, '0');
        t.insert(Qt::Key_VolumeMute, 173);
        t.insert(Qt::Key_VolumeDown, 174);
        t.insert(Qt::Key_VolumeUp, 175);
        t.insert(Qt::Key_MediaNext, 176);
        t.insert(Qt::Key_MediaPrevious, 177);
        t.insert(Qt::Key_MediaStop, 178);
        t.insert(Qt::Key_MediaPlay, 179);
        t.insert(Qt::Key_MediaTogglePlayPause, 179);
        return t;
    }();
    return table;
}

bool isKeypadCode(int vk)
{
    return (vk >= 96 && vk <= 105) || vk == 110;
}

bool isAlt(int vk)
{
    return vk == 164 || vk == 165;
}

constexpr int F10 = 121;

struct Registration {
    int handle;
    Listener listener;
};

// A press seen as a ShortcutOverride and not yet reported. The key press
// that normally follows it is reported in its place (it carries the scan
// code even where the override does not); a press that a shortcut took is
// reported when the next key event comes, or when the event loop is idle.
struct PendingPress {
    bool valid = false;
    int key = 0;
    quint32 scanCode = 0;
    ulong timestamp = 0;
    bool autoRepeat = false;
    int vk = 0;
    quint64 serial = 0;

    bool matches(const QKeyEvent& e) const
    {
        // Not the modifiers: for a modifier key Qt reports them toggled, and
        // an override built from a key press toggles them once more.
        return valid && e.key() == key && e.timestamp() == timestamp
               && e.isAutoRepeat() == autoRepeat
               && (scanCode == 0 || e.nativeScanCode() == 0 || e.nativeScanCode() == scanCode);
    }
};

class KeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report(bool press, int vk);
    void flushPending();
};

struct SourceState {
    QVector<Registration> listeners;
    int nextHandle = 1;
    QPointer<KeyFilter> filter;
    PendingPress pending;
    quint64 serial = 0;
    QSet<int> held;       // virtual keys down now
    bool altAlone = false;  // Alt went down and no other key came since
};

SourceState& state()
{
    static SourceState s;
    return s;
}

// The widget a key event is meant for, where Qt delivers it first.
bool isKeyTarget(const QWidget* widget)
{
    if (const QWidget* grabber = QWidget::keyboardGrabber())
        return widget == grabber;
    if (const QWidget* popup = QApplication::activePopupWidget())
        return widget == (popup->focusWidget() ? popup->focusWidget() : popup);
    if (const QWidget* focus = QApplication::focusWidget())
        return widget == focus;
    return widget->isWindow();
}

void installFilter()
{
    SourceState& s = state();
    if (s.filter)
        return;
    s.filter = new KeyFilter(qApp);
    qApp->installEventFilter(s.filter);
}

void removeFilter()
{
    SourceState& s = state();
    if (!s.filter)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(s.filter);
    // Deleted later: the removal may happen inside the filter's own call.
    s.filter->deleteLater();
    s.filter.clear();
    s.pending = PendingPress();
    s.held.clear();
    s.altAlone = false;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    SourceState& s = state();
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        // Releases that happen elsewhere never reach us.
        flushPending();
        s.held.clear();
        s.altAlone = false;
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!watched->isWidgetType() || !isKeyTarget(static_cast<QWidget*>(watched)))
        return false;
    const QKeyEvent* key = static_cast<QKeyEvent*>(event);
    const int vk = VirtualKeyFromEvent(*key);
    switch (type) {
    case QEvent::ShortcutOverride: {
        flushPending();
        PendingPress& p = s.pending;
        p.valid = true;
        p.key = key->key();
        p.scanCode = key->nativeScanCode();
        p.timestamp = key->timestamp();
        p.autoRepeat = key->isAutoRepeat();
        p.vk = vk;
        p.serial = ++s.serial;
        const quint64 serial = p.serial;
        QTimer::singleShot(0, this, [this, serial] {
            if (state().pending.valid && state().pending.serial == serial)
                flushPending();
        });
        break;
    }
    case QEvent::KeyPress:
        if (s.pending.matches(*key)) {
            const int pendingVk = s.pending.vk;
            s.pending = PendingPress();
            if (vk != 0 || pendingVk != 0)
                report(true, vk != 0 ? vk : pendingVk);
            break;
        }
        flushPending();
        if (vk != 0)
            report(true, vk);
        break;
    default:  // KeyRelease
        flushPending();
        if (!key->isAutoRepeat() && vk != 0)
            report(false, vk);
        break;
    }
    return false;
}

void KeyFilter::flushPending()
{
    SourceState& s = state();
    if (!s.pending.valid)
        return;
    const int vk = s.pending.vk;
    s.pending = PendingPress();
    if (vk != 0)
        report(true, vk);
}

void KeyFilter::report(bool press, int vk)
{
    SourceState& s = state();
    // The message Windows would send: Alt turns keys into system keys
    // (unless Ctrl is down), F10 is one on its own, and Alt's own release
    // is a system key only when nothing was pressed while it was down.
    const bool ctrlDown = s.held.contains(162) || s.held.contains(163);
    int message;
    if (press) {
        const bool again = s.held.contains(vk);
        s.held.insert(vk);
        if (isAlt(vk)) {
            if (!again)
                s.altAlone = true;
        } else {
            s.altAlone = false;
        }
        const bool altDown = s.held.contains(164) || s.held.contains(165);
        message = !ctrlDown && (altDown || vk == F10) ? SysKeyDown : KeyDown;
    } else {
        const bool altDown = s.held.contains(164) || s.held.contains(165);
        bool system;
        if (ctrlDown)
            system = false;
        else if (isAlt(vk))
            system = s.altAlone;
        else
            system = altDown || vk == F10;
        s.held.remove(vk);
        if (isAlt(vk) && !s.held.contains(164) && !s.held.contains(165))
            s.altAlone = false;
        message = system ? SysKeyUp : KeyUp;
    }

    // A listener may remove itself or others while it runs: call only those
    // still registered when their turn comes.
    QVector<int> handles;
    handles.reserve(s.listeners.size());
    for (const Registration& r : s.listeners)
        handles.append(r.handle);
    for (int handle : handles) {
        Listener listener;
        for (const Registration& r : s.listeners) {
            if (r.handle == handle) {
                listener = r.listener;
                break;
            }
        }
        if (listener)
            listener(message, vk);
    }
}

}  // namespace

int Add(Listener listener)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !listener)
        return 0;
    SourceState& s = state();
    const int handle = s.nextHandle++;
    if (s.nextHandle <= 0)
        s.nextHandle = 1;
    s.listeners.append({handle, std::move(listener)});
    installFilter();
    return handle;
}

void Remove(int handle)
{
    if (handle == 0)
        return;
    SourceState& s = state();
    for (int i = 0; i < s.listeners.size(); ++i) {
        if (s.listeners.at(i).handle == handle) {
            s.listeners.remove(i);
            break;
        }
    }
    if (s.listeners.isEmpty())
        removeFilter();
}

int ListenerCount()
{
    return state().listeners.size();
}

int VirtualKeyFromScanCode(quint32 scanCode)
{
    if (scanCode < 8)
        return 0;
    return linuxKeyTable().value(int(scanCode - 8), 0);
}

int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return 96 + (qtKey - Qt::Key_0);
        switch (qtKey) {
        case Qt::Key_Asterisk: return 106;
        case Qt::Key_Plus: return 107;
        case Qt::Key_Minus: return 109;
        case Qt::Key_Period:
        case Qt::Key_Comma: return 110;
        case Qt::Key_Slash: return 111;
        default: break;
        }
    }
    return qtKeyTable().value(qtKey, 0);
}

int VirtualKeyFromEvent(const QKeyEvent& event)
{
    const int fromScan = VirtualKeyFromScanCode(event.nativeScanCode());
    if (fromScan == 0)
        return VirtualKeyFromQtKey(event.key(), event.modifiers());
    // Keypad digits and point with NumLock off (or Shift) are the
    // navigation keys, as Windows reports them.
    if (isKeypadCode(fromScan)) {
        const int key = event.key();
        const bool digitOrPoint = (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Period || key == Qt::Key_Comma;
        if (!digitOrPoint) {
            const int navigation = VirtualKeyFromQtKey(key, Qt::NoModifier);
            if (navigation != 0)
                return navigation;
        }
    }
    return fromScan;
}

}  // namespace KeyEventSource
