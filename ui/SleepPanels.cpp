// The sleep-time panels: StopCloseTime (the one the pages embed) and the
// variant StopCloseTimeB.
#include "StopCloseTime.h"
#include "StopCloseTimeB.h"

#include "DeviceWriters.h"
#include "Globals.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PanelStyle.h"

#include "ui_StopCloseTime.h"
#include "ui_StopCloseTimeB.h"

#include <QSignalBlocker>

namespace {
const int sleepUnits[StopCloseTime::EntryCount] = {1, 3, 6, 30, 60, 90, 120, 150, 180, 210, 240};

QString suffixOf(const QString& entry)
{
    int i = 0;
    while (i < entry.size() && entry.at(i).isDigit())
        ++i;
    return entry.mid(i);
}
}  // namespace

// ---- StopCloseTime ----------------------------------------------------------

StopCloseTime::StopCloseTime(QWidget* parent) : QFrame(parent), ui(new Ui::StopCloseTime)
{
    ui->setupUi(this);
    m_pictureFolder = AppDir() + QStringLiteral("/Picture/Light/");
}

void StopCloseTime::showEvent(QShowEvent* event)
{
    // Before the first paint, with the entries in the page's language.
    if (!m_styled) {
        m_styled = true;
        PageStyle::StyleComboBox(ui->StopClose, m_pictureFolder, 15);
    }
    QFrame::showEvent(event);
}

StopCloseTime::~StopCloseTime()
{
    delete ui;
}

int StopCloseTime::UnitsForIndex(int index)
{
    return index >= 0 && index < EntryCount ? sleepUnits[index] : 0;
}

int StopCloseTime::IndexForSeconds(int seconds)
{
    for (int i = 0; i < EntryCount; ++i) {
        if (sleepUnits[i] * 10 == seconds)
            return i;
    }
    return -1;
}

void StopCloseTime::SetIndex(int index)
{
    if (index < 0 || index >= ui->StopClose->count())
        return;
    const QSignalBlocker block(ui->StopClose);
    ui->StopClose->setCurrentIndex(index);
}

void StopCloseTime::SetItemText(int index, const QString& text)
{
    if (index < 0 || index >= ui->StopClose->count())
        return;
    ui->StopClose->setItemText(index, text);
}

int StopCloseTime::CurrentIndex() const
{
    return ui->StopClose->currentIndex();
}

void StopCloseTime::on_StopClose_activated(int index)
{
    const int units = UnitsForIndex(index);
    if (units == 0 || !PageMaySend(Page::Light))
        return;
    // A time none of the entries shows leaves the shown entry as it is.
    WriteOrRevert([units] { return SetSleepTime(uint8_t(units)); },
                  [this](const FlashDataMap& stored) { SetIndex(IndexForSeconds(int(stored.sleepTime) * 10)); });
}

// ---- StopCloseTimeB ---------------------------------------------------------

StopCloseTimeB::StopCloseTimeB(QWidget* parent) : QFrame(parent), ui(new Ui::StopCloseTimeB)
{
    ui->setupUi(this);
    m_pictureFolder = AppDir() + QStringLiteral("/Picture/Sensor/");
    ui->StopClose->setStyleSheet(PanelStyle::SliderSheet(m_pictureFolder));
    ui->spinBoxA->setStyleSheet(PanelStyle::ValueBoxSheet());
    SetSuffixTexts(QStringLiteral("10 s"), QStringLiteral("1 min"));
    ShowPosition(ui->StopClose->value());
}

StopCloseTimeB::~StopCloseTimeB()
{
    delete ui;
}

void StopCloseTimeB::SetSuffixTexts(const QString& secondsEntry, const QString& minutesEntry)
{
    m_secondsSuffix = suffixOf(secondsEntry);
    m_minutesSuffix = suffixOf(minutesEntry);
    ShowPosition(ui->StopClose->value());
}

void StopCloseTimeB::SetIndex(int index)
{
    if (index < 0 || index >= StopCloseTime::EntryCount)
        return;
    const QSignalBlocker block(ui->StopClose);
    ui->StopClose->setValue(index + 1);
    ShowPosition(index + 1);
}

QString StopCloseTimeB::ShownText() const
{
    return ui->spinBoxA->text();
}

void StopCloseTimeB::on_StopClose_valueChanged(int position)
{
    ShowPosition(position);
    const int units = StopCloseTime::UnitsForIndex(position - 1);
    if (units == 0 || !PageMaySend(Page::Light))
        return;
    WriteOrRevert([units] { return SetSleepTime(uint8_t(units)); }, [this](const FlashDataMap& stored) {
        SetIndex(StopCloseTime::IndexForSeconds(int(stored.sleepTime) * 10));
    });
}

void StopCloseTimeB::ShowPosition(int position)
{
    const int seconds = StopCloseTime::UnitsForIndex(position - 1) * 10;
    const QSignalBlocker block(ui->spinBoxA);
    if (seconds < 60) {
        ui->spinBoxA->setSuffix(m_secondsSuffix);
        ui->spinBoxA->setValue(seconds);
    } else {
        ui->spinBoxA->setSuffix(m_minutesSuffix);
        ui->spinBoxA->setValue(seconds / 60);
    }
}
