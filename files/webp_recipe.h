#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <QByteArray>

namespace genart {

// The WebP file (a still picture or an animation) with the recipe added as XMP metadata;
// empty if libwebp's muxer cannot take the file apart.
QByteArray withWebpRecipe(const QByteArray& webp, const std::string& recipe);

// The recipe a WebP file carries in its XMP metadata, or why there is none: the file is
// untrusted and only its chunk headers and its XMP are read (through libwebp's demuxer).
struct WebpRecipe {
    std::optional<std::string> recipe;
    std::string problem; // when there is no recipe: "unreadable WebP", "… carries no genart recipe"
};
WebpRecipe webpRecipe(const unsigned char* bytes, std::size_t size);
inline WebpRecipe webpRecipe(const QByteArray& webp)
{
    return webpRecipe(reinterpret_cast<const unsigned char*>(webp.constData()), static_cast<std::size_t>(webp.size()));
}

} // namespace genart
