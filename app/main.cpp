#include "app/ConvertCommand.h"
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"

int main(int argc, char *argv[]) {
    // Commands run without windows, before the application object exists.
    if (ConvertCommand::Requested(argc, argv))
        return ConvertCommand::Run(argc, argv);
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
