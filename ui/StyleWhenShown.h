// Style sheets of widgets that are hidden when their window is built and
// may stay hidden (paging arrows, a repair button, a notice frame that is
// never shown). A style sheet loads its pictures as soon as it is set or
// its widget is polished, and hidden widgets are polished with their
// window; set through here, the sheet comes with the widget's first show,
// before it is painted, so a window's first paint does not wait for the
// pictures of widgets it does not show.
#pragma once

class QString;
class QWidget;

// Sets sheet on widget now when it is visible, else when it is first shown
// (a later call before that replaces the waiting sheet).
void SetStyleSheetWhenShown(QWidget* widget, const QString& sheet);
