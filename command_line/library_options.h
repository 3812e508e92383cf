#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/image_encoding.h"
#include "session/picture_size.h"

namespace genart {

// `genart library …`: the library of every picture kept, from a terminal or a script.
//   list [--favourites] [--json]
//   favourite ID… [--off]
//   remove ID…
//   import FILE…
//   export (--favourites | ID…) --out-dir DIR [SIZE] [FORMAT]
struct LibraryRequest {
    enum class Verb { Help, List, Favourite, Remove, Import, Export };
    Verb verb = Verb::Help;
    bool favourites = false; // list and export take only the favourites
    bool json = false;
    bool off = false; // favourite --off
    std::vector<std::int64_t> ids;
    std::vector<std::string> files; // import
    std::string outDir;             // export
    std::string extension = "png";  // export's --format
    PictureSize size;
    bool caption = true;
    EncodeSettings encoding;
};

} // namespace genart
