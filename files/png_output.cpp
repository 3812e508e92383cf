#include "files/png_output.h"

#include <csetjmp>

#include <png.h>
#include <zlib.h>

#include "platform/vector_state.h"
#include "session/recipe.h"

namespace genart {
namespace {

// Every row is left unfiltered. Measured on twelve pictures of a batch and four posters at
// level 2: "none" packs the pictures a quarter tighter than "up" (2.15 against 2.90 MB) and
// the posters within 5 %, in less time; "sub" and "paeth" pack worse and take longer, and
// letting libpng try every filter on every row takes twice the time for no gain. The pictures
// are areas of one palette colour, whose repeated pixels zlib finds as they are.
constexpr int kRowFilter = PNG_FILTER_NONE;
// Bytes of compressed data per IDAT chunk.
constexpr std::size_t kChunkBytes = 64 * 1024;

void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void appendBytes(png_structp png, png_bytep data, size_t length)
{
    auto* bytes = static_cast<QByteArray*>(png_get_io_ptr(png));
    bytes->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushNothing(png_structp) {}

// The formats whose scan lines libpng can take as they are: 32-bit pixels, read as blue,
// green, red and alpha (or filler) bytes on a little-endian machine.
bool takenAsItIs(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

// libpng's state for one image, given back however the encoding ends.
struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

// What one encoding writes.
struct PngJob {
    const QImage& image; // RGB32 or ARGB32
    const std::string& recipe;
    int level;
    const PngSettings& settings;
    QByteArray& bytes;
};

// The whole file, through libpng; false when libpng failed or the encoding was cancelled.
bool writePng(png_structp png, png_infop info, const PngJob& job)
{
    const QImage& image = job.image;
    const bool alpha = image.format() == QImage::Format_ARGB32;
    png_set_write_fn(png, &job.bytes, appendBytes, flushNothing);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kRowFilter);
    png_set_compression_level(png, job.level);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY); // not libpng's choice for filtered rows
    png_set_compression_buffer_size(png, kChunkBytes);

    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0)
        png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                     static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
    // Before the image data, where a reader that stops there finds it; zTXt keeps line breaks.
    png_text text{};
    if (!job.recipe.empty()) {
        text.compression = PNG_TEXT_COMPRESSION_zTXt;
        text.key = const_cast<char*>(kRecipeKey);
        text.text = const_cast<char*>(job.recipe.c_str());
        text.text_length = job.recipe.size();
        png_set_text(png, info, &text, 1);
    }
    png_write_info(png, info);

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(png); // the pixels' bytes run blue, green, red, alpha
    if (!alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // and the fourth byte is dropped
#else
    if (alpha)
        png_set_swap_alpha(png); // alpha, red, green, blue
    else
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    const int rows = image.height();
    for (int row = 0; row < rows; ++row) {
        png_write_row(png, image.constScanLine(row));
        if (cancelled(job.settings.cancel))
            return false;
        if (job.settings.progress)
            job.settings.progress(Stage::Encoding, static_cast<double>(row + 1) / rows);
    }
    png_write_end(png, info);
    return true;
}

// libpng reports its errors by jumping back here; nothing here lives across the jump.
bool writeGuarded(png_structp png, png_infop info, const PngJob& job)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    return writePng(png, info, job);
}

} // namespace

QByteArray encodePng(const QImage& original, const std::string& recipe, const PngSettings& settings)
{
    if (original.isNull())
        return {};
    // zlib's SSE code runs at full speed only from a clean vector state (platform/vector_state.h).
    clearUpperVectorState();
    // Any other format is converted first; the pictures genart draws never are.
    const QImage image = takenAsItIs(original.format())
        ? original
        : original.convertToFormat(original.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int level = kPngLevels.contains(settings.level) ? settings.level : kDefaultPngLevel;
    QByteArray bytes;
    PngWriter writer;
    writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!writer.png)
        return {};
    writer.info = png_create_info_struct(writer.png);
    if (!writer.info)
        return {};
    if (!writeGuarded(writer.png, writer.info, PngJob{image, recipe, level, settings, bytes}))
        return {};
    return bytes;
}

} // namespace genart
