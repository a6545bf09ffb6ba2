// The keyboard hook: lets one owner see every key press and release of the
// program's windows, whichever widget has the focus, as (virtual key,
// pressed, repeated). It never consumes a key: every event goes on to its
// widget as usual.
//
// Three owners use it, each with an installation of its own that shares
// nothing with the others (state, callback, registration):
//
//   Recorder  the macro page's recorder: SetHook when recording starts,
//             UnHook when it stops, when the page is left and when the
//             recording reaches its event limit;
//   AddKey    the single-key capture dialog (addKey), from its constructor
//             until it ends;
//   GroupKey  the key-combination dialog (GroupKey), likewise.
//
// How an owner uses it (the macro page's recorder, for example):
//
//     class Macro : public QWidget {
//         ...
//         KeyboardHook m_hook{KeyboardHook::Recorder};
//     public slots:
//         void UpdateCapslockTip(int virtualKey, bool down, bool repeated);
//     };
//
//     void Macro::StartRecording()
//     {
//         m_hook.SetHook();
//         m_hook.BindKeyHookCallback(this, &Macro::UpdateCapslockTip);
//         ...
//     }
//     void Macro::StopRecording() { m_hook.UnHook(); ... }
//
// SetHook and the binding happen in one synchronous step on the GUI thread;
// events come through the event loop, so none can arrive in between. After
// UnHook the callback is not called again. A KeyboardHook that is destroyed
// removes the installation and the callback it bound, and a callback bound
// to a QObject is never called once that object is gone, so no event can
// reach a destroyed owner.
//
// The object carries no state of its own: each installation's state lives in
// process-wide storage that the hook procedure reaches by the installation
// alone. The events come from KeyEventSource (an application event filter);
// HookProc is the procedure it calls, and tests call it with synthetic
// events. GUI thread only.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class KeyboardHook
{
public:
    enum Installation { Recorder = 0, AddKey = 1, GroupKey = 2 };
    static constexpr int InstallationCount = 3;

    // The keyboard messages the procedure reads (Windows numbering).
    enum Message : int {
        WmKeyDown = 0x0100,
        WmKeyUp = 0x0101,
        WmSysKeyDown = 0x0104,
        WmSysKeyUp = 0x0105,
    };

    // KeyHookCallback: (virtual key, key down, key repeated).
    using Callback = std::function<void(int virtualKey, bool down, bool repeated)>;

    // What an installation keeps between events.
    struct State {
        int lastKey = 0;       // virtual key of the previous event, 0 when cleared
        bool keyDown = false;  // the pressed state reported with an event
        bool keyRepeated = false;
    };

    explicit KeyboardHook(Installation installation);
    // Release().
    ~KeyboardHook();
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    Installation Which() const { return m_installation; }

    // Installs the installation (once: a second SetHook while installed
    // changes nothing). Its state starts afresh.
    void SetHook();
    // Removes it; harmless when not installed.
    void UnHook();
    // UnHook and unbind, unless another KeyboardHook of the same
    // installation has bound its callback since (a later owner of the same
    // kind keeps its installation when an earlier one goes away).
    void Release();
    bool IsInstalled() const { return IsInstalled(m_installation); }

    // Binds KeyHookCallback to owner's member function, replacing what the
    // slot held. Once owner is destroyed the call is skipped.
    template <class Owner>
    void BindKeyHookCallback(Owner* owner, void (Owner::*slot)(int, bool, bool))
    {
        QPointer<Owner> guard(owner);
        SetKeyHookCallback([guard, slot](int virtualKey, bool down, bool repeated) {
            if (Owner* alive = guard.data())
                (alive->*slot)(virtualKey, down, repeated);
        });
    }
    // Binds any callable (it must not outlive what it refers to: unbind or
    // destroy this KeyboardHook first).
    void SetKeyHookCallback(Callback callback);

    // ---- The procedure and its state (tests and the event source) ------

    // One keyboard event for an installation: updates its state and calls
    // its callback, when it is installed; otherwise does nothing.
    static void HookProc(Installation installation, int message, int virtualKey);
    // The pure step: the state after one event. An event of the key of the
    // previous event is marked repeated; a key-up clears the last key, a
    // system key-up does not; other messages change only the last key.
    static void Step(State& state, int message, int virtualKey);

    static bool IsInstalled(Installation installation);
    static State InstallationState(Installation installation);

private:
    Installation m_installation;
};
