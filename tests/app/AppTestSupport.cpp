#include "tests/app/AppTestSupport.h"

#include "app/StartupSequence.h"
#include "app/TForm1.h"
#include "platform/BesideFiles.h"
#include "tests/support/ModalAnswerer.h"
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QtEndian>

namespace AppTest {

namespace {
int endRequests = 0;

void writeScrambled(const QString &path, const QStringList &lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (const QString &line : lines)
        file.write(EnDeCrypt(line.toUtf8()) + "\r\n");
}

void writeSound(const QString &path) {
    // A Sun .au header followed by a short 8-bit u-law tone.
    QByteArray data;
    const quint32 header[] = {0x2e736e64, 24, 800, 1, 8000, 1};
    for (quint32 word : header) {
        const quint32 big = qToBigEndian(word);
        data.append(reinterpret_cast<const char *>(&big), 4);
    }
    for (int i = 0; i < 800; ++i)
        data.append(static_cast<char>(i % 16 < 8 ? 0x20 : 0xa0));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
}
} // namespace

void WriteBesideFiles(bool withLogo, bool withMain) {
    QDir().mkpath(QStringLiteral("elements"));
    if (withLogo) {
        QImage logo(260, 75, QImage::Format_RGB32);
        logo.fill(QColor(30, 90, 160));
        logo.save(QStringLiteral("elements/logo.bmp"), "BMP");
    }
    if (withMain)
        writeScrambled(QStringLiteral("elements/main.txt"), {Title, LinkCaption, SiteLink});
    writeScrambled(QStringLiteral("elements/about.txt"),
                   {QStringLiteral("Study Works"), QStringLiteral("Our pages"),
                    QStringLiteral("about.example.org"), QStringLiteral("contact.example.org")});
    writeSound(QStringLiteral("wrong.au"));
}

Session::Session() : ws(std::make_unique<TestWorkspace>(false)) {
    WriteBesideFiles();
    CreateAllWindows();
    Form1->SeedRandom(20261207);
    Form1->show();
    if (!QTest::qWaitForWindowActive(Form1))
        qWarning("main window did not become active");
}

Session::~Session() {
    DestroyAllWindows();
    ws.reset();
}

QString Session::library(const QString &name) const {
    return ws->file("library/" + name);
}

void ClickMenuItem(QMenu *menu, QAction *action) {
    QMenuBar *bar = Form1->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000))
        qWarning("menu %s did not open", qPrintable(menu->objectName()));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

void ClickBarItem(QAction *action) {
    QMenuBar *bar = Form1->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(action).center());
}

void ClickLabel(QWidget *label) {
    QTest::mouseClick(label, Qt::LeftButton);
}

void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    Form1->activateWindow();
    if (!QTest::qWaitForWindowActive(Form1))
        qWarning("main window is not active");
    QTest::keyClick(Form1, key, modifiers);
}

void OpenThroughMenu(const QString &path, const QStringList &answersBefore) {
    ModalAnswerer answer;
    for (const QString &button : answersBefore)
        answer.clickButton(button);
    answer.chooseFile(path);
    ClickMenuItem(Form1->File1, Form1->act_open);
    if (!answer.done())
        qWarning("not every expected window came up while opening %s", qPrintable(path));
}

void BlockWrites(const QString &path) {
    QDir().mkpath(path + "-journal");
}
void UnblockWrites(const QString &path) {
    QDir(path + "-journal").removeRecursively();
}

void InitTestCase() {
    InstallFontSubstitutes();
    TForm1::SetEndProgram([](int) { ++endRequests; });
}
int EndRequests() {
    return endRequests;
}
void ResetEndRequests() {
    endRequests = 0;
}

} // namespace AppTest
