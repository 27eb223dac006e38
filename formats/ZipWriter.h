#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// A zip file written entry by entry, every entry deflated at the fastest level on every
// core (see ParallelDeflate), with the zip64 fields that a part larger than 4 GiB needs.
// Every failure throws LexomatError with the reason; an unfinished file is left for the
// caller to remove.
class ZipWriter {
public:
    explicit ZipWriter(const QString &path);
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    // A whole entry at once.
    void Add(const QString &name, std::string_view bytes);
    // An entry written in pieces: Begin, Write as often as needed, End.
    void Begin(const QString &name);
    void Write(std::string_view bytes);
    void End();
    // Writes the central directory and closes the file.
    void Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
