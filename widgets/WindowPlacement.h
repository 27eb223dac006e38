#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where top-level windows go: centred on the screen they open on, left = (screen width
// - window width) / 2 and top likewise, dividing toward zero, the frame and title bar
// counted. A window that does not fit is moved so that its title bar and menus stay on
// the screen's usable area (below a panel, say), whatever is cut at the far side.
namespace WindowPlacement {

QPoint Centred(const QRect &screen, const QRect &usable, const QSize &outer);
// Centres a window on its screen, or over another window; the same place on every
// show, also before the window manager has told the frame of a new window (the frame
// of the windows shown before is taken for it).
void CentreOnScreen(QWidget *window);
void CentreOver(QWidget *window, const QWidget *over);

} // namespace WindowPlacement
