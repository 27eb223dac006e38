#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

struct UCollator;

// Locale-aware text order without regard to case (ICU, secondary strength), with sort
// keys cut to a fixed length so that a million keys sort in one flat array.
class TextCollator {
public:
    static constexpr int KeyBytes = 24;

    // The user's locale, or where that is the C locale (raw code points) English, whose
    // order is the Unicode default order.
    static QLocale SortLocale();

    TextCollator(); // for SortLocale()
    ~TextCollator();
    TextCollator(const TextCollator &) = delete;
    TextCollator &operator=(const TextCollator &) = delete;

    // The first KeyBytes bytes of the text's sort key, zero-padded; true when that is
    // the whole key (so equal keys mean equal texts in this order).
    bool PartialKey(const char *utf8, int size, uint8_t *key) const;
    int Compare(const QString &a, const QString &b) const;

private:
    UCollator *collator = nullptr;
};
