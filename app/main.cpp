#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"

int main(int argc, char *argv[]) {
    LexomatApplication app(argc, argv);
    QApplication::setApplicationName("Lexomat");
    QApplication::setApplicationDisplayName("Lexomat");
    int result = 0;
    try {
        CreateAllWindows();
        Form1->show();
        result = app.exec();
    } catch (const std::exception &) {
        // Failures during creation reach the failure handler through notify() or
        // the window's own handler; nothing else to do here.
        result = 1;
    }
    DestroyAllWindows();
    return result;
}
