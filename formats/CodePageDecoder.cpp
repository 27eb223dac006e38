#include "formats/CodePageDecoder.h"
#include "formats/Windows1252.h"

#include <iconv.h>
#include <vector>

namespace {

const char *iconvName(int codePage) {
    switch (codePage) {
    case 367:
        return "ASCII";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 1361:
        return "JOHAB";
    case 10000:
    case 32768:
        return "MACINTOSH";
    case 437:
    case 737:
    case 775:
    case 850:
    case 852:
    case 855:
    case 857:
    case 860:
    case 861:
    case 862:
    case 863:
    case 864:
    case 865:
    case 866:
    case 869:
    case 1250:
    case 1251:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
        return nullptr; // "CP" and the number
    default:
        return "CP1252"; // 1252, 32769 and whatever a workbook claims without reason
    }
}

} // namespace

CodePageDecoder::CodePageDecoder(int codePage) {
    SetCodePage(codePage);
}

CodePageDecoder::~CodePageDecoder() {
    if (converter)
        iconv_close(static_cast<iconv_t>(converter));
}

void CodePageDecoder::SetCodePage(int codePage) {
    if (converter)
        iconv_close(static_cast<iconv_t>(converter));
    converter = nullptr;
    const char *name = iconvName(codePage);
    windows1252 = name && qstrcmp(name, "CP1252") == 0;
    if (windows1252)
        return;
    const QByteArray numbered = "CP" + QByteArray::number(codePage);
    iconv_t opened = iconv_open("UTF-16LE", name ? name : numbered.constData());
    if (opened != reinterpret_cast<iconv_t>(-1))
        converter = opened;
}

QString CodePageDecoder::Decode(QByteArrayView bytes) const {
    if (windows1252)
        return Windows1252::Decode(bytes);
    if (!converter)
        return QString::fromLatin1(bytes);
    iconv_t cd = static_cast<iconv_t>(converter);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char16_t> out(size_t(bytes.size()) * 2 + 4);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *outAt = reinterpret_cast<char *>(out.data());
    size_t outLeft = out.size() * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outAt, &outLeft) != size_t(-1))
            break;
        if (outLeft < 2)
            break;
        // An unmapped or cut sequence: one replacement character, then go on.
        *reinterpret_cast<char16_t *>(outAt) = u'\uFFFD';
        outAt += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    return QString(reinterpret_cast<const QChar *>(out.data()),
                   (outAt - reinterpret_cast<char *>(out.data())) / 2);
}
