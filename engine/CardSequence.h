#pragma once

#include "engine/CardEntry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The entries of the card list as a sequence of short blocks, so that reading,
// removing and inserting at an index cost a walk over the block sizes and a move
// inside one block instead of a move of the whole list. A cursor remembers the last
// block reached, which makes walks in index order cheap.
class CardSequence {
public:
    int32_t Size() const { return total; }
    const TCardEntry &At(int32_t index) const;
    const TCardEntry &Back() const { return blocks.back().back(); } // Size() > 0
    void PushBack(TCardEntry entry);
    void Insert(int32_t index, TCardEntry entry);
    TCardEntry Erase(int32_t index);
    void Clear();

    // Index of the first entry whose level is >= level, or Size(); the entries must be
    // in non-decreasing order of level.
    int32_t LowerBoundLevel(int32_t level) const;

    std::vector<TCardEntry> Flatten() const;
    void Assign(const std::vector<TCardEntry> &entries);

    template <class F> void ForEach(F &&visit) const {
        for (const Block &block : blocks)
            for (const TCardEntry &entry : block)
                visit(entry);
    }
    template <class F> void ForEachMutable(F &&visit) {
        for (Block &block : blocks)
            for (TCardEntry &entry : block)
                visit(entry);
    }

private:
    using Block = std::vector<TCardEntry>;
    // A full block is split before it would grow, so a block never reallocates;
    // a block that falls below the minimum joins a neighbour, which bounds the
    // number of blocks by Size() / MinBlock.
    static constexpr size_t MaxBlock = 2048;
    static constexpr size_t MinBlock = 512;
    static constexpr size_t FillBlock = 1536;

    struct Position {
        size_t block;
        size_t offset;
    };
    // index may equal Size() (the place after the last entry) when blocks exist.
    Position Locate(int32_t index) const;
    static Block NewBlock();
    void SplitBlock(size_t block);
    void JoinSmallBlock(size_t block);
    void ResetCursor() const;

    std::vector<Block> blocks;
    int32_t total = 0;
    mutable size_t cursorBlock = 0;
    mutable int32_t cursorStart = 0;
};
