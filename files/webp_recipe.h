#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <QByteArray>

#include "files/recipe_search.h"

namespace genart {

// The XMP packet that carries the recipe in a WebP's "XMP " chunk.
QByteArray webpXmpPacket(const std::string& recipe);

// The WebP file (a still picture or an animation) with the recipe added as XMP metadata;
// empty if libwebp's muxer cannot take the file apart.
QByteArray withWebpRecipe(const QByteArray& webp, const std::string& recipe);

// Chunks walked at most in a WebP: an animation has one a frame, and genart writes no more
// frames than this holds (the command line's limit is checked against it).
inline constexpr std::size_t kMostWebpChunks = std::size_t{1} << 17;

// The recipe a WebP file of `size` bytes carries in its XMP metadata, or why there is none
// ("unreadable WebP (…)", "… carries no genart recipe"). The file is untrusted: it is walked
// chunk by chunk, reading the RIFF header, each chunk's eight-byte header (kMostWebpChunks at
// most) and the XMP chunk alone, which must be the only one.
using WebpRecipe = FoundRecipe;
WebpRecipe webpRecipe(const ReadAt& read, std::uint64_t size);
inline WebpRecipe webpRecipe(const QByteArray& webp)
{
    const auto size = static_cast<std::size_t>(webp.size());
    return webpRecipe(bytesAt(reinterpret_cast<const unsigned char*>(webp.constData()), size), size);
}

} // namespace genart
