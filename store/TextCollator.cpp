#include "store/TextCollator.h"

#include "platform/LexomatError.h"

#include <cstring>
#include <unicode/ucol.h>
#include <unicode/uiter.h>

QLocale TextCollator::SortLocale() {
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : system;
}

TextCollator::TextCollator() {
    UErrorCode status = U_ZERO_ERROR;
    collator = ucol_open(SortLocale().name().toUtf8().constData(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator = ucol_open("", &status); // the root order
    }
    if (U_FAILURE(status) || !collator)
        throw LexomatError(QString("Texts cannot be sorted: %1.").arg(u_errorName(status)));
    // Secondary strength: accents count, case does not.
    ucol_setStrength(collator, UCOL_SECONDARY);
}

TextCollator::~TextCollator() {
    if (collator)
        ucol_close(collator);
}

int TextCollator::KeyPart(const char *utf8, int size, uint32_t state[2], uint8_t *key,
                          int bytes) const {
    UCharIterator it;
    uiter_setUTF8(&it, utf8, size);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written = ucol_nextSortKeyPart(collator, &it, state, key, bytes, &status);
    const int32_t n = U_FAILURE(status) ? 0 : written;
    std::memset(key + n, 0, size_t(bytes - n));
    return n;
}

int TextCollator::Compare(const QString &a, const QString &b) const {
    const UCollationResult r =
        ucol_strcoll(collator, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                     reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()));
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}
