#pragma once

#include "controls/GlyphList.h"

#include <memory>
#include <vector>

// The program's one set of glyph lists, one per image size. It exists only
// while some list does: the first list creates it and returning the last
// one frees it.
class TGlyphCache
{
public:
    // The list for images of exactly this size, created when there is none.
    static TGlyphList *getList(QSize imageSize);

    // Gives back a list taken with getList; it is freed when it holds no
    // image any more.
    static void returnList(TGlyphList *list);

    // The cache, or nullptr while no list exists.
    static const TGlyphCache *instance();

    int listCount() const { return int(m_lists.size()); }

private:
    TGlyphCache() = default;

    std::vector<std::unique_ptr<TGlyphList>> m_lists;

    static std::unique_ptr<TGlyphCache> s_instance;
};
