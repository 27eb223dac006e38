#include "dialogs/Tfrm_showpackage.h"

#include "dialogs/LearnerDialogSupport.h"
#include "dialogs/SortWithProgress.h"
#include "dialogs/ui_Tfrm_showpackage.h"
#include "platform/BesideFiles.h"
#include "store/TTable.h"
#include "store/TTableModel.h"
#include "store/Tdm.h"
#include "widgets/GridTitles.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include <QHeaderView>
#include <QScrollBar>

Tfrm_showpackage *frm_showpackage = nullptr;

namespace {
const QColor FixedCellColour(255, 251, 240);
} // namespace

Tfrm_showpackage::Tfrm_showpackage(QWidget *parent)
    : QDialog(parent), ui(new Ui::Tfrm_showpackage) {
    ui->setupUi(this);
    Image1 = ui->Image1;
    Panel2 = ui->Panel2;
    Label1 = ui->Label1;
    DBGrid1 = ui->DBGrid1;
    Panel1 = ui->Panel1;
    Panel3 = ui->Panel3;
    BitBtnWithColor1 = ui->BitBtnWithColor1;

    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(590, 474);
    PaintWhite(this);
    for (QWidget *panel : {static_cast<QWidget *>(Panel1), static_cast<QWidget *>(Panel2),
                           static_cast<QWidget *>(Panel3)})
        PaintWhite(panel);

    QPalette cells = DBGrid1->palette();
    cells.setColor(QPalette::Base, Qt::white);
    DBGrid1->setPalette(cells);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    QHeaderView *titles = DBGrid1->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    // Left-aligned like the cells: a centred title would sit outside the view in the
    // 1000-pixel Definition column.
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1;"
                                         " border: none; border-right: 1px solid #b4b0a8;"
                                         " border-bottom: 1px solid #b4b0a8; padding: 2px 4px; }")
                              .arg(FixedCellColour.name()));
    Panel1->hide();

    connect(titles, &QHeaderView::sectionClicked, this, &Tfrm_showpackage::HeaderSectionClicked);
    connect(BitBtnWithColor1, &QPushButton::clicked, this,
            &Tfrm_showpackage::BitBtnWithColor1Click);

    FormCreate();
}

Tfrm_showpackage::~Tfrm_showpackage() {
    delete ui;
}

void Tfrm_showpackage::FormCreate() {
    Image1->setPixmap(LoadBesidePicture(BesidePath("elements/logo.bmp")));
    setWindowTitle(ReadScrambledLines(BesidePath("elements/main.txt"), 1).value(0));
}

void Tfrm_showpackage::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void Tfrm_showpackage::FormShow() {
    CentreOnScreen(this);
    dm->tb_library->SetActive(true);
    BindGrid();
    BitBtnWithColor1->SetColor(Qt::white);
    // Reinstalled on every show: reopening a library rebuilds the table's fields.
    dm->tb_library->SetOnGetText(QStringLiteral("Definition"), [](const QVariant &value) {
        return value.isNull() ? QString() : value.toString();
    });
    Test_Empty_Grid();
}

void Tfrm_showpackage::BindGrid() {
    // A model of its own over the data module's table: Word and Definition only.
    if (!boundModel || boundModel->Table() != dm->tb_library) {
        delete boundModel;
        boundModel =
            new TTableModel(dm->tb_library,
                            {{QStringLiteral("Word"), QStringLiteral("Word"), 200},
                             {QStringLiteral("Definition"), QStringLiteral("Definition"), 1000}},
                            this);
        DBGrid1->setModel(boundModel);
        boundModel->FollowSelection(DBGrid1->selectionModel());
        QList<int> widths;
        for (const GridColumn &column : boundModel->Columns())
            widths << column.width;
        FitColumnsToTitles(DBGrid1, widths);
    }
    // Each showing starts at the first row, as a freshly filtered table does.
    DBGrid1->scrollToTop();
    DBGrid1->horizontalScrollBar()->setValue(0);
}

void Tfrm_showpackage::Test_Empty_Grid() {
    const bool empty = dm->tb_library->RecordCount() <= 0;
    Panel1->setVisible(empty);
    if (empty)
        Panel1->raise();
}

void Tfrm_showpackage::HeaderSectionClicked(int logicalIndex) {
    if (!boundModel)
        return;
    DBGrid1TitleClick(boundModel->FieldAt(logicalIndex));
}

void Tfrm_showpackage::DBGrid1TitleClick(const QString &fieldName) {
    TTable *table = dm->tb_library;
    if (fieldName.compare(QLatin1String("Word"), Qt::CaseInsensitive) == 0)
        SortWithProgress(this, table,
                         table->Sort() == QLatin1String("Word ASC") ? QStringLiteral("Word DESC")
                                                                    : QStringLiteral("Word ASC"));
    if (fieldName.compare(QLatin1String("Definition"), Qt::CaseInsensitive) == 0)
        SortWithProgress(this, table,
                         table->Sort() == QLatin1String("Definition ASC")
                             ? QStringLiteral("Definition DESC")
                             : QStringLiteral("Definition ASC"));
}

void Tfrm_showpackage::BitBtnWithColor1Click() {
    close();
}

void Tfrm_showpackage::reject() {
    done(mrCancel);
}
