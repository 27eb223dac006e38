#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"

int main(int argc, char *argv[]) {
    LexomatApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexomat"));
    InstallFontSubstitutes();
    if (!StartWindows())
        return 1;
    Form1->show();
    const int result = app.exec();
    DestroyAllWindows();
    return result;
}
