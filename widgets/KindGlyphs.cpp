#include "widgets/KindGlyphs.h"

#include "widgets/ModalResult.h"
#include <array>

// Resources of a static library are registered only when asked for by name.
static void InitGlyphResources() {
    Q_INIT_RESOURCE(glyphs);
}

namespace {
constexpr int kindCount = bkAll + 1;

const std::array<TKindSettings, kindCount> kinds = {{
    {nullptr, mrNone, false, false, ""},
    {"BBCOK", mrOk, true, false, "OK"},
    {"BBCCANCEL", mrCancel, false, true, "Cancel"},
    {"BBCHELP", mrNone, false, false, "&Help"},
    {"BBCYES", mrYes, true, false, "&Yes"},
    {"BBCNO", mrNo, false, true, "&No"},
    {"BBCCLOSE", mrNone, false, false, "&Close"},
    {"BBCABORT", mrAbort, false, false, "Abort"},
    {"BBCRETRY", mrRetry, false, false, "&Retry"},
    {"BBCIGNORE", mrIgnore, false, false, "&Ignore"},
    {"BBCALL", mrAll, false, false, "&All"},
}};
} // namespace

const TKindSettings &KindSettings(TBitBtnWithColorKind kind) {
    const int index = kind >= 0 && kind < kindCount ? int(kind) : 0;
    return kinds[index];
}

QImage KindGlyphs(TBitBtnWithColorKind kind) {
    static std::array<QImage, kindCount> images;
    static std::array<bool, kindCount> loaded{};
    const TKindSettings &settings = KindSettings(kind);
    if (!settings.resourceName)
        return {};
    if (!loaded[kind]) {
        static const bool registered = (InitGlyphResources(), true);
        Q_UNUSED(registered);
        images[kind] =
            QImage(QStringLiteral(":/widgets/glyphs/") + QLatin1String(settings.resourceName));
        loaded[kind] = true;
    }
    return images[kind];
}
