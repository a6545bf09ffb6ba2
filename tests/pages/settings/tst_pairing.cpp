// The pairing dialog against the bench's 8 kHz receiver: a pairing that
// succeeds and one that fails, no answer within the time limit, the
// receiver pulled out, Escape while pairing and a second pairing after
// it, one attempt per Space press or click, a mouse on its cable, reports
// the dialog must not trust, and the device list following the bus after a
// pairing from the pages that an unplug interrupted.
#include "../../core/DeviceListTestSupport.h"

#include "Dialog.h"
#include "DialogMain.h"
#include "FormSetting.h"
#include "Globals.h"
#include "GlobalsFixture.h"
#include "Match.h"
#include "UserFixture.h"
#include "ui_FormSetting.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <memory>

using namespace linktest;

namespace {

const QString Receiver = QStringLiteral("rx8k");

DeviceAllInfo receiverRecord()
{
    DeviceAllInfo device;
    device.path = QStringLiteral("hidbench/rx8k");
    device.vid = QStringLiteral("7A51");
    device.pid = QStringLiteral("F080");
    device.type = 5;
    return device;
}

QString paired()
{
    for (const QString& line : bench({QStringLiteral("list")}).split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("id=rx8k"))) {
            const int at = line.indexOf(QLatin1String("paired="));
            return line.mid(at + 7).section(QLatin1Char(' '), 0, 0);
        }
    }
    return QStringLiteral("(none)");
}

}  // namespace

class PairingTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Match> m_match;
    QPushButton* button() const { return m_match->findChild<QPushButton*>(QStringLiteral("MatchButton")); }

    // A dialog for the listed receiver, shown (its opener would exec() it).
    void open()
    {
        m_match = std::make_unique<Match>();
        m_match->InitMatch();
        m_match->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_match.get()));
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(benchToDefaults());
        bench({QStringLiteral("option"), QStringLiteral("trace=on"), QStringLiteral("pair_delay_ms=200")});
    }

    void init()
    {
        bench({QStringLiteral("fault"), Receiver, QStringLiteral("clear")});
        bench({QStringLiteral("plug"), Receiver});
        bench({QStringLiteral("set"), Receiver, QStringLiteral("paired=")});
        OnMainPage = 0;
        RePairFlag = false;
        DeviceList = {receiverRecord()};
        clearCallsLog();
        open();
    }

    void cleanup()
    {
        m_match.reset();
        UsbServer_Exit();
    }

    void pairs()
    {
        QVERIFY(button()->isEnabled());
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(Match::Pairing());
        QVERIFY(button()->text().startsWith(QLatin1String("Pairing")));
        QTRY_COMPARE_WITH_TIMEOUT(Match::PairResult(), 2, 10000);
        QTRY_COMPARE(button()->text(), QStringLiteral("Paired"));
        QVERIFY(!Match::Pairing());
        QCOMPARE(paired(), QStringLiteral("mouse1"));
        QCOMPARE(callsLog({QStringLiteral("UsbServerC_Start")}).size(), 1);  // one link for the click
        QVERIFY(callsLog({QStringLiteral("UsbServer_EnterDonglePairOnlyCid 24")}).size() == 1);
        // Another click changes nothing; closing closes (the opener's
        // pairing run puts the callback back: tst_choreography).
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(Match::PairResult(), 2);
        m_match->WindowClosedSet();
        QVERIFY(!m_match->isVisible());
    }

    void failsAndRestoresTheMainPage()
    {
        bench({QStringLiteral("fault"), Receiver, QStringLiteral("pair-fail"), QStringLiteral("on")});
        // Opened on the pages: the current device pairs.
        m_match.reset();
        OnMainPage = 1;
        CurrentDeviceInfo = receiverRecord();
        open();
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(OnMainPage.load(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(Match::PairResult(), 3, 10000);
        QTRY_COMPARE(button()->text(), QStringLiteral("Pairing failed"));
        QCOMPARE(OnMainPage.load(), 1);
        QCOMPARE(paired(), QStringLiteral("-"));  // still unpaired
    }

    void noAnswerWithinTheLimit()
    {
        bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=600000")});
        QTest::mouseClick(button(), Qt::LeftButton);
        auto* limit = m_match->findChild<QTimer*>(QStringLiteral("PairTimeLimit"));
        QVERIFY(limit->isActive());
        QCOMPARE(limit->interval(), Match::PairTimeLimitMs);
        QCOMPARE(Match::PairTimeLimitMs, 60000);
        // Escape while pairing follows the close button: nothing happens.
        QTest::keyClick(m_match.get(), Qt::Key_Escape);
        QVERIFY(m_match->isVisible());
        m_match->onPairTimeLimit();  // as the timer does after 60 s
        QCOMPARE(Match::PairResult(), 3);
        QVERIFY(!Match::Pairing());
        QCOMPARE(button()->text(), QStringLiteral("Pairing failed"));
        QTest::keyClick(m_match.get(), Qt::Key_Escape);
        QVERIFY(!m_match->isVisible());

        // A second pairing after it starts clean and succeeds.
        bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=200")});
        m_match.reset();
        open();
        QCOMPARE(Match::PairResult(), 0);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(Match::PairResult(), 2, 10000);
    }

    // Space acts as a click would, whichever widget of the dialog holds the
    // focus: one link and one pairing request per press (the shortcut clicks
    // at once) before any attempt and after a failure or the receiver was
    // pulled out, nothing after a success.
    void spaceActsAsTheClick_data()
    {
        QTest::addColumn<QString>("ending");  // how the attempts end
        QTest::addColumn<bool>("attemptFirst");
        QTest::addColumn<bool>("buttonFocused");
        QTest::addColumn<int>("requests");  // links and pairing requests per press
        QTest::newRow("no attempt yet") << QStringLiteral("pair-fail") << false << true << 1;
        QTest::newRow("failed") << QStringLiteral("pair-fail") << true << true << 1;
        QTest::newRow("failed, the dialog focused") << QStringLiteral("pair-fail") << true << false << 1;
        // A success disables the button, which so loses the focus.
        QTest::newRow("paired") << QString() << true << false << 0;
        QTest::newRow("receiver pulled out") << QStringLiteral("unplug") << true << true << 1;
    }
    void spaceActsAsTheClick()
    {
        QFETCH(QString, ending);
        QFETCH(bool, attemptFirst);
        QFETCH(bool, buttonFocused);
        QFETCH(int, requests);
        if (ending == QLatin1String("pair-fail"))
            bench({QStringLiteral("fault"), Receiver, QStringLiteral("pair-fail"), QStringLiteral("on")});
        else if (ending == QLatin1String("unplug"))
            bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=600000")});
        const int result = ending.isEmpty() ? 2 : 3;
        QVERIFY(QTest::qWaitForWindowActive(m_match.get()));
        if (attemptFirst) {
            QTest::mouseClick(button(), Qt::LeftButton);
            if (ending == QLatin1String("unplug"))
                bench({QStringLiteral("unplug"), Receiver});
            QTRY_COMPARE_WITH_TIMEOUT(Match::PairResult(), result, 10000);
            QTRY_COMPARE(button()->text(), result == 2 ? QStringLiteral("Paired") : QStringLiteral("Pairing failed"));
        }
        if (buttonFocused)
            QCOMPARE(QApplication::focusWidget(), button());
        else
            m_match->setFocus();

        const auto calls = [](const QString& call) { return callsLog({call}).size(); };
        const QString link = QStringLiteral("UsbServerC_Start");
        const QString request = QStringLiteral("UsbServer_EnterDonglePairOnlyCid");
        for (const bool space : {true, false}) {
            const int links = calls(link), sent = calls(request);
            if (space)
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_match.get(), Qt::Key_Space);
            else
                QTest::mouseClick(button(), Qt::LeftButton);
            QCOMPARE(Match::Pairing(), requests > 0);
            QTest::qWait(300);  // a second request of the same press would be logged by now
            QCOMPARE(calls(link) - links, requests);
            QCOMPARE(calls(request) - sent, requests);
            QTRY_COMPARE_WITH_TIMEOUT(Match::PairResult(), result, 10000);
        }
        bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=200")});
    }

    void receiverPulledOut()
    {
        bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=600000")});
        QTest::mouseClick(button(), Qt::LeftButton);
        bench({QStringLiteral("unplug"), Receiver});
        QTRY_COMPARE_WITH_TIMEOUT(Match::PairResult(), 3, 5000);
        QCOMPARE(button()->text(), QStringLiteral("Pairing failed"));
        bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=200")});
    }

    // Pairing from the receiver's pages, pulled out during the attempt (the
    // pages go back to the list), a failed press, plugged in, paired: once
    // the dialog is closed the list follows the bus.
    void interruptedPairingLeavesTheListFollowingTheBus_data()
    {
        QTest::addColumn<bool>("space");
        QTest::newRow("clicks") << false;
        QTest::newRow("Space") << true;
    }
    void interruptedPairingLeavesTheListFollowingTheBus()
    {
        using namespace devlisttest;
        QFETCH(bool, space);
        m_match.reset();
        testsupport::EnterSituation(testsupport::Situation::DeviceList);
        DialogMain w;
        w.show();
        const auto listed = [](const QString& id) { return paths(DeviceList).contains(benchPath(id)); };
        QVERIFY(QTest::qWaitForWindowExposed(&w) && search(*w.DeviceListPage()) && listed(Receiver));
        QTest::mouseClick(w.DeviceListPage()->DeviceButtons().value(paths(DeviceList).indexOf(benchPath(Receiver))),
                          Qt::LeftButton, Qt::NoModifier, QPoint(142, 180));
        bool ended = w.PagesShown();
        QTimer::singleShot(0, &w, [&] {
            auto* match = qobject_cast<Match*>(QApplication::activeModalWidget());
            const auto press = [&](const QStringList& then, int result) {
                space ? QTest::keyClick(match, Qt::Key_Space)
                      : QTest::mouseClick(match->findChild<QPushButton*>("MatchButton"), Qt::LeftButton);
                if (!then.isEmpty())
                    bench(then);
                ended = ended && QTest::qWaitFor([&] { return Match::PairResult() == result && !Match::Pairing(); }, 10000);
            };
            ended = ended && match && QTest::qWaitForWindowActive(match);
            if (!match)
                return;
            bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=600000")});
            press({QStringLiteral("unplug"), Receiver}, 3);
            ended = ended && QTest::qWaitFor([&] { return !w.PagesShown(); }, 10000);
            press({QStringLiteral("option"), QStringLiteral("pair_delay_ms=200")}, 3);
            bench({QStringLiteral("plug"), Receiver});
            press({}, 2);
            match->WindowClosedSet();
        });
        w.PageContainer()->SettingsPage()->Form()->pushButton_2->click();
        QVERIFY(ended && !w.PagesShown());
        QTRY_VERIFY_WITH_TIMEOUT(listed(Receiver) && listed(QStringLiteral("mouse2")), 10000);
        for (const char* command : {"unplug", "plug"}) {
            bench({QString::fromLatin1(command), QStringLiteral("mouse2")});
            QTRY_VERIFY_WITH_TIMEOUT(listed(QStringLiteral("mouse2")) == (command[0] == 'p'), 10000);
        }
        StopUsbChanged();
    }

    void mouseOnItsCableCannotPair()
    {
        m_match.reset();
        DeviceAllInfo cabled = receiverRecord();
        cabled.directMouse = 1;
        DeviceList = {cabled};
        open();
        QVERIFY(!button()->isEnabled());
        QVERIFY(m_match->findChild<QLabel*>(QStringLiteral("label"))->isVisible());
        QVERIFY(!m_match->findChild<QTextEdit*>(QStringLiteral("textEdit"))->isVisible());
        QCOMPARE(m_match->findChild<QLabel*>(QStringLiteral("label"))->text(),
                 QStringLiteral("Pairing works only in wireless mode"));
        QTest::keyClick(m_match.get(), Qt::Key_Space);
        QCOMPARE(Match::PairResult(), 0);
    }

    void reportsThatAreNotTrusted()
    {
        bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=600000")});
        QTest::mouseClick(button(), Qt::LeftButton);
        unsigned char header[8] = {0x5A, 6, 0, 0, 0, 1, 0, 0};
        unsigned char data[1] = {3};
        Match::PairCallback(header, 1, data, 1);  // too short a header: type 0
        Match::PairCallback(header, 8, data, 0);  // no data
        Match::PairCallback(header, 8, nullptr, 1);
        data[0] = 1;
        Match::PairCallback(header, 8, data, 1);  // still pairing
        header[1] = 8;
        data[0] = 3;
        Match::PairCallback(header, 8, data, 1);  // another report
        QVERIFY(Match::Pairing());
        QCOMPARE(Match::PairResult(), 1);
        m_match->onPairTimeLimit();
        bench({QStringLiteral("option"), QStringLiteral("pair_delay_ms=200")});
    }
};

QTEST_MAIN(PairingTest)
#include "tst_pairing.moc"
