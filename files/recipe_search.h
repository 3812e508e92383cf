#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace genart {

// Reads exactly `size` bytes at `offset` into `into`; false when they are not all there (the
// file ends, or it changed while it was read). A picture's recipe is looked for through one of
// these, so that only the bytes that lead to it are ever read: never the whole file.
using ReadAt = std::function<bool(std::uint64_t offset, void* into, std::size_t size)>;

// The bytes of a file already in memory, read the same way.
ReadAt bytesAt(const unsigned char* bytes, std::size_t size);

// The recipe text a picture carries, or why there is none ("unreadable WebP (…)", "this JPEG
// carries no genart recipe" …): one line without the path.
struct FoundRecipe {
    std::optional<std::string> recipe;
    std::string problem;
};

// Little-endian and big-endian whole numbers from a container's headers.
inline std::uint32_t littleEndian32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8
        | static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

inline std::uint16_t bigEndian16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

} // namespace genart
