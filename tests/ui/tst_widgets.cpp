// The custom widgets: slider jump, combo box press index, press-acting tool
// button, hover refresh of device buttons, key-deaf line edit, link cursor,
// progress bar, style sheets deferred to the first show, banded backgrounds.
#include "MyButton.h"
#include "MyConmboBox.h"
#include "MyLineEdit.h"
#include "MyProgressBar.h"
#include "MySlider.h"
#include "MyToolButton.h"
#include "StyleWhenShown.h"
#include "WindowBackground.h"
#include "mytoolButtonEnter.h"

#include <QFrame>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class EventCounter : public QWidget
{
    Q_OBJECT
public:
    int sliderPresses = 0;
    int keyPresses = 0;
    QList<int> refreshed;

    Q_INVOKABLE bool RefreshOnlineState(int index)
    {
        refreshed << index;
        return true;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == MySlider::PressEventType)
            ++sliderPresses;
        return QWidget::event(e);
    }
    void keyPressEvent(QKeyEvent*) override { ++keyPresses; }
};

class WidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void sliderJumpMaths_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("value");
        QTest::newRow("middle") << 364 << 5050;
        QTest::newRow("left edge") << 0 << 100;
        QTest::newRow("truncated toward zero") << 1 << 113;
        QTest::newRow("last pixel never reaches the maximum") << 727 << 9986;
    }

    void sliderJumpMaths()
    {
        QFETCH(int, x);
        QFETCH(int, value);
        QCOMPARE(MySlider::ValueAt(x, 728, 100, 10000), value);

        EventCounter parent;
        auto* slider = new MySlider(&parent);
        slider->setOrientation(Qt::Horizontal);
        slider->setRange(100, 10000);
        slider->setGeometry(0, 0, 728, 20);
        slider->setValue(6000);
        QSignalSpy changed(slider, &QSlider::valueChanged);
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
        QCOMPARE(slider->value(), value);
        // One press, one value (no page step toward the pointer first).
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.last().at(0).toInt(), value);
        QCOMPARE(parent.sliderPresses, 1);
    }

    void sliderWithoutWidth()
    {
        QCOMPARE(MySlider::ValueAt(5, 0, 10, 20), 10);
        QCOMPARE(MySlider::ValueAt(5, -3, 10, 20), 10);
        EventCounter parent;
        auto* slider = new MySlider(&parent);
        slider->setOrientation(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setValue(40);
        slider->setGeometry(0, 0, 0, 20);
        QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(0, 10));
        QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(0, 10));
        QCOMPARE(slider->value(), 40);
        QCOMPARE(parent.sliderPresses, 0);
    }

    void comboRemembersPressIndex()
    {
        MyConmboBox combo;
        combo.addItems({"a", "b", "c", "d", "e"});
        combo.resize(140, 34);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        QCOMPARE(combo.pressIndex, 0);
        combo.setCurrentIndex(3);
        QTest::mouseClick(&combo, Qt::LeftButton, Qt::NoModifier, QPoint(20, 17));
        combo.hidePopup();
        QCOMPARE(combo.pressIndex, 3);
        // Keyboard and code changes leave it.
        QTest::keyClick(&combo, Qt::Key_Up);
        QCOMPARE(combo.currentIndex(), 2);
        combo.setCurrentIndex(0);
        QCOMPARE(combo.pressIndex, 3);
        QVERIFY(!combo.grab().isNull());
    }

    void toolButtonActsOnPress()
    {
        MyToolButton button;
        button.setCheckable(true);
        button.resize(40, 40);
        QSignalSpy clicked(&button, &QAbstractButton::clicked);
        QSignalSpy pressed(&button, &QAbstractButton::pressed);
        QSignalSpy released(&button, &QAbstractButton::released);

        QTest::mousePress(&button, Qt::RightButton);
        QTest::mouseRelease(&button, Qt::RightButton);
        QTest::mouseDClick(&button, Qt::RightButton);
        QVERIFY(!button.isChecked());
        QCOMPARE(clicked.count(), 0);

        QTest::mousePress(&button, Qt::LeftButton);
        QVERIFY(button.isChecked());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toBool(), false);
        QTest::mouseRelease(&button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(button.isChecked());

        button.setChecked(false);
        QTest::mouseDClick(&button, Qt::LeftButton);
        QVERIFY(button.isChecked());
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(clicked.at(1).at(0).toBool(), true);
        QCOMPARE(pressed.count(), 0);
        QCOMPARE(released.count(), 0);
    }

    void deviceButtonRefreshesItsDevice()
    {
        QCOMPARE(mytoolButtonEnter::DeviceIndexFromName(QStringLiteral("btn12")), 12);
        QCOMPARE(mytoolButtonEnter::DeviceIndexFromName(QStringLiteral("btn")), 0);
        QCOMPARE(mytoolButtonEnter::DeviceIndexFromName(QStringLiteral("btnx")), 0);
        QCOMPARE(mytoolButtonEnter::DeviceIndexFromName(QStringLiteral("BTN3")), 0);
        QCOMPARE(mytoolButtonEnter::DeviceIndexFromName(QStringLiteral("btn1btn")), 1);

        EventCounter list;
        auto* page = new QWidget(&list);
        auto* button = new mytoolButtonEnter(page);
        button->setObjectName(QStringLiteral("btn12"));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(button, &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QCOMPARE(list.refreshed, QList<int>{12});

        // Without a device list above it, entering does nothing.
        mytoolButtonEnter alone;
        alone.setObjectName(QStringLiteral("btn2"));
        QApplication::sendEvent(&alone, &enter);
        QCOMPARE(list.refreshed, QList<int>{12});
    }

    void lineEditIgnoresKeys()
    {
        EventCounter parent;
        auto* line = new MyLineEdit(&parent);
        QTest::keyClicks(line, QStringLiteral("abc"));
        QTest::keyClick(line, Qt::Key_Backspace);
        QCOMPARE(line->text(), QString());
        QCOMPARE(parent.keyPresses, 0);
        line->setText(QStringLiteral("Ctrl + A"));
        QTest::keyClick(line, Qt::Key_Backspace);
        QCOMPARE(line->text(), QStringLiteral("Ctrl + A"));
    }

    void buttonShowsHand()
    {
        MyButton button;
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&button, &enter);
        QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
        QCOMPARE(button.cursor().shape(), Qt::ArrowCursor);
    }

    void progressBar()
    {
        QCOMPARE(MyProgressBar::PercentText(37.5), QStringLiteral("37.5%"));
        QCOMPARE(MyProgressBar::PercentText(100), QStringLiteral("100.0%"));
        QCOMPARE(MyProgressBar::StageBoundary(1, 4), 25.0);
        QCOMPARE(MyProgressBar::StageBoundary(9, 4), 100.0);

        MyProgressBar bar;
        QCOMPARE(bar.minimum(), 0);
        QCOMPARE(bar.maximum(), 100);
        QCOMPARE(bar.text(), QStringLiteral("0.0%"));
        bar.Start(4, 20);
        // The walk stops at the last boundary before the end.
        QTRY_COMPARE_WITH_TIMEOUT(bar.Percent(), 75.0, 3000);
        QTest::qWait(100);
        QCOMPARE(bar.Percent(), 75.0);
        QCOMPARE(bar.text(), QStringLiteral("75.0%"));
        bar.Finish();
        QTRY_COMPARE_WITH_TIMEOUT(bar.Percent(), 100.0, 3000);
        QTRY_VERIFY(!bar.IsRunning());
        QCOMPARE(bar.value(), 100);

        bar.SetPercent(42.34);
        QCOMPARE(bar.text(), QStringLiteral("42.3%"));
        bar.Start(3, 10000);
        bar.SetStage(1);
        QTRY_COMPARE_WITH_TIMEOUT(bar.Percent(), 100.0 / 3, 3000);
        bar.Stop();
        QVERIFY(!bar.IsRunning());
    }

    void sheetWaitsForTheFirstShow()
    {
        QWidget window;
        QWidget* child = new QWidget(&window);
        child->hide();
        SetStyleSheetWhenShown(child, QStringLiteral("QWidget{color:red;}"));
        SetStyleSheetWhenShown(child, QStringLiteral("QWidget{color:blue;}"));  // the later one wins
        window.show();
        QVERIFY(child->styleSheet().isEmpty());
        child->show();
        QCOMPARE(child->styleSheet(), QStringLiteral("QWidget{color:blue;}"));
        // Once shown, a sheet is set at once and nothing waits any more.
        child->hide();
        SetStyleSheetWhenShown(child, QStringLiteral("QWidget{color:green;}"));
        QCOMPARE(child->styleSheet(), QStringLiteral("QWidget{color:blue;}"));
        child->show();
        QCOMPARE(child->styleSheet(), QStringLiteral("QWidget{color:green;}"));
        SetStyleSheetWhenShown(child, QStringLiteral("QWidget{color:black;}"));
        QCOMPARE(child->styleSheet(), QStringLiteral("QWidget{color:black;}"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(child->findChildren<QObject*>().size(), 0);  // the watchers are gone
    }

    void bandedSheetDrawsAFullPictureUnchanged()
    {
        // A picture of the window's full height (an older or a replaced
        // one) looks the same under the banded sheet as under a plain
        // border image.
        QTemporaryDir dir;
        QImage full(1020, WindowBackground::List.windowHeight, QImage::Format_RGB32);
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x)
                full.setPixel(x, y, qRgb(y % 256, (x + 3 * y) % 256, (x * y) % 251));
        const QString picture = dir.filePath(QStringLiteral("MainBack.png"));
        QVERIFY(full.save(picture));
        auto drawn = [&](const QString& declarations) {
            QFrame w;
            w.setObjectName(QStringLiteral("frameChange"));
            w.setFixedSize(full.size());
            w.setStyleSheet(QStringLiteral("#frameChange{") + declarations + QLatin1Char('}'));
            return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        const QImage plain = drawn(QStringLiteral("border:0px;border-image: url(") + picture + QStringLiteral(");"));
        QCOMPARE(plain, full);
        QCOMPARE(drawn(WindowBackground::BorderImageSheet(picture, WindowBackground::List)), plain);
    }
};

QTEST_MAIN(WidgetsTest)
#include "tst_widgets.moc"
