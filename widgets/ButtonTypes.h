#pragma once

// The kinds, layouts and styles of the coloured button, kept apart from the widget
// so that the layout and glyph code can use them without Qt Widgets.
enum TBitBtnWithColorKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// Drawing states, numbered as the images of a glyph strip are ordered.
enum TButtonState { bsUp = 0, bsDisabled = 1, bsDown = 2 };
