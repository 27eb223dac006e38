#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "app/WorkbookCommands.h"

int main(int argc, char *argv[]) {
    if (IsWorkbookCommand(argc, argv))
        return RunWorkbookCommand(argc, argv);
    LexomatApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexomat"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lexomat"));
    InstallFontSubstitutes();
    if (!StartWindows())
        return 1;
    Form1->show();
    const int result = app.exec();
    DestroyAllWindows();
    return result;
}
