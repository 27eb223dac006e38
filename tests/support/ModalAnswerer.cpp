#include "tests/support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

ModalAnswerer::ModalAnswerer(int timeoutMs) : timeout(timeoutMs) {
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer.start();
    qApp->installEventFilter(this);
}

bool ModalAnswerer::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->isWindow())
        ++shows;
    return QObject::eventFilter(watched, event);
}

ModalAnswerer::~ModalAnswerer() {
    timer.stop();
    qApp->removeEventFilter(this);
}

ModalAnswerer &ModalAnswerer::act(std::function<void(QWidget *)> action) {
    actions.append(std::move(action));
    return *this;
}

ModalAnswerer &ModalAnswerer::clickButton(const QString &objectName) {
    return act([objectName](QWidget *w) {
        auto *button = w->findChild<QAbstractButton *>(objectName);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            qWarning("ModalAnswerer: no button %s", qPrintable(objectName));
    });
}

ModalAnswerer &ModalAnswerer::chooseFile(const QString &path) {
    return act([path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        auto *edit = w->findChild<QLineEdit *>("fileNameEdit");
        if (!dialog || !edit) {
            qWarning("ModalAnswerer: not a non-native file dialog");
            return;
        }
        edit->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

ModalAnswerer &ModalAnswerer::cancelFileDialog() {
    return act([](QWidget *w) {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
    });
}

ModalAnswerer &ModalAnswerer::pressKey(int key) {
    return act([key](QWidget *w) {
        QWidget *target = QApplication::focusWidget();
        if (!target || target->window() != w)
            target = w;
        QTest::keyClick(target, Qt::Key(key));
    });
}

ModalAnswerer &ModalAnswerer::closeWindow() {
    return act([](QWidget *w) { w->close(); });
}

bool ModalAnswerer::done() const {
    return actions.isEmpty();
}
int ModalAnswerer::answered() const {
    return count;
}
QStringList ModalAnswerer::seenTitles() const {
    return titles;
}
QStringList ModalAnswerer::seenTexts() const {
    return texts;
}
bool ModalAnswerer::timedOut() const {
    return expired;
}

void ModalAnswerer::poll() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
        lastAnswered = nullptr;
        if (actions.isEmpty())
            waitedMs = 0;
        return;
    }
    if (modal == lastAnswered && shows == lastAnsweredShow) {
        // Still open after our action (e.g. Escape that must do nothing): give the
        // test time to look, then close it so that nothing hangs.
        waitedMs += timer.interval();
        if (waitedMs >= timeout) {
            expired = true;
            modal->close();
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            waitedMs = 0;
        }
        return;
    }
    if (actions.isEmpty()) {
        waitedMs += timer.interval();
        if (waitedMs >= timeout) {
            expired = true;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
            waitedMs = 0;
        }
        return;
    }
    waitedMs = 0;
    titles << modal->windowTitle();
    auto *label = modal->findChild<QLabel *>("Label1");
    texts << (label ? label->text() : QString());
    auto action = actions.takeFirst();
    lastAnswered = modal;
    lastAnsweredShow = shows;
    ++count;
    QPointer<QWidget> guard(modal);
    action(modal);
}
