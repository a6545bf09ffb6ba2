#include "MacroEditRules.h"

#include "KeyNames.h"
#include "VirtualKeyNames.h"

#include <limits>

namespace MacroEdit {

namespace {

bool isDelay(const MacroRows& rows, int index)
{
    return index >= 0 && index < rows.size() && rows.at(index).IsDelay();
}

MacroRow delayRow()
{
    return MacroRow::Delay(InsertedDelay);
}

}  // namespace

MacroRows Apply(const MacroRows& rows, const RowSplice& splice)
{
    MacroRows out = rows;
    const int at = qBound(0, splice.at, out.size());
    out.remove(at, qMin(splice.remove, out.size() - at));
    for (int i = 0; i < splice.insert.size(); ++i)
        out.insert(at + i, splice.insert.at(i));
    return out;
}

RowSplice InsertKey(const MacroRows& rows, int current, const MacroRow& key)
{
    RowSplice splice;
    const int n = rows.size();
    if (current < 0 || (current == n - 1 && current > 0)) {
        splice.at = n;
        splice.insert = {delayRow(), key};
    } else {
        splice.at = qMin(current == 0 ? 2 : (isDelay(rows, current) ? current + 1 : current + 2), n);
        splice.insert = {key, delayRow()};
    }
    return splice;
}

RowSplice InsertMouseButton(const MacroRows& rows, int current, int code)
{
    const MacroRow press = MacroRow::Key(keys::KindMouse, code, true);
    const MacroRow release = MacroRow::Key(keys::KindMouse, code, false);
    RowSplice splice;
    const int n = rows.size();
    if (current < 0 && n == 0) {
        splice.at = 0;
        splice.insert = {press, delayRow(), release};
    } else if (current < 0 || (current == n - 1 && current > 0)) {
        splice.at = n;
        splice.insert = {delayRow(), press, delayRow(), release};
    } else if (current == 0 || isDelay(rows, current)) {
        splice.at = qMin(current == 0 ? 2 : current + 1, n);
        splice.insert = {press, delayRow(), release, delayRow()};
    } else {
        splice.at = current + 1;
        splice.insert = {delayRow(), press, delayRow(), release};
    }
    return splice;
}

RowSplice InsertDelay(const MacroRows& rows, int current, quint32 ms)
{
    RowSplice splice;
    const MacroRow delay = MacroRow::Delay(ms);
    if (current < 0 || current >= rows.size()) {
        splice.at = rows.size();
        splice.insert = {delay};
        return splice;
    }
    if (current == 0)
        return splice;
    if (isDelay(rows, current)) {
        splice = {current, 1, {delay}, current};
    } else if (isDelay(rows, current - 1)) {
        splice = {current - 1, 1, {delay}, current - 1};
    } else {
        splice = {current, 0, {delay}, current};
    }
    return splice;
}

RowSplice DeleteAt(const MacroRows& rows, int current)
{
    const int n = rows.size();
    RowSplice splice;
    if (n < 4) {
        splice.remove = n;
        splice.current = -1;
        return splice;
    }
    if (current < 0 || current >= n)
        return splice;
    if (current == n - 1) {
        splice.at = current - 1;
        splice.remove = 2;
    } else if (isDelay(rows, current)) {
        splice.at = current == 0 ? 0 : current - 1;
        splice.remove = current == 0 ? 1 : 2;
    } else {
        splice.at = current;
        splice.remove = 2;
    }
    const int left = n - splice.remove;
    splice.current = splice.at < left ? splice.at : left - 1;
    return splice;
}

// ---- Repeat -------------------------------------------------------------------

int RepeatCodeOf(RepeatMode mode, int count)
{
    switch (mode) {
    case RepeatMode::UntilLoose:
        return keys::RepeatCode::ReUntilLoose;
    case RepeatMode::UntilClick:
        return keys::RepeatCode::ReUntilClick;
    case RepeatMode::Until:
        return keys::RepeatCode::ReUntil;
    case RepeatMode::Number:
        break;
    }
    return qBound(1, count, keys::RepeatCode::ReNumberMax);
}

RepeatMode RepeatModeOf(int code)
{
    switch (code) {
    case keys::RepeatCode::ReUntilLoose:
        return RepeatMode::UntilLoose;
    case keys::RepeatCode::ReUntilClick:
        return RepeatMode::UntilClick;
    case keys::RepeatCode::ReUntil:
        return RepeatMode::Until;
    default:
        return RepeatMode::Number;
    }
}

int RepeatCountOf(int code)
{
    return code >= 1 && code <= keys::RepeatCode::ReNumberMax ? code : 1;
}

int MouseCodeOfChoice(int index)
{
    return index >= 4 && index <= 8 ? keys::MouseChoiceCodes[index - 4] : 0;
}

// ---- Recording ------------------------------------------------------------------

void MacroRecorder::Start(qint64 nowMs)
{
    active = true;
    awaitingFirstEvent = true;
    lastEventMs = nowMs;
    recordCount = 0;
    heldKeys.clear();
}

void MacroRecorder::Stop()
{
    active = false;
    recordCount = 0;
    heldKeys.clear();
}

MacroRecorder::Step MacroRecorder::Event(int virtualKey, bool down, qint64 nowMs,
                                         std::optional<quint32> fixedDelay)
{
    Step step;
    if (!active)
        return step;
    const std::optional<QString> name = keys::RecordingKeyName(virtualKey);
    if (!name)
        return step;
    if (down) {
        if (heldKeys.contains(virtualKey))
            return step;  // auto-repeat
        heldKeys.insert(virtualKey);
    } else if (!heldKeys.remove(virtualKey)) {
        return step;  // pressed before the recording started
    }

    if (awaitingFirstEvent) {
        awaitingFirstEvent = false;
    } else if (fixedDelay) {
        step.delay = *fixedDelay;
    } else {
        const qint64 elapsed = qMax<qint64>(0, nowMs - lastEventMs);
        step.delay = quint32(qMin<qint64>(elapsed, std::numeric_limits<quint32>::max()));
    }
    lastEventMs = nowMs;
    step.key = MacroRow::Named(*name, down);
    if (++recordCount >= keys::MaxMacroEvents) {
        step.limitReached = true;
        Stop();
    }
    return step;
}

}  // namespace MacroEdit
