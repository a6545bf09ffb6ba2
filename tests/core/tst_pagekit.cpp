// The page kit: the fill scope over the pages' flags (order, early return,
// nesting), the mirror scope over UiReady, the two write helpers and the
// question whether a page may send.
#include "PageKit.h"

#include "Globals.h"
#include "GlobalsFixture.h"

#include <QtTest>

#include <cstring>
#include <optional>

Q_DECLARE_METATYPE(Page)

namespace {

struct Flags {
    std::atomic<bool>* loading;
    std::atomic<bool>* updated;
};

Flags flagsOf(Page page)
{
    switch (page) {
    case Page::Buttons: return {&ButtonUiLoading, &ButtonUiUpdated};
    case Page::Sensor: return {&SensorUiLoading, &SensorUiUpdated};
    case Page::Light: break;
    }
    return {&LightUiLoading, &LightUiUpdated};
}

// A fill that gives up half way; what the flags say meanwhile is kept.
bool fillThatReturnsEarly(Page page, PageFillScope::Report report, bool* loadingInside, bool* updatedInside)
{
    const PageFillScope fill(page, report);
    *loadingInside = flagsOf(page).loading->load();
    *updatedInside = flagsOf(page).updated->load();
    if (AnyPageFilling())
        return false;
    *loadingInside = false;  // never reached
    return true;
}

}  // namespace

class PageKitTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        testsupport::EnterSituation(testsupport::Situation::DeviceList);
        for (Page page : {Page::Buttons, Page::Sensor, Page::Light})
            *flagsOf(page).updated = true;
    }

    void fillLeavesFlagsConsistent_data()
    {
        QTest::addColumn<Page>("page");
        QTest::addColumn<bool>("reports");
        QTest::newRow("buttons, after a read") << Page::Buttons << true;
        QTest::newRow("sensor, after a read") << Page::Sensor << true;
        QTest::newRow("light, after a read") << Page::Light << true;
        QTest::newRow("light, a refill") << Page::Light << false;
    }
    void fillLeavesFlagsConsistent()
    {
        QFETCH(Page, page);
        QFETCH(bool, reports);
        const Flags flags = flagsOf(page);
        *flags.updated = !reports;  // a refill leaves it as it was
        const bool updatedBefore = flags.updated->load();
        bool loadingInside = false;
        bool updatedInside = true;
        QVERIFY(!fillThatReturnsEarly(page, reports ? PageFillScope::ReportsUpdated : PageFillScope::Silent,
                                      &loadingInside, &updatedInside));
        QVERIFY(loadingInside);
        QCOMPARE(updatedInside, reports ? false : updatedBefore);
        QVERIFY(!flags.loading->load());
        QVERIFY(!AnyPageFilling());
        QCOMPARE(flags.updated->load(), reports ? true : updatedBefore);
    }

    void nestedFillKeepsThePageLoading()
    {
        {
            const PageFillScope outer(Page::Sensor);
            {
                const PageFillScope inner(Page::Sensor, PageFillScope::ReportsUpdated);
            }
            QVERIFY(PageFilling(Page::Sensor));
            QVERIFY(SensorUiUpdated.load());
        }
        QVERIFY(!PageFilling(Page::Sensor));
    }

    void pagesUpdatedTogether()
    {
        QVERIFY(AllPagesUpdated());
        ClearPagesUpdated();
        QVERIFY(!AllPagesUpdated());
        { const PageFillScope a(Page::Buttons, PageFillScope::ReportsUpdated); }
        { const PageFillScope b(Page::Sensor, PageFillScope::ReportsUpdated); }
        QVERIFY(!AllPagesUpdated());
        { const PageFillScope c(Page::Light, PageFillScope::ReportsUpdated); }
        QVERIFY(AllPagesUpdated());
    }

    void mirrorPutsUiReadyBack_data()
    {
        QTest::addColumn<bool>("ready");
        QTest::newRow("pages shown") << true;
        QTest::newRow("before the pages") << false;
    }
    void mirrorPutsUiReadyBack()
    {
        QFETCH(bool, ready);
        UiReady = ready;
        {
            const DeviceMirrorScope mirror;
            QVERIFY(!UiReady.load());
        }
        QCOMPARE(UiReady.load(), ready);
    }

    void writeOrRevertShowsTheStoredValue_data()
    {
        QTest::addColumn<bool>("written");
        QTest::newRow("written") << true;
        QTest::newRow("refused") << false;
    }
    void writeOrRevertShowsTheStoredValue()
    {
        QFETCH(bool, written);
        {
            QMutexLocker lock(&FlashDataMutex);
            std::memset(&CurrentFlashData, 0, sizeof CurrentFlashData);
            CurrentFlashData.debounce = 7;
        }
        int shown = -1;
        const bool result = WriteOrRevert([written] { return written; },
                                          [&shown](const FlashDataMap& stored) { shown = stored.debounce; });
        QCOMPARE(result, written);
        QCOMPARE(shown, written ? -1 : 7);
    }

    void writeThenShowShowsOnlyWhatWasTaken_data() { writeOrRevertShowsTheStoredValue_data(); }
    void writeThenShowShowsOnlyWhatWasTaken()
    {
        QFETCH(bool, written);
        QString caption = QStringLiteral("old");
        const bool result = WriteThenShow([written] { return written; },
                                          [&caption] { caption = QStringLiteral("new"); });
        QCOMPARE(result, written);
        QCOMPARE(caption, written ? QStringLiteral("new") : QStringLiteral("old"));
    }

    // page and filling: a Page value, or -1 (a page without fill flags; no fill).
    void pageMaySend_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<int>("filling");
        QTest::addColumn<bool>("maySend");
        const int buttons = int(Page::Buttons), sensor = int(Page::Sensor), light = int(Page::Light);
        QTest::newRow("buttons, shown") << buttons << true << -1 << true;
        QTest::newRow("buttons, before the pages") << buttons << false << -1 << false;
        QTest::newRow("buttons, filling") << buttons << true << buttons << false;
        QTest::newRow("buttons, sensor filling") << buttons << true << sensor << true;
        QTest::newRow("sensor, filling") << sensor << true << sensor << false;
        QTest::newRow("sensor, light filling") << sensor << true << light << true;
        QTest::newRow("light, filling") << light << true << light << false;
        QTest::newRow("light, before the pages, filling") << light << false << light << false;
        QTest::newRow("no fill flags, shown, a page filling") << -1 << true << buttons << true;
        QTest::newRow("no fill flags, before the pages") << -1 << false << -1 << false;
    }
    void pageMaySend()
    {
        QFETCH(int, page);
        QFETCH(bool, ready);
        QFETCH(int, filling);
        QFETCH(bool, maySend);
        UiReady = ready;
        std::optional<PageFillScope> fill;
        if (filling >= 0)
            fill.emplace(Page(filling));
        QCOMPARE(page >= 0 ? PageMaySend(Page(page)) : PageMaySend(), maySend);
        fill.reset();
        UiReady = false;
    }
};

QTEST_GUILESS_MAIN(PageKitTest)
#include "tst_pagekit.moc"
