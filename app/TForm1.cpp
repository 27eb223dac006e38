#include "app/TForm1.h"

TForm1 *Form1 = nullptr;

// Shell until the main window lands.
TForm1::TForm1(QWidget *parent) : QMainWindow(parent) { setObjectName("Form1"); }
TForm1::~TForm1() = default;
