#include "PageKit.h"

namespace {

std::atomic<bool>& loadingFlag(Page page)
{
    switch (page) {
    case Page::Buttons: return ButtonUiLoading;
    case Page::Sensor: return SensorUiLoading;
    case Page::Light: break;
    }
    return LightUiLoading;
}

std::atomic<bool>& updatedFlag(Page page)
{
    switch (page) {
    case Page::Buttons: return ButtonUiUpdated;
    case Page::Sensor: return SensorUiUpdated;
    case Page::Light: break;
    }
    return LightUiUpdated;
}

}  // namespace

bool PageFilling(Page page)
{
    return loadingFlag(page).load();
}

bool AnyPageFilling()
{
    return PageFilling(Page::Buttons) || PageFilling(Page::Sensor) || PageFilling(Page::Light);
}

bool AllPagesUpdated()
{
    return updatedFlag(Page::Buttons).load() && updatedFlag(Page::Sensor).load() && updatedFlag(Page::Light).load();
}

void ClearPagesUpdated()
{
    updatedFlag(Page::Buttons) = false;
    updatedFlag(Page::Sensor) = false;
    updatedFlag(Page::Light) = false;
}

PageFillScope::PageFillScope(Page page, Report report)
    : m_loading(loadingFlag(page)),
      m_updated(report == ReportsUpdated ? &updatedFlag(page) : nullptr),
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
