#include "tests/fuzz/ZipPartMutator.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t maxSize);

namespace {

constexpr size_t MaxUnpacked = 4 << 20; // a seed workbook is far smaller

struct Part {
    std::string name;
    std::string data;
};

uint32_t le16(const uint8_t *p) {
    return p[0] | (p[1] << 8);
}
uint32_t le32(const uint8_t *p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
void put16(std::string &to, uint32_t v) {
    to.push_back(char(v & 0xFF));
    to.push_back(char((v >> 8) & 0xFF));
}
void put32(std::string &to, uint32_t v) {
    put16(to, v & 0xFFFF);
    put16(to, v >> 16);
}

bool inflateRaw(const uint8_t *in, size_t size, size_t expected, std::string &out) {
    if (expected > MaxUnpacked)
        return false;
    out.assign(expected, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = const_cast<Bytef *>(in);
    z.avail_in = uInt(size);
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(expected);
    const int result = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return result == Z_STREAM_END && z.avail_out == 0;
}

// The entries of a zip archive, through its central directory; false for anything
// this simple reader does not follow (which is then mutated as bytes).
bool unzip(const uint8_t *data, size_t size, std::vector<Part> &parts) {
    if (size < 22)
        return false;
    size_t end = size - 22;
    while (end > 0 && std::memcmp(data + end, "PK\x05\x06", 4) != 0)
        --end;
    if (std::memcmp(data + end, "PK\x05\x06", 4) != 0)
        return false;
    const uint32_t count = le16(data + end + 10);
    size_t at = le32(data + end + 16);
    size_t total = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + 46 > size || std::memcmp(data + at, "PK\x01\x02", 4) != 0)
            return false;
        const uint32_t method = le16(data + at + 10);
        const uint32_t compressed = le32(data + at + 20);
        const uint32_t unpacked = le32(data + at + 24);
        const uint32_t nameLength = le16(data + at + 28);
        const size_t next = at + 46 + nameLength + le16(data + at + 30) + le16(data + at + 32);
        const size_t local = le32(data + at + 42);
        if (next > size || local + 30 > size || (total += unpacked) > MaxUnpacked)
            return false;
        const size_t body = local + 30 + le16(data + local + 26) + le16(data + local + 28);
        if (body > size || compressed > size - body)
            return false;
        Part part{std::string(reinterpret_cast<const char *>(data + at + 46), nameLength), {}};
        if (method == 0)
            part.data.assign(reinterpret_cast<const char *>(data + body), compressed);
        else if (method != 8 || !inflateRaw(data + body, compressed, unpacked, part.data))
            return false;
        parts.push_back(std::move(part));
        at = next;
    }
    return !parts.empty();
}

std::string zip(const std::vector<Part> &parts, bool deflated) {
    std::string out, directory;
    for (const Part &part : parts) {
        std::string stored = part.data;
        uint32_t method = 0;
        if (deflated && !part.data.empty()) {
            uLongf length = compressBound(uLong(part.data.size()));
            std::string packed(length, '\0');
            z_stream z{};
            if (deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK) {
                z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(part.data.data()));
                z.avail_in = uInt(part.data.size());
                z.next_out = reinterpret_cast<Bytef *>(packed.data());
                z.avail_out = uInt(packed.size());
                if (deflate(&z, Z_FINISH) == Z_STREAM_END) {
                    packed.resize(z.total_out);
                    stored = packed;
                    method = 8;
                }
                deflateEnd(&z);
            }
        }
        const uint32_t crc = uint32_t(
            crc32(0, reinterpret_cast<const Bytef *>(part.data.data()), uInt(part.data.size())));
        const uint32_t offset = uint32_t(out.size());
        std::string header;
        put16(header, 20);     // version needed
        put16(header, 0x0800); // UTF-8 names
        put16(header, method);
        put32(header, 0); // time and date
        put32(header, crc);
        put32(header, uint32_t(stored.size()));
        put32(header, uint32_t(part.data.size()));
        put16(header, uint32_t(part.name.size()));
        put16(header, 0); // extra
        out += "PK\x03\x04" + header + part.name + stored;
        directory += "PK\x01\x02";
        put16(directory, 20); // made by
        directory += header;
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        directory += part.name;
    }
    const uint32_t directoryAt = uint32_t(out.size());
    out += directory;
    out += "PK\x05\x06";
    put32(out, 0);
    put16(out, uint32_t(parts.size()));
    put16(out, uint32_t(parts.size()));
    put32(out, uint32_t(directory.size()));
    put32(out, directoryAt);
    put16(out, 0);
    return out;
}

using Random = std::minstd_rand;

template <typename T> const T &pick(Random &random, const std::vector<T> &from) {
    return from[random() % from.size()];
}

// Values where the readers decide something: indexes at the ends of tables, cell
// references at the ends of a sheet, repeat counts, paths above the root, escapes.
const std::vector<std::string> &interestingValues() {
    static const std::vector<std::string> values = {"0",
                                                    "1",
                                                    "2",
                                                    "3",
                                                    "-1",
                                                    "65535",
                                                    "65536",
                                                    "1048575",
                                                    "1048576",
                                                    "1048577",
                                                    "2147483647",
                                                    "2147483648",
                                                    "4294967295",
                                                    "4294967296",
                                                    "99999999999999999999",
                                                    "1e300",
                                                    "NaN",
                                                    "",
                                                    " ",
                                                    "A1",
                                                    "B1",
                                                    "B2",
                                                    "C1",
                                                    "XFD1",
                                                    "XFE1",
                                                    "A0",
                                                    "A1048576",
                                                    "A1048577",
                                                    "AAAA1",
                                                    "b2",
                                                    "1A",
                                                    "A",
                                                    "$A$1",
                                                    "../xl/workbook.xml",
                                                    "/xl/workbook.xml",
                                                    "../../../x/sheet1.xml",
                                                    "worksheets/../../../sheet1.xml",
                                                    "/",
                                                    ".",
                                                    "..",
                                                    "XL/WORKSHEETS/SHEET1.XML",
                                                    "worksheets/sheet1.xml",
                                                    "/xl/worksheets/sheet1.xml",
                                                    "sharedStrings.xml",
                                                    "styles.xml",
                                                    "%2e%2e/xl/workbook.xml",
                                                    "xl%2Fworkbook.xml",
                                                    "_x0041_",
                                                    "_x005F_x0041_",
                                                    "ab_x00",
                                                    "_xD83D_",
                                                    "_xD83D__xDE00_",
                                                    "&amp;",
                                                    "&#0;",
                                                    "&#x1F600;",
                                                    "s",
                                                    "str",
                                                    "inlineStr",
                                                    "b",
                                                    "e",
                                                    "d",
                                                    "n",
                                                    "true",
                                                    "false",
                                                    "External",
                                                    "Internal",
                                                    "string",
                                                    "float",
                                                    "date",
                                                    "boolean",
                                                    "percentage",
                                                    "2024-03-15",
                                                    "1900-02-29"};
    return values;
}

// The attributes and elements whose values the mutations change.
const std::vector<std::string> &attributes() {
    static const std::vector<std::string> names = {"Target",
                                                   "Id",
                                                   "Type",
                                                   "TargetMode",
                                                   "r",
                                                   "t",
                                                   "s",
                                                   "r:id",
                                                   "name",
                                                   "date1904",
                                                   "numFmtId",
                                                   "count",
                                                   "uniqueCount",
                                                   "spans",
                                                   "table:number-columns-repeated",
                                                   "table:number-rows-repeated",
                                                   "text:c",
                                                   "office:value-type",
                                                   "office:value",
                                                   "office:string-value",
                                                   "office:date-value",
                                                   "table:name"};
    return names;
}
const std::vector<std::string> &elements() {
    static const std::vector<std::string> names = {"Relationship",
                                                   "sheet",
                                                   "si",
                                                   "t",
                                                   "r",
                                                   "row",
                                                   "c",
                                                   "v",
                                                   "is",
                                                   "xf",
                                                   "numFmt",
                                                   "table:table-row",
                                                   "table:table-cell",
                                                   "text:p",
                                                   "text:s",
                                                   "text:span",
                                                   "table:table"};
    return names;
}

// Positions of every occurrence of needle in text.
std::vector<size_t> find(const std::string &text, const std::string &needle) {
    std::vector<size_t> at;
    for (size_t i = text.find(needle); i != std::string::npos; i = text.find(needle, i + 1))
        at.push_back(i);
    return at;
}

std::string someValue(Random &random) {
    switch (random() % 4) {
    case 0:
        return std::string(size_t(32766 + random() % 4), char('a' + random() % 26));
    case 1:
        return std::to_string(int64_t(random() % 100000) - 10);
    default:
        return pick(random, interestingValues());
    }
}

// name="value" of one of the attributes: a new value.
bool changeAttribute(std::string &xml, Random &random) {
    const std::vector<size_t> at = find(xml, " " + pick(random, attributes()) + "=\"");
    if (at.empty())
        return false;
    const size_t start = xml.find('"', at[random() % at.size()]) + 1;
    const size_t stop = xml.find('"', start);
    if (stop == std::string::npos)
        return false;
    xml.replace(start, stop - start, someValue(random));
    return true;
}

// <element ...>text</element>: a new text.
bool changeText(std::string &xml, Random &random) {
    const std::string name = pick(random, elements());
    const std::vector<size_t> at = find(xml, "<" + name + ">");
    if (at.empty())
        return false;
    const size_t start = at[random() % at.size()] + name.size() + 2;
    const size_t stop = xml.find('<', start);
    if (stop == std::string::npos)
        return false;
    xml.replace(start, stop - start, someValue(random));
    return true;
}

// A whole element (to its end tag, or self-closed) repeated or left out.
bool repeatOrDropElement(std::string &xml, Random &random) {
    const std::string name = pick(random, elements());
    std::vector<size_t> at = find(xml, "<" + name + " ");
    for (size_t i : find(xml, "<" + name + ">"))
        at.push_back(i);
    for (size_t i : find(xml, "<" + name + "/>"))
        at.push_back(i);
    if (at.empty())
        return false;
    const size_t start = at[random() % at.size()];
    const size_t open = xml.find('>', start);
    if (open == std::string::npos)
        return false;
    size_t stop = open + 1;
    if (xml[open - 1] != '/') {
        const size_t close = xml.find("</" + name + ">", open);
        if (close == std::string::npos)
            return false;
        stop = close + name.size() + 3;
    }
    const std::string element = xml.substr(start, stop - start);
    if (random() % 3 == 0) {
        xml.erase(start, stop - start);
    } else {
        const size_t copies = random() % 2 ? 1 : 1 + random() % 64;
        std::string repeated;
        for (size_t i = 0; i < copies; ++i)
            repeated += element;
        xml.insert(stop, repeated);
    }
    return true;
}

void mutateBytes(std::string &bytes, Random &random) {
    const size_t size = bytes.size();
    bytes.resize(size * 2 + 64);
    const size_t mutated =
        LLVMFuzzerMutate(reinterpret_cast<uint8_t *>(bytes.data()), size, bytes.size());
    bytes.resize(mutated);
    (void)random;
}

} // namespace

namespace ZipPartMutator {

size_t Mutate(uint8_t *data, size_t size, size_t maxSize, unsigned int seed) {
    Random random(seed);
    std::vector<Part> parts;
    if (random() % 8 == 0 || !unzip(data, size, parts))
        return LLVMFuzzerMutate(data, size, maxSize);
    Part &part = parts[random() % parts.size()];
    const int mutations = 1 + int(random() % 3);
    for (int i = 0; i < mutations; ++i) {
        bool changed = false;
        switch (random() % 6) {
        case 0:
        case 1:
            changed = changeAttribute(part.data, random);
            break;
        case 2:
            changed = changeText(part.data, random);
            break;
        case 3:
            changed = repeatOrDropElement(part.data, random);
            break;
        case 4:
            if (random() % 2) {
                part.name = pick(random, interestingValues());
                changed = !part.name.empty();
            }
            break;
        default:
            break;
        }
        if (!changed)
            mutateBytes(part.data, random);
    }
    const std::string packed = zip(parts, random() % 2);
    if (packed.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, packed.data(), packed.size());
    return packed.size();
}

} // namespace ZipPartMutator
