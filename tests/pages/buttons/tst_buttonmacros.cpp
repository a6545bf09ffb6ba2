// Macros on the button page's keys against the simulated device: a macro
// button gives the checked key its macro from its file, keys that carry a
// macro follow its renaming and its saving (through the macro page, and
// only those keys), a saved macro the device refuses is kept and sent
// again, and a deletion while the device is offline changes nothing.
#include "ButtonPageFixture.h"

#include "FilePlaces.h"
#include "Macro.h"
#include "MacroPending.h"
#include "MacroRows.h"
#include "PostMsg.h"
#include "UserFixture.h"
#include "ui_Buttoninterface.h"

#include <QSignalSpy>
#include <QStackedWidget>

using namespace buttontest;

namespace {

bool sameMacro(const MacroRecord& a, const MacroRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

keys::MacroRows rows(int code, quint32 delay)
{
    return {keys::MacroRow::Key(1, code, true), keys::MacroRow::Delay(delay), keys::MacroRow::Key(1, code, false)};
}

}  // namespace

class ButtonMacrosTest : public QObject, public PageOnBench
{
    Q_OBJECT

    // Key 1 carries macro "m1" (repeat 3); key 3 is the back button with a
    // caption that reads like the macro's.
    FlashDataMap m_withMacro{};

    std::unique_ptr<Buttoninterface> macroPage()
    {
        useImage(m_withMacro);
        auto page = makePage(m_withMacro);
        page->KeyButton(3)->setText(QStringLiteral("Macro: m1"));
        return page;
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
        m_withMacro = mouseImage();
        m_withMacro.keys[1] = {6, 1, 3};
        m_withMacro.macros[1] = keys::RecordFromRows(QStringLiteral("m1"), rows(0x04, 20));
    }

    void cleanupTestCase() { UsbServer_Exit(); }
    void cleanup() { EndModalWatches(); }

    void init()
    {
        startCase();
        UiReady = true;
    }

    void aMacroButtonGivesTheCheckedKeyItsMacro()
    {
        QVERIFY(keys::SaveMacroFile(QStringLiteral("burst"), 254, rows(0x05, 30)));
        auto page = makePage(mouseImage());
        QTest::mouseClick(page->Form()->RightKey, Qt::LeftButton);
        QTest::mouseClick(tool(*page, QStringLiteral("DPI_10")), Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_5);
        QCOMPARE(page->MacroButtons().size(), 1);
        QTest::mouseClick(page->MacroButtons().first(), Qt::LeftButton);

        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(int(stored.keys[1].type), 6);
        QCOMPARE(int(stored.keys[1].value1), 1);
        QCOMPARE(int(stored.keys[1].value2), 254);
        QVERIFY(sameMacro(stored.macros[1], keys::RecordFromRows(QStringLiteral("burst"), rows(0x05, 30))));
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("Macro: burst"));
        QCOMPARE(page->keyType.at(1), 6);
        QCOMPARE(page->keyValue2.at(1), 254);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);

        // A macro whose file went meanwhile is not sent; the menu closes.
        clearCallsLog();
        QVERIFY(keys::DeleteMacroFile(QStringLiteral("burst")));
        page->ClearOptionChecks();
        QTest::mouseClick(page->Form()->BackKey, Qt::LeftButton);
        QTest::mouseClick(tool(*page, QStringLiteral("DPI_10")), Qt::LeftButton);
        QTest::mouseClick(page->MacroButtons().first(), Qt::LeftButton);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(page->KeyButton(2)->text(), QStringLiteral("Middle button"));
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
    }

    void aRenameFollowsTheMacroKeysOnly()
    {
        auto page = macroPage();
        PostMsg::GetInstance()->PostMacroRename(QStringLiteral("m1"), QStringLiteral("m2"));
        const FlashDataMap stored = deviceImage(Mouse);
        MacroRecord renamed = m_withMacro.macros[1];
        std::memset(renamed.name, 0, sizeof renamed.name);
        renamed.name[0] = 'm';
        renamed.name[1] = '2';
        QVERIFY(sameMacro(stored.macros[1], renamed));
        QCOMPARE(int(stored.keys[1].value2), 3);
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("Macro: m2"));
        // The back button only looked like the macro's key.
        QCOMPARE(page->KeyButton(3)->text(), QStringLiteral("Macro: m1"));
        QCOMPARE(int(stored.keys[3].type), 1);
        QCOMPARE(imageSends(), 1);
    }

    void aSavedMacroReachesItsKeys_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("newEvents");
        QTest::newRow("events saved") << 0 << true;
        QTest::newRow("repeat saved") << 1 << false;
    }

    void aSavedMacroReachesItsKeys()
    {
        QFETCH(int, mode);
        QFETCH(bool, newEvents);
        auto page = macroPage();
        QVERIFY(keys::SaveMacroFile(QStringLiteral("m1"), 254, rows(0x06, 40)));
        Macro macros;  // it sends a macro from its file when a key asks
        QSignalSpy asked(PostMsg::GetInstance(), &PostMsg::SigMacroDownLoadData);
        PostMsg::GetInstance()->PostUpDataMacro(QStringLiteral("m1"), mode);
        // Events go out after the file had time to settle, built from it.
        QTRY_COMPARE_WITH_TIMEOUT(imageSends(), 1, 10000);
        QCOMPARE(asked.count(), newEvents ? 1 : 0);
        if (newEvents)
            QCOMPARE(asked.first(), (QList<QVariant>{QStringLiteral("m1"), 1}));
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(int(stored.keys[1].type), 6);
        QCOMPARE(int(stored.keys[1].value2), 254);
        const MacroRecord expected =
            newEvents ? keys::RecordFromRows(QStringLiteral("m1"), rows(0x06, 40)) : m_withMacro.macros[1];
        QVERIFY(sameMacro(stored.macros[1], expected));
        QCOMPARE(page->keyValue2.at(1), 254);
        QVERIFY(sameMacro(stored.macros[3], m_withMacro.macros[3]));
        QCOMPARE(int(stored.keys[3].type), 1);
    }

    // A saved macro the device refuses is the user's newer work: told once,
    // kept through the next read of the device's older record, and sent
    // again by itself once the device takes writes. With a link (to a file
    // of the test's), a folder or a FIFO where the pending list goes, it is
    // kept for the run all the same, the notice says a restart loses it,
    // and the list's place and the link's target stay as they were.
    void aRefusedMacroIsKeptAndSentAgain_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("listPlace");
        // Both ways of sending keep a refused macro alike; the list's forms
        // are told apart once.
        for (const char* place : {"nothing", "link to a file", "folder", "fifo"})
            QTest::addRow("events saved, list: %s", place) << 0 << QString(place);
        for (const char* place : {"nothing", "link to a file"})
            QTest::addRow("repeat saved, list: %s", place) << 1 << QString(place);
    }
    void aRefusedMacroIsKeptAndSentAgain()
    {
        QFETCH(int, mode);
        QFETCH(QString, listPlace);
        const QString list = keys::MacroPendingFile(), target = UserDir() + "/target";
        QVERIFY(testsupport::PutInPlace(listPlace, list, target));
        const QString place = testsupport::PlaceAt(list);
        auto page = macroPage();
        Macro macros;
        QVERIFY(keys::SaveMacroFile(QStringLiteral("m1"), 254, rows(0x06, 40)));
        const QByteArray newer = keys::MacroFileText(254, rows(0x06, 40));
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        QSignalSpy told(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        PostMsg::GetInstance()->PostUpDataMacro(QStringLiteral("m1"), mode);
        QTRY_COMPARE_WITH_TIMEOUT(keys::PendingMacros(), QStringList{"m1"}, 10000);
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.first().first().toInt(), listPlace == "nothing" ? WriteRefusedReason : RefusedUnkeptReason);

        // The next read brings the device's older record: the file stays.
        page->SlotUpDataButtonUIButton(deviceImage(Mouse));
        QFile file(keys::MacroFilePath(QStringLiteral("m1")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), newer);
        QVERIFY(sameMacro(deviceImage(Mouse).macros[1], m_withMacro.macros[1]));

        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("off")});
        const MacroRecord expected = keys::RecordFromRows(QStringLiteral("m1"), rows(0x06, 40));
        QTRY_VERIFY_WITH_TIMEOUT(sameMacro(deviceImage(Mouse).macros[1], expected), 10000);
        QCOMPARE(int(deviceImage(Mouse).keys[1].value2), 254);
        QTRY_VERIFY(keys::PendingMacros().isEmpty());
        QCOMPARE(page->keyValue2.at(1), 254);
        QCOMPARE(told.count(), 1);  // the retries tell nothing
        QVERIFY(listPlace == "nothing" || testsupport::PlaceAt(list) == place);
        QCOMPARE(testsupport::TargetAfter(target), QByteArray("keep"));
    }

    void aDeletionWhileOfflineChangesNothing()
    {
        auto page = macroPage();
        bool ok = false;
        bench({QStringLiteral("offline"), Mouse}, &ok);
        QVERIFY(ok);
        QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        PostMsg::GetInstance()->PostDeleteMacroButton(QStringLiteral("Macro: m1"));
        QCOMPARE(offline.count(), 1);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("Macro: m1"));
        QCOMPARE(page->keyType.at(1), 6);
        QVERIFY(linktest::sameImage(SnapshotFlashData(), m_withMacro));
    }
};

QTEST_MAIN(ButtonMacrosTest)
#include "tst_buttonmacros.moc"
