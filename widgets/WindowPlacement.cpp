#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>

namespace WindowPlacement {

namespace {
QMargins Frame(const QWidget *window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

// The frame a window has, or, before it is first shown and the window manager has told
// it, the frame of a window shown already: the one it will get.
QMargins FrameOf(const QWidget *window) {
    if (window->isVisible() || window->frameGeometry() != window->geometry())
        return Frame(window);
    for (const QWidget *other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && other->isWindow() &&
            other->frameGeometry() != other->geometry())
            return Frame(other);
    return QMargins();
}

// The first window shown has no other to learn the frame from: once its own frame is
// known it is placed again, this once.
class PlaceAgainWhenFramed : public QObject {
public:
    PlaceAgainWhenFramed(QWidget *window, std::function<void()> place)
        : QObject(window), window(window), place(std::move(place)) {
        window->installEventFilter(this);
        // A window manager that never tells the frame is not waited for.
        QTimer::singleShot(3000, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
            window->frameGeometry() != window->geometry()) {
            window->removeEventFilter(this);
            place();
            deleteLater();
        }
        return false;
    }

private:
    QWidget *window;
    std::function<void()> place;
};

bool FrameUnknown(const QWidget *window) {
    if (window->isVisible() || window->frameGeometry() != window->geometry())
        return false;
    for (const QWidget *other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && other->frameGeometry() != other->geometry())
            return false;
    return true;
}

const QScreen *ScreenOf(const QWidget *window) {
    const QScreen *screen = window->screen();
    return screen ? screen : QApplication::primaryScreen();
}

} // namespace

QPoint Centred(const QRect &screen, const QRect &usable, const QSize &outer) {
    // C++ division truncates toward zero, as the placement rule asks.
    int x = screen.x() + (screen.width() - outer.width()) / 2;
    int y = screen.y() + (screen.height() - outer.height()) / 2;
    // Pulled back onto the usable area: the far side first, so that the title bar and
    // the menus win where the window is larger than the screen.
    x = std::max(std::min(x, usable.x() + usable.width() - outer.width()), usable.x());
    y = std::max(std::min(y, usable.y() + usable.height() - outer.height()), usable.y());
    return {x, y};
}

void CentreOnScreen(QWidget *window) {
    if (FrameUnknown(window))
        new PlaceAgainWhenFramed(window, [window] { CentreOnScreen(window); });
    const QScreen *screen = ScreenOf(window);
    if (!screen)
        return;
    const QMargins frame = FrameOf(window);
    const QSize outer = window->size().grownBy(frame);
    // A top-level window is moved by its frame, shown or not.
    window->move(Centred(screen->geometry(), screen->availableGeometry(), outer));
}

void CentreOver(QWidget *window, const QWidget *over) {
    if (FrameUnknown(window)) {
        const QPointer<const QWidget> guarded(over);
        new PlaceAgainWhenFramed(window, [window, guarded] {
            if (guarded)
                CentreOver(window, guarded);
        });
    }
    const QScreen *screen = ScreenOf(over);
    if (!screen)
        return;
    const QMargins frame = FrameOf(window);
    const QSize outer = window->size().grownBy(frame);
    // Over the other window, and on the screen.
    window->move(Centred(over->frameGeometry(), screen->availableGeometry(), outer));
}

} // namespace WindowPlacement
