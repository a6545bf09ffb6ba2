// The debounce and sleep-time panels against the simulated device: a user's
// choice reaches the device's memory with one send, the offline case raises
// one notice and sends nothing, filling a panel never writes.
#include "../core/LinkTestSupport.h"

#include "Contrast.h"

#include "DebounceTime.h"
#include "DebouncetimeB.h"
#include "DebouncetimeC.h"
#include "HIDUsb.h"
#include "StopCloseTime.h"
#include "StopCloseTimeB.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

using namespace linktest;

namespace {

const QString Mouse = QStringLiteral("mouse1");

// The user opens the list and clicks entry index.
void choose(QComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QVERIFY(view->isVisible());
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTRY_VERIFY(!view->isVisible());
}

}  // namespace

class PanelsTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_base{};

private slots:
    void initTestCase()
    {
        SetAppDirOverride(QStringLiteral(DIZADI_SOURCE_DIR "/install"));
        ConfigSettings::GetInstance()->Reload();
        QVERIFY(openReceiverLink(&m_base));
        m_base.debounce = 4;
        m_base.sleepTime = 6;
    }

    void cleanupTestCase() { UsbServer_Exit(); }

    void init()
    {
        QVERIFY(startFromDeviceImage(Mouse, m_base));
        clearCallsLog();
    }

    void debounceEntries()
    {
        DebounceTime panel;
        QComboBox* combo = panel.findChild<QComboBox*>(QStringLiteral("Debunce"));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 21);
        for (int i = 0; i < 21; ++i)
            QCOMPARE(combo->itemText(i), QStringLiteral("%1ms").arg(i));
        panel.SetItemText(7, QStringLiteral(" ms"));
        QCOMPARE(combo->itemText(7), QStringLiteral("7 ms"));
        QCOMPARE(combo->maxVisibleItems(), 5);
        QCOMPARE(panel.size(), QSize(164, 37));
        QVERIFY(combo->styleSheet().contains(AppDir() + QStringLiteral("/Picture/Buttoninterface/ComboboxBack.png")));
    }

    // A pick while the device is online: byte 6 on the device, one send.
    void debounceUserPickOnline()
    {
        DebounceTime panel;
        panel.SetIndex(m_base.debounce);
        panel.show();
        QComboBox* combo = panel.findChild<QComboBox*>(QStringLiteral("Debunce"));
        Recorder rec;
        choose(combo, 12);
        QCOMPARE(panel.CurrentIndex(), 12);
        QCOMPARE(SnapshotFlashData().debounce, uint8_t(12));
        QCOMPARE(imageSends(), 1);
        QCOMPARE(deviceImage(Mouse).debounce, uint8_t(12));
        // The entry already shown, chosen again: nothing new.
        choose(combo, 12);
        QCOMPARE(imageSends(), 1);
        QVERIFY(!rec.contains(QStringLiteral("MouseOffLineo")));
    }

    void debounceUserPickOffline()
    {
        bench({QStringLiteral("offline"), Mouse});
        DebounceTime panel;
        panel.SetIndex(m_base.debounce);
        panel.show();
        Recorder rec;
        choose(panel.findChild<QComboBox*>(QStringLiteral("Debunce")), 9);
        QCOMPARE(rec.count(QStringLiteral("MouseOffLineo(0)")), 1);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(SnapshotFlashData().debounce, m_base.debounce);
        bench({QStringLiteral("online"), Mouse});
        QCOMPARE(deviceImage(Mouse).debounce, m_base.debounce);
    }

    // Filling the panel never writes, whatever the value; before the pages
    // are first shown a pick writes nothing either.
    void debounceFillNeverWrites()
    {
        DebounceTime panel;
        Recorder rec;
        panel.SetIndex(3);
        QCOMPARE(panel.CurrentIndex(), 3);
        panel.SetIndex(25);
        QCOMPARE(panel.CurrentIndex(), 3);
        panel.SetIndex(-1);
        QCOMPARE(panel.CurrentIndex(), 3);
        panel.SetIndex(20);
        QCOMPARE(panel.CurrentIndex(), 20);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(SnapshotFlashData().debounce, m_base.debounce);

        UiReady = false;
        panel.show();
        choose(panel.findChild<QComboBox*>(QStringLiteral("Debunce")), 2);
        QCOMPARE(panel.CurrentIndex(), 2);
        QCOMPARE(imageSends(), 0);
        QVERIFY(rec.entries().isEmpty());
    }

    void sleepEntries()
    {
        const int seconds[] = {10, 30, 60, 300, 600, 900, 1200, 1500, 1800, 2100, 2400};
        for (int i = 0; i < 11; ++i) {
            QCOMPARE(StopCloseTime::IndexForSeconds(seconds[i]), i);
            QCOMPARE(StopCloseTime::UnitsForIndex(i) * 10, seconds[i]);
        }
        QCOMPARE(StopCloseTime::IndexForSeconds(50), -1);
        QCOMPARE(StopCloseTime::IndexForSeconds(0), -1);
        QCOMPARE(StopCloseTime::UnitsForIndex(11), 0);
        QCOMPARE(StopCloseTime::UnitsForIndex(-1), 0);

        StopCloseTime panel;
        QComboBox* combo = panel.findChild<QComboBox*>(QStringLiteral("StopClose"));
        QCOMPARE(combo->count(), 11);
        QCOMPARE(combo->itemText(3), QString::fromUtf8("5分钟"));
        panel.SetItemText(3, QStringLiteral("5 minutes"));
        QCOMPARE(combo->itemText(3), QStringLiteral("5 minutes"));
        panel.show();  // styled when first shown
        QCOMPARE(combo->maxVisibleItems(), 15);
        QVERIFY(combo->styleSheet().contains(AppDir() + QStringLiteral("/Picture/Light/Menu.png")));
    }

    // The open list of each panel: its entries read on its ground.
    void popupReadable_data()
    {
        QTest::addColumn<bool>("sleep");
        QTest::newRow("sleep time") << true;
        QTest::newRow("debounce") << false;
    }
    void popupReadable()
    {
        QFETCH(bool, sleep);
        StopCloseTime sleepPanel;
        DebounceTime debouncePanel;
        QWidget& panel = sleep ? static_cast<QWidget&>(sleepPanel) : static_cast<QWidget&>(debouncePanel);
        panel.show();
        QComboBox* combo = panel.findChild<QComboBox*>(sleep ? QStringLiteral("StopClose") : QStringLiteral("Debunce"));
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        const QString unreadable = testsupport::UnreadableText(view, view->window());
        combo->hidePopup();
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
    }

    // Every pick writes, also of the entry already shown.
    void sleepUserPicks()
    {
        StopCloseTime panel;
        panel.SetIndex(2);
        panel.show();
        QComboBox* combo = panel.findChild<QComboBox*>(QStringLiteral("StopClose"));
        Recorder rec;
        choose(combo, 3);
        QCOMPARE(SnapshotFlashData().sleepTime, uint8_t(30));
        QCOMPARE(imageSends(), 1);
        QCOMPARE(deviceImage(Mouse).sleepTime, uint8_t(30));
        choose(combo, 3);
        QCOMPARE(imageSends(), 2);
        choose(combo, 10);
        QCOMPARE(deviceImage(Mouse).sleepTime, uint8_t(240));
        QCOMPARE(imageSends(), 3);
        QVERIFY(!rec.contains(QStringLiteral("MouseOffLineo")));
    }

    void sleepSilentCases()
    {
        StopCloseTime panel;
        panel.show();
        QComboBox* combo = panel.findChild<QComboBox*>(QStringLiteral("StopClose"));
        Recorder rec;
        // Filling: never a write; a value no entry shows leaves the entry.
        panel.SetIndex(5);
        QCOMPARE(panel.CurrentIndex(), 5);
        panel.SetIndex(StopCloseTime::IndexForSeconds(50));
        panel.SetIndex(11);
        QCOMPARE(panel.CurrentIndex(), 5);
        // While the lighting page fills, or before the pages were shown.
        LightUiLoading = true;
        choose(combo, 1);
        LightUiLoading = false;
        UiReady = false;
        choose(combo, 4);
        UiReady = true;
        QCOMPARE(imageSends(), 0);
        QVERIFY(rec.entries().isEmpty());
        // Offline: one notice, nothing sent.
        bench({QStringLiteral("offline"), Mouse});
        choose(combo, 6);
        QCOMPARE(rec.count(QStringLiteral("MouseOffLineo(0)")), 1);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(SnapshotFlashData().sleepTime, m_base.sleepTime);
    }

    // A device that refuses writes: every panel shows the stored value
    // again, and memory still is what the device has. The refusals of the
    // four panels in a row are one burst: one notice, no offline notice.
    void refusedPicksShowTheStoredValue()
    {
        QVERIFY(endRefusalBurst());
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        Recorder rec;
        DebounceTime debounce;
        debounce.SetIndex(m_base.debounce);
        debounce.show();
        choose(debounce.findChild<QComboBox*>(QStringLiteral("Debunce")), 12);
        QCOMPARE(debounce.CurrentIndex(), int(m_base.debounce));

        StopCloseTime sleep;
        sleep.SetIndex(0);
        sleep.show();
        choose(sleep.findChild<QComboBox*>(QStringLiteral("StopClose")), 3);
        QCOMPARE(sleep.CurrentIndex(), StopCloseTime::IndexForSeconds(m_base.sleepTime * 10));

        DebouncetimeB b;
        b.SetIndex(m_base.debounce);
        QTest::keyClick(b.findChild<QSlider*>(QStringLiteral("Debunce")), Qt::Key_Right);
        QCOMPARE(b.Value(), int(m_base.debounce));
        DebouncetimeC c;
        c.SetIndex(m_base.debounce);
        c.findChild<QToolButton*>(QStringLiteral("AddLevelA"))->click();
        QCOMPARE(c.Value(), int(m_base.debounce));

        const QString refused = QStringLiteral("ProtocolDataUpdate write refused");
        QCOMPARE(callsLog({QStringLiteral("ProtocolDataUpdate")}), QStringList({refused, refused, refused, refused}));
        QCOMPARE(rec.entries(), refusalNotice());
        const FlashDataMap now = SnapshotFlashData();
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(std::memcmp(&now, &stored, sizeof now), 0);
        QCOMPARE(bench({QStringLiteral("show"), Mouse, QStringLiteral("debounce")}).trimmed(),
                 QStringLiteral("debounce: %1").arg(m_base.debounce));
    }

    // The variants no window creates, lightly.
    void variants()
    {
        DebouncetimeB b;
        b.SetIndex(7);
        QCOMPARE(b.Value(), 7);
        b.SetSuffix(QStringLiteral("ms"));
        QCOMPARE(b.findChild<QSpinBox*>(QStringLiteral("spinBoxA"))->text(), QStringLiteral("7ms"));
        QCOMPARE(imageSends(), 0);
        QSlider* slider = b.findChild<QSlider*>(QStringLiteral("Debunce"));
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(b.Value(), 8);
        QCOMPARE(imageSends(), 1);
        QCOMPARE(deviceImage(Mouse).debounce, uint8_t(8));

        DebouncetimeC c;
        c.SetIndex(20);
        c.findChild<QToolButton*>(QStringLiteral("AddLevelA"))->click();
        QCOMPARE(c.Value(), 20);
        c.SetIndex(1);
        c.findChild<QToolButton*>(QStringLiteral("ReduceLevelA"))->click();
        QCOMPARE(c.Value(), 1);
        QCOMPARE(imageSends(), 1);
        c.SetIndex(5);
        c.findChild<QToolButton*>(QStringLiteral("AddLevelA"))->click();
        QCOMPARE(c.Value(), 6);
        QCOMPARE(imageSends(), 2);
        QCOMPARE(deviceImage(Mouse).debounce, uint8_t(6));

        StopCloseTimeB s;
        s.SetSuffixTexts(QString::fromUtf8("10秒"), QString::fromUtf8("1分钟"));
        s.SetIndex(1);
        QCOMPARE(s.ShownText(), QString::fromUtf8("30秒"));
        s.SetIndex(3);
        QCOMPARE(s.ShownText(), QString::fromUtf8("5分钟"));
        QCOMPARE(imageSends(), 2);
        QTest::keyClick(s.findChild<QSlider*>(QStringLiteral("StopClose")), Qt::Key_Right);
        QCOMPARE(s.ShownText(), QString::fromUtf8("10分钟"));
        QCOMPARE(imageSends(), 3);
        QCOMPARE(deviceImage(Mouse).sleepTime, uint8_t(60));
    }
};

QTEST_MAIN(PanelsTest)
#include "tst_panels.moc"
