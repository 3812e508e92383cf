#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QImage>

#include "files/output_files.h"
#include "picture_files/picture_job.h"
#include "platform/progress.h"

namespace genart {

// The stages runPictureJob takes a still picture through, for a pipeline that gives each its
// own thread (a batch) and for the clipboard, which takes the drawn picture.

// A still job's pictures, drawn, not yet encoded.
struct DrawnStill {
    QImage picture;
    QImage strip; // null unless the job writes it
    std::string recipe; // the picture's, as text
    bool stripCarriesRecipe = false; // the strip is the picture's own palette
};

// One file's bytes, ready to be written.
struct EncodedFile {
    std::string path;
    QByteArray bytes;
    std::string failure; // why it could not be encoded, told after "cannot write: "
};

// Draws the picture once at the job's size, or takes it as the source already drew it; the
// strip too when the job writes it. Nothing when cancelled.
std::optional<DrawnStill> drawStill(const PictureJob& job, const Progress& progress = {},
                                    const CancelToken* cancel = nullptr);

// Encodes what drawStill drew in the formats the paths name, the picture first, each carrying
// the recipe where its format holds text (the strip only when it is the picture's own
// palette). Nothing when cancelled.
std::optional<std::vector<EncodedFile>> encodeStill(const PictureJob& job, const DrawnStill& drawn,
                                                     const Progress& progress = {},
                                                     const CancelToken* cancel = nullptr);

// Stages each file in `files` (see OutputFiles): "" or one printable line naming the path and why.
std::string stageEncoded(OutputFiles& files, const std::vector<EncodedFile>& encoded);

} // namespace genart
