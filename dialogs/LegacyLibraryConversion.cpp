#include "dialogs/LegacyLibraryConversion.h"

#include "dialogs/Tfrm_message.h"
#include "formats/LibraryFileKind.h"
#include "store/LegacyLibraryConverter.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/WorkProgress.h"

#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace {
const QString Caption = QStringLiteral("Convert Library");
constexpr int ProgressAfterMs = 500;

// The program's box of the main window, or one of its own when there is none.
class ProgramBox {
public:
    explicit ProgramBox(QWidget *parent) {
        if (!frm_message)
            own = std::make_unique<Tfrm_message>(parent);
        box = frm_message ? frm_message : own.get();
    }
    int Show(const QString &caption, const QString &text, bool convertOrCancel) {
        box->setWindowTitle(caption);
        // The main window's texts begin each line with LF CR.
        box->Label1->setText(QStringLiteral("\n\r") +
                             QString(text).replace(QLatin1Char('\n'), QStringLiteral("\n\r")));
        if (convertOrCancel) {
            box->Set2Buttons();
            box->Left_BitBtnWithColor->setText(QStringLiteral("Convert"));
            box->Center_BitBtnWithColor->setText(QStringLiteral("Cancel"));
        } else {
            box->Set1Button();
        }
        return box->exec();
    }

private:
    std::unique_ptr<Tfrm_message> own;
    Tfrm_message *box = nullptr;
};

bool AskToConvert(QWidget *parent, QuestionStyle style, const QString &text) {
    if (style == QuestionStyle::ProgramMessageBox)
        return ProgramBox(parent).Show(Caption, text, true) == mrYes;
    QMessageBox question(QMessageBox::Question, Caption, text, QMessageBox::NoButton, parent);
    QPushButton *convert = question.addButton(QStringLiteral("Convert"), QMessageBox::AcceptRole);
    QPushButton *cancel = question.addButton(QMessageBox::Cancel);
    question.setTextFormat(Qt::PlainText);
    question.setDefaultButton(cancel);
    question.setEscapeButton(cancel);
    question.exec();
    return question.clickedButton() == convert;
}

void Report(QWidget *parent, QuestionStyle style, const QString &text, bool failure) {
    if (style == QuestionStyle::ProgramMessageBox) {
        ProgramBox(parent).Show(failure ? QStringLiteral("Error") : Caption, text, false);
        return;
    }
    QMessageBox box(failure ? QMessageBox::Critical : QMessageBox::Information, Caption, text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString Quoted(const QString &name) {
    return QStringLiteral("\u201C") + name + QStringLiteral("\u201D");
}
} // namespace

namespace LegacyLibraryConversion {

QString QuestionText(const QString &path, const QString &copyPath) {
    return QString("%1 is a library in the older Access format. Lexomat will make a copy in its "
                   "own format beside it, %2, and open that copy. The original file is not "
                   "changed.")
        .arg(Quoted(QFileInfo(path).completeBaseName()), Quoted(QFileInfo(copyPath).fileName()));
}

QString Offer(QWidget *parent, const QString &path, QuestionStyle style) {
    const QString copyPath = LegacyLibraryConverter::FreeCopyPath(path);
    if (!AskToConvert(parent, style, QuestionText(path, copyPath)))
        return {};

    ConversionResult result;
    try {
        WorkProgress progress(parent,
                              QString("Converting %1 ...").arg(Quoted(QFileInfo(path).fileName())),
                              ProgressAfterMs, Caption);
        result = LegacyLibraryConverter::Convert(path, copyPath, [&progress](int done, int total) {
            return progress.Step(done, total);
        });
    } catch (const ConversionCancelled &) {
        return {};
    } catch (const LexomatError &error) {
        Report(parent, style, error.message(), true);
        return {};
    }
    Report(
        parent, style,
        QString("%1 was made.\n%2")
            .arg(Quoted(QFileInfo(copyPath).fileName()), LegacyLibraryConverter::Summary(result)),
        false);
    return copyPath;
}

QString PathToOpen(QWidget *parent, const QString &path, QuestionStyle style) {
    if (!IsLegacyAccessKind(DetectLibraryFileKind(path)))
        return path;
    return Offer(parent, path, style);
}

} // namespace LegacyLibraryConversion
