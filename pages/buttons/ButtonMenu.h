// The button page's function menu as data, free of widgets: which key button
// stands for which key, what each menu entry gives a key, which entry opens
// which sub-menu, and which entries a key's present function marks when its
// menu opens.
//
// Widgets are named by their object names in the page's form. The main list
// (page_2) holds LeftKey_3 .. DPI_10; the sub-menus of stackedWidget_2 are
// page_3 (multimedia), page_4 (tilt), page_5 (macros), page_6 (lights),
// page_7 (DPI switch), page_8 (DPI lock), page_10 (wheel) and page_9 (none:
// the debounce panel).
#pragma once

#include "DeviceImage.h"

#include <QString>
#include <QVector>

#include <optional>

namespace buttons {

// The six key buttons in page order, the key each stands for, and the entry
// whose function the key gets back when its macro is deleted and the model
// gives it no default of its own.
struct KeyButtonInfo {
    const char* objectName;
    int key;
    const char* fallbackEntry;
};
const QVector<KeyButtonInfo>& KeyButtons();
// Object name of the key button of data key 0..5, or null.
const char* KeyButtonName(int key);

// An entry that gives the checked key a function the moment it is clicked.
struct FunctionEntry {
    enum Kind {
        KeyFunction,  // the key entry {type, value, 0}
        Consumer,     // the consumer key whose selector is `value`
        DpiLock,      // type 10, the step index of `value` DPI
    };
    const char* objectName;
    Kind kind;
    int type;
    int value;
    bool mainList;  // an entry of the main list (not of a sub-menu)
};
// The 49 entries, main list first, then the sub-menus in menu order.
const QVector<FunctionEntry>& FunctionEntries();
const FunctionEntry* FindFunctionEntry(const QString& objectName);

// A main-list entry that shows a sub-menu.
struct SubMenuSwitch {
    const char* entry;
    const char* page;
};
const QVector<SubMenuSwitch>& SubMenuSwitches();

// The main-list entries in menu order.
const QVector<const char*>& MainListEntries();

// The page the menu shows when it has no sub-menu.
constexpr const char* NoSubMenuPage = "page_9";
// One row of a menu list scrolls by this many pixels.
constexpr int MenuRowPixels = 15;

// A list's vertical scroll position when a key's menu opens.
struct ScrollTo {
    QString area;  // object name of the scroll area
    int pixels;
};

// What a key's menu marks when it opens for the key's function.
struct MenuSelection {
    bool known = false;     // false: a type outside 0..11, nothing changes
    QString subPage;        // page of stackedWidget_2
    QString mainEntry;      // entry of the main list to check, empty: none
    QString subEntry;       // entry of the sub-menu to check, empty: none
    QVector<ScrollTo> scrolls;  // in this order; lists not named keep theirs
    bool macroKey = false;  // type 6: the macro buttons are matched by caption
};
// `record` is the key's event record (type 5 tells consumer keys from
// combinations by it); `dpi` is the DPI value of a DPI-lock step index;
// `key` the data key the menu opens for (the browser forward and back
// entries stand in the other order for key 1).
MenuSelection SelectionFor(int type, int value1, const KeyEventRecord& record, int dpi, int key);

// A key caption file of the page folder ("2.ini" .. "6.ini"): its line 1
// holds "a", a main-list entry 0..9, or "a,b", row b of sub-list a: 10 tilt,
// 11 (no caption), 12 lights, 13 DPI switch, 14 multimedia, 15 DPI lock.
struct CaptionFileLine {
    int a = 0;
    int b = -1;  // -1: the line has one field
};
// One or two fields split at ",", each a whole decimal number 0..999
// (blanks around it allowed); nothing for any other line.
constexpr int MaxCaptionFileNumber = 999;
std::optional<CaptionFileLine> ParseCaptionFileLine(const QString& line);
// The entry whose text the key's caption takes; empty when the line names
// none (a or b outside the rows above).
QString CaptionFileEntry(const CaptionFileLine& line);
// The lists the line scrolls, in this order: the multimedia (a = 14) or
// DPI-lock (a = 15) list to row b, then the main list to row a.
QVector<ScrollTo> CaptionFileScrolls(const CaptionFileLine& line);

}  // namespace buttons
