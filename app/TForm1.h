#pragma once

#include <QMainWindow>

// The main window: one word, four candidate definitions, the box counters and clocks.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;
};

extern TForm1 *Form1;
