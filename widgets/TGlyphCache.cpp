#include "widgets/TGlyphCache.h"

#include <algorithm>

TGlyphCache *GlyphCache = nullptr;

int TGlyphList::Add(const QPixmap &image) {
    int index = int(inUse.indexOf(false));
    if (index < 0) {
        index = int(images.size());
        images.append(image);
        inUse.append(true);
    } else {
        images[index] = image;
        inUse[index] = true;
    }
    ++used;
    return index;
}

void TGlyphList::Delete(int index) {
    if (index < 0 || index >= images.size() || !inUse[index])
        return;
    inUse[index] = false;
    images[index] = QPixmap();
    --used;
}

TGlyphList *TGlyphCache::GetList(QSize imageSize) {
    for (const auto &list : lists)
        if (list->ImageSize() == imageSize)
            return list.get();
    lists.push_back(std::make_unique<TGlyphList>(imageSize));
    return lists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList *list) {
    if (!list || list->Count() != 0)
        return;
    auto it = std::find_if(lists.begin(), lists.end(),
                           [list](const auto &owned) { return owned.get() == list; });
    if (it != lists.end())
        lists.erase(it);
}
