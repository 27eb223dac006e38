// The coloured button's setter rules, kinds, layout arithmetic and shared glyph cache.
#include "widgets/ButtonLayout.h"
#include "widgets/KindGlyphs.h"
#include "widgets/ModalResult.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/TButtonGlyph.h"
#include "widgets/TGlyphCache.h"
#include <QApplication>
#include <QPainter>
#include <QTest>

namespace {
QPixmap Strip(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(QColor(128, 128, 0));
    return pixmap;
}
} // namespace

class TestBitBtnProperties : public QObject {
    Q_OBJECT
private slots:
    void valuesAtCreation();
    void glyphSetsNumGlyphsAndTransparentColour();
    void numGlyphsAndMarginRules();
    void kindsSetTheirSettings();
    void kindReadsCustomOnceChanged();
    void kindGlyphsAreStoredStrips();
    void layoutPlacesGlyphAndCaption_data();
    void layoutPlacesGlyphAndCaption();
    void glyphImagesShareOneListPerSize();
};

void TestBitBtnProperties::valuesAtCreation() {
    TBitBtnWithColor button;
    QCOMPARE(button.Color(), button.palette().color(QPalette::Button));
    QCOMPARE(button.Kind(), bkCustom);
    QCOMPARE(button.Layout(), blGlyphLeft);
    QCOMPARE(button.Margin(), -1);
    QCOMPARE(button.Spacing(), 4);
    QCOMPARE(button.NumGlyphs(), 1);
    QCOMPARE(button.ModalResult(), 0);
    QCOMPARE(button.Style(), bsAutoDetect);
    QVERIFY(!button.Default());
    QVERIFY(!button.Cancel());
    QVERIFY(button.Glyph().isNull());
    // Designer sets the properties by name.
    QVERIFY(button.setProperty("ModalResult", 6));
    QVERIFY(button.setProperty("Color", QColor(Qt::white)));
    QCOMPARE(button.ModalResult(), 6);
    QCOMPARE(button.Color(), QColor(Qt::white));
}

void TestBitBtnProperties::glyphSetsNumGlyphsAndTransparentColour() {
    TBitBtnWithColor button;
    QPixmap strip = Strip(36, 18);
    {
        QPainter painter(&strip);
        painter.fillRect(0, 17, 1, 1, QColor(0, 0, 255)); // bottom-left pixel
    }
    button.SetGlyph(strip);
    QCOMPARE(button.NumGlyphs(), 2);
    QCOMPARE(button.ButtonGlyph().TransparentColor(), qRgb(0, 0, 255));
    QCOMPARE(button.ButtonGlyph().GlyphSize(), QSize(18, 18));

    button.SetGlyph(Strip(100, 20)); // quotient 5
    QCOMPARE(button.NumGlyphs(), 1);
    button.SetGlyph(Strip(72, 18));
    QCOMPARE(button.NumGlyphs(), 4);
    button.SetGlyph(Strip(40, 18)); // not a multiple: kept
    QCOMPARE(button.NumGlyphs(), 4);
    QCOMPARE(button.ButtonGlyph().GlyphSize(), QSize(10, 18));
    button.SetGlyph(QPixmap()); // empty: kept
    QCOMPARE(button.NumGlyphs(), 4);
    QCOMPARE(button.ButtonGlyph().GlyphSize(), QSize(0, 0));
}

void TestBitBtnProperties::numGlyphsAndMarginRules() {
    TBitBtnWithColor button;
    button.SetNumGlyphs(7);
    QCOMPARE(button.NumGlyphs(), 4);
    button.SetNumGlyphs(0);
    QCOMPARE(button.NumGlyphs(), 4);
    button.SetNumGlyphs(3);
    QCOMPARE(button.NumGlyphs(), 3);

    button.SetMargin(-5);
    QCOMPARE(button.Margin(), -1);
    button.SetMargin(6);
    button.SetMargin(-2);
    QCOMPARE(button.Margin(), 6);
    button.SetMargin(-1);
    QCOMPARE(button.Margin(), -1);
}

void TestBitBtnProperties::kindsSetTheirSettings() {
    TBitBtnWithColor button;
    button.setText("Keep me?");
    button.SetKind(bkNo);
    QCOMPARE(button.ModalResult(), int(mrNo));
    QVERIFY(button.Cancel());
    QVERIFY(!button.Default());
    QCOMPARE(button.text(), QString("&No"));
    QCOMPARE(button.NumGlyphs(), 2);
    QCOMPARE(button.Glyph().size(), QSize(36, 18));
    QCOMPARE(button.Glyph().toImage(), KindGlyphs(bkNo).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(button.Kind(), bkNo);

    button.SetKind(bkOK);
    QCOMPARE(button.ModalResult(), int(mrOk));
    QVERIFY(button.Default());
    QVERIFY(!button.Cancel());
    QCOMPARE(button.text(), QString("OK"));

    // bkAll's strip is 36 x 19: not a multiple, the kind makes it two images.
    button.SetKind(bkAll);
    QCOMPARE(button.ModalResult(), int(mrAll));
    QCOMPARE(button.NumGlyphs(), 2);
    QCOMPARE(button.ButtonGlyph().GlyphSize(), QSize(18, 19));

    // bkCustom changes nothing but the kind.
    button.SetKind(bkCustom);
    QCOMPARE(button.ModalResult(), int(mrAll));
    QCOMPARE(button.text(), QString("&All"));
    QCOMPARE(button.NumGlyphs(), 2);
}

void TestBitBtnProperties::kindReadsCustomOnceChanged() {
    TBitBtnWithColor button;
    button.SetKind(bkYes);
    button.SetColor(Qt::white); // the same glyph in a new colour: still a Yes button
    QCOMPARE(button.Kind(), bkYes);
    button.SetModalResult(mrOk);
    QCOMPARE(button.Kind(), bkCustom);
    // Once it read bkCustom it stays so, even when the value comes back.
    button.SetModalResult(mrYes);
    QCOMPARE(button.Kind(), bkCustom);

    button.SetKind(bkCancel);
    button.SetCancel(false);
    QCOMPARE(button.Kind(), bkCustom);
    button.SetKind(bkCancel);
    button.SetDefault(true);
    QCOMPARE(button.Kind(), bkCustom);
    button.SetKind(bkRetry);
    button.SetGlyph(button.Glyph()); // replaced, even by itself
    QCOMPARE(button.Kind(), bkCustom);
    button.SetKind(bkIgnore);
    button.setText("Skip");
    QCOMPARE(button.Kind(), bkIgnore);

    // Setting the kind again makes the button match it again.
    button.SetModalResult(mrNone);
    button.SetKind(bkIgnore);
    QCOMPARE(button.ModalResult(), int(mrIgnore));
    QCOMPARE(button.Kind(), bkIgnore);
}

void TestBitBtnProperties::kindGlyphsAreStoredStrips() {
    for (int k = bkOK; k <= bkAll; ++k) {
        const QImage strip = KindGlyphs(TBitBtnWithColorKind(k));
        QVERIFY2(!strip.isNull(), KindSettings(TBitBtnWithColorKind(k)).resourceName);
        QCOMPARE(strip.size(), k == bkAll ? QSize(36, 19) : QSize(36, 18));
        QVERIFY(strip.colorCount() > 0 && strip.colorCount() <= 16);
        QCOMPARE(strip.pixel(0, strip.height() - 1), qRgb(128, 128, 0));
    }
    QVERIFY(KindGlyphs(bkCustom).isNull());
}

void TestBitBtnProperties::layoutPlacesGlyphAndCaption_data() {
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("glyph");
    QTest::addColumn<QSize>("text");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QPoint>("glyphPos");
    QTest::addColumn<QPoint>("textPos");
    // Client 10,5 75 x 25. Centring rounds up: (25 - 18 + 1) / 2 = 4, (25 - 0 + 1) / 2 = 13.
    QTest::newRow("caption only, centred")
        << int(blGlyphLeft) << QSize(0, 0) << QSize(20, 13) << -1 << 4 << QPoint(10 + 28, 5 + 13)
        << QPoint(10 + 28, 5 + 6);
    QTest::newRow("left, group centred") << int(blGlyphLeft) << QSize(18, 18) << QSize(20, 13) << -1
                                         << 4 << QPoint(10 + 17, 5 + 4) << QPoint(10 + 39, 5 + 6);
    QTest::newRow("left, spread evenly") << int(blGlyphLeft) << QSize(18, 18) << QSize(20, 13) << -1
                                         << -1 << QPoint(10 + 12, 5 + 4) << QPoint(10 + 42, 5 + 6);
    QTest::newRow("left, margin given") << int(blGlyphLeft) << QSize(18, 18) << QSize(20, 13) << 3
                                        << -1 << QPoint(10 + 3, 5 + 4) << QPoint(10 + 38, 5 + 6);
    QTest::newRow("right, both given") << int(blGlyphRight) << QSize(18, 18) << QSize(20, 13) << 2
                                       << 5 << QPoint(10 + 55, 5 + 4) << QPoint(10 + 30, 5 + 6);
    QTest::newRow("top, centred") << int(blGlyphTop) << QSize(10, 8) << QSize(20, 9) << -1 << 2
                                  << QPoint(10 + 33, 5 + 3) << QPoint(10 + 28, 5 + 13);
    QTest::newRow("bottom, spread") << int(blGlyphBottom) << QSize(10, 8) << QSize(21, 9) << -1
                                    << -1 << QPoint(10 + 33, 5 + 15) << QPoint(10 + 27, 5 + 4);
    // A negative difference truncates toward zero: (20 - 30 + 1) / 2 = -4.
    QTest::newRow("caption wider than client")
        << int(blGlyphLeft) << QSize(0, 0) << QSize(80, 13) << -1 << 4 << QPoint(10 - 2, 5 + 13)
        << QPoint(10 - 2, 5 + 6);
}

void TestBitBtnProperties::layoutPlacesGlyphAndCaption() {
    QFETCH(int, layout);
    QFETCH(QSize, glyph);
    QFETCH(QSize, text);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(QPoint, glyphPos);
    QFETCH(QPoint, textPos);
    const TButtonPlacement place =
        CalcButtonLayout(QRect(10, 5, 75, 25), glyph, text, TButtonLayout(layout), margin, spacing);
    QCOMPARE(place.glyphPos, glyphPos);
    QCOMPARE(place.textBounds.topLeft(), textPos);
    QCOMPARE(place.textBounds.size(), text);
}

void TestBitBtnProperties::glyphImagesShareOneListPerSize() {
    QVERIFY(GlyphCache == nullptr);
    {
        auto first = std::make_unique<TBitBtnWithColor>();
        auto second = std::make_unique<TBitBtnWithColor>();
        auto other = std::make_unique<TBitBtnWithColor>();
        first->SetKind(bkOK);
        second->SetKind(bkCancel);
        other->SetGlyph(Strip(20, 20));
        for (auto *b : {first.get(), second.get(), other.get()}) {
            b->resize(75, 25);
            b->grab();
        }
        QVERIFY(GlyphCache);
        QCOMPARE(GlyphCache->ListCount(), 2); // 18 x 18 and 20 x 20
        TGlyphList *list = GlyphCache->GetList(QSize(18, 18));
        QCOMPARE(list->Count(), 2); // the up image of each

        second->setEnabled(false);
        second->grab();
        QCOMPARE(list->Count(), 3);
        QVERIFY(second->ButtonGlyph().IsBuilt(bsDisabled));
        // Built once: painting again adds nothing.
        second->grab();
        first->grab();
        QCOMPARE(list->Count(), 3);

        // A colour change drops the images; the next paint reuses the free slots.
        const int capacity = list->Capacity();
        second->SetColor(Qt::yellow);
        QCOMPARE(list->Count(), 1);
        second->grab();
        QCOMPARE(list->Count(), 2);
        QCOMPARE(list->Capacity(), capacity);

        other.reset(); // its list goes with its last image
        QCOMPARE(GlyphCache->ListCount(), 1);
    }
    // The last glyph object took the cache with it.
    QVERIFY(GlyphCache == nullptr);
}

QTEST_MAIN(TestBitBtnProperties)
#include "test_bitbtn_properties.moc"
