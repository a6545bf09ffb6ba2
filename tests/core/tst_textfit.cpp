// Every text of the pages and of the small dialogs fits the place its form
// gives it, in each of the six languages: a label, button or box whose text
// runs past its edge, past a parent that clips it or into a combo box's
// arrow, and a wrapped label or text box too low for its lines, fail. The
// open lists of their combo boxes show their entries up to their row limit
// and a scroll bar where they hide entries.
#include "AddDelayTime.h"
#include "Buttoninterface.h"
#include "Contrast.h"
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
#include "SensorDPIB.h"
#include "SensorEffect.h"
#include "SensorLOD.h"
#include "UpDataParam.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"
#include "UserFixture.h"
#include "GlobalsFixture.h"
#include "addKey.h"
#include "ui_Dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QStyleOptionSlider>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace {

// The columns of w (its own x) that its parents up to root do not clip;
// none when w is neither shown with root nor on a page of a stack that the
// user can turn to.
std::optional<QPair<int, int>> visibleColumns(const QWidget* w, const QWidget* root)
{
    int left = 0, right = w->width(), offset = 0;
    for (const QWidget* c = w; c != root; c = c->parentWidget()) {
        if (c->isWindow() || (c->isHidden() && !qobject_cast<const QStackedWidget*>(c->parentWidget())))
            return std::nullopt;
        offset -= c->x();
        left = qMax(left, offset);
        right = qMin(right, offset + c->parentWidget()->width());
    }
    return qMakePair(left, right);
}

// A text of a widget: the place the widget draws it into, the box it takes
// there and, for a wrapped text, the flags to draw it with: then the rows its
// glyphs cover are checked (the blank part of a line may be cut).
struct Text {
    QString text;
    QRect place, box;
    int flags = -1;
};

QPair<int, int> inkRows(const QFont& font, const Text& t)
{
    QImage image(t.box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(QRect(QPoint(0, 0), t.box.size()), t.flags, t.text);
    painter.end();
    int top = image.height(), bottom = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(row, row + image.width(), [](QRgb p) { return qAlpha(p) != 0; }))
            top = qMin(top, y), bottom = y + 1;
    }
    return {t.box.top() + top, t.box.top() + bottom};
}

QList<Text> textsOf(QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    auto centred = [&fm](const QRect& place, const QString& text, int flags = 0) {
        return Text{text, place, QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, fm.size(flags, text), place)};
    };
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
        const int m = label->margin();
        const QRect place = label->contentsRect().adjusted(m, m, -m, -m);
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        return {{label->text(), place, fm.boundingRect(place, flags, label->text()), flags}};
    }
    if (auto* box = qobject_cast<QComboBox*>(w)) {  // the program's combo boxes centre it in the edit field
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
        QList<Text> items;
        for (int i = 0; i < box->count(); ++i)
            items << centred(field, box->itemText(i));
        return items;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty()) {
        if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))  // indicator, spacing, text from the left
            return {{button->text(), w->rect(), QRect(0, 0, w->sizeHint().width(), w->height())}};
        QRect place = w->rect();
        if (auto* push = qobject_cast<QPushButton*>(w)) {
            QStyleOptionButton option;
            option.initFrom(push);
            place = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
        }
        return {centred(place, button->text(), Qt::TextShowMnemonic)};
    }
    if (auto* edit = qobject_cast<QTextEdit*>(w)) {
        // The document wraps at the viewport's width; lines below the
        // viewport (their glyphs) would need a scroll.
        const QRect viewport = edit->viewport()->geometry();
        const int margin = int(edit->document()->documentMargin());
        const QSize document = edit->document()->size().toSize() - QSize(2 * margin, 2 * margin);
        const QRect text(viewport.topLeft() + QPoint(margin, margin), document);
        return {{edit->toPlainText(), viewport, text, text.bottom() <= viewport.bottom() ? -1 : Qt::TextWordWrap}};
    }
    return {};
}

// Each text of root's widgets that runs out of its place or past a parent
// that clips it.
QStringList misfits(QWidget* root)
{
    QStringList found;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const auto columns = visibleColumns(w, root);
        for (const Text& t : columns ? textsOf(w) : QList<Text>()) {
            const int left = qMax(t.place.left(), columns->first), right = qMin(t.place.right() + 1, columns->second);
            const int top = t.place.top(), bottom = t.place.bottom() + 1;
            const QPair<int, int> rows = t.flags < 0 ? qMakePair(top, bottom) : inkRows(w->font(), t);
            if (t.box.left() < left || t.box.right() >= right || rows.first < top || rows.second > bottom)
                found << QString::asprintf("%s %s \"%s\" %d wide at %d in [%d..%d), rows [%d..%d) in [%d..%d)",
                                           w->metaObject()->className(), qPrintable(w->objectName()),
                                           qPrintable(t.text), t.box.width(), t.box.left(), left, right, rows.first,
                                           rows.second, top, bottom);
        }
    }
    return found;
}

// A window as built and then in each of the states that change what its
// texts say or which of them are shown.
struct Window {
    std::function<QWidget*()> make;
    QList<std::function<void(QWidget*)>> states;
};

// A window of type T whose states are given as functions of a T*.
template <typename T, typename... State>
Window window(std::function<T*()> make, State... states)
{
    return {make, {[states](QWidget* w) { states(static_cast<T*>(w)); }...}};
}

}  // namespace

class TextFitTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Dialog> m_container;  // its pages outlive the rows
    QMap<QString, Window> m_windows;
    std::unique_ptr<QWidget> m_shown;  // the row's window where it is one of its own

    // The small dialogs as built, under their class names.
    template <typename... T>
    void addDialogs()
    {
        (m_windows.insert(T::staticMetaObject.className(), {[] { return new T; }, {}}), ...);
    }

    // The row's window, shown in the row's language as built.
    std::pair<QWidget*, const Window*> showRow()
    {
        QFETCH(QString, window);
        QFETCH(int, language);
        MacroSettings::GetInstance()->SetValue("Language", "Language", QString::number(language));
        PostMsg::GetInstance()->PostChangeLanguage(language);
        const Window& entry = m_windows[window];
        QWidget* w = entry.make();
        m_shown.reset(w->window() == m_container.get() ? nullptr : w);  // a page stays
        m_shown ? w->show() : m_container->Form()->stackedWidgetDialog->setCurrentWidget(w);
        return {w, &entry};
    }

    // The rows: each of windows in each language.
    static void addLanguageRows(const QStringList& windows)
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("language");
        const char* const languages[] = {"English", "simplified Chinese", "traditional Chinese",
                                         "Korean",  "Russian",            "Japanese"};
        for (const QString& window : windows) {
            for (int language = 0; language < Language::Count; ++language)
                QTest::addRow("%s, %s", qPrintable(window), languages[language]) << window << language;
        }
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        m_container = std::make_unique<Dialog>();
        m_container->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));
        Dialog* c = m_container.get();

        m_windows = {
            {"buttons", window<Buttoninterface>([c] { return c->ButtonPage(); },
                                                [](auto* p) { p->SlotUpDataConfigUI(16, 0, true); })},
            // As built, then with the stage counts of a reset.
            {"sensor", window<Sensor>([c] { return c->SensorPage(); }, [](auto* p) { p->SlotFormReset(); })},
            {"macro", window<Macro>([c] { return c->MacroPage(); })},
            {"light", window<LampLight>([c] { return c->LightPage(); }, [](auto* p) {
                 FlashDataMap image{};  // with the colour block
                 image.lightMode = 2, image.lightOn = 1, image.sleepTime = 6;
                 p->SlotUpDataLightUILight(image);
             })},
            // A 4 kHz receiver: long range and the receiver light shown;
            // the update button, then with its "up to date" text.
            {"settings", window<FormSetting>([c] { return c->SettingsPage(); },
                                             [](auto* p) {
                                                 testsupport::SetDevice(1);
                                                 DongleRGB rgb{{1}};
                                                 p->SlotRGBValue(&rgb);
                                                 p->SlotLongRangeMode(true);
                                                 p->SlotLabelTextB("v1.5", "false");
                                             },
                                             [](auto* p) { p->SetVerText(); })},
            // A mouse on its cable: the notice; "Pairing", with its dots;
            // the button off and on.
            {"pairing", window<Match>([] { return new Match(nullptr); },
                                      [](auto* p) {
                                          testsupport::SetDevice(2);
                                          OnMainPage = 1;
                                          p->InitMatch();
                                          OnMainPage = 0;
                                      },
                                      [](auto* p) { p->onTextTimeupDestroy(); },
                                      [](auto* p) {
                                          for (int dots = 0; dots < 3; ++dots)
                                              p->onTextTimeupDestroy();
                                      },
                                      [](auto* p) { p->SlotButtonenable(0); },
                                      [](auto* p) { p->SlotButtonenable(1); })},
        };
        // The notices in each of their texts.
        m_windows.insert("ExeIsRun", window<ExeIsRun>([] { return new ExeIsRun; }, [](auto* d) { d->ShowTextA(); },
                                                      [](auto* d) { d->ShowTextB(); },
                                                      [](auto* d) { d->ShowCannotSave(); }));
        m_windows.insert("InportFail", window<InportFail>([] { return new InportFail; },
                                                          [](auto* d) { d->ShowNotTaken(); },
                                                          [](auto* d) { d->ShowWriteFailed(); },
                                                          [](auto* d) { d->ShowNothingToExport(); },
                                                          [](auto* d) { d->ShowNotMacroFile(); }));
        auto offlineReason = [](int reason) {
            return [reason](MouseOffLine* d) {
                const int was = OfflineReason.exchange(reason);
                d->SlotChangeLanguage(StoredLanguageIndex());
                OfflineReason = was;
            };
        };
        m_windows.insert("MouseOffLine", window<MouseOffLine>([] { return new MouseOffLine; }, offlineReason(WriteRefusedReason),
                                                              offlineReason(RefusedUnkeptReason)));
        // The sensor panels no page builds yet, the stage choice with all eight counts.
        m_windows.insert("SensorDPIB", window<SensorDPIB>([] { return new SensorDPIB; }, [](auto* p) {
                             for (int i = 0; i < SensorDPIB::StageCount; ++i)
                                 p->InsertComboItem(i, QString::number(i + 1));
                         }));
        addDialogs<SensorLOD, SensorEffect>();
        addDialogs<DialogChange, AddDelayTime, addKey, FireKey, GroupKey, ContainReset, DeleteConfirm, KeyNumberLimit, LeftButtonOnly, MakeMacro, GroupMaxThree, QuestionDialog,
                   QuestiondialogB, SameMacro, FindNewVer, Progress, UpDateRepair, RePair, UpDateWarning, UpDataParam>();
    }

    void cleanup() { m_shown.reset(); }
    void cleanupTestCase() { m_container.reset(); }

    void textsFit_data() { addLanguageRows(m_windows.keys()); }

    void textsFit()
    {
        const auto [w, entry] = showRow();
        for (int state = 0; state <= entry->states.size(); ++state) {  // 0: as built
            if (state > 0)
                entry->states[state - 1](w);
            QCoreApplication::processEvents();
            const QStringList found = misfits(w);
            QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("state %1: ").arg(state) + found.join("; ")));
        }
    }

    // Each shown combo box's open list, in its last state: as many rows as
    // its entries up to its limit (21 entries of limit 5, the debounce; 11
    // of 15, the sleep time; 3 of 5, the sensor effect); a scroll bar
    // exactly when the entries exceed the rows shown, inside the list, as
    // tall as the rows, its handle set off from its groove; the list is as
    // wide as its box, plus the bar (the entries keep their width).
    void popupScrollBars_data()
    {
        addLanguageRows({"light", "buttons", "macro", "sensor", "settings", "DialogChange", "SensorDPIB", "SensorLOD",
                         "SensorEffect"});
    }
    void popupScrollBars()
    {
        const auto [w, entry] = showRow();
        for (const auto& state : entry->states)
            state(w);
        QList<QComboBox*> boxes = w->findChildren<QComboBox*>();
        boxes.erase(std::remove_if(boxes.begin(), boxes.end(), [w](QComboBox* b) { return !b->isVisibleTo(w); }),
                    boxes.end());
        QVERIFY(!boxes.isEmpty());
        for (QComboBox* box : boxes) {
            box->showPopup();
            QAbstractItemView* view = box->view();
            QWidget* popup = view->window();
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            const int rows = view->viewport()->height() / view->visualRect(box->model()->index(0, 0)).height();
            QScrollBar* bar = view->verticalScrollBar();
            const QString what = box->objectName()
                                 + QStringLiteral(": %1 entries, %2 rows, limit %3").arg(box->count()).arg(rows).arg(box->maxVisibleItems());
            const bool shown = bar->isVisible();
            const QRect place(bar->mapTo(popup, QPoint()), bar->size());
            QStyleOptionSlider option;
            option.initFrom(bar);
            const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
            bar->setValue(bar->minimum());  // the handle at the top, the groove free below it
            const QImage image = bar->grab().toImage();
            const double contrast = testsupport::ContrastRatio(image.pixelColor(bar->width() / 2, 2),
                                                               image.pixelColor(0, bar->height() - 2));
            const int width = popup->width();
            box->hidePopup();
            QVERIFY2(rows == qMin(box->count(), box->maxVisibleItems()), qPrintable(what));
            QVERIFY2(shown == (box->count() > rows), qPrintable(what));
            QVERIFY2(width == box->width() + (shown ? bar->width() : 0), qPrintable(what));
            if (shown) {
                QVERIFY2(popup->rect().contains(place) && groove.height() >= view->viewport()->height() - 2,
                         qPrintable(what));
                QVERIFY2(contrast >= 3, qPrintable(what + QStringLiteral(", contrast %1").arg(contrast)));
            }
        }
    }
};

QTEST_MAIN(TextFitTest)
#include "tst_textfit.moc"
