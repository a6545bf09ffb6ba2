#include "PageKit.h"

namespace {

struct PageFlags {
    std::atomic<bool>& loading;
    std::atomic<bool>& updated;
};

PageFlags flagsOf(Page page)
{
    switch (page) {
    case Page::Buttons: return {ButtonUiLoading, ButtonUiUpdated};
    case Page::Sensor: return {SensorUiLoading, SensorUiUpdated};
    case Page::Light: break;
    }
    return {LightUiLoading, LightUiUpdated};
}

constexpr Page allPages[] = {Page::Buttons, Page::Sensor, Page::Light};

}  // namespace

bool PageFilling(Page page)
{
    return flagsOf(page).loading.load();
}

bool AnyPageFilling()
{
    for (Page page : allPages) {
        if (PageFilling(page))
            return true;
    }
    return false;
}

bool AllPagesUpdated()
{
    for (Page page : allPages) {
        if (!flagsOf(page).updated.load())
            return false;
    }
    return true;
}

bool PageMaySend(Page page)
{
    return PageMaySend() && !PageFilling(page);
}

bool PageMaySend()
{
    return UiReady.load();
}

void ClearPagesUpdated()
{
    for (Page page : allPages)
        flagsOf(page).updated = false;
}

PageFillScope::PageFillScope(Page page, Report report)
    : m_loading(flagsOf(page).loading),
      m_updated(report == ReportsUpdated ? &flagsOf(page).updated : nullptr),
      m_wasLoading(m_loading.load())
{
    if (m_updated)
        *m_updated = false;
    m_loading = true;
}

PageFillScope::~PageFillScope()
{
    m_loading = m_wasLoading;
    if (m_updated)
        *m_updated = true;
}

DeviceMirrorScope::DeviceMirrorScope() : m_wasReady(UiReady.load())
{
    UiReady = false;
}

DeviceMirrorScope::~DeviceMirrorScope()
{
    UiReady = m_wasReady;
}
