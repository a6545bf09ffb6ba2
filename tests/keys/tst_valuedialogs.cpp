// The fire-key and delay dialogs (ranges, presets, values still being typed,
// the ways out), and what the four key dialogs read from the installed
// language files and pictures.
#include "AddDelayTime.h"
#include "Contrast.h"
#include "FireKey.h"
#include "Globals.h"
#include "GroupKey.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "addKey.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QToolButton* button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QToolButton*>(QString::fromLatin1(name));
}

QSpinBox* spin(QWidget& dialog, const char* name)
{
    return dialog.findChild<QSpinBox*>(QString::fromLatin1(name));
}

// Types text into a spin box over what it shows, without Enter.
void typeInto(QSpinBox* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

void setLanguage(int index)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
}

// What one section of a language file holds.
QHash<QString, QString> sectionTexts(int index, const QString& section, const QStringList& elements)
{
    QHash<QString, QString> found;
    LanguageTexts texts;
    for (const QString& element : elements)
        texts.on(element, [&found, element](const QString& text) { found.insert(element, text); });
    LoadLanguageSection(index, section, texts);
    return found;
}

}  // namespace

class TestValueDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { setLanguage(0); }
    void fireKeyPresets();
    void fireKeyAnswers();
    void delayAnswers();
    void valuesReadable_data();
    void valuesReadable();
    void languageSections();
    void languageOfDialogs();
    void pictures();
};

void TestValueDialogs::fireKeyPresets()
{
    FireKey dialog;
    QCOMPARE(spin(dialog, "Time")->value(), 10);
    QCOMPARE(spin(dialog, "Count")->value(), 3);
    dialog.SetInterval(300);
    dialog.SetCount(5);
    QCOMPARE(spin(dialog, "Time")->value(), 255);
    QCOMPARE(spin(dialog, "Count")->value(), 3);
    dialog.SetInterval(2);
    dialog.SetCount(-4);
    QCOMPARE(spin(dialog, "Time")->value(), 10);
    QCOMPARE(spin(dialog, "Count")->value(), 0);
    QCOMPARE(spin(dialog, "Time")->buttonSymbols(), QAbstractSpinBox::NoButtons);
    QCOMPARE(dialog.size(), QSize(406, 170));
}

void TestValueDialogs::fireKeyAnswers()
{
    {
        // Accepted unchanged after the opener's presets.
        FireKey dialog;
        dialog.SetInterval(10);
        dialog.SetCount(3);
        QTimer::singleShot(0, [&dialog] { QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton); });
        dialog.exec();
        QVERIFY(dialog.IsAccepted());
        QCOMPARE(dialog.FireInterval(), 10);
        QCOMPARE(dialog.FireCount(), 3);
    }
    {
        // Count 0 (fire while held) and an interval still being typed.
        FireKey dialog;
        dialog.SetInterval(50);
        dialog.SetCount(2);
        dialog.show();
        spin(dialog, "Count")->setValue(0);
        typeInto(spin(dialog, "Time"), QStringLiteral("120"));
        QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton);
        QVERIFY(dialog.IsAccepted());
        QCOMPARE(dialog.FireCount(), 0);
        QCOMPARE(dialog.FireInterval(), 120);
        QVERIFY(!dialog.isVisible());
    }
    for (const char* way : {"NewHong_2", "CloseButton", "Escape"}) {
        // Cancel, Close and Escape keep the initial answer.
        FireKey dialog;
        dialog.SetInterval(200);
        dialog.SetCount(1);
        QTimer::singleShot(0, [&dialog, way] {
            if (QByteArray(way) == "Escape")
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                QTest::mouseClick(button(dialog, way), Qt::LeftButton);
        });
        dialog.exec();
        QVERIFY2(!dialog.IsAccepted(), way);
        QCOMPARE(dialog.FireInterval(), 10);
        QCOMPARE(dialog.FireCount(), 3);
    }
}

void TestValueDialogs::valuesReadable_data()
{
    QTest::addColumn<bool>("delayDialog");
    QTest::addColumn<QString>("box");
    QTest::newRow("fire count") << false << "Count";
    QTest::newRow("fire interval") << false << "Time";
    QTest::newRow("delay") << true << "spinBox";
}

// The digits of the value boxes read on the ground the box draws.
void TestValueDialogs::valuesReadable()
{
    QFETCH(bool, delayDialog);
    QFETCH(QString, box);
    FireKey fire;
    AddDelayTime delay;
    QDialog& dialog = delayDialog ? static_cast<QDialog&>(delay) : static_cast<QDialog&>(fire);
    dialog.show();
    QSpinBox* spinBox = spin(dialog, qPrintable(box));
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QString unreadable = testsupport::UnreadableText(spinBox, spinBox);
    QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
}

void TestValueDialogs::delayAnswers()
{
    {
        AddDelayTime dialog;
        QCOMPARE(spin(dialog, "spinBox")->value(), 10);
        QCOMPARE(spin(dialog, "spinBox")->maximum(), 65535);
        QTimer::singleShot(0, [&dialog] { QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton); });
        dialog.exec();
        QVERIFY(dialog.IsAccepted());
        QCOMPARE(dialog.DelayValue(), 10);
    }
    {
        // The largest delay, typed and taken without Enter.
        AddDelayTime dialog;
        dialog.show();
        typeInto(spin(dialog, "spinBox"), QStringLiteral("65535"));
        QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton);
        QVERIFY(dialog.IsAccepted());
        QCOMPARE(dialog.DelayValue(), 65535);
    }
    {
        // 70000 cannot be entered: the last digit is refused.
        AddDelayTime dialog;
        dialog.show();
        typeInto(spin(dialog, "spinBox"), QStringLiteral("70000"));
        QTest::mouseClick(button(dialog, "NewHong"), Qt::LeftButton);
        QCOMPARE(dialog.DelayValue(), 7000);
    }
    for (const char* way : {"NewHong_2", "CloseButton"}) {
        AddDelayTime dialog;
        QTimer::singleShot(0, [&dialog, way] {
            typeInto(spin(dialog, "spinBox"), QStringLiteral("500"));
            QTest::mouseClick(button(dialog, way), Qt::LeftButton);
        });
        dialog.exec();
        QVERIFY(!dialog.IsAccepted());
        QCOMPARE(dialog.DelayValue(), 0);
    }
}

void TestValueDialogs::languageSections()
{
    // Every language file has the four sections, each element with a text,
    // and the texts differ from English (they are translated).
    const QList<QPair<QString, QStringList>> sections = {
        {QStringLiteral("groupKey"), {"label", "NewHong", "NewHong_2"}},
        {QStringLiteral("AddKey"), {"label", "NewHong", "NewHong_2"}},
        {QStringLiteral("FireKey"), {"label", "label_2", "label_3", "NewHong", "NewHong_2"}},
        {QStringLiteral("AddDelayTime"), {"label", "NewHong", "NewHong_2"}},
    };
    for (const auto& section : sections) {
        const QHash<QString, QString> english = sectionTexts(0, section.first, section.second);
        for (int index = 0; index < Language::Count; ++index) {
            const QHash<QString, QString> texts = sectionTexts(index, section.first, section.second);
            const QString where = Language::FileName(index) + QLatin1Char('/') + section.first;
            QCOMPARE(texts.size(), section.second.size());
            for (const QString& element : section.second)
                QVERIFY2(!texts.value(element).trimmed().isEmpty(), qPrintable(where + "/" + element));
            if (index > 0)
                QVERIFY2(texts.value("label") != english.value("label"), qPrintable(where));
        }
    }
}

void TestValueDialogs::languageOfDialogs()
{
    setLanguage(1);
    const QString cancel = QStringLiteral("取消");
    {
        GroupKey dialog;
        QCOMPARE(dialog.findChild<QLabel*>("label")->text(), QStringLiteral("请按下组合键"));
        QCOMPARE(button(dialog, "NewHong_2")->text(), cancel);
        // The check boxes keep their form texts in every language.
        QCOMPARE(dialog.findChild<QCheckBox*>("Shift")->text(), QStringLiteral("shift"));
        // A language change while open reaches the dialog.
        PostMsg::GetInstance()->SigChangeLanguage(0);
        QCOMPARE(button(dialog, "NewHong_2")->text(), QStringLiteral("Cancel"));
    }
    {
        addKey dialog;
        QCOMPARE(dialog.findChild<QLabel*>("label")->text(), QStringLiteral("请按下一个按键"));
    }
    {
        FireKey dialog;
        QCOMPARE(dialog.findChild<QLabel*>("label_2")->text(), QStringLiteral("间隔 (10-255)"));
        QCOMPARE(button(dialog, "NewHong")->text(), QStringLiteral("确认"));
    }
    setLanguage(5);
    {
        AddDelayTime dialog;
        QCOMPARE(button(dialog, "NewHong_2")->text(), QStringLiteral("キャンセル"));
    }
}

void TestValueDialogs::pictures()
{
    // The pictures the style sheets name are installed, and the dialogs draw
    // them: the background and the ticked check box show the picture's
    // colours, not the default palette.
    const QString folder = AppDir() + QStringLiteral("/Picture/WarningDialog/");
    for (const char* name : {"BackGround.png", "CheckBox.png", "CheckBoxCheck.png", "Close.png", "Confirm.png"})
        QVERIFY2(QFile::exists(folder + name), name);
    const QImage background(folder + "BackGround.png");
    const QImage ticked(folder + "CheckBoxCheck.png");

    GroupKey group;
    QCheckBox* ctrl = group.findChild<QCheckBox*>("Ctrl");
    ctrl->setChecked(true);
    group.show();
    const QImage shot = group.grab().toImage();
    QCOMPARE(shot.pixelColor(150, 50).rgb(), background.pixelColor(150, 50).rgb());
    bool accent = false;
    const QRect box(ctrl->geometry().topLeft() + ctrl->parentWidget()->pos(), QSize(17, 17));
    for (int y = box.top(); y <= box.bottom() && !accent; ++y) {
        for (int x = box.left(); x <= box.right() && !accent; ++x)
            accent = shot.pixelColor(x, y).rgb() == ticked.pixelColor(7, 3).rgb();
    }
    QVERIFY(accent);

    FireKey fire;
    fire.show();
    const QImage fireShot = fire.grab().toImage();
    // The picture is stretched over the larger dialog: its top accent line
    // runs across the whole width.
    const QColor line = background.pixelColor(150, 1);
    const QColor right = fireShot.pixelColor(400, 2);
    QVERIFY2(qAbs(right.red() - line.red()) < 40 && qAbs(right.green() - line.green()) < 40
                 && qAbs(right.blue() - line.blue()) < 40,
             qPrintable(right.name()));

    const QString keep = qEnvironmentVariable("DIZADI_TEST_TMP");
    if (!keep.isEmpty()) {
        addKey single;
        AddDelayTime delay;
        single.show();
        delay.show();
        shot.save(keep + "/GroupKey.png");
        fireShot.save(keep + "/FireKey.png");
        single.grab().save(keep + "/addKey.png");
        delay.grab().save(keep + "/AddDelayTime.png");
    }
}

QTEST_MAIN(TestValueDialogs)
#include "tst_valuedialogs.moc"
