#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

struct UCollator;

// Locale-aware text order without regard to case (ICU, secondary strength). Sort keys
// come in parts of a fixed length, so that a million of them sort in one flat array and
// only texts that begin alike need more of theirs. One collator serves one thread.
class TextCollator {
public:
    // The user's locale, or where that is the C locale (raw code points) English, whose
    // order is the Unicode default order.
    static QLocale SortLocale();

    TextCollator(); // for SortLocale()
    ~TextCollator();
    TextCollator(const TextCollator &) = delete;
    TextCollator &operator=(const TextCollator &) = delete;

    // The next `bytes` bytes of the text's sort key, going on from state (zeroed for the
    // first part) and zero-padded; returns how many were written, fewer than `bytes` only
    // when the key has ended. Byte order of whole keys is the order of the texts.
    int KeyPart(const char *utf8, int size, uint32_t state[2], uint8_t *key, int bytes) const;
    int Compare(const QString &a, const QString &b) const;

private:
    UCollator *collator = nullptr;
};
