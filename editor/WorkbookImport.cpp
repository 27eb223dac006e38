#include "editor/WorkbookImport.h"

#include "editor/StandardBoxes.h"
#include "editor/Tfrm_sheet.h"
#include "editor/WorkbookFileDialogs.h"
#include "formats/WorkbookReader.h"
#include "platform/CountedNoun.h"
#include "platform/FailureText.h"
#include "store/TTable.h"
#include "store/Tdm.h"
#include "widgets/WorkProgress.h"

#include <QComboBox>

WorkbookImport::WorkbookImport(QWidget *parent, Tdm *module, Tfrm_sheet *chooser)
    : parent(parent), module(module), chooser(chooser) {}

int WorkbookImport::Execute() {
    const QString path = WorkbookFileDialogs::ChooseWorkbookToImport(parent);
    return path.isEmpty() ? 0 : FileOpen2Accept(path);
}

int WorkbookImport::FileOpen2Accept(const QString &path) {
    outcome = ImportOutcome();
    if (EnsureLibrary && !EnsureLibrary())
        return 0;
    if (!module->Connected()) {
        StandardBoxes::Error(parent, SheetImport::WriteFailedMessage("No library file is open."));
        return 0;
    }

    std::unique_ptr<WorkbookReader> reader;
    QStringList sheets;
    try {
        reader = OpenWorkbook(path);
        sheets = reader->SheetNames();
    } catch (const std::exception &e) {
        StandardBoxes::Error(parent, SheetImport::UnableToConnectMessage(FailureText(e)));
        return 0;
    }

    chooser->ComboBox1->clear();
    chooser->ComboBox1->addItems(sheets);
    chooser->exec();
    const QString sheet = chooser->ChosenSheetName;
    if (sheet.isEmpty())
        return 0;

    // The grid is not repainted card by card while the rows come in.
    QString failure, failureDetail;
    {
        TTable::ControlsOff quiet(*module->tb_library);
        {
            WorkProgress progress(parent, QStringLiteral("Reading the sheet..."), ProgressDelayMs);
            try {
                outcome = SheetImport::Run(
                    *reader, sheet, module->Connection(), [&progress](int done, int total) {
                        return progress.Step(
                            done, total,
                            total > 0 ? QString("Adding %1...")
                                            .arg(Counted(total, "new card", "new cards"))
                                      : QString("Reading the sheet: row %1...").arg(done));
                    });
            } catch (const SheetReadError &e) {
                failure = SheetImport::SheetFailureMessage(*reader, sheet, e.message());
            } catch (const std::exception &e) {
                failure = SheetImport::WriteFailedMessage(FailureReason(e));
                failureDetail = FailureDetail(e);
            }
        }
        try {
            if (outcome.added > 0 || !failure.isEmpty())
                module->tb_library->Refresh();
        } catch (const std::exception &e) {
            if (failure.isEmpty())
                failure = FailureText(e);
        }
    }

    if (!failure.isEmpty()) {
        outcome = ImportOutcome();
        StandardBoxes::Error(parent, failure, failureDetail);
        return 0;
    }
    switch (outcome.result) {
    case ImportOutcome::Result::TooFewRows:
        StandardBoxes::Error(parent, outcome.Message());
        break;
    case ImportOutcome::Result::Added:
        StandardBoxes::Information(parent, outcome.Message());
        break;
    case ImportOutcome::Result::Cancelled:
        break;
    }
    if (CardsAdded)
        CardsAdded(outcome.added);
    return outcome.added;
}
