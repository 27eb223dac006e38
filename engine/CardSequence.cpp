#include "engine/CardSequence.h"

#include <algorithm>

CardSequence::Block CardSequence::NewBlock() {
    Block block;
    block.reserve(MaxBlock);
    return block;
}

void CardSequence::ResetCursor() const {
    cursorBlock = 0;
    cursorStart = 0;
}

CardSequence::Position CardSequence::Locate(int32_t index) const {
    size_t b = cursorBlock < blocks.size() ? cursorBlock : 0;
    int32_t start = cursorBlock < blocks.size() ? cursorStart : 0;
    while (index < start) {
        --b;
        start -= static_cast<int32_t>(blocks[b].size());
    }
    while (b + 1 < blocks.size() && index >= start + static_cast<int32_t>(blocks[b].size())) {
        start += static_cast<int32_t>(blocks[b].size());
        ++b;
    }
    cursorBlock = b;
    cursorStart = start;
    return {b, static_cast<size_t>(index - start)};
}

const TCardEntry &CardSequence::At(int32_t index) const {
    const Position at = Locate(index);
    return blocks[at.block][at.offset];
}

void CardSequence::PushBack(TCardEntry entry) {
    if (blocks.empty() || blocks.back().size() >= FillBlock)
        blocks.push_back(NewBlock());
    blocks.back().push_back(entry);
    ++total;
}

void CardSequence::Insert(int32_t index, TCardEntry entry) {
    if (blocks.empty()) {
        PushBack(entry);
        return;
    }
    Position at = Locate(index);
    if (blocks[at.block].size() >= MaxBlock) {
        SplitBlock(at.block);
        at = Locate(index);
    }
    Block &block = blocks[at.block];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(at.offset), entry);
    ++total;
}

TCardEntry CardSequence::Erase(int32_t index) {
    const Position at = Locate(index);
    Block &block = blocks[at.block];
    const TCardEntry entry = block[at.offset];
    block.erase(block.begin() + static_cast<std::ptrdiff_t>(at.offset));
    --total;
    if (block.size() < MinBlock)
        JoinSmallBlock(at.block);
    return entry;
}

void CardSequence::SplitBlock(size_t b) {
    Block upper = NewBlock();
    const auto middle = blocks[b].begin() + static_cast<std::ptrdiff_t>(blocks[b].size() / 2);
    upper.assign(middle, blocks[b].end());
    blocks[b].erase(middle, blocks[b].end());
    blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
    ResetCursor();
}

void CardSequence::JoinSmallBlock(size_t b) {
    if (blocks[b].empty()) {
        blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(b));
        ResetCursor();
        return;
    }
    if (blocks.size() < 2)
        return;
    const size_t low = b + 1 < blocks.size() ? b : b - 1;
    Block &first = blocks[low];
    Block &second = blocks[low + 1];
    if (first.size() + second.size() <= MaxBlock) {
        first.insert(first.end(), second.begin(), second.end());
        blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(low) + 1);
    } else {
        // Share the entries evenly, keeping their order.
        const size_t half = (first.size() + second.size()) / 2;
        if (first.size() < half) {
            const auto moved = static_cast<std::ptrdiff_t>(half - first.size());
            first.insert(first.end(), second.begin(), second.begin() + moved);
            second.erase(second.begin(), second.begin() + moved);
        } else {
            const auto moved = static_cast<std::ptrdiff_t>(first.size() - half);
            second.insert(second.begin(), first.end() - moved, first.end());
            first.erase(first.end() - moved, first.end());
        }
    }
    ResetCursor();
}

void CardSequence::Clear() {
    blocks.clear();
    blocks.shrink_to_fit();
    total = 0;
    ResetCursor();
}

int32_t CardSequence::LowerBoundLevel(int32_t level) const {
    const auto block = std::partition_point(blocks.begin(), blocks.end(), [level](const Block &b) {
        return b.back().ImportanceField < level;
    });
    int32_t start = 0;
    for (auto it = blocks.begin(); it != block; ++it)
        start += static_cast<int32_t>(it->size());
    if (block == blocks.end())
        return start;
    const auto inside = std::lower_bound(
        block->begin(), block->end(), level,
        [](const TCardEntry &e, int32_t value) { return e.ImportanceField < value; });
    return start + static_cast<int32_t>(inside - block->begin());
}

std::vector<TCardEntry> CardSequence::Flatten() const {
    std::vector<TCardEntry> entries;
    entries.reserve(static_cast<size_t>(total));
    for (const Block &block : blocks)
        entries.insert(entries.end(), block.begin(), block.end());
    return entries;
}

void CardSequence::Assign(const std::vector<TCardEntry> &entries) {
    Clear();
    blocks.reserve(entries.size() / FillBlock + 1);
    // Whole blocks at a time, as PushBack would fill them.
    for (size_t start = 0; start < entries.size(); start += FillBlock) {
        const size_t end = std::min(entries.size(), start + FillBlock);
        blocks.push_back(NewBlock());
        blocks.back().insert(blocks.back().end(), entries.begin() + ptrdiff_t(start),
                             entries.begin() + ptrdiff_t(end));
    }
    total = static_cast<int32_t>(entries.size());
}
