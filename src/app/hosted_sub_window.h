#pragma once
// How every child window sits in the main window's area: deleted when
// closed, with its own title bar even when maximised (the main title stays
// prefix and file name), no Ctrl+F4 of its own (that key is the
// Communication page's), and opened at least at its content's size.

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace q51 {

// Adds content to the area in window (a new plain sub window when null) and
// returns the window, not yet shown.
QMdiSubWindow *HostInArea(QMdiArea &area, QWidget *content, QMdiSubWindow *window = nullptr);

} // namespace q51
