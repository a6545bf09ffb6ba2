// The page kit: the contract between a page (or a panel a page embeds) and
// the device, written once. Every page and panel uses these instead of
// setting the shared flags, reading UiReady or undoing a refused write by
// hand.
//
// 1. Filling a page: PageFillScope
//    A page shows what an image holds (a full read, a cached image, an
//    import, a reset). While it fills, its controls' handlers must write
//    nothing and the writers must not ask for the offline notice: the page's
//    loading flag (ButtonUiLoading, SensorUiLoading, LightUiLoading) says so.
//    A fill after a device read also reports that the page has taken the
//    image (ButtonUiUpdated, ...; the apply-and-wait dialog polls them).
//    One scope per fill, on the GUI thread, for the whole fill:
//
//        void Sensor::SlotUpDataSenSorUISensor(FlashDataMap image)
//        {
//            const PageFillScope fill(Page::Sensor, PageFillScope::ReportsUpdated);
//            Fill(image);  // may return early: the scope still closes
//        }
//
//    Order, always: updated cleared, loading set ... loading back to what it
//    was, updated set. A scope inside another one of the same page leaves
//    the page loading until the outer one closes.
//
// 2. Mirroring what the device changed itself: DeviceMirrorScope
//    Clears UiReady for its life (nothing the mirror moves is written back)
//    and puts back what was there before.
//
// 3. Writing: WriteOrRevert
//    Every control that writes calls its writer through WriteOrRevert. When
//    the writer refuses (device offline, image not the device's, the device
//    did not take it; the writers then keep CurrentFlashData as the device
//    has it), showStored gets a copy of CurrentFlashData and shows the stored
//    value in the control, without writing (signals blocked, or the panel's
//    SetIndex):
//
//        void DebounceTime::on_Debunce_currentIndexChanged(int index)
//        {
//            ...
//            WriteOrRevert([&] { return SetDebounceTime(uint8_t(index)); },
//                          [this](const FlashDataMap& stored) { SetIndex(stored.debounce); });
//        }
//
// 4. Writing, then showing: WriteThenShow
//    A control that has no stored value to put back (a key's caption on the
//    button page) changes what it shows only when the writer says yes: on
//    false nothing is shown and the caption stays as it was:
//
//        WriteThenShow([&] { return SetButtonKey(key, type, value, 0); },
//                      [&] { SetKeyCaption(key, text); });
//
// 5. Whether a user change may be sent now: PageMaySend
//    A control's handler sends only when PageMaySend(page) says so: the
//    pages are shown (UiReady) and its page is not being filled. Panels ask
//    for the page whose fill shows their value (the debounce panels the
//    button page, the sleep-time panels the lighting page). A page with no
//    fill flags of its own (macros, settings) asks PageMaySend(): the pages
//    are shown. A handler with conditions of its own builds on it:
//
//        if (!checked || !PageMaySend(Page::Sensor))
//            return;
//
// 6. Leaving the device: SigSecondPageChange
//    Another device is opened only from the device list, and the pages go
//    back to it when their device is gone; the hub's SigSecondPageChange
//    comes first then. The page container closes there what the pages show
//    open for the device: their popups and non-modal dialogs as a whole
//    (ui's CloseOpenViews), a modal dialog that asks a value for the device
//    when the page tied it to itself (ui's TieToOwner: the key dialogs),
//    and a panel of a page's own by the page's close (the button page's
//    function menu). A page that adds such a panel adds its close there;
//    modal notices stay for the user to close.
#pragma once

#include "Globals.h"

#include <atomic>
#include <utility>

// The pages that have fill flags of their own.
enum class Page { Buttons, Sensor, Light };

// True while the page is being filled (its loading flag).
bool PageFilling(Page page);
// True while any page is being filled (the writers stay silent then).
bool AnyPageFilling();
// Whether every page has taken the image of the last device read (the
// apply-and-wait dialog polls it); cleared before the pages are told.
bool AllPagesUpdated();
void ClearPagesUpdated();

// Whether a user change on page may be sent now: UiReady and the page not
// being filled.
bool PageMaySend(Page page);
// The same for a page with no fill flags of its own: UiReady.
bool PageMaySend();

class PageFillScope
{
public:
    enum Report {
        Silent,          // a refill (import, cache, reset): loading only
        ReportsUpdated,  // a fill after a device read: also the updated flag
    };

    explicit PageFillScope(Page page, Report report = Silent);
    ~PageFillScope();

    PageFillScope(const PageFillScope&) = delete;
    PageFillScope& operator=(const PageFillScope&) = delete;

private:
    std::atomic<bool>& m_loading;
    std::atomic<bool>* m_updated;
    bool m_wasLoading;
};

class DeviceMirrorScope
{
public:
    DeviceMirrorScope();
    ~DeviceMirrorScope();

    DeviceMirrorScope(const DeviceMirrorScope&) = delete;
    DeviceMirrorScope& operator=(const DeviceMirrorScope&) = delete;

private:
    bool m_wasReady;
};

// Runs write (returns the writer's bool); on false runs showStored with a
// copy of CurrentFlashData. Returns write's result.
template <typename Write, typename ShowStored>
bool WriteOrRevert(Write&& write, ShowStored&& showStored)
{
    if (std::forward<Write>(write)())
        return true;
    std::forward<ShowStored>(showStored)(SnapshotFlashData());
    return false;
}

// Runs write (returns the writer's bool); only on true runs show. Returns
// write's result.
template <typename Write, typename Show>
bool WriteThenShow(Write&& write, Show&& show)
{
    if (!std::forward<Write>(write)())
        return false;
    std::forward<Show>(show)();
    return true;
}
