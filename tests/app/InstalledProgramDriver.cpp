// A plugin that the installed program loads when a test asks for it
// (QT_QPA_GENERIC_PLUGINS=lexomattestdriver): it drives the real windows of that
// process as a learner would and writes what it saw to LEXOMAT_TEST_REPORT.
//
// LEXOMAT_TEST_DRIVE=quit           report the folder and title, close the window
// LEXOMAT_TEST_DRIVE=study:PATH     open PATH through the File menu's dialog, report
//                                   the card count and word, answer one question with
//                                   key 1, close the window and save the session
// LEXOMAT_TEST_DRIVE=look           report the card count and word of what the file
//                                   argument opened, close the window and save; an
//                                   import it started is answered on the way (the
//                                   sheets offered, the result and the editor's
//                                   title reported, the untitled library not saved)
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {
void report(const QString &key, const QString &value) {
    QFile file(qEnvironmentVariable("LEXOMAT_TEST_REPORT"));
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((key + "=" + value + "\n").toUtf8());
}

QString labelText(QWidget *window, const char *name) {
    auto *label = window->findChild<QLabel *>(name);
    return label ? label->text() : QStringLiteral("<none>");
}

class Driver : public QObject {
public:
    Driver() : drive(qEnvironmentVariable("LEXOMAT_TEST_DRIVE")) {
        connect(&timer, &QTimer::timeout, this, &Driver::poll);
        timer.start(20);
    }

private:
    void poll() {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            answer(modal);
            return;
        }
        if (started)
            return;
        QWidget *main = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Form1") && w->isVisible())
                main = w;
        if (!main)
            return;
        started = true;
        report("dir", QDir::currentPath());
        report("title", main->windowTitle());
        // Outside this poll, so that the modal loops of the window run on their own.
        QTimer::singleShot(0, main, [this, main] { act(main); });
    }

    void act(QWidget *main) {
        // What the file argument brought up is answered first.
        if (QApplication::activeModalWidget()) {
            QTimer::singleShot(50, main, [this, main] { act(main); });
            return;
        }
        if (drive == QLatin1String("look")) {
            report("count", labelText(main, "lbCount"));
            report("word", labelText(main, "LabellTextWord"));
        }
        if (drive.startsWith(QLatin1String("study:"))) {
            if (auto *open = main->findChild<QAction *>("act_open"))
                open->trigger();
            report("count", labelText(main, "lbCount"));
            report("word", labelText(main, "LabellTextWord"));
            QTest::keyClick(main, Qt::Key_1);
        }
        main->close();
    }

    void answer(QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if (auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit"))
                edit->setText(drive.mid(6));
            static_cast<QDialog *>(dialog)->accept();
            return;
        }
        if (modal->objectName() == QLatin1String("frm_sheet")) {
            QStringList sheets;
            if (auto *list = modal->findChild<QComboBox *>("ComboBox1"))
                for (int i = 0; i < list->count(); ++i)
                    sheets << list->itemText(i);
            report("sheets", sheets.join('|'));
            if (auto *ok = modal->findChild<QAbstractButton *>("BitBtnWithColor1"))
                ok->click();
            return;
        }
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            const bool saveQuestion = box->text() == QLatin1String("Save current library ?");
            if (!saveQuestion) {
                report("box", box->text());
                importAnswered = true;
            }
            box->button(saveQuestion ? QMessageBox::No : QMessageBox::Ok)->click();
            return;
        }
        if (modal->objectName() == QLatin1String("frm_admin")) {
            // Left alone until its import has been answered.
            if (importAnswered && !editorReported) {
                editorReported = true;
                report("editor", modal->windowTitle());
                // Outside this poll, which must answer the question the closing asks.
                QTimer::singleShot(0, modal, [modal] { modal->close(); });
            }
            return;
        }
        auto *yes = modal->findChild<QAbstractButton *>("Left_BitBtnWithColor");
        if (modal->windowTitle() == QLatin1String("Save") && yes) {
            report("saved", "yes");
            yes->click();
            return;
        }
        report("unexpected", modal->windowTitle() + ": " + labelText(modal, "Label1"));
        modal->close();
    }

    QTimer timer;
    QString drive;
    bool started = false;
    bool importAnswered = false;
    bool editorReported = false;
};
} // namespace

class InstalledProgramDriver : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "InstalledProgramDriver.json")
public:
    QObject *create(const QString &, const QString &) override { return new Driver; }
};

#include "InstalledProgramDriver.moc"
