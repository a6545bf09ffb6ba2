// The macro page's part of the shell: the recording state the main window
// and the container follow, and the mouse-button names of its texts.
#include "Globals.h"
#include "Macro.h"
#include "MacroSettings.h"
#include "MyConmboBox.h"
#include "PostMsg.h"
#include "UserFixture.h"
#include "ui_Macro.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class MacroPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
    }

    void recordingState()
    {
        Macro page;
        QSignalSpy record(PostMsg::GetInstance(), SIGNAL(SigStartRecord(int)));

        // No macro selected: a notice, no recording.
        QString notice;
        QString text;
        QTimer::singleShot(100, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal) {
                notice = QString::fromLatin1(modal->metaObject()->className());
                text = modal->findChild<QLabel*>(QStringLiteral("label"))->text();
                modal->close();
            }
        });
        page.on_StartRecord_clicked();
        QCOMPARE(notice, QStringLiteral("ExeIsRun"));
        QVERIFY(!RecordingMacro);
        QCOMPARE(record.count(), 0);

        page.Form()->listWidgetHong->addItem(QStringLiteral("m"));
        page.Form()->listWidgetHong->setCurrentRow(0);
        page.on_StartRecord_clicked();
        QVERIFY(RecordingMacro);
        QVERIFY(page.Recording());
        QCOMPARE(record.count(), 1);
        QCOMPARE(record.last().first().toInt(), 0);
        QVERIFY(page.Form()->StartRecord->isHidden());

        page.on_StopRecord_clicked();
        QVERIFY(!RecordingMacro);
        QCOMPARE(record.last().first().toInt(), 1);
        QVERIFY(!page.Form()->StartRecord->isHidden());

        page.on_StartRecord_clicked();
        PostMsg::GetInstance()->PostSetMacroPage();
        QVERIFY(!RecordingMacro);
        QCOMPARE(record.last().first().toInt(), 1);
    }

    void mouseButtonNames()
    {
        Macro page;
        QCOMPARE(MouseLeftText, QStringLiteral("Left button"));
        QCOMPARE(MouseForwardText, QStringLiteral("Forward button"));
        QCOMPARE(MouseBackText, QStringLiteral("Back button"));
        QCOMPARE(page.Form()->ChooseEvent->count(), 9);
        QCOMPARE(page.Form()->ChooseEvent->itemText(0), QString());
        QCOMPARE(page.Form()->ChooseEvent->itemText(6), QStringLiteral("Middle button"));
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(MouseRightText, QStringLiteral("右键"));
        QCOMPARE(page.Form()->ChooseEvent->itemText(5), QStringLiteral("右键"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(MouseRightText, QStringLiteral("Right button"));
    }
};

QTEST_MAIN(MacroPageTest)
#include "tst_macropage.moc"
