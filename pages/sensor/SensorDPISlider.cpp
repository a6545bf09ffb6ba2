// The DPI stage panel's value controls: the slider with its value box, the
// -/+ buttons and the drag of the stage marker.
#include "SensorDPI.h"
#include "ui_SensorDPI.h"

#include "DeviceWriters.h"
#include "PageKit.h"

#include <QMouseEvent>

using DpiPanelRules::MarkerDrop;
using DpiPanelRules::ValidStage;

// ---- slider ------------------------------------------------------------------

DpiSnap SensorDPI::ShowSnapped(int value)
{
    const DpiSnap snap = SnapDpi(m_sensor.ranges, value);
    if (snap.pageStep > 0)
        ui->horizontalSliderC->setPageStep(snap.pageStep);
    ui->spinBoxA->setValue(snap.value);
    return snap;
}

void SensorDPI::on_horizontalSliderC_valueChanged(int value)
{
    if (OwnChanging()) {
        // A value the panel put there (a stage's DPI) is shown as it is.
        ui->spinBoxA->setValue(value);
        return;
    }
    const DpiSnap snap = ShowSnapped(value);
    const int stage = CheckedStage();
    if (stage >= 0)
        m_stages[stage]->setText(QString::number(snap.value));
    // While the slider is held the value may still move: it is sent when the
    // user lets go, once.
    if (ui->horizontalSliderC->isSliderDown()) {
        m_sendPending = true;
        return;
    }
    SendDpi(stage, snap.value);
}

void SensorDPI::SliderReleased()
{
    // A handle that moved since the value was set brings its own value
    // change right after the release, which sends.
    QSlider* slider = ui->horizontalSliderC;
    if (!m_sendPending || slider->sliderPosition() != slider->value())
        return;
    SendDpi(CheckedStage(), SnapDpi(m_sensor.ranges, slider->value()).value);
}

void SensorDPI::SendDpi(int stage, int dpi)
{
    m_sendPending = false;
    // An import or a reset of the device is running: shown, not sent.
    if (!ValidStage(stage) || !PageMaySend(Page::Sensor) || SettingsBusy)
        return;
    WriteOrRevert([&] { return SetSensorDPI(stage, dpi, m_sensor); },
                  [this, stage](const FlashDataMap& stored) { ShowStoredDpi(stage, stored); });
}

void SensorDPI::ShowStoredDpi(int stage, const FlashDataMap& stored)
{
    const DpiStage& s = stored.dpiStages[stage];
    const std::optional<int> dpi = m_sensor.Decode(s.xCode, s.flags);
    SetLevelText(stage, dpi ? QString::number(*dpi) : QString());
    if (dpi)
        ShowDpi(*dpi);
}

void SensorDPI::on_horizontalSliderC_sliderMoved(int value)
{
    ShowSnapped(value);
}

void SensorDPI::StepValue(bool up)
{
    // A user change of the slider: snapped and sent by its value change.
    ui->horizontalSliderC->setValue(StepDpi(m_sensor.ranges, ui->spinBoxA->value(), up));
}

void SensorDPI::on_AddLevelA_clicked()
{
    StepValue(true);
}

void SensorDPI::on_ReduceLevelA_clicked()
{
    StepValue(false);
}

// ---- the stage marker ---------------------------------------------------------------

void SensorDPI::mousePressEvent(QMouseEvent* event)
{
    QLabel* marker = ui->label_8;
    if (event->buttons() != Qt::NoButton && !marker->isHidden() && ValidStage(currentLevel)
        && marker->geometry().contains(event->pos())) {
        dragging = true;
        dragOffset = event->pos() - marker->pos();
        event->accept();
        return;
    }
    QFrame::mousePressEvent(event);
}

void SensorDPI::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton || !dragging) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    if (dragArea.contains(event->pos()))
        ui->label_8->move(event->pos() - dragOffset);
    else
        DropMarker(event->pos());  // leaving the panel ends the drag there
    event->accept();
}

void SensorDPI::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    DropMarker(event->pos());
    event->accept();
}

void SensorDPI::DropMarker(const QPoint& pos)
{
    dragging = false;
    const int from = currentLevel;
    if (!ValidStage(from))
        return;
    MarkerDrop drop;
    if (ui->label_8->geometry().contains(pos)) {
        drop = DpiPanelRules::DropMarker(pos.x(), DpiPanelRules::MarkerPosition(from).x(),
                                         ui->ChooseEvent->currentIndex());
    }
    const int to = from + drop.stages;
    if (drop.action == MarkerDrop::Move && ValidStage(to) && to < levelCount) {
        if (PageMaySend(Page::Sensor)
            && !WriteOrRevert([to] { return SetDPILevel(uint8_t(to)); },
                              [this](const FlashDataMap& stored) { ShowStoredStage(stored); }))
            return;
        currentLevel = to;
        SelectLevel(to);
        PlaceMarker(to);
        return;
    }
    PlaceMarker(from);
    if (drop.action == MarkerDrop::Resend && PageMaySend(Page::Sensor))
        WriteOrRevert([from] { return SetDPILevel(uint8_t(from)); },
                      [this](const FlashDataMap& stored) { ShowStoredStage(stored); });
}
