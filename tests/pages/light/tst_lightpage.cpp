// The lighting page's part of the shell: fills from the device link and from
// an import (flags, sleep-time entry, mode), the reset, its texts.
#include "Globals.h"
#include "LampLight.h"
#include "MacroSettings.h"
#include "MyConmboBox.h"
#include "PostMsg.h"
#include "Startup.h"
#include "StopCloseTime.h"
#include "ui_LampLight.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {
QComboBox* sleepCombo(LampLight& page)
{
    return page.Form()->frameClose->findChild<QComboBox*>(QStringLiteral("StopClose"));
}
}  // namespace

class LightPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PrepareUserFolders(UserDir());
        MacroSettings::GetInstance()->Reload();
    }

    void fills_data()
    {
        QTest::addColumn<int>("byte8");
        QTest::addColumn<int>("entry");
        QTest::newRow("10 s") << 1 << 0;
        QTest::newRow("5 min") << 30 << 3;
        QTest::newRow("40 min, no wrap") << 240 << 10;
        QTest::newRow("not listed") << 5 << 2;
        QTest::newRow("zero") << 0 << 2;
    }

    void fills()
    {
        QFETCH(int, byte8);
        QFETCH(int, entry);
        LampLight page;
        page.SlotFormResetLight();  // entry 2 to start from
        FlashDataMap image{};
        image.sleepTime = static_cast<uint8_t>(byte8);
        image.lightMode = 4;
        image.lightOn = 1;
        LightUiUpdated = false;
        page.SlotUpDataLightUILight(image);
        QVERIFY(LightUiUpdated);
        QVERIFY(!LightUiLoading);
        QCOMPARE(sleepCombo(page)->currentIndex(), entry);
        QCOMPARE(page.Form()->LightMod->currentIndex(), 4);

        // The import fill leaves the updated flag alone; lights off shows mode 0.
        LightUiUpdated = false;
        image.lightOn = 0;
        page.SlotUpDataLightUIA(image);
        QVERIFY(!LightUiUpdated);
        QCOMPARE(page.Form()->LightMod->currentIndex(), 0);
    }

    void fillFromALibraryThreadWaits()
    {
        LampLight page;
        FlashDataMap image{};
        image.sleepTime = 180;
        LightUiUpdated = false;
        std::atomic<bool> done{false};
        std::thread link([&] {
            PostMsg::GetInstance()->PostUpDataLightLight(image);
            // The page took the image before the emitter goes on.
            done = LightUiUpdated.load();
        });
        QTRY_VERIFY(done.load());
        link.join();
        QCOMPARE(sleepCombo(page)->currentIndex(), 8);
    }

    void resetAndTexts()
    {
        LampLight page;
        FlashDataMap image{};
        image.sleepTime = 240;
        image.lightMode = 3;
        image.lightOn = 1;
        page.SlotUpDataLightUILight(image);
        PostMsg::GetInstance()->PostFormReset();
        QCOMPARE(sleepCombo(page)->currentIndex(), 2);
        QCOMPARE(page.Form()->LightMod->currentIndex(), 0);
        QVERIFY(!LightUiLoading);

        QCOMPARE(sleepCombo(page)->itemText(0), QStringLiteral("10 s"));
        QCOMPARE(sleepCombo(page)->itemText(10), QStringLiteral("40 min"));
        QCOMPARE(page.Form()->LightMod->itemText(4), QStringLiteral("Neon"));
        page.Form()->LightMod->setCurrentIndex(5);
        PostMsg::GetInstance()->PostChangeLanguage(5);
        QCOMPARE(sleepCombo(page)->itemText(2), QStringLiteral("1分"));
        QCOMPARE(page.Form()->LightMod->currentIndex(), 5);
        QCOMPARE(page.Form()->label->text(), QStringLiteral("ライトモード"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
    }
};

QTEST_MAIN(LightPageTest)
#include "tst_lightpage.moc"
