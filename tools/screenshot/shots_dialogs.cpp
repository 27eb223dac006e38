#include "dialogs/Tfrm_about.h"
#include "dialogs/Tfrm_fontalign.h"
#include "dialogs/Tfrm_lastq.h"
#include "dialogs/Tfrm_showpackage.h"
#include "store/Tdm.h"
#include "tools/screenshot/Shot.h"
#include <QDir>
#include <QLabel>

namespace {

// The first sample library of the working folder, as the counters show it.
QWidget *viewerWithRows() {
    const QStringList libraries =
        QDir(ShotWorkDir() + "/library").entryList({"*.mdb"}, QDir::Files, QDir::Name);
    if (libraries.isEmpty())
        return nullptr;
    dm->SetDatabasePath(ShotWorkDir() + "/library/" + libraries.first());
    dm->OpenDatabase();
    frm_showpackage->Label1->setText("All the cards!");
    return frm_showpackage;
}

} // namespace

static ShotRegistration viewer("Tfrm_showpackage", viewerWithRows, [] { dm->CloseDatabase(); });

static ShotRegistration alignment("Tfrm_fontalign", [] {
    ChosenAlignment = 2;
    return static_cast<QWidget *>(frm_fontalign);
});

static ShotRegistration lastQuestion("Tfrm_lastq", [] {
    frm_lastq->Label2->setText("serendipity = the faculty of making fortunate discoveries by "
                               "accident, while looking for something else");
    return static_cast<QWidget *>(frm_lastq);
});

static ShotRegistration about("Tfrm_about", [] { return static_cast<QWidget *>(frm_about); });
