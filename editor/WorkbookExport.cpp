#include "editor/WorkbookExport.h"

#include "editor/StandardBoxes.h"
#include "editor/WorkbookFileDialogs.h"
#include "platform/FailureText.h"
#include "platform/LexomatError.h"
#include "store/Tdm.h"
#include "widgets/WorkProgress.h"

#include <QDir>
#include <QFileInfo>

WorkbookExport::WorkbookExport(QWidget *parent, Tdm *module) : parent(parent), module(module) {}

bool WorkbookExport::Execute() {
    const QString path = WorkbookFileDialogs::ChooseExportTarget(parent);
    return !path.isEmpty() && FileSaveAs2Accept(path);
}

bool WorkbookExport::FileSaveAs2Accept(const QString &chosen) {
    outcome = LibraryExport::Outcome();
    lastPath.clear();
    if (EnsureLibrary && !EnsureLibrary())
        return false;
    QString path = chosen;
    try {
        if (!module->Connected())
            throw LexomatError("No library file is open.");
        LibraryConnection &library = module->Connection();
        LibraryExport::RefuseTarget(library, path);
        const int64_t cards = LibraryExport::CardCount(library);
        if (LibraryExport::FormatOf(path) == LibraryExport::Format::Xls &&
            cards > LibraryExport::XlsCardLimit()) {
            // Never cut a library silently: offer the format that holds it.
            if (!StandardBoxes::Confirm(parent, LibraryExport::TooManyForXlsQuestion(cards)))
                return false;
            const QFileInfo info(path);
            path = WorkbookFileDialogs::ChooseExportTarget(
                parent, true, info.dir().filePath(info.completeBaseName() + ".xlsx"));
            if (path.isEmpty())
                return false;
            if (LibraryExport::FormatOf(path) != LibraryExport::Format::Xlsx) {
                StandardBoxes::Error(
                    parent, LibraryExport::FailedMessage(
                                LibraryExport::TooManyForXlsQuestion(cards).section('\n', 0, 0)));
                return false;
            }
        }
        WorkProgress progress(parent, QStringLiteral("Exporting the cards..."), ProgressDelayMs);
        outcome = LibraryExport::Run(library, path, [&progress](int64_t done, int64_t total) {
            return progress.Step(done, total,
                                 QString("Exporting card %1 of %2...").arg(done).arg(total));
        });
    } catch (const std::exception &e) {
        outcome = LibraryExport::Outcome();
        StandardBoxes::Error(parent, LibraryExport::FailedMessage(FailureReason(e)),
                             FailureDetail(e));
        return false;
    }
    if (outcome.cancelled)
        return false;
    lastPath = path;
    const QString message = outcome.Message();
    if (!message.isEmpty())
        StandardBoxes::Information(parent, message);
    return true;
}
