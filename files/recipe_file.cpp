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

#include <sys/mman.h>

#include <jpeglib.h>
#include <png.h>

#include "terminal_text/printable.h"
#include "files/webp_recipe.h"

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
// A JPEG starts with its start-of-image marker and the next marker's 0xff.
constexpr unsigned char kJpegSignature[3] = {0xff, 0xd8, 0xff};
// A WebP is a RIFF file of form WEBP: "RIFF", four bytes of length, "WEBP".
constexpr std::size_t kWebpSignatureLength = 12;
// Bytes of a JPEG read at most: its markers up to the image data. genart writes the recipe
// as a comment right after the JFIF header.
constexpr std::size_t kLongestJpegHead = 256 * 1024;
// A WebP is read whole (its metadata comes after the image), mapped rather than copied.
constexpr std::uintmax_t kLargestWebp = std::uintmax_t{2} << 30;

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

bool startsWith(const std::string& bytes, const unsigned char* signature, std::size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

bool isWebp(const std::string& start)
{
    return start.size() >= kWebpSignatureLength && start.compare(0, 4, "RIFF") == 0
        && start.compare(8, 4, "WEBP") == 0;
}

// libjpeg's error handling, made to leave by longjmp with the message kept.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    char failure[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr jpeg)
{
    auto* errors = reinterpret_cast<JpegErrors*>(jpeg->err);
    (*jpeg->err->format_message)(jpeg, errors->failure);
    std::longjmp(errors->back, 1);
}

void onJpegMessage(j_common_ptr, int) {}

// The comments a JPEG head holds before its image data, read through libjpeg, each cut at
// kLargestChunk; the recipe is the one that starts with the recipe key and ": ".
struct JpegReading {
    int recipes = 0;
    bool tooLong = false;
    std::size_t recipeLength = 0;
    char recipe[kLargestChunk];
    char failure[JMSG_LENGTH_MAX];
};

// Nothing here may need a destructor: an error jumps straight out.
bool readJpegComments(const unsigned char* head, std::size_t size, JpegReading& reading)
{
    jpeg_decompress_struct jpeg;
    JpegErrors errors;
    jpeg.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = onJpegError;
    errors.manager.emit_message = onJpegMessage;
    if (setjmp(errors.back) != 0) {
        std::memcpy(reading.failure, errors.failure, sizeof reading.failure);
        jpeg_destroy_decompress(&jpeg);
        return false;
    }
    jpeg_create_decompress(&jpeg);
    jpeg_mem_src(&jpeg, head, static_cast<unsigned long>(size));
    jpeg_save_markers(&jpeg, JPEG_COM, kLargestChunk);
    jpeg_read_header(&jpeg, TRUE);
    const std::size_t prefix = std::strlen(kRecipeKey) + 2;
    for (jpeg_saved_marker_ptr marker = jpeg.marker_list; marker != nullptr; marker = marker->next) {
        const char* text = reinterpret_cast<const char*>(marker->data);
        if (marker->data_length < prefix || std::memcmp(text, kRecipeKey, prefix - 2) != 0
            || std::memcmp(text + prefix - 2, ": ", 2) != 0)
            continue;
        if (reading.recipes++ == 0) {
            reading.tooLong = marker->original_length > marker->data_length;
            reading.recipeLength = marker->data_length - prefix;
            std::memcpy(reading.recipe, text + prefix, reading.recipeLength);
        }
    }
    jpeg_destroy_decompress(&jpeg);
    return true;
}

std::variant<std::string, RecipeError> jpegRecipeText(int fd, const std::string& path, std::string head)
{
    int error = 0;
    if (!readUpTo(fd, kLongestJpegHead, head, error))
        return fileError(path, std::string("cannot read: ") + std::strerror(error));
    auto reading = std::make_unique<JpegReading>();
    if (!readJpegComments(reinterpret_cast<const unsigned char*>(head.data()), head.size(), *reading))
        return fileError(path, std::string("unreadable JPEG (") + reading->failure + ")");
    if (reading->recipes == 0)
        return fileError(path, "this JPEG carries no genart recipe");
    if (reading->recipes > 1)
        return fileError(path, "this JPEG carries more than one genart recipe");
    if (reading->tooLong)
        return fileError(path, "this JPEG's recipe comment is too long to be one");
    return std::string(reading->recipe, reading->recipeLength);
}

std::variant<std::string, RecipeError> webpRecipeText(int fd, const std::string& path, std::uintmax_t size)
{
    if (size > kLargestWebp)
        return fileError(path, "this WebP is too large to be read");
    void* mapped = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED)
        return fileError(path, std::string("cannot read: ") + std::strerror(errno));
    const WebpRecipe found = webpRecipe(static_cast<const unsigned char*>(mapped), static_cast<std::size_t>(size));
    ::munmap(mapped, static_cast<std::size_t>(size));
    if (!found.recipe)
        return fileError(path, found.problem);
    return *found.recipe;
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
    if (!readUpTo(file.get(), kWebpSignatureLength - 1, start, error))
        return fileError(path, std::string("cannot read: ") + std::strerror(error));
    std::variant<std::string, RecipeError> stored;
    if (startsWith(start, kPngSignature, sizeof kPngSignature)) {
        // What was read past the signature is read again.
        if (::lseek(file.get(), sizeof kPngSignature, SEEK_SET) < 0)
            return fileError(path, std::string("cannot read: ") + std::strerror(errno));
        stored = pngRecipeText(file.get(), path);
    } else if (startsWith(start, kJpegSignature, sizeof kJpegSignature)) {
        stored = jpegRecipeText(file.get(), path, std::move(start));
    } else if (isWebp(start)) {
        stored = webpRecipeText(file.get(), path, static_cast<std::uintmax_t>(status.st_size));
    } else {
        if (static_cast<std::uintmax_t>(status.st_size) > kLongestTextFile)
            return fileError(path, "neither a picture nor a recipe text (too large)");
        std::string text = std::move(start);
        if (!readUpTo(file.get(), kLongestTextFile, text, error))
            return fileError(path, std::string("cannot read: ") + std::strerror(error));
        if (text.size() > kLongestTextFile)
            return fileError(path, "neither a picture nor a recipe text (too large)");
        stored = std::move(text);
    }
    if (auto* failure = std::get_if<RecipeError>(&stored))
        return *failure;
    const std::string& text = std::get<std::string>(stored);
    auto recipe = parseRecipe(text);
    if (auto* failure = std::get_if<RecipeError>(&recipe))
        return fileError(path, failure->message);
    return recipe;
}


} // namespace genart
