#include "store/TextColumnOrders.h"

#include "store/TableAccess.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <iterator>
#include <mutex>
#include <thread>

namespace {
struct Stopped {};

// Runs the sort on a thread of its own while this one reports progress, so that the
// window that asked keeps painting and can stop it.
bool SortWatched(const CollationSort::Texts &texts, CollationSort::Order &order, int64_t before,
                 int64_t total, const TextColumnOrders::Progress &progress) {
    std::atomic<bool> stop{false};
    std::atomic<int64_t> done{before};
    if (!progress)
        return CollationSort::Sort(texts, order, stop, done);
    std::mutex mutex;
    std::condition_variable finished;
    bool over = false, sorted = false;
    std::thread worker([&] {
        const bool result = CollationSort::Sort(texts, order, stop, done);
        const std::lock_guard<std::mutex> lock(mutex);
        sorted = result;
        over = true;
        finished.notify_one();
    });
    std::exception_ptr failure;
    std::unique_lock<std::mutex> lock(mutex);
    while (!over) {
        finished.wait_for(lock, std::chrono::milliseconds(40));
        if (over || stop)
            continue;
        lock.unlock();
        try {
            if (!progress(done, total))
                stop = true;
        } catch (...) {
            failure = std::current_exception();
            stop = true;
        }
        lock.lock();
    }
    lock.unlock();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return sorted && !stop;
}

// Places of the wanted rows in the order, ascending or descending; a run of equal texts
// keeps ascending rowid order either way.
void Emit(const CollationSort::Order &order, const std::vector<uint8_t> &wanted,
          const std::vector<int64_t> &rowids, bool descending, std::vector<int64_t> &out) {
    const size_t count = order.indexes.size();
    if (!descending) {
        for (size_t i = 0; i < count; ++i)
            if (wanted[order.indexes[i]])
                out.push_back(rowids[order.indexes[i]]);
        return;
    }
    size_t end = count;
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && order.sameAsBefore[begin])
            --begin;
        for (size_t i = begin; i < end; ++i)
            if (wanted[order.indexes[i]])
                out.push_back(rowids[order.indexes[i]]);
        end = begin;
    }
}
} // namespace

bool TextColumnOrders::Current(TableAccess &access, int column) const {
    const auto it = columns.find(column);
    return it != columns.end() && it->second.stamp.Holds(access.Handle(), access.Table(), column);
}

bool TextColumnOrders::Build(TableAccess &access, int column, const Progress &progress,
                             Column &into) {
    const int64_t expected = int64_t(access.BaseIds().size());
    const int64_t total = expected + CollationSort::WorkUnits(size_t(expected));
    CollationSort::Texts texts;
    texts.bytes.reserve(size_t(expected) * 64);
    texts.starts.reserve(size_t(expected) + 1);
    into.rowids.clear();
    into.rowids.reserve(size_t(expected));
    try {
        access.ScanText(column, [&](int64_t rowid, const char *bytes, int size) {
            into.rowids.push_back(rowid);
            texts.Add(bytes, size);
            if (progress && into.rowids.size() % 16384 == 0 &&
                !progress(int64_t(into.rowids.size()), total))
                throw Stopped();
        });
    } catch (const Stopped &) {
        return false;
    }
    into.stamp.Take(access.Handle(), access.Table(), column);
    return SortWatched(texts, into.order, int64_t(into.rowids.size()), total, progress);
}

bool TextColumnOrders::Prepare(TableAccess &access, int column, const Progress &progress) {
    if (Current(access, column))
        return true;
    Column built;
    if (!Build(access, column, progress, built)) {
        columns.erase(column);
        return false;
    }
    columns[column] = std::move(built);
    return true;
}

void TextColumnOrders::Sort(std::vector<int64_t> &rows, TableAccess &access, int column,
                            bool descending) {
    std::vector<int64_t> sorted;
    sorted.reserve(rows.size());
    if (!Current(access, column) && rows.size() * 64 <= access.BaseIds().size()) {
        // A few rows of many: their own texts sort faster than the whole column.
        CollationSort::Texts texts;
        for (int64_t row : rows) {
            const std::vector<QVariant> values = access.ReadRow(row);
            const QByteArray text =
                values.empty() ? QByteArray() : values[size_t(column)].toString().toUtf8();
            texts.Add(text.constData(), int(text.size()));
        }
        CollationSort::Order order;
        std::atomic<bool> stop{false};
        std::atomic<int64_t> done{0};
        CollationSort::Sort(texts, order, stop, done);
        Emit(order, std::vector<uint8_t>(rows.size(), 1), rows, descending, sorted);
        rows.swap(sorted);
        return;
    }
    Prepare(access, column, nullptr);
    const Column &c = columns[column];
    std::vector<uint8_t> wanted(c.rowids.size(), 0);
    size_t at = 0;
    for (int64_t row : rows) {
        // Both lists ascend, so one forward walk finds every row.
        while (at < c.rowids.size() && c.rowids[at] < row)
            ++at;
        if (at < c.rowids.size() && c.rowids[at] == row)
            wanted[at] = 1;
        else
            sorted.push_back(row); // gone from the file meanwhile: first, as an empty text
    }
    Emit(c.order, wanted, c.rowids, descending, sorted);
    rows.swap(sorted);
}

void TextColumnOrders::Clear() {
    columns.clear();
}

void TextColumnOrders::Suspend() {
    for (auto &[index, column] : columns)
        column.stamp.Suspend();
}

void TextColumnOrders::Resume(sqlite3 *db) {
    // An order that no longer held is only memory.
    for (auto it = columns.begin(); it != columns.end();)
        it = it->second.stamp.Resume(db) ? std::next(it) : columns.erase(it);
}
