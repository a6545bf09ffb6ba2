// The pictures of the small value controls that several pages and panels
// take from their own folder, drawn alike into each: the step buttons
// "Add.png" (14 x 14) and "Reduce.png" (14 x 4) and the slider handle
// "HuaKuai.png"; the two faces of an on/off switch, "Open.png" and
// "Close.png" (36 x 18).
#pragma once

#include "PicGen.h"

void DrawStepPictures(PicWriter& out, const QString& folder);

void DrawSwitchPictures(PicWriter& out, const QString& folder);

// The check box indicators "CheckBox.png" (unticked) and "CheckBoxCheck.png"
// (ticked), 14 x 14, on the dark background.
void DrawCheckBoxPictures(PicWriter& out, const QString& folder);
