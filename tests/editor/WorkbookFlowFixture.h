#pragma once

#include "store/TTable.h"
#include "store/Tdm.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TestLibrary.h"
#include "tests/support/TestWorkspace.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <memory>

// A working folder with a library open in a data module, and the editor's place
// taken by a plain window that parents the dialogs.
struct WorkbookFlowFixture {
    TestWorkspace workspace{false};
    QString library;
    std::unique_ptr<Tdm> data;
    QWidget editor;

    explicit WorkbookFlowFixture(const QList<TestCard> &cards) {
        library = workspace.file("library/lib.mdb");
        TestLibrary::create(library, cards);
        data = std::make_unique<Tdm>();
        data->SetDatabasePath(library);
        data->OpenDatabase();
        editor.resize(400, 300);
        editor.show();
    }
    TTable *table() { return data->tb_library; }
};

// Answers a standard message box with `button`, noting its object name and text.
inline std::function<void(QWidget *)>
AnswerBox(QStringList *seen, QMessageBox::StandardButton button = QMessageBox::Ok) {
    return [seen, button](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            seen->append(QString("(not a message box: %1)").arg(w->metaObject()->className()));
            w->close();
            return;
        }
        seen->append(box->objectName() + ": " + box->text());
        if (QAbstractButton *b = box->button(button))
            b->click();
        else
            box->close();
    };
}

// Chooses a file in the non-native file dialog and accepts it from the event loop,
// so that a question the dialog asks itself (replace the file?) can be answered by
// the next action.
inline std::function<void(QWidget *)> ChooseFileLater(const QString &path) {
    return [path](QWidget *w) {
        if (auto *edit = w->findChild<QLineEdit *>("fileNameEdit"))
            edit->setText(path);
        QTimer::singleShot(0, w, [w] { static_cast<QDialog *>(w)->accept(); });
    };
}
