#include "files/jpeg_recipe.h"

#include <cstring>
#include <string>

#include "session/recipe.h"

namespace genart {
namespace {

// A recipe is about a kilobyte; a comment much longer than this is not one.
constexpr std::size_t kLongestComment = 4 * 1024;

constexpr unsigned char kStartOfImage = 0xd8;
constexpr unsigned char kEndOfImage = 0xd9;
constexpr unsigned char kStartOfScan = 0xda;
constexpr unsigned char kComment = 0xfe;

FoundRecipe unreadable(const char* why)
{
    return {std::nullopt, std::string("unreadable JPEG (") + why + ")"};
}

// Markers that stand alone, without a length: the restart markers and TEM.
bool standsAlone(unsigned char marker)
{
    return (marker >= 0xd0 && marker <= 0xd7) || marker == 0x01;
}

// The comment's recipe if it is one: nothing when it is another comment.
std::optional<FoundRecipe> commentRecipe(const ReadAt& read, std::uint64_t at, std::size_t length)
{
    const std::string prefix = std::string(kRecipeKey) + ": ";
    if (length < prefix.size())
        return std::nullopt;
    std::string start(prefix.size(), '\0');
    if (!read(at, start.data(), start.size()))
        return unreadable("it ends before its image data");
    if (start != prefix)
        return std::nullopt;
    if (length - prefix.size() > kLongestComment)
        return FoundRecipe{std::nullopt, "this JPEG's recipe comment is too long to be one"};
    std::string text(length - prefix.size(), '\0');
    if (!read(at + prefix.size(), text.data(), text.size()))
        return unreadable("it ends before its image data");
    return FoundRecipe{std::move(text), {}};
}

} // namespace

FoundRecipe jpegRecipe(const ReadAt& read)
{
    unsigned char head[4];
    if (!read(0, head, 2) || head[0] != 0xff || head[1] != kStartOfImage)
        return unreadable("it does not start as one");
    std::uint64_t at = 2;
    for (int markers = 0;; ++markers) {
        if (markers >= kMostJpegMarkers || at > kLongestJpegMetadata)
            return {std::nullopt, "no genart recipe in this JPEG's first " + std::to_string(kMostJpegMarkers)
                                      + " markers and " + std::to_string(kLongestJpegMetadata >> 20)
                                      + " MiB of metadata, where genart stops looking"};
        if (!read(at, head, 2))
            return unreadable("it ends before its image data");
        if (head[0] != 0xff)
            return unreadable("no marker where one belongs");
        const unsigned char marker = head[1];
        if (marker == 0xff) { // a fill byte before the marker
            at += 1;
            continue;
        }
        if (marker == kStartOfScan || marker == kEndOfImage)
            return {std::nullopt, "this JPEG carries no genart recipe"};
        if (marker == 0x00 || marker == kStartOfImage)
            return unreadable("no marker where one belongs");
        if (standsAlone(marker)) {
            at += 2;
            continue;
        }
        if (!read(at + 2, head + 2, 2))
            return unreadable("it ends before its image data");
        const std::uint16_t length = bigEndian16(head + 2); // with its own two bytes
        if (length < 2)
            return unreadable("a marker's length is too short");
        if (marker == kComment)
            if (std::optional<FoundRecipe> found = commentRecipe(read, at + 4, length - 2u))
                return *found;
        at += 2u + length;
    }
}

} // namespace genart
