#include "files/recipe_search.h"

#include <cstring>

namespace genart {

ReadAt bytesAt(const unsigned char* bytes, std::size_t size)
{
    return [bytes, size](std::uint64_t offset, void* into, std::size_t count) {
        if (offset > size || count > size - offset)
            return false;
        if (count > 0)
            std::memcpy(into, bytes + offset, count);
        return true;
    };
}

} // namespace genart
