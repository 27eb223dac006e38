#include "app/ConvertCommand.h"
#include "app/FileArgument.h"
#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "app/WorkbookCommands.h"
#include "platform/ProgramIdentity.h"
#include "platform/StartupDirectory.h"

#include <QTimer>

int main(int argc, char *argv[]) {
    // Commands run without windows, before the application object exists.
    if (ConvertCommand::Requested(argc, argv))
        return ConvertCommand::Run(argc, argv);
    if (AnswerVersionOption(argc, argv))
        return 0;
    if (!FileArgument::Given(argc, argv) && IsWorkbookCommand(argc, argv))
        return RunWorkbookCommand(argc, argv);
    LexomatApplication app(argc, argv);
    // Before the program enters its start-up folder: a relative path counts from here.
    const QString file = FileArgument::Path(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexomat"));
    SetProgramIdentity();
    InstallFontSubstitutes();
    if (!StartupDirectory::Enter())
        return 1;
    if (!StartWindows())
        return 1;
    Form1->show();
    // A file from the desktop is opened once the window stands.
    if (!file.isEmpty())
        QTimer::singleShot(0, Form1, [file] { Form1->OpenFile(file); });
    const int result = app.exec();
    DestroyAllWindows();
    return result;
}
