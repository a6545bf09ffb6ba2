// Every text of the pages and of the small dialogs fits the place its form
// gives it, in each of the six languages: a label, button or box whose text
// runs past its edge, past a parent that clips it or into a combo box's
// arrow, and a wrapped label or text box too low for its lines, fail.
#include "AddDelayTime.h"
#include "Buttoninterface.h"
#include "ContainReset.h"
#include "DeleteConfirm.h"
#include "Dialog.h"
#include "DialogChange.h"
#include "ExeIsRun.h"
#include "FindNewVer.h"
#include "FireKey.h"
#include "FormSetting.h"
#include "GroupKey.h"
#include "GroupMaxThree.h"
#include "InportFail.h"
#include "KeyNumberLimit.h"
#include "LampLight.h"
#include "LanguageLoader.h"
#include "LeftButtonOnly.h"
#include "Macro.h"
#include "MacroSettings.h"
#include "MakeMacro.h"
#include "Match.h"
#include "MouseOffLine.h"
#include "PostMsg.h"
#include "Progress.h"
#include "QuestionDialog.h"
#include "QuestiondialogB.h"
#include "RePair.h"
#include "SameMacro.h"
#include "Sensor.h"
#include "UpDataParam.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"
#include "UserFixture.h"
#include "GlobalsFixture.h"
#include "addKey.h"
#include "ui_Dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// The columns of w (its own x) that its parents up to root do not clip.
QPair<int, int> unclippedColumns(const QWidget* w, const QWidget* root)
{
    int left = 0, right = w->width(), offset = 0;
    for (const QWidget* c = w; c != root && c->parentWidget(); c = c->parentWidget()) {
        offset -= c->x();
        left = qMax(left, offset);
        right = qMin(right, offset + c->parentWidget()->width());
    }
    return {left, right};
}

// Shown with root, or on a page of a stack that the user can turn to.
bool reachable(const QWidget* w, const QWidget* root)
{
    for (const QWidget* c = w; c && c != root; c = c->parentWidget()) {
        if (c->isWindow() || (c->isHidden() && !qobject_cast<const QStackedWidget*>(c->parentWidget())))
            return false;
    }
    return true;
}

// The rows of a text's box that its glyphs cover (drawn with flags).
QPair<int, int> inkRows(const QFont& font, const QRect& box, int flags, const QString& text)
{
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(QRect(QPoint(0, 0), box.size()), flags, text);
    }
    int top = image.height(), bottom = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(row, row + image.width(), [](QRgb p) { return qAlpha(p) != 0; }))
            top = qMin(top, y), bottom = y + 1;
    }
    return {box.top() + top, box.top() + bottom};
}

// The box of text (within w) against the columns it may use: the place the
// widget draws it into, clipped by w's parents. With flags, also the rows
// its glyphs cover against the place's rows (the blank part of a line may
// be cut). Empty when it fits; else what is cut.
QString cut(const QWidget* w, const QString& text, const QPair<int, int>& columns, const QRect& place, const QRect& box,
            int flags = -1)
{
    const int left = qMax(place.left(), columns.first), right = qMin(place.right() + 1, columns.second);
    const QPair<int, int> rows =
        flags < 0 ? qMakePair(place.top(), place.bottom() + 1) : inkRows(w->font(), box, flags, text);
    if (box.left() >= left && box.right() < right && rows.first >= place.top() && rows.second <= place.bottom() + 1)
        return {};
    return QStringLiteral("%1 %2 \"%3\" %4 wide at %5 in [%6..%7), rows [%8..%9) in [%10..%11)")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text)
        .arg(box.width()).arg(box.left()).arg(left).arg(right)
        .arg(rows.first).arg(rows.second).arg(place.top()).arg(place.bottom() + 1);
}

QString misfit(QWidget* w, const QWidget* root)
{
    const QPair<int, int> columns = unclippedColumns(w, root);
    const QFontMetrics fm = w->fontMetrics();
    auto centred = [](const QRect& place, const QSize& size) {
        return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, place);
    };
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text().isEmpty())
            return {};
        const int margin = label->margin();
        const QRect place = label->contentsRect().adjusted(margin, margin, -margin, -margin);
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        return cut(w, label->text(), columns, place, fm.boundingRect(place, flags, label->text()), flags);
    }
    if (auto* box = qobject_cast<QComboBox*>(w)) {
        // The program's combo boxes centre their text in the edit field.
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
        for (int i = 0; i < box->count(); ++i) {
            const QString c = cut(w, box->itemText(i), columns, field, centred(field, fm.size(0, box->itemText(i))));
            if (!c.isEmpty())
                return c;
        }
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (button->text().isEmpty())
            return {};
        const QSize text = fm.size(Qt::TextShowMnemonic, button->text());
        if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            // Indicator, spacing and text from the left.
            return cut(w, button->text(), columns, w->rect(), QRect(0, 0, w->sizeHint().width(), w->height()));
        }
        QRect place = w->rect();
        if (auto* push = qobject_cast<QPushButton*>(w)) {
            QStyleOptionButton option;
            option.initFrom(push);
            place = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
        }
        return cut(w, button->text(), columns, place, centred(place, text));
    }
    if (auto* edit = qobject_cast<QTextEdit*>(w)) {
        // The document wraps at the viewport's width; lines below the
        // viewport (their glyphs) would need a scroll.
        const QRect viewport = edit->viewport()->geometry();
        const int margin = int(edit->document()->documentMargin());
        const QSize document = edit->document()->size().toSize() - QSize(2 * margin, 2 * margin);
        const QRect text(viewport.topLeft() + QPoint(margin, margin), document);
        return cut(w, edit->toPlainText(), columns, viewport, text,
                   text.bottom() <= viewport.bottom() ? -1 : Qt::TextWordWrap);
    }
    return {};
}

QStringList misfits(QWidget* root)
{
    QStringList found;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (reachable(w, root)) {
            const QString m = misfit(w, root);
            if (!m.isEmpty())
                found << m;
        }
    }
    return found;
}

void setLanguage(int index)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"),
                                           QString::number(index));
    PostMsg::GetInstance()->PostChangeLanguage(index);
}

// A window in each of the states that change what its texts say or which
// of them are shown; the first state is the window as built.
struct Window {
    std::function<QWidget*()> make;
    QList<std::function<void(QWidget*)>> states;
};

template <typename T>
Window dialog()
{
    return {[] { return new T; }, {[](QWidget*) {}}};
}

}  // namespace

class TextFitTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Dialog> m_container;
    QMap<QString, Window> m_windows;

    // A page of the container (which outlives the rows) in the given states.
    template <typename Page>
    Window page(Page* (Dialog::*get)() const, const QList<std::function<void(Page*)>>& states = {[](Page*) {}})
    {
        Window window{[this, get] { return (m_container.get()->*get)(); }, {}};
        for (const auto& state : states)
            window.states << [state](QWidget* w) { state(static_cast<Page*>(w)); };
        return window;
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        m_container = std::make_unique<Dialog>();
        m_container->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));

        m_windows = {
            {"buttons", page<Buttoninterface>(&Dialog::ButtonPage,
                                              {[](Buttoninterface* p) { p->SlotUpDataConfigUI(16, 0, true); }})},
            {"sensor", page<Sensor>(&Dialog::SensorPage)},
            {"macro", page<Macro>(&Dialog::MacroPage)},
            {"light", page<LampLight>(&Dialog::LightPage, {[](LampLight* p) {
                                          FlashDataMap image{};
                                          image.lightMode = 2;  // with the colour block
                                          image.lightOn = 1;
                                          image.sleepTime = 6;
                                          p->SlotUpDataLightUILight(image);
                                      }})},
            // A 4 kHz receiver: long range and the receiver light shown;
            // the update button, then with its "up to date" text.
            {"settings", page<FormSetting>(&Dialog::SettingsPage, {[](FormSetting* p) {
                                                                      testsupport::SetDevice(1);
                                                                      DongleRGB rgb{};
                                                                      rgb.data[0] = 1;
                                                                      p->SlotRGBValue(&rgb);
                                                                      p->SlotLongRangeMode(true);
                                                                      p->SlotLabelTextB(QStringLiteral("v1.5"),
                                                                                        QStringLiteral("false"));
                                                                  },
                                                                  [](FormSetting* p) { p->SetVerText(); }})},
            {"device list", dialog<DialogChange>()},
            {"pairing", {[] { return new Match(nullptr); },
                         {[](QWidget*) {},
                          [](QWidget* w) {  // a mouse on its cable: the notice
                              CurrentDeviceInfo = DeviceAllInfo();
                              CurrentDeviceInfo.directMouse = 1;
                              OnMainPage = 1;
                              static_cast<Match*>(w)->InitMatch();
                              OnMainPage = 0;
                          },
                          [](QWidget* w) { static_cast<Match*>(w)->onTextTimeupDestroy(); },  // "Pairing"
                          [](QWidget* w) {
                              for (int dots = 0; dots < 3; ++dots)
                                  static_cast<Match*>(w)->onTextTimeupDestroy();
                          },
                          [](QWidget* w) { static_cast<Match*>(w)->SlotButtonenable(0); },
                          [](QWidget* w) { static_cast<Match*>(w)->SlotButtonenable(1); }}}},
            {"add delay", dialog<AddDelayTime>()},
            {"add key", dialog<addKey>()},
            {"fire key", dialog<FireKey>()},
            {"key combination", dialog<GroupKey>()},
            {"contain reset", dialog<ContainReset>()},
            {"delete confirm", dialog<DeleteConfirm>()},
            {"already running", dialog<ExeIsRun>()},
            {"import failed", dialog<InportFail>()},
            {"key limit", dialog<KeyNumberLimit>()},
            {"left button only", dialog<LeftButtonOnly>()},
            {"make macro", dialog<MakeMacro>()},
            {"offline", dialog<MouseOffLine>()},
            {"three keys", dialog<GroupMaxThree>()},
            {"question", dialog<QuestionDialog>()},
            {"question B", dialog<QuestiondialogB>()},
            {"same macro", dialog<SameMacro>()},
            {"new firmware", dialog<FindNewVer>()},
            {"progress", dialog<Progress>()},
            {"repair", dialog<UpDateRepair>()},
            {"pair again", dialog<RePair>()},
            {"update warning", dialog<UpDateWarning>()},
            {"apply and wait", dialog<UpDataParam>()},
        };
    }

    void cleanupTestCase() { m_container.reset(); }

    void textsFit_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("language");
        const char* const languages[] = {"English", "simplified Chinese", "traditional Chinese", "Korean", "Russian",
                                         "Japanese"};
        for (const QString& window : m_windows.keys()) {
            for (int language = 0; language < Language::Count; ++language)
                QTest::addRow("%s, %s", qPrintable(window), languages[language]) << window << language;
        }
    }

    void textsFit()
    {
        QFETCH(QString, window);
        QFETCH(int, language);
        const Window& entry = m_windows[window];
        setLanguage(language);
        QWidget* w = entry.make();
        std::unique_ptr<QWidget> owned(w->window() == m_container.get() ? nullptr : w);
        if (w->window() == m_container.get())
            m_container->Form()->stackedWidgetDialog->setCurrentWidget(w);
        else
            w->show();
        for (int state = 0; state < entry.states.size(); ++state) {
            entry.states[state](w);
            QCoreApplication::processEvents();
            const QStringList found = misfits(w);
            QVERIFY2(found.isEmpty(),
                     qPrintable(QStringLiteral("state %1: ").arg(state) + found.join(QStringLiteral("; "))));
        }
    }
};

QTEST_MAIN(TextFitTest)
#include "tst_textfit.moc"
