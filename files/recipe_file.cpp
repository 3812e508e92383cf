#include "files/recipe_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gif_lib.h>
#include <png.h>

#include "files/jpeg_recipe.h"
#include "terminal_text/printable.h"
#include "files/recipe_search.h"
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

// A picture file read at offsets (pread: no mapping that a file cut meanwhile could turn into
// SIGBUS, no read of more than is asked), which notices when the file changes under it.
class FileAt {
public:
    FileAt(int fd, const struct stat& status) : fd_(fd), status_(status) {}

    bool read(std::uint64_t offset, void* into, std::size_t size)
    {
        auto* bytes = static_cast<char*>(into);
        for (std::size_t done = 0; done < size;) {
            const ssize_t got = ::pread(fd_, bytes + done, size - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                error_ = got < 0 ? errno : 0; // 0: the file ends here
                return false;
            }
            done += static_cast<std::size_t>(got);
        }
        return true;
    }
    ReadAt reader()
    {
        return [this](std::uint64_t offset, void* into, std::size_t size) { return read(offset, into, size); };
    }

    // Why what was found cannot be trusted: a read failed, or the file is not what it was when
    // the reading began (cut short, grown, rewritten). "" when it held still.
    std::string trouble() const
    {
        if (error_ != 0)
            return std::string("cannot read: ") + std::strerror(error_);
        struct stat now {};
        if (::fstat(fd_, &now) != 0)
            return std::string("cannot read: ") + std::strerror(errno);
        if (now.st_size != status_.st_size || now.st_mtim.tv_sec != status_.st_mtim.tv_sec
            || now.st_mtim.tv_nsec != status_.st_mtim.tv_nsec)
            return "the file changed while it was read";
        return {};
    }

private:
    int fd_;
    struct stat status_;
    int error_ = 0;
};

// The recipe a picture holds, found by `find` through the file, or why not.
template <class Find>
std::variant<std::string, RecipeError> foundIn(int fd, const struct stat& status, const std::string& path, Find find)
{
    FileAt file(fd, status);
    FoundRecipe found = find(file.reader(), static_cast<std::uint64_t>(status.st_size));
    if (const std::string trouble = file.trouble(); !trouble.empty())
        return fileError(path, trouble);
    if (!found.recipe)
        return fileError(path, found.problem);
    return std::move(*found.recipe);
}

// A GIF: "GIF87a" or "GIF89a". genart writes the recipe as a comment extension ahead of the
// first image, which is as far as a GIF is read: its blocks are walked through giflib's decoder,
// at most kLongestGifHead bytes of them and kMostGifBlocks blocks, never its pixels.
constexpr std::size_t kGifSignatureLength = 6;
constexpr std::size_t kLongestGifHead = 256 * 1024;
constexpr int kMostGifBlocks = 64;

bool isGif(const std::string& start)
{
    return start.size() >= kGifSignatureLength && (start.compare(0, 6, "GIF87a") == 0 || start.compare(0, 6, "GIF89a") == 0);
}

struct GifReading {
    int fd;
    std::size_t bytesRead = 0;
    int readError = 0;
};

int readGifBytes(GifFileType* gif, GifByteType* into, int count)
{
    auto* reading = static_cast<GifReading*>(gif->UserData);
    if (count < 0 || static_cast<std::size_t>(count) > kLongestGifHead - reading->bytesRead)
        return 0; // giflib takes a short read as the end of the file
    int done = 0;
    while (done < count) {
        const ssize_t got = ::read(reading->fd, into + done, static_cast<std::size_t>(count - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            reading->readError = errno;
        if (got <= 0)
            break;
        done += static_cast<int>(got);
    }
    reading->bytesRead += static_cast<std::size_t>(done);
    return done;
}

// The comments ahead of the first image, and which of them carry a recipe.
struct GifComments {
    int recipes = 0;
    bool tooLong = false;
    std::string recipe; // the first
};

// Walks the blocks up to the first image; false with giflib's error code when it cannot.
bool readGifComments(GifFileType* gif, GifComments& comments, int& error)
{
    const std::string prefix = std::string(kRecipeKey) + ": ";
    for (int blocks = 0; blocks < kMostGifBlocks; ++blocks) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            break;
        if (type == IMAGE_DESC_RECORD_TYPE || type == TERMINATE_RECORD_TYPE)
            return true;
        int code = 0;
        GifByteType* block = nullptr;
        if (type != EXTENSION_RECORD_TYPE || DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            break;
        std::string text;
        for (; block != nullptr; ++blocks) {
            if (code == COMMENT_EXT_FUNC_CODE && text.size() <= kLargestChunk)
                text.append(reinterpret_cast<const char*>(block + 1), block[0]);
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                error = gif->Error;
                return false;
            }
        }
        if (code != COMMENT_EXT_FUNC_CODE || text.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (comments.recipes++ == 0) {
            comments.tooLong = text.size() > kLargestChunk;
            comments.recipe = text.substr(prefix.size());
        }
    }
    error = gif->Error != 0 ? gif->Error : D_GIF_ERR_WRONG_RECORD;
    return false;
}

std::variant<std::string, RecipeError> gifRecipeText(int fd, const std::string& path)
{
    if (::lseek(fd, 0, SEEK_SET) < 0)
        return fileError(path, std::string("cannot read: ") + std::strerror(errno));
    GifReading reading{fd};
    int error = 0;
    GifFileType* gif = DGifOpen(&reading, readGifBytes, &error);
    GifComments comments;
    const bool read = gif && readGifComments(gif, comments, error);
    if (gif)
        DGifCloseFile(gif, nullptr);
    if (reading.readError != 0)
        return fileError(path, std::string("cannot read: ") + std::strerror(reading.readError));
    if (!read)
        return fileError(path, std::string("unreadable GIF (") + GifErrorString(error) + ")");
    if (comments.recipes == 0)
        return fileError(path, "this GIF carries no genart recipe");
    if (comments.recipes > 1)
        return fileError(path, "this GIF carries more than one genart recipe");
    if (comments.tooLong)
        return fileError(path, "this GIF's recipe comment is too long to be one");
    return comments.recipe;
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
        stored = foundIn(file.get(), status, path, [](const ReadAt& read, std::uint64_t) { return jpegRecipe(read); });
    } else if (isWebp(start)) {
        stored = foundIn(file.get(), status, path, [](const ReadAt& read, std::uint64_t size) { return webpRecipe(read, size); });
    } else if (isGif(start)) {
        stored = gifRecipeText(file.get(), path);
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
