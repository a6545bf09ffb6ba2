// Real key presses, sent by xdotool to a virtual X server while the macro
// page records, become the macro's rows: each press and release once, with
// a delay row between them, overlapping keys in the order they came, and
// Return, Escape and Space recorded like any other key (none of them ends
// the recording or presses a button of the page).
#include "Globals.h"
#include "KeyboardHook.h"
#include "Macro.h"
#include "MacroRows.h"
#include "UserFixture.h"
#include "XdotoolSupport.h"
#include "ui_Macro.h"

#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

class XvfbMacroRecordTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (const char* missing = testsupport::XdotoolMissing(&m_xdotool))
            QSKIP(missing);
        testsupport::PrepareUserState();
    }

    void realKeys()
    {
        QVERIFY(keys::CreateMacroFile(QStringLiteral("typed")));
        Macro page;
        Ui::Macro* ui = page.Form();
        page.show();
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        ui->listWidgetHong->setCurrentRow(0);
        QTest::mouseClick(ui->StartRecord, Qt::LeftButton);
        QVERIFY(RecordingMacro);

        QVERIFY(xdotool({"key", "--delay", "60", "a", "Return", "Escape", "space"}));
        QVERIFY(xdotool({"keydown", "b", "keydown", "n", "keyup", "b", "keyup", "n"}));
        const QStringList expected = {"A",     "A'",     "Enter", "Enter'", "Esc", "Esc'",
                                      "Space", "Space'", "B",     "N",      "B'",  "N'"};
        QTRY_COMPARE(keyRows(page), expected);
        QVERIFY(page.isVisible() && page.Recording());

        QTest::mouseClick(ui->StopRecord, Qt::LeftButton);
        QVERIFY(!RecordingMacro && !KeyboardHook::IsInstalled(KeyboardHook::Recorder));
        // Key, delay, key, ...: one delay row between two key rows.
        const keys::MacroRows rows = page.EventRows();
        QCOMPARE(rows.size(), 2 * expected.size() - 1);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows.at(i).IsDelay(), i % 2 == 1);
        // Typing after the stop records nothing.
        QVERIFY(xdotool({"key", "c"}));
        QTest::qWait(300);
        QCOMPARE(page.EventRows().size(), rows.size());
    }

private:
    bool xdotool(const QStringList& args)
    {
        QProcess process;
        process.start(m_xdotool, args);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    static QStringList keyRows(const Macro& page)
    {
        QStringList out;
        for (const keys::MacroRow& row : page.EventRows()) {
            if (!row.IsDelay())
                out << row.text + (row.down ? QString() : QStringLiteral("'"));
        }
        return out;
    }

    QString m_xdotool;
};

QTEST_MAIN(XvfbMacroRecordTest)
#include "xvfb_macrorecord.moc"
