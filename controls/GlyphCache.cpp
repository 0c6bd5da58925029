#include "controls/GlyphCache.h"

#include <algorithm>

std::unique_ptr<TGlyphCache> TGlyphCache::s_instance;

TGlyphList *TGlyphCache::getList(QSize imageSize)
{
    if (!s_instance)
        s_instance.reset(new TGlyphCache);
    auto &lists = s_instance->m_lists;
    // Newest first: the size asked for last is the likeliest again.
    const auto found = std::find_if(lists.rbegin(), lists.rend(), [imageSize](const auto &list) {
        return list->imageSize() == imageSize;
    });
    if (found != lists.rend())
        return found->get();
    lists.push_back(std::make_unique<TGlyphList>(imageSize));
    return lists.back().get();
}

void TGlyphCache::returnList(TGlyphList *list)
{
    if (!list || !s_instance || list->count() > 0)
        return;
    auto &lists = s_instance->m_lists;
    std::erase_if(lists, [list](const auto &owned) { return owned.get() == list; });
    if (lists.empty())
        s_instance.reset();
}

const TGlyphCache *TGlyphCache::instance()
{
    return s_instance.get();
}
