#include "files/recipe_file.h"

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <png.h>

#include "files/printable.h"

namespace genart {
namespace {

// A recipe text file is a few hundred bytes; anything this long is not one.
constexpr std::size_t kLongestTextFile = 64 * 1024;

// What libpng may allocate for one chunk, and so the longest text a zTXt or iTXt chunk may
// inflate to: the largest recipe genart writes is about 1.1 KB.
constexpr png_alloc_size_t kLargestChunk = 4 * 1024;
// Ancillary chunks (text among them) kept at most; a genart PNG has one.
constexpr png_uint_32 kMostChunks = 32;
// Bytes read at most before the image data: signature, header and every chunk up to the first IDAT.
constexpr std::size_t kLongestPngHead = 256 * 1024;
// Width and height at most: far beyond a 16x poster; the rows are never read anyway.
constexpr png_uint_32 kLargestSide = 1u << 16;

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

RecipeError fileError(const std::string& path, const std::string& why)
{
    return RecipeError{printable(path) + ": " + printable(why)};
}

// Reads the whole of a small file, or at most `longest` + 1 bytes of a larger one.
bool readUpTo(int fd, std::size_t longest, std::string& text, int& error)
{
    char block[8192];
    while (text.size() <= longest) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            return false;
        }
        if (got == 0)
            break;
        text.append(block, static_cast<std::size_t>(got));
    }
    return true;
}

// Everything libpng's callbacks share: plain C data only, as errors leave by longjmp.
struct PngReading {
    int fd;
    std::size_t bytesRead;
    int readError;               // errno of a failed read
    char failure[160];           // libpng's message for the error that stopped it
    int recipes;                 // texts stored under the recipe key
    std::size_t recipeLength;    // of the first
    char recipe[kLargestChunk];  // the first
};

void onError(png_structp png, png_const_charp message)
{
    auto* reading = static_cast<PngReading*>(png_get_error_ptr(png));
    std::snprintf(reading->failure, sizeof reading->failure, "%s", message);
    png_longjmp(png, 1);
}

// libpng's warnings never reach the terminal; whatever matters is an error here.
void onWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep into, size_t count)
{
    auto* reading = static_cast<PngReading*>(png_get_io_ptr(png));
    if (count > kLongestPngHead - reading->bytesRead)
        png_error(png, "too much data before the image");
    for (size_t done = 0; done < count;) {
        const ssize_t got = ::read(reading->fd, into + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            reading->readError = errno;
            png_error(png, "read error");
        }
        if (got == 0)
            png_error(png, "the file ends early");
        done += static_cast<size_t>(got);
    }
    reading->bytesRead += count;
}

// Reads the chunks after the signature up to the image data through libpng, within the limits
// above, and keeps the texts stored under the recipe key. False, with reading.failure, when
// libpng stopped. Nothing here may need a destructor: an error jumps straight out.
bool readPngTexts(PngReading& reading)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    if (png == nullptr) {
        std::snprintf(reading.failure, sizeof reading.failure, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::snprintf(reading.failure, sizeof reading.failure, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reading, readBytes);
    png_set_sig_bytes(png, sizeof kPngSignature);
    png_set_user_limits(png, kLargestSide, kLargestSide);
    png_set_chunk_malloc_max(png, kLargestChunk);
    png_set_chunk_cache_max(png, kMostChunks);
    png_set_benign_errors(png, 0); // a text too long, too many chunks, a chunk out of place: errors all
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT); // and a damaged chunk of any kind
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_read_info(png, info);

    png_textp texts = nullptr;
    const int count = png_get_text(png, info, &texts, nullptr);
    for (int n = 0; n < count; ++n) {
        if (std::strcmp(texts[n].key, kRecipeKey) != 0)
            continue;
        if (reading.recipes++ == 0) {
            // iTXt keeps its length apart; either way the text ends with a NUL.
            const std::size_t length = std::strlen(texts[n].text);
            reading.recipeLength = length < sizeof reading.recipe ? length : sizeof reading.recipe;
            std::memcpy(reading.recipe, texts[n].text, reading.recipeLength);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// The recipe text a PNG carries, or why there is none.
std::variant<std::string, RecipeError> pngRecipeText(int fd, const std::string& path)
{
    auto reading = std::make_unique<PngReading>();
    reading->fd = fd;
    reading->bytesRead = sizeof kPngSignature;
    if (!readPngTexts(*reading)) {
        if (reading->readError != 0)
            return fileError(path, std::string("cannot read: ") + std::strerror(reading->readError));
        return fileError(path, std::string("unreadable PNG (") + reading->failure + ")");
    }
    if (reading->recipes == 0)
        return fileError(path, "this PNG carries no genart recipe");
    if (reading->recipes > 1)
        return fileError(path, "this PNG carries more than one genart recipe");
    return std::string(reading->recipe, reading->recipeLength);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::variant<Recipe, RecipeError> readRecipeFile(const std::string& path)
{
    // Opening never waits (a FIFO without a writer), and only a regular file is read at all.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return fileError(path, std::string("cannot read: ") + std::strerror(errno));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return fileError(path, std::string("cannot read: ") + std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return fileError(path, "not a regular file");

    std::string start;
    int error = 0;
    if (!readUpTo(file.get(), sizeof kPngSignature - 1, start, error))
        return fileError(path, std::string("cannot read: ") + std::strerror(error));
    std::string text;
    if (start.size() >= sizeof kPngSignature && std::memcmp(start.data(), kPngSignature, sizeof kPngSignature) == 0) {
        start.resize(sizeof kPngSignature); // what was read past the signature is read again
        if (::lseek(file.get(), sizeof kPngSignature, SEEK_SET) < 0)
            return fileError(path, std::string("cannot read: ") + std::strerror(errno));
        auto stored = pngRecipeText(file.get(), path);
        if (auto* failure = std::get_if<RecipeError>(&stored))
            return *failure;
        text = std::move(std::get<std::string>(stored));
    } else {
        if (static_cast<std::uintmax_t>(status.st_size) > kLongestTextFile)
            return fileError(path, "neither a PNG nor a recipe text (too large)");
        text = std::move(start);
        if (!readUpTo(file.get(), kLongestTextFile, text, error))
            return fileError(path, std::string("cannot read: ") + std::strerror(error));
        if (text.size() > kLongestTextFile)
            return fileError(path, "neither a PNG nor a recipe text (too large)");
    }
    auto recipe = parseRecipe(text);
    if (auto* failure = std::get_if<RecipeError>(&recipe))
        return fileError(path, failure->message);
    return recipe;
}

QImage withRecipe(QImage image, const Recipe& recipe)
{
    image.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipeText(recipe)));
    return image;
}

} // namespace genart
