#include "KeyboardHook.h"

#include "KeyEventSource.h"

namespace {

struct InstallationData {
    int sourceHandle = 0;  // 0 while not installed
    KeyboardHook::State state;
    KeyboardHook::Callback callback;  // KeyHookCallback
    const KeyboardHook* binder = nullptr;  // the object that bound the callback
};

InstallationData& installation(KeyboardHook::Installation which)
{
    static InstallationData data[KeyboardHook::InstallationCount];
    return data[which];
}

bool valid(KeyboardHook::Installation which)
{
    return which >= 0 && which < KeyboardHook::InstallationCount;
}

}  // namespace

KeyboardHook::KeyboardHook(Installation which) : m_installation(valid(which) ? which : Recorder) {}

KeyboardHook::~KeyboardHook()
{
    Release();
}

void KeyboardHook::Release()
{
    InstallationData& data = installation(m_installation);
    if (data.binder != this && data.binder != nullptr)
        return;
    UnHook();
    data.callback = nullptr;
    data.binder = nullptr;
}

void KeyboardHook::SetHook()
{
    InstallationData& data = installation(m_installation);
    if (data.sourceHandle != 0)
        return;
    data.state = State();
    const Installation which = m_installation;
    data.sourceHandle = KeyEventSource::Add([which](int message, int virtualKey) {
        HookProc(which, message, virtualKey);
    });
}

void KeyboardHook::UnHook()
{
    InstallationData& data = installation(m_installation);
    if (data.sourceHandle == 0)
        return;
    const int handle = data.sourceHandle;
    data.sourceHandle = 0;
    KeyEventSource::Remove(handle);
}

void KeyboardHook::SetKeyHookCallback(Callback callback)
{
    InstallationData& data = installation(m_installation);
    data.callback = std::move(callback);
    data.binder = data.callback ? this : nullptr;
}

void KeyboardHook::Step(State& state, int message, int virtualKey)
{
    if (virtualKey == state.lastKey) {
        state.keyRepeated = true;
    } else {
        state.keyRepeated = false;
        state.lastKey = virtualKey;
    }
    switch (message) {
    case WmKeyDown:
    case WmSysKeyDown:
        state.keyDown = true;
        break;
    case WmKeyUp:
        state.keyDown = false;
        state.keyRepeated = false;
        state.lastKey = 0;
        break;
    case WmSysKeyUp:
        state.keyDown = false;
        break;
    default:
        break;
    }
}

void KeyboardHook::HookProc(Installation which, int message, int virtualKey)
{
    if (!valid(which))
        return;
    InstallationData& data = installation(which);
    if (data.sourceHandle == 0)
        return;
    Step(data.state, message, virtualKey);
    // A copy: the callback may rebind or remove the installation.
    const Callback callback = data.callback;
    if (callback)
        callback(virtualKey, data.state.keyDown, data.state.keyRepeated);
}

bool KeyboardHook::IsInstalled(Installation which)
{
    return valid(which) && installation(which).sourceHandle != 0;
}

KeyboardHook::State KeyboardHook::InstallationState(Installation which)
{
    return valid(which) ? installation(which).state : State();
}
