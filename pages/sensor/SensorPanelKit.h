// Small pieces the sensor page's panels share: marking the changes a panel
// makes itself, showing a stored value in an exclusive button group, and
// writing a DPI stage count. Whether a change may be sent at all is the
// kit's PageMaySend(Page::Sensor).
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>

class QColorDialog;

// Counts a panel's own changes (what a host shows, a stored value put
// back) for the life of the scope; while the count is above zero the
// panel's handlers send nothing.
class OwnChange
{
public:
    explicit OwnChange(int* count) : m_count(count) { ++*m_count; }
    ~OwnChange() { --*m_count; }
    OwnChange(const OwnChange&) = delete;
    OwnChange& operator=(const OwnChange&) = delete;

private:
    int* m_count;
};

// Checks `button` of the group and unchecks the others; a null button
// unchecks them all, which an exclusive group does not allow by itself.
// Checking emits toggled, never clicked.
inline void CheckOnly(QButtonGroup* group, QAbstractButton* button)
{
    const bool exclusive = group->exclusive();
    group->setExclusive(false);
    const QList<QAbstractButton*> buttons = group->buttons();
    for (QAbstractButton* b : buttons)
        b->setChecked(b == button);
    if (button && !buttons.contains(button))
        button->setChecked(true);
    group->setExclusive(exclusive);
}

// A DPI panel's stage colour dialog: the toolkit's own (not the desktop's),
// on the page's dark ground, as it takes the page's light texts.
QColorDialog* NewStageColorDialog(QWidget* parent);

// Whether the current stage (-1: none) falls outside a stage count of
// last + 1: then it changes places with the new last stage.
bool StageFallsOutside(int current, int last);

// Writes a stage count of last + 1 (last 0..7) in one image: when the
// current stage falls outside it, the current stage and the new last one
// exchange their records and the last becomes current (SwapDPILevels),
// else only the count changes (SetDPILevelCount). The writer's result.
bool WriteDpiStageCount(int last, int current);
