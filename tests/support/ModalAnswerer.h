#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// Answers the next modal window that opens: polls QApplication::activeModalWidget(),
// runs the action on it, and closes it after a timeout so that a test cannot hang.
//
//   ModalAnswerer answer;
//   answer.clickButton("Center_BitBtnWithColor");   // next modal: click that button
//   window->act_open->trigger();
//   QVERIFY(answer.done());
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    explicit ModalAnswerer(int timeoutMs = 5000);
    ~ModalAnswerer() override;

    // Queue actions; each one answers one modal window, in order.
    ModalAnswerer &act(std::function<void(QWidget *)> action);
    ModalAnswerer &clickButton(const QString &objectName); // by objectName
    ModalAnswerer &chooseFile(const QString &path);        // non-native QFileDialog
    ModalAnswerer &cancelFileDialog();
    ModalAnswerer &pressKey(int key); // key on the focused widget
    ModalAnswerer &closeWindow();     // as the title-bar close does

    bool done() const;              // every queued action ran
    int answered() const;           // how many modal windows were answered
    QStringList seenTitles() const; // window titles of the answered windows
    QStringList seenTexts() const;  // the text of a QLabel named Label1, if any
    bool timedOut() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void poll();

    QTimer timer;
    QList<std::function<void(QWidget *)>> actions;
    QWidget *lastAnswered = nullptr;
    int shows = 0; // counts window shows, so a reused dialog shown again is new
    int lastAnsweredShow = -1;
    QStringList titles;
    QStringList texts;
    int count = 0;
    int timeout;
    int waitedMs = 0;
    bool expired = false;
};
