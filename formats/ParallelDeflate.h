#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

// Compresses one stream of bytes into one raw deflate stream on every core, at the
// fastest level: the input is cut into pieces of a megabyte, each compressed on its own
// (primed with the end of the piece before, so little is lost) and ended on a byte
// boundary, so the pieces join into one stream that any inflater reads.
class ParallelDeflate {
public:
    // Compressed bytes go to sink in order, on the thread that calls Write and Finish.
    explicit ParallelDeflate(std::function<void(std::string_view)> sink);
    ~ParallelDeflate();
    ParallelDeflate(const ParallelDeflate &) = delete;
    ParallelDeflate &operator=(const ParallelDeflate &) = delete;

    void Write(std::string_view bytes);
    // Ends the stream; the sink has all of it when this returns.
    void Finish();

    uint32_t Crc32() const; // of the input, for the zip entry
    uint64_t InBytes() const;
    uint64_t OutBytes() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
