#include "resources/DecodedImageCache.h"

#include <algorithm>

namespace tarnwood {

DecodedImageCache::DecodedImageCache(std::size_t maxBytes, std::size_t maxImages)
    : maxBytes(maxBytes), maxImages(maxImages)
{
}

std::shared_ptr<const DecodedImage> DecodedImageCache::Find(std::size_t index)
{
    const auto where = std::find_if(kept.begin(), kept.end(), [index](const Kept& k) { return k.index == index; });
    if (where == kept.end())
        return nullptr;
    kept.splice(kept.begin(), kept, where);
    return kept.front().image;
}

void DecodedImageCache::Keep(std::size_t index, std::shared_ptr<const DecodedImage> image)
{
    const auto previous = std::find_if(kept.begin(), kept.end(), [index](const Kept& k) { return k.index == index; });
    if (previous != kept.end())
        Drop(previous);
    if (!image || image->rgba.size() > maxBytes || maxImages == 0)
        return;
    keptBytes += image->rgba.size();
    kept.push_front(Kept{index, std::move(image)});
    while (keptBytes > maxBytes || kept.size() > maxImages)
        Drop(std::prev(kept.end()));
}

void DecodedImageCache::Drop(std::list<Kept>::iterator where)
{
    keptBytes -= where->image->rgba.size();
    kept.erase(where);
}

}
