// The button page's spine: fills from images (flags, key cache, debounce,
// the sleep time for the settings page), the profile box, the reset to
// defaults, the macro list, the offline paths, its texts and stopping the
// device link it owns.
#include "Buttoninterface.h"
#include "DebounceTime.h"
#include "Globals.h"
#include "GlobalsFixture.h"
#include "MacroName.h"
#include "MacroSettings.h"
#include "MyConmboBox.h"
#include "PostMsg.h"
#include "Worker.h"
#include "UserFixture.h"
#include "ui_Buttoninterface.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QSignalSpy>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

namespace {
FlashDataMap sampleImage()
{
    FlashDataMap image{};
    image.debounce = 12;
    image.sleepTime = 240;  // 2400 s: must not wrap in a byte or a short
    for (int k = 0; k < KeyCount; ++k)
        image.keys[k] = KeyFunction{static_cast<uint8_t>(k % 11), static_cast<uint8_t>(k + 1), static_cast<uint8_t>(200 + k)};
    return image;
}

QComboBox* debounceCombo(Buttoninterface& page)
{
    return page.Form()->DebunceButton->findChild<QComboBox*>(QStringLiteral("Debunce"));
}
}  // namespace

class ButtonPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        testsupport::SetDevice(0);  // Drive1: six keys
    }

    void constructionMakesTheLinkAndFolder()
    {
        QDir(UserDir() + QStringLiteral("/usersetting/MainPage")).removeRecursively();
        {
            Buttoninterface page;
            QVERIFY(WorkerThread != nullptr);
            QCOMPARE(WorkerThread->parent(), static_cast<QObject*>(&page));
            QVERIFY(!WorkerThread->isRunning());
            QVERIFY(QFileInfo(UserDir() + QStringLiteral("/usersetting/MainPage")).isDir());
            QCOMPARE(page.Form()->stackedWidget->currentWidget(), page.Form()->page);
            QCOMPARE(page.Form()->stackedWidget_2->currentWidget(), page.Form()->page_9);
            QVERIFY(!page.sensorDefines.names.isEmpty());
            // The profile switch and the lights sub-menu are not offered.
            QVERIFY(page.Entry(QStringLiteral("DPI_3"))->isHidden());
            QVERIFY(page.Entry(QStringLiteral("DPI_9"))->isHidden());
        }
        QVERIFY(WorkerThread == nullptr);
    }

    void fillFromTheLink()
    {
        Buttoninterface page;
        bool loadingDuringFill = false;
        QList<int> seconds;
        QObject guard;
        connect(PostMsg::GetInstance(), &PostMsg::SigLightToFrom, &guard, [&](int s) {
            seconds << s;
            loadingDuringFill = ButtonUiLoading;
        });
        UiReady = true;
        ButtonUiUpdated = false;
        page.SlotUpDataButtonUIButton(sampleImage());
        QVERIFY(loadingDuringFill);
        QVERIFY(!ButtonUiLoading);
        QVERIFY(ButtonUiUpdated);
        QCOMPARE(seconds, QList<int>{2400});
        QCOMPARE(page.keyType.size(), 6);
        QCOMPARE(page.keyType, (QVector<int>{0, 1, 2, 3, 4, 5}));
        QCOMPARE(page.keyValue1, (QVector<int>{1, 2, 3, 4, 5, 6}));
        QCOMPARE(page.keyValue2, (QVector<int>{200, 201, 202, 203, 204, 205}));
        QCOMPARE(debounceCombo(page)->currentIndex(), 12);
        QCOMPARE(page.sensorName, QStringLiteral("AX72"));

        // The other fill leaves the updated flag alone.
        ButtonUiUpdated = false;
        FlashDataMap other = sampleImage();
        other.debounce = 3;
        page.SlotUpDataButtonUIB(other);
        QVERIFY(!ButtonUiUpdated);
        QVERIFY(!ButtonUiLoading);
        QCOMPARE(debounceCombo(page)->currentIndex(), 3);

        // A model without keys: empty cache, debounce still filled.
        CurrentDeviceInfo.driveIndex = 7;
        other.debounce = 5;
        page.SlotUpDataButtonUIB(other);
        QVERIFY(page.keyType.isEmpty());
        QCOMPARE(debounceCombo(page)->currentIndex(), 5);
        CurrentDeviceInfo.driveIndex = 0;
        UiReady = false;
    }

    void profileBox_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("shown");
        QTest::newRow("four") << 4 << 2 << true << QStringList{"Profile 1", "Profile 2", "Profile 3", "Profile 4"} << 2;
        QTest::newRow("none") << 0 << 0 << true << QStringList{"Profile 1"} << 0;
        QTest::newRow("disabled") << 4 << 1 << false << QStringList{"Profile 1", "Profile 2", "Profile 3", "Profile 4"} << 1;
        QTest::newRow("negative") << -1 << 0 << true << QStringList{} << -1;
        QStringList sixteen;
        for (int i = 1; i <= 16; ++i)
            sixteen << QStringLiteral("Profile %1").arg(i);
        QTest::newRow("twenty") << 20 << 3 << true << sixteen << 3;
    }

    void profileBox()
    {
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(bool, enabled);
        QFETCH(QStringList, items);
        QFETCH(int, shown);
        Buttoninterface page;
        MyConmboBox* box = page.Form()->ProjectChoose;
        page.SlotUpDataConfigUI(count, current, enabled);
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        QCOMPARE(texts, items);
        QCOMPARE(box->isEnabled(), enabled);
        QCOMPARE(box->currentIndex(), shown);
    }

    void offlineProfileChoiceIsUndone()
    {
        Buttoninterface page;
        SetCurrentDevicePath("no-such-device");
        page.SlotUpDataConfigUI(4, 1, true);
        MyConmboBox* box = page.Form()->ProjectChoose;
        box->pressIndex = 1;
        box->setCurrentIndex(3);
        QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        page.on_ProjectChoose_activated(3);
        QCOMPARE(box->currentIndex(), 1);
        QCOMPARE(offline.count(), 1);
        QCOMPARE(offline.first().first().toInt(), 0);

        // Reset and import also stop at the online check.
        page.on_Reset_clicked();
        page.on_ImportData_clicked();
        QCOMPARE(offline.count(), 3);
        QVERIFY(!SettingsBusy);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void resetToDefaults()
    {
        Buttoninterface page;
        page.SlotUpDataButtonUIB(sampleImage());
        QSignalSpy seconds(PostMsg::GetInstance(), &PostMsg::SigLightToFrom);
        QSignalSpy mouse(PostMsg::GetInstance(), &PostMsg::SigMouseIndex);
        page.Form()->stackedWidget->setCurrentWidget(page.Form()->page_2);
        page.SlotFormResetButton();
        QCOMPARE(page.keyType, (QVector<int>{1, 1, 1, 1, 1, 2}));
        QCOMPARE(page.keyValue1, (QVector<int>{1, 2, 4, 8, 16, 1}));
        QCOMPARE(page.keyValue2.size(), 6);
        QCOMPARE(debounceCombo(page)->currentIndex(), 8);
        QCOMPARE(seconds.count(), 1);
        QCOMPARE(seconds.first().first().toInt(), 60);
        QCOMPARE(mouse.count(), 1);
        QCOMPARE(mouse.first().first().toInt(), 0);
        QCOMPARE(page.Form()->stackedWidget->currentWidget(), page.Form()->page);
        QVERIFY(!ButtonUiLoading);
    }

    void macroList()
    {
        const QString folder = keys::MacroFolder();
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        for (const char* name : {"beta", "alpha"}) {
            QFile file(folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("1\n");
        }
        QFile other(folder + QStringLiteral("/notes.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

        Buttoninterface page;
        QStringList names;
        for (QToolButton* b : page.MacroButtons())
            names << b->text();
        QCOMPARE(names, (QStringList{"alpha", "beta"}));

        page.MacroButtons().first()->setChecked(true);
        page.ClearOptionChecks();
        for (QToolButton* b : page.MacroButtons())
            QVERIFY(!b->isChecked());

        QFile::remove(folder + QStringLiteral("/alpha.ini"));
        PostMsg::GetInstance()->PostAddMacroButton();
        QCOMPARE(page.MacroButtons().size(), 1);
        QCOMPARE(page.MacroButtons().first()->text(), QStringLiteral("beta"));

        // The macro file writer stays inside the macro folder.
        QVERIFY(page.WriteMacroFile(QStringLiteral("gamma"), QStringLiteral("3")));
        QCOMPARE(QFile(folder + QStringLiteral("/gamma.ini")).size(), 2);
        QVERIFY(!page.WriteMacroFile(QStringLiteral("../escape"), QStringLiteral("3")));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/../escape.ini")));
    }

    void languageTexts()
    {
        Buttoninterface page;
        QComboBox* debounce = debounceCombo(page);
        QCOMPARE(debounce->itemText(0), QStringLiteral("0ms"));
        QCOMPARE(debounce->itemText(20), QStringLiteral("20ms"));
        QCOMPARE(page.macroWord, QStringLiteral("Macro: "));
        QCOMPARE(page.Form()->Reset->text(), QStringLiteral("Reset"));
        page.SlotUpDataConfigUI(2, 0, true);
        PostMsg::GetInstance()->PostChangeLanguage(4);
        QCOMPARE(debounce->itemText(7), QStringLiteral("7мс"));
        QCOMPARE(page.Form()->ProjectChoose->itemText(1), QStringLiteral("Профиль 2"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(page.Form()->ProjectChoose->itemText(1), QStringLiteral("Profile 2"));
    }

    void japaneseToolTips_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("importTip");
        QTest::newRow("English") << 0 << QString();
        QTest::newRow("Japanese") << 5 << QStringLiteral("インポート");
    }

    void japaneseToolTips()
    {
        // Only the Japanese words need the tool tips of import and export.
        QFETCH(int, stored);
        QFETCH(QString, importTip);
        MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"),
                                               QString::number(stored));
        Buttoninterface page;
        QCOMPARE(page.Form()->ImportData->toolTip(), importTip);
        QCOMPARE(page.Form()->OutputData->toolTip().isEmpty(), importTip.isEmpty());
        MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QVERIFY(page.Form()->ImportData->toolTip().isEmpty());
    }

    void membersNothingCalls()
    {
        Buttoninterface page;
        // A caption file: the caption of its key, the lists' positions.
        QFile file(UserDir() + QStringLiteral("/usersetting/MainPage/4.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("14,3\n");
        file.close();
        page.LoadKeySetting4();
        QCOMPARE(page.Form()->StartPause->text(), page.EntryText(QStringLiteral("TopMusic_2")));
        QCOMPARE(page.Form()->scrollArea_3->verticalScrollBar()->value(),
                 qMin(45, page.Form()->scrollArea_3->verticalScrollBar()->maximum()));
        // A line that is no number changes nothing.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("1x\n");
        file.close();
        page.Form()->StartPause->setText(QStringLiteral("kept"));
        page.LoadKeySetting4();
        QCOMPARE(page.Form()->StartPause->text(), QStringLiteral("kept"));

        KeyEventRecord record{};
        page.ConsumerKeyToRecord(record, 0, 0x00, 0xCD);
        QCOMPARE(int(record.count), 2);
        QCOMPARE(int(record.events[0].state), 0);
        QCOMPARE(int(record.events[1].state), 1);
        for (const KeyEvent& e : {record.events[0], record.events[1]}) {
            QCOMPARE(int(e.kind), 2);
            QCOMPARE(int(e.code), 0xCD);
            QCOMPARE(int(e.delay), 10);
        }

        // The probe finds the default bench's receiver and cabled mouse.
        QStringList found;
        for (const DeviceAllInfo& d : page.EnumerateDevices())
            found << QStringLiteral("%1 %2 mid %3").arg(d.path, d.pid).arg(d.mid);
        found.sort();
        QCOMPARE(found, (QStringList{"hidbench/mouse2 F001 mid 2", "hidbench/rx8k F080 mid 1"}));

        QElapsedTimer clock;
        clock.start();
        page.Delay(50);
        QVERIFY(clock.elapsed() >= 50);
    }

    void destructionJoinsALinkPassWaitingForTheWindows()
    {
        // A pass of the link blocked in a hand-off to the GUI thread (the
        // device is offline and no cached image exists: it resets the pages
        // and waits for them) must still end when the page goes.
        auto* page = new Buttoninterface;
        Worker* worker = WorkerThread;
        QVERIFY(worker);
        OnMainPage = 1;
        ReloadPending = true;
        DeviceInfoFile.clear();
        SetCurrentDevicePath("no-such-device");
        QSignalSpy reset(PostMsg::GetInstance(), &PostMsg::SigFormReset);
        WorkerRun = true;
        worker->StartPass();
        // Wait without processing events, so that the pass stays blocked.
        QElapsedTimer started;
        started.start();
        while (!worker->isRunning() && started.elapsed() < 5000)
            QThread::msleep(1);
        QVERIFY(worker->isRunning());
        QThread::msleep(200);
        QVERIFY(worker->isRunning());
        QElapsedTimer clock;
        clock.start();
        delete page;
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(WorkerThread == nullptr);
        QCOMPARE(reset.count(), 1);
        OnMainPage = 0;
        ReloadPending = false;
    }
};

QTEST_MAIN(ButtonPageTest)
#include "tst_buttonpage.moc"
