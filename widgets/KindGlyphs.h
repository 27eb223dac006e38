#pragma once

#include "widgets/ButtonTypes.h"
#include <QImage>
#include <QString>

// What setting a kind gives the button.
struct TKindSettings {
    const char *resourceName; // glyph strip, e.g. "BBCOK"; null for bkCustom
    int modalResult;
    bool isDefault;
    bool cancel;
    const char *caption;
};

const TKindSettings &KindSettings(TBitBtnWithColorKind kind);

// The glyph strip of a kind, loaded on first use and kept for the run (null for
// bkCustom).
QImage KindGlyphs(TBitBtnWithColorKind kind);
