#pragma once

#include <QList>
#include <QPixmap>
#include <QSize>
#include <memory>
#include <vector>

// One image list for one image size; freed slots are reused by the next image.
class TGlyphList {
public:
    explicit TGlyphList(QSize imageSize) : size(imageSize) {}

    QSize ImageSize() const { return size; }
    int Add(const QPixmap &image);
    void Delete(int index);
    const QPixmap &Image(int index) const { return images.at(index); }
    int Count() const { return used; } // slots in use
    int Capacity() const { return images.size(); }

private:
    QSize size;
    QList<QPixmap> images;
    QList<bool> inUse;
    int used = 0;
};

// The image lists of every button, one per image size.
class TGlyphCache {
public:
    TGlyphList *GetList(QSize imageSize);
    void ReturnList(TGlyphList *list); // frees the list once it holds nothing
    bool Empty() const { return lists.empty(); }
    int ListCount() const { return int(lists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists;
};

// Created on first need; freed when the last glyph object goes (TButtonGlyph).
extern TGlyphCache *GlyphCache;
