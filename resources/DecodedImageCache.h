#pragma once

#include "resources/ImageDecoder.h"

#include <cstddef>
#include <list>
#include <memory>
#include <set>

namespace tarnwood {

// What an archive remembers about decoding its image entries, keyed by entry
// index: the pixels of recently decoded images, so that a texture created
// again soon after its last release (a clock digit coming back) is uploaded
// without decoding, and the entries whose decode failed, so that they are
// never handed to a decoder again. The pixels are bounded by `maxBytes` and
// `maxImages`; the least recently used go first, and an image larger than
// `maxBytes` is not kept at all.
class DecodedImageCache {
public:
    static constexpr std::size_t defaultMaxBytes = std::size_t{1} << 20;
    static constexpr std::size_t defaultMaxImages = 64;

    explicit DecodedImageCache(std::size_t maxBytes = defaultMaxBytes, std::size_t maxImages = defaultMaxImages);

    // The kept pixels of entry `index`, now the most recently used; null when
    // none are kept.
    std::shared_ptr<const DecodedImage> Find(std::size_t index);

    // Keeps `image` as the pixels of entry `index`, replacing any kept before,
    // then drops the least recently used until the bounds hold.
    void Keep(std::size_t index, std::shared_ptr<const DecodedImage> image);

    bool HasFailed(std::size_t index) const { return failed.count(index) != 0; }
    void MarkFailed(std::size_t index) { failed.insert(index); }

    std::size_t KeptBytes() const { return keptBytes; }
    std::size_t KeptImages() const { return kept.size(); }

private:
    struct Kept {
        std::size_t index;
        std::shared_ptr<const DecodedImage> image;
    };

    void Drop(std::list<Kept>::iterator where);

    std::size_t maxBytes;
    std::size_t maxImages;
    // Most recently used first.
    std::list<Kept> kept;
    std::size_t keptBytes = 0;
    std::set<std::size_t> failed;
};

}
