#include "animation_files/gif_animation.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include <gif_lib.h>

#include "animation_files/neighbour_groups.h"
#include "generator/fast_renderer.h"
#include "generator/palette_row.h"

namespace genart {
namespace {

constexpr int kColours = 255;     // a frame's colours, beside the transparent index
constexpr int kCaptionPlaces = 32; // kept for the caption's colours when the entries do not all fit
constexpr std::uint32_t kRgb = 0x00ffffff;

std::string failed(const std::string& what, int code = 0)
{
    const char* detail = code != 0 ? GifErrorString(code) : nullptr;
    return "GIF encoding failed: " + what + (detail ? std::string(": ") + detail : std::string());
}

int red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xff); }
int green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xff); }
int blue(std::uint32_t c) { return static_cast<int>(c & 0xff); }

int distance(std::uint32_t a, std::uint32_t b)
{
    const int r = red(a) - red(b), g = green(a) - green(b), l = blue(a) - blue(b);
    return r * r + g * g + l * l;
}

// The index of the colour in `table` nearest to `colour`.
int nearest(const std::vector<std::uint32_t>& table, std::uint32_t colour)
{
    int best = 0;
    for (std::size_t i = 1; i < table.size(); ++i)
        if (distance(table[i], colour) < distance(table[static_cast<std::size_t>(best)], colour))
            best = static_cast<int>(i);
    return best;
}

std::uint32_t meanColour(const std::vector<std::uint16_t>& members, const std::vector<std::uint32_t>& colours,
                         const std::vector<std::uint64_t>& weights)
{
    std::uint64_t total = 0, r = 0, g = 0, b = 0;
    for (const std::uint16_t e : members) {
        const std::uint64_t w = weights[e];
        total += w;
        r += w * static_cast<std::uint64_t>(red(colours[e]));
        g += w * static_cast<std::uint64_t>(green(colours[e]));
        b += w * static_cast<std::uint64_t>(blue(colours[e]));
    }
    const auto mean = [total](std::uint64_t sum) { return static_cast<std::uint32_t>((2 * sum + total) / (2 * total)); };
    return mean(r) << 16 | mean(g) << 8 | mean(b);
}

const QRgb* line(const QImage& frame, int y)
{
    return reinterpret_cast<const QRgb*>(frame.constScanLine(y));
}

} // namespace

// What one frame shows: its colour table, the index of the transparent colour, and (in
// indices_) the index of every pixel.
struct GifAnimation::Table {
    std::vector<std::uint32_t> colours;
    int transparent = 0;
};

int writeGifBytes(GifFileType* gif, const unsigned char* data, int length)
{
    auto& animation = *static_cast<GifAnimation*>(gif->UserData);
    if (length <= 0)
        return 0;
    const std::size_t size = static_cast<std::size_t>(length);
    if (std::string failure = writeAt(animation.fd_, animation.written_, data, size); !failure.empty()) {
        animation.failure_ = std::move(failure); // the system's reason, told as it is
        return 0; // giflib stops with a write error
    }
    animation.written_ += size;
    return length;
}

GifAnimation::GifAnimation(int width, int height, int fps, std::vector<std::uint16_t> entries,
                           const std::string& comment, int fd)
    : width_(width), height_(height), fps_(fps), entries_(std::move(entries)), fd_(fd)
{
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide || fps < 1 || fps > kMostFps
        || entries_.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        failure_ = failed("a loop of that size or speed does not fit a GIF");
        return;
    }
    int code = 0;
    gif_ = EGifOpen(this, writeGifBytes, &code);
    if (!gif_) {
        failure_ = failed("cannot start", code);
        return;
    }
    EGifSetGifVersion(gif_, true);
    // Loops forever: the NETSCAPE2.0 application extension with a loop count of 0.
    const unsigned char endless[3] = {1, 0, 0};
    if (EGifPutScreenDesc(gif_, width, height, 8, 0, nullptr) == GIF_ERROR
        || EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR
        || EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_ERROR
        || EGifPutExtensionBlock(gif_, 3, endless) == GIF_ERROR || EGifPutExtensionTrailer(gif_) == GIF_ERROR
        || (!comment.empty() && EGifPutComment(gif_, comment.c_str()) == GIF_ERROR)) {
        if (failure_.empty()) // not already the system's reason for a failed write
            failure_ = failed("cannot write the header", gif_->Error);
    }
}

GifAnimation::~GifAnimation()
{
    if (gif_)
        EGifCloseFile(gif_, nullptr);
}

int GifAnimation::delay(int frame) const
{
    // Hundredths of a second from the start to frame n, rounded: the delays add up to the loop.
    const auto at = [this](std::int64_t n) { return (200 * n + fps_) / (2 * fps_); };
    return static_cast<int>(at(frame + 1) - at(frame));
}

void GifAnimation::setUp(const QImage& first)
{
    groupEntries(findOwnColours(first));
    shown_.assign(entries_.size(), 0);
    indices_.assign(entries_.size(), 0);
}

int GifAnimation::findOwnColours(const QImage& first)
{
    // Each entry's own colour is the one most of its pixels show; a pixel showing it stands for
    // the entry in every frame.
    std::uint16_t highest = 0;
    for (const std::uint16_t e : entries_)
        if (e != kNoEntry)
            highest = std::max(highest, e);
    const std::size_t count = static_cast<std::size_t>(highest) + 1;
    weight_.assign(count, 0);
    representative_.assign(count, 0);
    std::unordered_map<std::uint64_t, std::uint64_t> seen; // (entry, colour) -> pixels
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
            const std::uint16_t e = entries_[p];
            if (e == kNoEntry)
                continue;
            ++weight_[e];
            ++seen[std::uint64_t{e} << 32 | (line(first, y)[x] & kRgb)];
        }
    std::vector<std::uint64_t> most(count, 0);
    std::vector<std::uint32_t> own(count, 0);
    for (const auto& [key, pixels] : seen) {
        const auto e = static_cast<std::size_t>(key >> 32);
        if (pixels > most[e]) {
            most[e] = pixels;
            own[e] = static_cast<std::uint32_t>(key);
        }
    }
    std::vector<bool> found(count, false);
    std::vector<std::uint32_t> captionColours;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
            const std::uint16_t e = entries_[p];
            const std::uint32_t colour = line(first, y)[x] & kRgb;
            if (e != kNoEntry && colour == own[e]) {
                if (!found[e])
                    representative_[e] = static_cast<std::uint32_t>(p);
                found[e] = true;
            } else {
                captionColours.push_back(colour);
            }
        }
    std::sort(captionColours.begin(), captionColours.end());
    return static_cast<int>(std::unique(captionColours.begin(), captionColours.end()) - captionColours.begin());
}

void GifAnimation::groupEntries(int captionCount)
{
    // An index for each entry if they fit beside the caption's colours; else neighbours share.
    const std::size_t count = weight_.size();
    const int used = static_cast<int>(std::count_if(weight_.begin(), weight_.end(), [](std::uint64_t w) { return w > 0; }));
    const bool farLeft = count > PaletteRow::kFarLeft && weight_[PaletteRow::kFarLeft] > 0;
    std::vector<std::uint64_t> neighbours = weight_;
    if (farLeft)
        neighbours[PaletteRow::kFarLeft] = 0; // black, a group of its own: it has no neighbours
    exact_ = used + captionCount <= kColours;
    const int places = exact_ ? used : kColours - std::min(captionCount, kCaptionPlaces);
    group_ = neighbourGroups(neighbours, places - (farLeft ? 1 : 0));
    groups_ = 1 + *std::max_element(group_.begin(), group_.end());
    if (farLeft)
        group_[PaletteRow::kFarLeft] = groups_++;
    members_.assign(static_cast<std::size_t>(groups_), {});
    for (std::size_t e = 0; e < count; ++e)
        if (group_[e] >= 0)
            members_[static_cast<std::size_t>(group_[e])].push_back(static_cast<std::uint16_t>(e));
}

// Each colour flows a level or two a frame, so an exact GIF changes nearly every pixel of every
// frame. Where the colours are reduced anyway, an index keeps the colour it showed while that is
// within kDrift levels of its true colour in every channel. When it is not, it takes the true
// colour; and if no channel moves more than twice kDrift a frame, that colour moved kDrift levels
// further the way each channel goes, so that the true colour passes through it and the next
// change comes twice as late for the same error.
void GifAnimation::followLoosely(std::vector<std::uint32_t>& colours)
{
    const std::vector<std::uint32_t> now = colours;
    for (std::size_t i = 0; frames_ > 0 && i < colours.size(); ++i) {
        const std::uint32_t c = now[i], shown = ofIndex_[i], before = true_[i];
        const auto most = [c](std::uint32_t other) {
            return std::max({std::abs(red(c) - red(other)), std::abs(green(c) - green(other)),
                             std::abs(blue(c) - blue(other))});
        };
        if (most(shown) <= kDrift) {
            colours[i] = shown;
            continue;
        }
        if (most(before) > 2 * kDrift)
            continue; // changing again next frame whatever it shows now
        const auto ahead = [](int value, int previous) {
            const int step = value > previous ? kDrift : value < previous ? -kDrift : 0;
            return static_cast<std::uint32_t>(std::clamp(value + step, 0, 255));
        };
        colours[i] = ahead(red(c), red(before)) << 16 | ahead(green(c), green(before)) << 8 | ahead(blue(c), blue(before));
    }
    true_ = now;
    ofIndex_ = colours;
}

GifAnimation::Table GifAnimation::tableOf(const QImage& frame)
{
    const QRgb* const pixels = line(frame, 0);
    const auto stride = static_cast<std::size_t>(frame.bytesPerLine() / 4);
    const auto colourAt = [&](std::size_t p) {
        const std::size_t y = p / static_cast<std::size_t>(width_), x = p % static_cast<std::size_t>(width_);
        return pixels[y * stride + x] & kRgb;
    };
    std::vector<std::uint32_t> own(weight_.size(), 0);
    for (std::size_t e = 0; e < weight_.size(); ++e)
        if (weight_[e] > 0)
            own[e] = colourAt(representative_[e]);
    Table table;
    for (const auto& members : members_)
        table.colours.push_back(members.size() == 1 ? own[members[0]] : meanColour(members, own, weight_));
    if (!exact_)
        followLoosely(table.colours);

    // The pixels their entry does not explain, with the colours they show.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> others; // (colour, pixel)
    for (std::size_t p = 0; p < entries_.size(); ++p) {
        const std::uint16_t e = entries_[p];
        const std::uint32_t colour = colourAt(p);
        if (e != kNoEntry && group_[e] >= 0 && colour == own[e])
            indices_[p] = static_cast<std::uint8_t>(group_[e]);
        else
            others.emplace_back(colour, static_cast<std::uint32_t>(p));
    }
    std::sort(others.begin(), others.end());
    std::vector<std::pair<std::size_t, std::uint32_t>> byUse; // (pixels, colour), the commonest first
    for (std::size_t i = 0; i < others.size();) {
        std::size_t j = i;
        while (j < others.size() && others[j].first == others[i].first)
            ++j;
        byUse.emplace_back(j - i, others[i].first);
        i = j;
    }
    std::stable_sort(byUse.begin(), byUse.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    const std::size_t places = std::min(byUse.size(), static_cast<std::size_t>(kColours - groups_));
    std::unordered_map<std::uint32_t, int> placed;
    for (std::size_t i = 0; i < places; ++i) {
        placed[byUse[i].second] = static_cast<int>(table.colours.size());
        table.colours.push_back(byUse[i].second);
    }
    for (const auto& [colour, p] : others) {
        const auto at = placed.find(colour);
        indices_[p] = static_cast<std::uint8_t>(at != placed.end() ? at->second : nearest(table.colours, colour));
    }
    table.transparent = static_cast<int>(table.colours.size());
    return table;
}

std::string GifAnimation::put(const Table& table)
{
    // After the first frame, only what changes: the rest is transparent over the frame before.
    const bool first = frames_ == 0;
    int left = width_, top = height_, right = -1, bottom = -1;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
            if (first || table.colours[indices_[p]] != shown_[p]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    if (right < 0) // nothing changes: one transparent pixel
        left = right = top = bottom = 0;

    std::vector<GifColorType> colours(static_cast<std::size_t>(1) << GifBitSize(table.transparent + 1));
    for (std::size_t i = 0; i < table.colours.size(); ++i)
        colours[i] = {static_cast<GifByteType>(red(table.colours[i])), static_cast<GifByteType>(green(table.colours[i])),
                      static_cast<GifByteType>(blue(table.colours[i]))};
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (!map)
        return failed("out of memory");
    const GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay(frames_), first ? NO_TRANSPARENT_COLOR : table.transparent};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    const int width = right - left + 1;
    bool written = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_ERROR
        && EGifPutImageDesc(gif_, left, top, width, bottom - top + 1, false, map) != GIF_ERROR;
    GifFreeMapObject(map);
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = top; written && y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
            const std::uint32_t colour = table.colours[indices_[p]];
            const bool changes = first || colour != shown_[p];
            row[static_cast<std::size_t>(x - left)] = changes ? indices_[p] : static_cast<GifPixelType>(table.transparent);
            shown_[p] = colour;
        }
        written = EGifPutLine(gif_, row.data(), width) != GIF_ERROR;
    }
    if (!failure_.empty())
        return failure_;
    return written ? std::string() : failed("cannot write a frame", gif_->Error);
}

std::string GifAnimation::add(const QImage& frame)
{
    if (!failure_.empty())
        return failure_;
    if (frame.width() != width_ || frame.height() != height_)
        return failed("a frame of the wrong size");
    const QImage pixels = frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
    if (frames_ == 0)
        setUp(pixels);
    if (std::string failure = put(tableOf(pixels)); !failure.empty())
        return failure;
    ++frames_;
    return {};
}

std::string GifAnimation::finish()
{
    if (!failure_.empty())
        return failure_;
    int code = 0;
    const int closed = EGifCloseFile(gif_, &code);
    gif_ = nullptr;
    if (!failure_.empty())
        return failure_; // a write that failed while the file was closed
    if (closed == GIF_ERROR)
        return failed("cannot finish the file", code);
    return {};
}

} // namespace genart
