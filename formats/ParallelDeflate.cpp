#include "formats/ParallelDeflate.h"

#include "platform/LexomatError.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <zlib.h>

namespace {
constexpr size_t PieceBytes = size_t(1) << 20;
constexpr size_t WindowBytes = 32768;

struct Piece {
    std::string input;
    std::string primer; // the last 32 KiB of the piece before
    bool last = false;
    std::string output;
    uint32_t crc = 0;
    bool done = false;
    bool failed = false;
};

void Compress(Piece &piece) {
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        piece.failed = true;
        return;
    }
    if (!piece.primer.empty())
        deflateSetDictionary(&z, reinterpret_cast<const Bytef *>(piece.primer.data()),
                             uInt(piece.primer.size()));
    piece.output.resize(deflateBound(&z, uLong(piece.input.size())) + 16);
    z.next_in = reinterpret_cast<Bytef *>(piece.input.data());
    z.avail_in = uInt(piece.input.size());
    z.next_out = reinterpret_cast<Bytef *>(piece.output.data());
    z.avail_out = uInt(piece.output.size());
    // A sync flush ends on a byte boundary without ending the stream.
    const int rc = deflate(&z, piece.last ? Z_FINISH : Z_SYNC_FLUSH);
    piece.failed = piece.last ? rc != Z_STREAM_END : rc != Z_OK || z.avail_in != 0;
    piece.output.resize(piece.output.size() - z.avail_out);
    deflateEnd(&z);
    piece.crc = uint32_t(
        crc32(0, reinterpret_cast<const Bytef *>(piece.input.data()), uInt(piece.input.size())));
}
} // namespace

struct ParallelDeflate::Impl {
    std::function<void(std::string_view)> sink;
    std::string filling;
    std::string primer;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::unique_ptr<Piece>> pieces; // in stream order
    size_t nextToCompress = 0;                 // index into pieces
    bool stopping = false;
    std::vector<std::thread> workers;
    uint32_t crc = 0;
    uint64_t in = 0, out = 0;

    void Work() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stopping || nextToCompress < pieces.size(); });
            if (stopping)
                return; // finished, or given up after a failure
            Piece &piece = *pieces[nextToCompress++];
            lock.unlock();
            Compress(piece);
            lock.lock();
            piece.done = true;
            changed.notify_all();
        }
    }

    // Hands the finished pieces at the front to the sink, waiting until at most `keep`
    // remain in flight.
    void Drain(size_t keep) {
        for (;;) {
            std::unique_ptr<Piece> front;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] {
                    return pieces.size() <= keep || (!pieces.empty() && pieces.front()->done);
                });
                if (pieces.empty() || !pieces.front()->done)
                    return;
                front = std::move(pieces.front());
                pieces.pop_front();
                --nextToCompress;
            }
            if (front->failed)
                throw LexomatError(QStringLiteral("the data cannot be compressed"));
            crc = uint32_t(crc32_combine(crc, front->crc, z_off_t(front->input.size())));
            in += front->input.size();
            out += front->output.size();
            sink(front->output);
        }
    }

    void Submit(bool last) {
        auto piece = std::make_unique<Piece>();
        piece->input.swap(filling);
        piece->primer = primer;
        piece->last = last;
        const std::string &input = piece->input;
        primer += input.size() >= WindowBytes ? input.substr(input.size() - WindowBytes) : input;
        if (primer.size() > WindowBytes)
            primer.erase(0, primer.size() - WindowBytes);
        {
            const std::lock_guard<std::mutex> lock(mutex);
            pieces.push_back(std::move(piece));
        }
        changed.notify_all();
        Drain(2 * workers.size());
        filling.reserve(PieceBytes);
    }

    void Stop() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        changed.notify_all();
        for (std::thread &w : workers)
            w.join();
        workers.clear();
    }
};

ParallelDeflate::ParallelDeflate(std::function<void(std::string_view)> sink)
    : d(std::make_unique<Impl>()) {
    d->sink = std::move(sink);
    d->filling.reserve(PieceBytes);
    const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    for (unsigned i = 0; i < cores; ++i)
        d->workers.emplace_back([this] { d->Work(); });
}

ParallelDeflate::~ParallelDeflate() {
    d->Stop();
}

void ParallelDeflate::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t room = PieceBytes - d->filling.size();
        const size_t take = std::min(room, bytes.size());
        d->filling.append(bytes.data(), take);
        bytes.remove_prefix(take);
        if (d->filling.size() == PieceBytes)
            d->Submit(false);
    }
}

void ParallelDeflate::Finish() {
    d->Submit(true);
    d->Drain(0);
}

uint32_t ParallelDeflate::Crc32() const {
    return d->crc;
}

uint64_t ParallelDeflate::InBytes() const {
    return d->in;
}

uint64_t ParallelDeflate::OutBytes() const {
    return d->out;
}
