#include "app/TForm1.h"
#include "tools/screenshot/Shot.h"

static ShotRegistration mainWindow("TForm1", [] { return static_cast<QWidget *>(Form1); });
