#include "editor/Tfrm_addlibrary.h"

#include "dialogs/LearnerDialogSupport.h"
#include "editor/EditorMessages.h"
#include "editor/ui_Tfrm_addlibrary.h"
#include "store/TFieldLink.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "widgets/ModalResult.h"
#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

Tfrm_addlibrary *frm_addlibrary = nullptr;

namespace {
// Blanks and control characters at both ends do not count as content.
QString Trimmed(const QString &text) {
    qsizetype start = 0, end = text.size();
    auto blank = [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; };
    while (start < end && blank(text[start]))
        ++start;
    while (end > start && blank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

// The levels the store keeps: whole 32-bit numbers, "-2147483648" the longest text.
constexpr int ImportanceChars = 11;

bool AllowedInImportance(const QString &typed) {
    for (QChar c : typed)
        if (!(c.isDigit() && c.unicode() < 128) && c != '+' && c != '-')
            return false;
    return true;
}
} // namespace

Tfrm_addlibrary::Tfrm_addlibrary(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_addlibrary) {
    ui->setupUi(this);
    EditWord = ui->EditWord;
    EditImportance = ui->EditImportance;
    EditDefinition = ui->EditDefinition;
    bt_save = ui->bt_save;
    bt_cancel = ui->bt_cancel;

    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(600, 304);
    for (QWidget *edit : {static_cast<QWidget *>(EditWord), static_cast<QWidget *>(EditImportance),
                          static_cast<QWidget *>(EditDefinition)}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
        edit->setPalette(palette);
    }
    // Keys are sifted in the event filter (with a beep); the validator catches pastes.
    // A stored level is shown whole, however long.
    EditImportance->setMaxLength(ImportanceChars);
    EditImportance->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString("[0-9+-]{0,%1}").arg(ImportanceChars)), EditImportance));
    EditImportance->installEventFilter(this);

    connect(bt_save, &QPushButton::clicked, this, &Tfrm_addlibrary::bt_saveClick);
    connect(bt_cancel, &QPushButton::clicked, this, &Tfrm_addlibrary::bt_cancelClick);
}

Tfrm_addlibrary::~Tfrm_addlibrary() {
    delete ui;
}

bool Tfrm_addlibrary::eventFilter(QObject *watched, QEvent *event) {
    if (watched == EditImportance && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        const bool printable = !typed.isEmpty() && !typed.at(0).isNull() &&
                               typed.at(0).category() != QChar::Other_Control;
        if (printable && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            !AllowedInImportance(typed)) {
            QApplication::beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_addlibrary::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void Tfrm_addlibrary::FormShow() {
    CentreOnScreen(this);
    BindEdits();
    EditWord->setFocus();
}

void Tfrm_addlibrary::BindEdits() {
    if (!dm)
        return;
    if (boundTable != dm->tb_library) {
        qDeleteAll(links);
        links.clear();
        boundTable = dm->tb_library;
        links << new TFieldLink(boundTable, QStringLiteral("Word"), EditWord, "text", this)
              << new TFieldLink(boundTable, QStringLiteral("ImportanceField"), EditImportance,
                                "text", this)
              << new TFieldLink(boundTable, QStringLiteral("Definition"), EditDefinition,
                                "plainText", this);
    }
    for (TFieldLink *link : links)
        link->UpdateTarget();
}

void Tfrm_addlibrary::bt_saveClick() {
    // Word and definition are both required (the note says so), and only a whole
    // number can be stored as importance: refusing here keeps what was typed.
    if (Trimmed(EditWord->text()).isEmpty() || Trimmed(EditDefinition->toPlainText()).isEmpty()) {
        EditorMessages::Plain(this, QStringLiteral("Complete All Fields, Please !!!"));
        (Trimmed(EditWord->text()).isEmpty() ? static_cast<QWidget *>(EditWord)
                                             : static_cast<QWidget *>(EditDefinition))
            ->setFocus();
        return;
    }
    const QString importance = Trimmed(EditImportance->text());
    if (importance.isEmpty()) {
        EditImportance->setText(QStringLiteral("0"));
    } else {
        bool whole = false;
        importance.toInt(&whole); // false also beyond 32 bits
        if (!whole) {
            EditorMessages::Plain(this, QStringLiteral("Importance must be a whole number from "
                                                       "-2147483648 to 2147483647."));
            EditImportance->setFocus();
            return;
        }
    }
    done(mrOk);
}

void Tfrm_addlibrary::bt_cancelClick() {
    done(mrCancel);
}

void Tfrm_addlibrary::reject() {
    done(mrCancel);
}
