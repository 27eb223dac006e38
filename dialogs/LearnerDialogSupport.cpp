#include "dialogs/LearnerDialogSupport.h"

#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QWidget>

namespace {

QWidget *mainWindow() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Form1"))
            return w;
    return nullptr;
}

class ClickFilter : public QObject {
public:
    ClickFilter(QWidget *target, std::function<void()> onClick)
        : QObject(target), action(std::move(onClick)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *widget = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::MouseButtonPress) {
            pressed = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool inside = widget->rect().contains(mouse->position().toPoint());
            if (pressed && mouse->button() == Qt::LeftButton && inside) {
                pressed = false;
                action();
                return true;
            }
            pressed = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action;
    bool pressed = false;
};

} // namespace

void CentreOnScreen(QWidget *window) {
    WindowPlacement::CentreOnScreen(window);
}

void CentreOverMainWindow(QWidget *window) {
    QWidget *over = window->parentWidget() ? window->parentWidget()->window() : mainWindow();
    if (!over || over == window)
        WindowPlacement::CentreOnScreen(window);
    else
        WindowPlacement::CentreOver(window, over);
}

void PaintWhite(QWidget *widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void KeepOwnFont(QWidget *widget) {
    QFont own = widget->font();
    own.setResolveMask(QFont::AllPropertiesResolved);
    widget->setFont(own);
}

void OnClick(QWidget *widget, std::function<void()> onClick) {
    widget->installEventFilter(new ClickFilter(widget, std::move(onClick)));
}

QString BesidePath(const QString &relative) {
    return QDir::current().absoluteFilePath(relative);
}

void LoadLearnerDialogResources() {
    Q_INIT_RESOURCE(learner_dialogs);
}
