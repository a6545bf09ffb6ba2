#include "SensorPanelKit.h"

#include "DeviceWriters.h"
#include "DpiPanelRules.h"
#include "Globals.h"

#include <QColorDialog>

QColorDialog* NewStageColorDialog(QWidget* parent)
{
    auto* dialog = new QColorDialog(parent);
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setStyleSheet(QStringLiteral("QColorDialog{background-color: rgb(34,36,43);}"));
    return dialog;
}

bool StageFallsOutside(int current, int last)
{
    return DpiPanelRules::ValidStage(current) && current > last;
}

bool WriteDpiStageCount(int last, int current)
{
    if (!DpiPanelRules::ValidStage(last))
        return false;
    if (!StageFallsOutside(current, last))
        return SetDPILevelCount(uint8_t(last + 1));
    const FlashDataMap now = SnapshotFlashData();
    return SwapDPILevels(now.dpiStages[last], now.dpiStages[current], last, current, uint8_t(last));
}
