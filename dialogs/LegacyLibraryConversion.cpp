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
#include <algorithm>
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
    // Answers mrYes, mrNo or mrCancel for the first, second or third of `buttons`
    // (one to three captions); one button is OK.
    int Show(const QString &caption, const QString &text, const QStringList &buttons = {}) {
        box->setWindowTitle(caption);
        // The main window's texts begin each line with LF CR.
        box->Label1->setText(QStringLiteral("\n\r") +
                             QString(text).replace(QLatin1Char('\n'), QStringLiteral("\n\r")));
        if (buttons.size() == 3)
            box->Set3Buttons();
        else if (buttons.size() == 2)
            box->Set2Buttons();
        else
            box->Set1Button();
        TBitBtnWithColor *const all[] = {box->Left_BitBtnWithColor, box->Center_BitBtnWithColor,
                                         box->Right_BitBtnWithColor};
        for (int i = 0; i < buttons.size() && i < 3; ++i)
            all[i]->setText(buttons[i]);
        return box->exec();
    }

private:
    std::unique_ptr<Tfrm_message> own;
    Tfrm_message *box = nullptr;
};

// Asks with the given answers, the last of which cancels; returns the index of the
// answer chosen (closing the box is the last).
int Ask(QWidget *parent, QuestionStyle style, const QString &text, const QStringList &answers) {
    if (style == QuestionStyle::ProgramMessageBox) {
        const int result = ProgramBox(parent).Show(Caption, text, answers);
        const int index = result == mrYes ? 0 : result == mrNo ? 1 : 2;
        return std::min<int>(index, int(answers.size()) - 1);
    }
    QMessageBox question(QMessageBox::Question, Caption, text, QMessageBox::NoButton, parent);
    question.setTextFormat(Qt::PlainText);
    QList<QPushButton *> buttons;
    for (int i = 0; i + 1 < answers.size(); ++i)
        buttons << question.addButton(answers[i], QMessageBox::AcceptRole);
    QPushButton *cancel = question.addButton(QMessageBox::Cancel);
    question.setTextFormat(Qt::PlainText);
    question.setDefaultButton(cancel);
    question.setEscapeButton(cancel);
    question.exec();
    const int chosen = int(buttons.indexOf(question.clickedButton()));
    return chosen < 0 ? int(answers.size()) - 1 : chosen;
}

void Report(QWidget *parent, QuestionStyle style, const QString &text, bool failure) {
    if (style == QuestionStyle::ProgramMessageBox) {
        ProgramBox(parent).Show(failure ? QStringLiteral("Error") : Caption, text);
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

QString EarlierCopyText(const QString &path, const QString &copyPath) {
    return QString("%1 is a library in the older Access format. Its copy in Lexomat's own "
                   "format, %2, is already beside it and holds what was studied in it. Open "
                   "that copy, or convert the original again into a new copy?")
        .arg(Quoted(QFileInfo(path).completeBaseName()), Quoted(QFileInfo(copyPath).fileName()));
}

QString Offer(QWidget *parent, const QString &path, QuestionStyle style) {
    const QString name = Quoted(QFileInfo(path).fileName());
    // The original is looked into before anything is asked: one that cannot be converted
    // is said so at once.
    try {
        WorkProgress progress(parent, QString("Looking into %1 ...").arg(name), ProgressAfterMs,
                              Caption);
        LegacyLibraryConverter::Inspect(
            path, [&progress](int done, int total) { return progress.Step(done, total); });
    } catch (const ConversionCancelled &) {
        return {};
    } catch (const LexomatError &error) {
        Report(parent, style, error.message(), true);
        return {};
    }
    const QString earlier = LegacyLibraryConverter::EarlierCopy(path);
    if (!earlier.isEmpty()) {
        const int answer = Ask(parent, style, EarlierCopyText(path, earlier),
                               {QStringLiteral("Open Copy"), QStringLiteral("Convert Again"),
                                QStringLiteral("Cancel")});
        if (answer == 0)
            return earlier;
        if (answer != 1)
            return {};
    }
    const QString copyPath = LegacyLibraryConverter::FreeCopyPath(path);
    if (earlier.isEmpty() && Ask(parent, style, QuestionText(path, copyPath),
                                 {QStringLiteral("Convert"), QStringLiteral("Cancel")}) != 0)
        return {};

    ConversionResult result;
    try {
        WorkProgress progress(parent, QString("Converting %1 ...").arg(name), ProgressAfterMs,
                              Caption);
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
