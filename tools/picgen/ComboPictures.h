// The pictures of the setting panels' combo boxes, drawn the same way into
// every folder that a panel or page takes them from: "ComboboxBack.png"
// (the closed box), "ComboboxTextBack.png" (the open list), "Menu.png" and
// "MenuClicked.png" (the arrow, closed and open).
#pragma once

#include "PicGen.h"

void DrawComboPictures(PicWriter& out, const QString& folder);
