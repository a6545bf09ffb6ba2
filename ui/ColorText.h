// Colour texts for style sheets: every "r,g,b" text the windows put into an
// "rgb(...)" comes from here, built from a colour of group Option of
// Config.ini (LabelColor, ButtonColor, SliderColor, LinEditColor,
// LinEditColorSecond, ComboxTextColor, ComboxSelectColor,
// ComboxBackGroundColor). A missing file, a missing key, a list shorter than
// three or a part that is not a number 0..255 gives the key's default, so a
// broken Config.ini never breaks a window.
#pragma once

#include <QString>
#include <QStringList>

// "r,g,b" of Option/<key>; DefaultOptionColorText(key) when unusable.
QString OptionColorText(const QString& key);

// The default of key (the colours of the shipped Config.ini); "255,255,255"
// for a key that is not one of the colour keys.
QString DefaultOptionColorText(const QString& key);

// The pure rule: the first three parts of list joined with ",", or fallback.
QString ColorTextFromList(const QStringList& list, const QString& fallback);

// "#rrggbb" (lower-case, two digits each) of a colour.
QString HexColorText(int r, int g, int b);
// "r,g,b" of a "#rrggbb" text; empty when it is not one.
QString DecimalColorText(const QString& hex);
