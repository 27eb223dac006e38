// What the coloured button paints, checked on grabbed images where it can go wrong:
// face, edge, pressed offset, active frame, disabled caption and glyph colours.
#include "widgets/TBitBtnWithColor.h"
#include <QPainter>
#include <QTest>

namespace {
const QColor face(200, 220, 255);

QRect DarkPixels(const QImage &image, const QRect &area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                box |= QRect(x, y, 1, 1);
    return box;
}

int Count(const QImage &image, QRgb color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == color;
    return n;
}

QImage Grab(QWidget &w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// 16 x 16, olive background, a red 4 x 4 square in the middle.
QPixmap RedSquareGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(128, 128, 0));
    QPainter painter(&pixmap);
    painter.fillRect(6, 6, 4, 4, Qt::red);
    return pixmap;
}
} // namespace

class TestBitBtnPainting : public QObject {
    Q_OBJECT
private slots:
    void faceEdgeAndCentredCaption();
    void pressedMovesCaptionByOnePixel();
    void activeButtonHasFrameAndDottedRect();
    void disabledCaptionIsGreyWithWhiteShadow();
    void glyphTransparencyTakesTheColour();
    void disabledGlyphUsesSystemColours();
};

void TestBitBtnPainting::faceEdgeAndCentredCaption() {
    TBitBtnWithColor button;
    button.resize(75, 25);
    button.setText("OK");
    button.SetColor(face);
    const QImage image = Grab(button);
    const QPalette &pal = button.palette();
    QCOMPARE(image.pixel(0, 0), pal.color(QPalette::Light).rgb());
    QCOMPARE(image.pixel(74, 24), pal.color(QPalette::Shadow).rgb());
    QCOMPARE(image.pixel(73, 23), pal.color(QPalette::Dark).rgb());
    QCOMPARE(image.pixel(3, 3), face.rgb());
    QCOMPARE(image.pixel(10, 12), face.rgb());

    const QRect caption = DarkPixels(image, QRect(3, 3, 69, 19));
    QVERIFY(caption.isValid());
    QVERIFY(qAbs(caption.left() - (74 - caption.right())) <= 2);
    QVERIFY(qAbs(caption.top() - (24 - caption.bottom())) <= 2);
}

void TestBitBtnPainting::pressedMovesCaptionByOnePixel() {
    TBitBtnWithColor button;
    button.resize(75, 25);
    button.setText("OK");
    button.SetColor(face);
    const QRect up = DarkPixels(Grab(button), QRect(4, 4, 67, 17));
    button.setDown(true);
    const QImage pressed = Grab(button);
    QCOMPARE(DarkPixels(pressed, QRect(4, 4, 67, 17)), up.translated(1, 1));
    // A one-pixel shadow border instead of the raised edge.
    QCOMPARE(pressed.pixel(0, 0), button.palette().color(QPalette::Dark).rgb());
    QCOMPARE(pressed.pixel(74, 24), button.palette().color(QPalette::Dark).rgb());
    QCOMPARE(pressed.pixel(1, 1), face.rgb());
}

void TestBitBtnPainting::activeButtonHasFrameAndDottedRect() {
    TBitBtnWithColor button;
    button.resize(75, 25);
    button.SetColor(face);
    QCOMPARE(QColor(Grab(button).pixel(4, 4)), face);
    button.SetDefault(true); // no focused button anywhere: the Default one is active
    QVERIFY(button.IsActive());
    const QImage image = Grab(button);
    QCOMPARE(image.pixel(0, 0), button.palette().color(QPalette::Shadow).rgb());
    const QRgb dot = qRgb(255 - face.red(), 255 - face.green(), 255 - face.blue());
    QCOMPARE(image.pixel(4, 4), dot);
    QCOMPARE(image.pixel(5, 4), face.rgb());
    QCOMPARE(image.pixel(6, 4), dot);
    QCOMPARE(image.pixel(70, 20), dot);
}

void TestBitBtnPainting::disabledCaptionIsGreyWithWhiteShadow() {
    TBitBtnWithColor button;
    QFont font = button.font();
    font.setStyleStrategy(QFont::NoAntialias); // exact colours only
    button.setFont(font);
    button.resize(75, 25);
    button.setText("Disabled");
    button.SetColor(QColor(0, 128, 255));
    button.setEnabled(false);
    const QImage image = Grab(button).copy(3, 3, 69, 19);
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb white = qRgb(255, 255, 255);
    int greys = 0, whites = 0;
    for (int y = 1; y < image.height() - 1; ++y) {
        for (int x = 1; x < image.width() - 1; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == grey) {
                ++greys;
                const QRgb below = image.pixel(x + 1, y + 1);
                QVERIFY(below == grey || below == white);
            } else if (pixel == white) {
                ++whites;
                QCOMPARE(image.pixel(x - 1, y - 1), grey); // the shadow of a grey pixel
            } else {
                QCOMPARE(pixel, qRgb(0, 128, 255));
            }
        }
    }
    QVERIFY(greys > 20);
    QVERIFY(whites > 10);
}

void TestBitBtnPainting::glyphTransparencyTakesTheColour() {
    TBitBtnWithColor button;
    button.resize(75, 25);
    button.SetGlyph(RedSquareGlyph());
    button.SetColor(QColor(0, 0, 255));
    QImage image = Grab(button);
    const QRgb olive = qRgb(128, 128, 0);
    QCOMPARE(Count(image, olive), 0);
    QCOMPARE(Count(image, qRgb(255, 0, 0)), 16);
    // Glyph centred: 16 x 16 at ((69 - 16 + 1) / 2 + 3, (19 - 16 + 1) / 2 + 3) = (30, 5).
    QCOMPARE(image.pixel(36, 11), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(31, 6), qRgb(0, 0, 255));

    button.SetColor(QColor(0, 255, 0));
    image = Grab(button);
    QCOMPARE(Count(image, olive), 0);
    QCOMPARE(image.pixel(31, 6), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(36, 11), qRgb(255, 0, 0));
}

void TestBitBtnPainting::disabledGlyphUsesSystemColours() {
    QPalette palette;
    palette.setColor(QPalette::Light, QColor(250, 250, 200));
    palette.setColor(QPalette::Dark, QColor(100, 60, 60));
    TBitBtnWithColor button;
    button.setPalette(palette);
    button.resize(75, 25);
    button.SetColor(Qt::white);
    button.SetKind(bkOK); // its second image is grey and white
    button.setEnabled(false);
    // Inside the raised edge, which has these colours too.
    QImage image = Grab(button).copy(3, 3, 69, 19);
    QCOMPARE(Count(image, qRgb(128, 128, 0)), 0);
    QVERIFY(Count(image, qRgb(100, 60, 60)) > 10);
    QVERIFY(Count(image, qRgb(250, 250, 200)) > 5);
    QCOMPARE(Count(image, qRgb(0, 128, 0)), 0); // not the green tick

    // A single image is embossed in the same colours.
    button.SetGlyph(RedSquareGlyph());
    image = Grab(button).copy(3, 3, 69, 19);
    QCOMPARE(Count(image, qRgb(255, 0, 0)), 0);
    QCOMPARE(Count(image, qRgb(100, 60, 60)), 16);
    QCOMPARE(Count(image, qRgb(250, 250, 200)), 7);
}

QTEST_MAIN(TestBitBtnPainting)
#include "test_bitbtn_painting.moc"
