// The keyboard as the key-capture code sees it: every key press and release
// of the program's own windows, as a Windows virtual-key code with left and
// right modifiers apart, numbered like the Windows keyboard messages.
//
// An event filter on the application object watches the key events while at
// least one listener is registered, and never consumes one: every event goes
// on to its widget as usual. Each key event is reported once, where it
// reaches its target (the keyboard grabber, the active popup's focus widget,
// or the focus widget), however often Qt propagates it to parents. A key
// bound to a QShortcut arrives as a ShortcutOverride only; its press is
// reported from there, and the key press that follows a ShortcutOverride is
// not reported a second time. Auto-repeat comes from X11 as release + press
// pairs: the repeat releases are dropped, so a held key reports repeated
// key-downs and one release, as Windows does.
//
// The virtual key comes from the native scan code (X11 and Wayland: the
// Linux input key code + 8), which tells left from right and does not change
// with Shift or the layout; without a scan code (the offscreen platform of
// the tests, synthetic events) or for a code the table does not know it
// comes from Qt::Key.
//
//     const int handle = KeyEventSource::Add([](int message, int vk) { ... });
//     ...
//     KeyEventSource::Remove(handle);
//
// GUI thread only.
#pragma once

#include <Qt>

#include <functional>

class QKeyEvent;

namespace KeyEventSource {

// The keyboard messages, with the numbers Windows gives them.
enum Message : int {
    KeyDown = 0x0100,
    KeyUp = 0x0101,
    SysKeyDown = 0x0104,  // a key pressed while Alt is held (not with Ctrl), Alt itself, F10
    SysKeyUp = 0x0105,    // its release; Alt's own release only when no other key came between
};

// (message, virtual key).
using Listener = std::function<void(int message, int virtualKey)>;

// Registers a listener and returns its handle (never 0). Listeners are
// called in the order they were added. Without a QApplication nothing is
// registered and 0 is returned.
int Add(Listener listener);
// Removes the listener of handle; 0 and unknown handles are ignored. A
// listener removed while an event is being reported is not called for it.
void Remove(int handle);
// Number of registered listeners (the filter is installed while > 0).
int ListenerCount();

// ---- The mappings (pure) ----------------------------------------------

// Virtual key of a native scan code (xkb key code), 0 when unknown. The
// keypad keys give their NumLock-on codes here; VirtualKeyFromEvent turns
// them into the navigation keys when Qt reports those.
int VirtualKeyFromScanCode(quint32 scanCode);
// Virtual key of a Qt key (modifiers: the keypad flag picks the keypad
// codes), 0 when unknown. Modifier keys give the left-hand code.
int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
// Virtual key of an event: from its scan code when it has a known one,
// else from its Qt key.
int VirtualKeyFromEvent(const QKeyEvent& event);

}  // namespace KeyEventSource
