#include "app/StartupSequence.h"

#include "app/LexomatApplication.h"
#include "app/TForm1.h"
#include "dialogs/Tfrm_about.h"
#include "dialogs/Tfrm_fontalign.h"
#include "dialogs/Tfrm_lastq.h"
#include "dialogs/Tfrm_message.h"
#include "dialogs/Tfrm_progress.h"
#include "dialogs/Tfrm_showpackage.h"
#include "editor/Tfrm_addlibrary.h"
#include "editor/Tfrm_admin.h"
#include "editor/Tfrm_sheet.h"
#include "platform/LexomatError.h"
#include "store/Tdm.h"
#include <QFont>

void CreateAllWindows() {
    Form1 = new TForm1;
    dm = new Tdm;
    frm_showpackage = new Tfrm_showpackage;
    frm_about = new Tfrm_about;
    frm_addlibrary = new Tfrm_addlibrary;
    frm_admin = new Tfrm_admin;
    frm_sheet = new Tfrm_sheet;
    frm_message = new Tfrm_message;
    frm_lastq = new Tfrm_lastq;
    frm_fontalign = new Tfrm_fontalign;
    frm_progress = new Tfrm_progress;
}

template <typename T> static void destroy(T *&instance) {
    delete instance;
    instance = nullptr;
}

void DestroyAllWindows() {
    destroy(frm_progress);
    destroy(frm_fontalign);
    destroy(frm_lastq);
    destroy(frm_message);
    destroy(frm_sheet);
    destroy(frm_admin);
    destroy(frm_addlibrary);
    destroy(frm_about);
    destroy(frm_showpackage);
    destroy(dm);
    destroy(Form1);
}

static void reportFailure(const QString &message) {
    if (auto *app = qobject_cast<LexomatApplication *>(QCoreApplication::instance()))
        app->HandleFailure(message);
}

bool StartWindows() {
    try {
        CreateAllWindows();
        return true;
    } catch (const LexomatError &error) {
        DestroyAllWindows();
        reportFailure(error.message());
    } catch (const std::exception &error) {
        DestroyAllWindows();
        reportFailure(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void InstallFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}
