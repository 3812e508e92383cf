#pragma once

#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include <gif_lib.h>

namespace genart::testing {

// An animated GIF decoded with giflib: each frame laid over the ones before as a viewer shows
// it, its delay, the comments ahead of the first image and the NETSCAPE2.0 loop count.
struct DecodedGif {
    bool read = false;
    std::vector<QImage> frames; // Format_RGB32, the whole canvas after each frame
    std::vector<int> delays;    // hundredths of a second
    std::vector<std::string> comments;
    int loopCount = -1; // 0: forever; -1: no loop extension
};

inline DecodedGif decodeGif(const QString& path)
{
    DecodedGif decoded;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
    if (!gif)
        return decoded;
    if (DGifSlurp(gif) == GIF_OK) {
        decoded.read = true;
        QImage canvas(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            for (int e = 0; e < image.ExtensionBlockCount; ++e) {
                const ExtensionBlock& block = image.ExtensionBlocks[e];
                if (block.Function == COMMENT_EXT_FUNC_CODE && i == 0) {
                    std::string text(reinterpret_cast<const char*>(block.Bytes), static_cast<std::size_t>(block.ByteCount));
                    for (int more = e + 1; more < image.ExtensionBlockCount
                                           && image.ExtensionBlocks[more].Function == CONTINUE_EXT_FUNC_CODE;
                         ++more)
                        text.append(reinterpret_cast<const char*>(image.ExtensionBlocks[more].Bytes),
                                    static_cast<std::size_t>(image.ExtensionBlocks[more].ByteCount));
                    decoded.comments.push_back(text);
                }
                if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11
                    && std::string(reinterpret_cast<const char*>(block.Bytes), 11) == "NETSCAPE2.0" && e + 1 < image.ExtensionBlockCount) {
                    const ExtensionBlock& loop = image.ExtensionBlocks[e + 1];
                    decoded.loopCount = loop.Bytes[1] | loop.Bytes[2] << 8;
                }
            }
            GraphicsControlBlock control;
            DGifSavedExtensionToGCB(gif, i, &control);
            decoded.delays.push_back(control.DelayTime);
            const GifImageDesc& desc = image.ImageDesc;
            const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            for (int y = 0; y < desc.Height; ++y)
                for (int x = 0; x < desc.Width; ++x) {
                    const int index = image.RasterBits[y * desc.Width + x];
                    if (index == control.TransparentColor || !map)
                        continue;
                    const GifColorType c = map->Colors[index];
                    canvas.setPixel(desc.Left + x, desc.Top + y, qRgb(c.Red, c.Green, c.Blue));
                }
            decoded.frames.push_back(canvas.copy());
        }
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

} // namespace genart::testing
