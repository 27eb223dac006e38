#pragma once

#include <cstddef>
#include <cstdint>

// The structure-aware mutation of zip-based workbooks (.xlsx, .ods) for libFuzzer:
// the package is unpacked, one part's XML is changed where the readers decide things
// (relationship targets, shared strings and their indexes, cell references, repeat
// counts, escapes, element counts) or its bytes are mutated, and the package is packed
// again with sound sizes and check sums, so that the change reaches the XML reader
// instead of being refused by the zip layer. Bytes that are no zip archive are
// mutated as bytes.
namespace ZipPartMutator {
size_t Mutate(uint8_t *data, size_t size, size_t maxSize, unsigned int seed);
}
