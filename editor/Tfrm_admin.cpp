#include "editor/Tfrm_admin.h"

#include "dialogs/LearnerDialogSupport.h"
#include "editor/EditorMessages.h"
#include "editor/UntitledLibrary.h"
#include "editor/ui_Tfrm_admin.h"
#include "platform/LexomatError.h"
#include "store/TTable.h"
#include "store/TTableModel.h"
#include "store/Tdm.h"
#include "widgets/GridTitles.h"
#include <QCloseEvent>
#include <QFontDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

Tfrm_admin *frm_admin = nullptr;

namespace {
constexpr int ClientWidth = 792, ClientHeight = 554, TopHeight = 41, BottomHeight = 50;

void InfoTipBackground(QWidget *widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    widget->setPalette(palette);
}
} // namespace

Tfrm_admin::Tfrm_admin(QWidget *parent) : QDialog(parent), ui(new Ui::Tfrm_admin) {
    ui->setupUi(this);
    MainMenu1 = ui->MainMenu1;
    group_up = ui->group_up;
    group_center = ui->group_center;
    Panel1 = ui->Panel1;
    Label1 = ui->Label1;
    lbWords = ui->lbWords;
    panel_hide_gol = ui->panel_hide_gol;
    EditFiltru = ui->EditFiltru;
    grid_library = ui->grid_library;
    bt_adauga = ui->bt_adauga;
    bt_modifica = ui->bt_modifica;
    bt_delete = ui->bt_delete;
    act_new = ui->act_new;
    act_open = ui->act_open;
    act_save = ui->act_save;
    act_exit = ui->act_exit;
    FileOpen2 = ui->FileOpen2;
    FileSaveAs2 = ui->FileSaveAs2;
    FontEdit1 = ui->FontEdit1;
    act_add = ui->act_add;
    act_mod = ui->act_mod;
    act_del = ui->act_del;
    act_adaugab = ui->act_adaugab;
    act_modifyb = ui->act_modifyb;
    act_deleteb = ui->act_deleteb;
    act_search = ui->act_search;

    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
    // The client area below the menu bar is 792 x 554.
    resize(ClientWidth, ClientHeight + MainMenu1->sizeHint().height());
    setMinimumSize(400, 300);
    InfoTipBackground(EditFiltru);
    InfoTipBackground(grid_library);
    KeepOwnFont(panel_hide_gol);
    EditFiltru->setClearButtonEnabled(true);

    grid_library->verticalHeader()->hide();
    grid_library->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_library->verticalHeader()->setDefaultSectionSize(grid_library->fontMetrics().height() + 6);
    QHeaderView *titles = grid_library->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_library->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab goes on to the next control; the arrow keys move within the grid.
    grid_library->setTabKeyNavigation(false);
    grid_library->installEventFilter(this);
    // A double click anywhere in the grid, also below its last row, updates.
    grid_library->viewport()->installEventFilter(this);
    EditFiltru->installEventFilter(this);

    pop_library = new QMenu(this);
    pop_library->setObjectName(QStringLiteral("pop_library"));
    pop_library->addActions({act_adaugab, act_modifyb, act_deleteb});
    addActions({act_add, act_mod, act_del, act_search});

    // Buttons and popup items follow their action's enabled state.
    const std::pair<QAction *, std::pair<QPushButton *, QAction *>> bound[] = {
        {act_add, {bt_adauga, act_adaugab}},
        {act_mod, {bt_modifica, act_modifyb}},
        {act_del, {bt_delete, act_deleteb}}};
    for (const auto &[action, controls] : bound) {
        QPushButton *button = controls.first;
        QAction *item = controls.second;
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(item, &QAction::triggered, action, &QAction::trigger);
        connect(action, &QAction::changed, this, [action, button, item] {
            button->setEnabled(action->isEnabled());
            item->setEnabled(action->isEnabled());
        });
    }

    connect(act_add, &QAction::triggered, this, &Tfrm_admin::act_addExecute);
    connect(act_mod, &QAction::triggered, this, &Tfrm_admin::act_modExecute);
    connect(act_del, &QAction::triggered, this, &Tfrm_admin::act_delExecute);
    connect(act_new, &QAction::triggered, this, &Tfrm_admin::act_newExecute);
    connect(act_open, &QAction::triggered, this, &Tfrm_admin::act_openExecute);
    connect(act_save, &QAction::triggered, this, &Tfrm_admin::act_saveExecute);
    connect(act_exit, &QAction::triggered, this, &Tfrm_admin::act_exitExecute);
    connect(FileOpen2, &QAction::triggered, this, &Tfrm_admin::FileOpen2Accept);
    connect(FileSaveAs2, &QAction::triggered, this, &Tfrm_admin::FileSaveAs2Accept);
    connect(FontEdit1, &QAction::triggered, this, [this] {
        QFontDialog dialog(chosenFont, this);
        dialog.setObjectName(QStringLiteral("FontEdit1"));
        dialog.setOption(QFontDialog::DontUseNativeDialog);
        if (dialog.exec() == QDialog::Accepted)
            FontEdit1Accept(dialog.selectedFont());
    });
    connect(act_search, &QAction::triggered, this, [this] {
        EditFiltru->setFocus(Qt::ShortcutFocusReason);
        EditFiltru->selectAll();
    });
    connect(EditFiltru, &QLineEdit::textChanged, this, &Tfrm_admin::EditFiltruChange);
    connect(titles, &QHeaderView::sectionClicked, this, &Tfrm_admin::grid_libraryTitleClick);
    connect(grid_library, &QWidget::customContextMenuRequested, this, &Tfrm_admin::ShowGridMenu);
    chosenFont = group_center->font();
}

Tfrm_admin::~Tfrm_admin() {
    delete ui;
}

void Tfrm_admin::showEvent(QShowEvent *event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void Tfrm_admin::FormShow() {
    CentreOnScreen(this);
    SetCurrentLibrary(Library::None);
    act_mod->setEnabled(false);
    act_del->setEnabled(false);
    SetCaption(QString());
    lbWords->setText(QStringLiteral("Total Words: 0"));
    chosenFont = group_center->font();
    AttachGrid();
    panel_hide_gol->setVisible(true);
    panel_hide_gol->raise();
    FormResize();
    // Asked once the window stands, so the question appears over it.
    if (!offerPending) {
        offerPending = true;
        QTimer::singleShot(0, this, [this] {
            offerPending = false;
            if (!isVisible())
                return;
            // A file from the desktop comes first; stranded libraries wait for the
            // next showing.
            if (!pendingImport.isEmpty())
                ImportFile(std::exchange(pendingImport, QString()));
            else
                OfferUnsavedLibraries();
        });
    }
}

void Tfrm_admin::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    LayOutStrips();
    FormResize();
}

void Tfrm_admin::LayOutStrips() {
    const int top = MainMenu1->sizeHint().height();
    const int w = width(), h = height();
    MainMenu1->setGeometry(0, 0, w, top);
    group_up->setGeometry(0, top, w, TopHeight);
    Panel1->setGeometry(0, h - BottomHeight, w, BottomHeight);
    group_center->setGeometry(0, top + TopHeight, w,
                              std::max(0, h - top - TopHeight - BottomHeight));
    grid_library->setGeometry(group_center->rect());
    lbWords->move(w - lbWords->width() - 12, lbWords->y());
}

void Tfrm_admin::FormResize() {
    const int gap = (Panel1->width() - 3 * bt_adauga->width()) / 6;
    bt_adauga->move(2 * gap, bt_adauga->y());
    bt_modifica->move(3 * gap + bt_adauga->width(), bt_modifica->y());
    bt_delete->move(4 * gap + bt_adauga->width() + bt_modifica->width(), bt_delete->y());
}

void Tfrm_admin::SetCaption(const QString &libraryName) {
    setWindowTitle(libraryName.isEmpty() ? QStringLiteral("Lexomat Library")
                                         : libraryName + QStringLiteral(" - Lexomat Library"));
}

void Tfrm_admin::EnableAllButtons(bool enable) {
    for (QAction *action : {act_add, act_mod, act_del, FileOpen2})
        action->setEnabled(enable);
}

void Tfrm_admin::Test_Tabel_Gol() {
    const bool empty = PresentedCount() <= 0;
    panel_hide_gol->setText(QStringLiteral("NO Records"));
    panel_hide_gol->setVisible(empty);
    if (empty)
        panel_hide_gol->raise();
    act_mod->setEnabled(!empty);
    act_del->setEnabled(!empty);
}

int Tfrm_admin::PresentedCount() const {
    try {
        return dm->tb_library->Active() ? dm->tb_library->RecordCount() : 0;
    } catch (const LexomatError &) {
        return 0; // unreadable rows count as none; the command that met it says why
    }
}

void Tfrm_admin::RefreshCount() {
    const int count = PresentedCount();
    lbWords->setText(QStringLiteral("Total Words: %1").arg(count));
}

QString Tfrm_admin::OnGetText(const QVariant &value) const {
    return value.isNull() ? QString() : value.toString();
}

void Tfrm_admin::AttachGrid() {
    if (!dm)
        return;
    if (!model || model->Table() != dm->tb_library) {
        delete model;
        model =
            new TTableModel(dm->tb_library,
                            {{QStringLiteral("Word"), QStringLiteral("Word"), 250},
                             {QStringLiteral("ImportanceField"), QStringLiteral("Importance"), 90},
                             {QStringLiteral("Definition"), QStringLiteral("Definition"), 428}},
                            this);
        grid_library->setModel(model);
        model->FollowSelection(grid_library->selectionModel());
        FitColumnsToTitles(grid_library, DesignedWidths());
    }
    // The hook belongs to the opened table: installed again after every opening.
    dm->tb_library->SetOnGetText(QStringLiteral("Definition"),
                                 [this](const QVariant &value) { return OnGetText(value); });
}

void Tfrm_admin::FontEdit1Accept(const QFont &font) {
    chosenFont = font;
    group_center->setFont(font);
    grid_library->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
    if (model)
        FitColumnsToTitles(grid_library, DesignedWidths());
}

QList<int> Tfrm_admin::DesignedWidths() const {
    QList<int> widths;
    for (const GridColumn &column : model->Columns())
        widths << column.width;
    return widths;
}

bool Tfrm_admin::Guarded(const std::function<void()> &step) {
    try {
        step();
        return true;
    } catch (const LexomatError &error) {
        EditorMessages::Error(this, error.reason(), error.detail());
    } catch (const std::exception &error) {
        EditorMessages::Error(this, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void Tfrm_admin::ShowGridMenu(const QPoint &at) {
    pop_library->popup(grid_library->viewport()->mapToGlobal(at));
}

bool Tfrm_admin::eventFilter(QObject *watched, QEvent *event) {
    if (watched == grid_library->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        grid_libraryDblClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (watched == grid_library) {
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && key->modifiers() == Qt::NoModifier) {
                if (act_mod->isEnabled())
                    act_mod->trigger();
                return true;
            }
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
                DeleteFromGrid();
                return true;
            }
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
                if (act_del->isEnabled())
                    act_del->trigger();
                return true;
            }
        } else if (watched == EditFiltru && key->key() == Qt::Key_Escape) {
            EditFiltru->clear();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_admin::keyPressEvent(QKeyEvent *event) {
    // The editor is a window, not a question: Escape and Enter do not close it.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tfrm_admin::closeEvent(QCloseEvent *event) {
    if (!FormClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Tfrm_admin::act_exitExecute() {
    close();
}
