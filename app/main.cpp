#include "app/LexomatApplication.h"
#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "platform/ProgramVersion.h"
#include "platform/StartupDirectory.h"
#include <QIcon>

int main(int argc, char *argv[]) {
    if (AnswerVersionOption(argc, argv))
        return 0;
    LexomatApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexomat"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lexomat"));
    QApplication::setApplicationVersion(ProgramVersion());
    // The menu entry and icon of an installation name the windows in the desktop's task list.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lexomat.Lexomat"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.lexomat.Lexomat")));
    InstallFontSubstitutes();
    if (!StartupDirectory::Enter())
        return 1;
    if (!StartWindows())
        return 1;
    Form1->show();
    const int result = app.exec();
    DestroyAllWindows();
    return result;
}
