#pragma once

#include <QByteArrayView>
#include <QString>

// Decodes the byte strings of older workbooks (Excel 5 and 95) through the code
// page the workbook names in its CODEPAGE record, with the C library's iconv.
class CodePageDecoder {
public:
    explicit CodePageDecoder(int codePage = 1252);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder &) = delete;
    CodePageDecoder &operator=(const CodePageDecoder &) = delete;

    void SetCodePage(int codePage);
    // Bytes that the code page does not map become U+FFFD.
    QString Decode(QByteArrayView bytes) const;

private:
    void *converter = nullptr; // iconv_t, or null for Latin-1
    bool windows1252 = false;  // the shared decoder, which keeps every byte
};
