#include "app/TForm1.h"
#include "tools/screenshot/Shot.h"
#include <QDir>

namespace {
bool openSample() {
    const QStringList samples =
        QDir(ShotWorkDir() + "/library").entryList({"*.mdb"}, QDir::Files, QDir::Name);
    if (samples.isEmpty())
        return false;
    Form1->SeedRandom(7);
    return Form1->OpenLibrary(ShotWorkDir() + "/library/" + samples.first());
}
} // namespace

static ShotRegistration mainWindow("TForm1", [] { return static_cast<QWidget *>(Form1); });

static ShotRegistration question("TForm1-question",
                                 []() -> QWidget * { return openSample() ? Form1 : nullptr; });

static ShotRegistration paused("TForm1-paused", []() -> QWidget * {
    if (!openSample())
        return nullptr;
    Form1->Pause1Click();
    return Form1;
});
