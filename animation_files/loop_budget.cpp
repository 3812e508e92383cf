#include "animation_files/loop_budget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "animation_files/mp4_animation.h"
#include "animation_files/webp_animation.h"
#include "terminal_text/printable.h"

namespace genart {
namespace {

// Bytes a pixel of a frame takes in genart's loops of the benchmark's pictures: an MP4 at its
// default rate factor, a GIF, a lossless WebP, a lossy one at quality 80.
constexpr double kMp4BytesPerPixel = 0.016;
constexpr double kGifBytesPerPixel = 0.35;
constexpr double kLosslessWebpBytesPerPixel = 0.6;
constexpr double kLossyWebpBytesPerPixel = 0.12;

// Where a fitted MP4's quality stops coming down before its size does, and the WebP qualities.
constexpr int kCoarsestSharpMp4 = 28;
constexpr int kFirstLossyWebp = 90;
constexpr int kLowestWebp = 60;
constexpr int kNarrowest = 64;
constexpr int kMostTries = 12;

std::string megabytes(double bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f MB", bytes / 1e6);
    return text;
}

// The next try after one that would have taken `projected` bytes: the same loop, coarser or
// smaller, or nothing when it cannot come down further.
std::optional<AnimationRequest> smaller(FileFormat format, AnimationRequest request, double projected, std::size_t budget)
{
    const double ratio = static_cast<double>(budget) / std::max(projected, 1.0);
    if (format == FileFormat::Mp4 && request.quality < kCoarsestSharpMp4) {
        // Six steps of the rate factor halve an H.264 stream, near enough.
        const int steps = static_cast<int>(std::ceil(6 * std::log2(1 / ratio))) + 1;
        request.quality = std::min(kCoarsestSharpMp4, request.quality + std::max(steps, 1));
        return request;
    }
    if (format == FileFormat::WebP && request.quality > kLowestWebp) {
        request.quality = request.quality == WebpAnimation::kLossless ? kFirstLossyWebp : kLowestWebp;
        return request;
    }
    // A frame's bytes follow its pixels; a little further down, so that the next try fits.
    const double side = std::sqrt(ratio * 0.9);
    const int width = static_cast<int>(std::floor(request.size.width * side));
    const int height = std::max(1, static_cast<int>(std::floor(request.size.height * side)));
    if (width < kNarrowest)
        return std::nullopt;
    request.size = PictureSize::covering(width, height);
    return request;
}

AnimationRequest startingRequest(FileFormat format, AnimationRequest request)
{
    if (request.quality == kFormatsOwnQuality)
        request.quality = format == FileFormat::Mp4    ? Mp4Animation::kDefaultCrf
                          : format == FileFormat::WebP ? WebpAnimation::kLossless
                                                       : kFormatsOwnQuality;
    return request;
}

} // namespace

std::size_t estimatedLoopBytes(FileFormat format, const AnimationRequest& request)
{
    double perPixel = kGifBytesPerPixel;
    if (format == FileFormat::Mp4) {
        const int crf = request.quality == kFormatsOwnQuality ? Mp4Animation::kDefaultCrf : request.quality;
        perPixel = kMp4BytesPerPixel * std::exp2((Mp4Animation::kDefaultCrf - crf) / 6.0);
    } else if (format == FileFormat::WebP) {
        const bool lossless = request.quality == kFormatsOwnQuality || request.quality >= WebpAnimation::kLossless;
        perPixel = lossless ? kLosslessWebpBytesPerPixel : kLossyWebpBytesPerPixel;
    }
    return static_cast<std::size_t>(perPixel * request.size.width * request.size.height * request.frames);
}

LoopFitting fitLoop(const Recipe& recipe, const AnimationRequest& asked, std::optional<FileFormat> format,
                    std::size_t budget, OutputFiles& files, const std::string& out,
                    const Progress& progress, const CancelToken* cancel)
{
    const std::vector<FileFormat> formats = format ? std::vector<FileFormat>{*format}
                                                   : std::vector<FileFormat>{FileFormat::Gif, FileFormat::Mp4};
    std::string lastProblem = "it does not fit in " + megabytes(static_cast<double>(budget));
    for (const FileFormat tried : formats) {
        std::optional<AnimationRequest> request = startingRequest(tried, asked);
        if (const std::string problem = loopProblem(tried, *request); !problem.empty()) {
            lastProblem = problem;
            continue;
        }
        const std::string path = format ? out : out + "." + extensionOf(tried);
        for (int attempt = 0; request && attempt < kMostTries; ++attempt) {
            EncodedLoop encoded = stageLoop(files, path, recipe, *request, tried, budget, progress, cancel);
            if (const auto* fitted = std::get_if<Encoded>(&encoded))
                return FittedLoop{tried, *request, fitted->bytes, path};
            if (std::holds_alternative<Cancelled>(encoded))
                return Cancelled{};
            if (auto* failure = std::get_if<std::string>(&encoded))
                return std::move(*failure);
            const OverBudget over = std::get<OverBudget>(encoded);
            if (!format && tried == FileFormat::Gif)
                break; // a GIF only at the size asked for; smaller, an MP4 shows more
            request = smaller(tried, *request, over.projected(request->frames), budget);
        }
    }
    return printable(out) + ": cannot share: " + lastProblem;
}

std::string describeFit(const FittedLoop& fitted, std::size_t budget)
{
    const AnimationRequest& r = fitted.request;
    std::string quality;
    if (fitted.format == FileFormat::Mp4)
        quality = ", rate factor " + std::to_string(r.quality);
    else if (fitted.format == FileFormat::WebP)
        quality = r.quality >= WebpAnimation::kLossless ? ", lossless" : ", quality " + std::to_string(r.quality);
    const char* name = fitted.format == FileFormat::Mp4 ? "MP4" : fitted.format == FileFormat::Gif ? "GIF" : "WebP";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", r.seconds());
    const int width = fitted.format == FileFormat::Mp4 ? Mp4Animation::evenSide(r.size.width) : r.size.width;
    const int height = fitted.format == FileFormat::Mp4 ? Mp4Animation::evenSide(r.size.height) : r.size.height;
    return std::string(name) + ", " + std::to_string(width) + " \u00d7 " + std::to_string(height) + ", "
        + std::to_string(r.frames) + " frames at " + std::to_string(r.fps) + " a second (" + seconds + ")" + quality
        + ": " + megabytes(static_cast<double>(fitted.bytes)) + " of " + megabytes(static_cast<double>(budget));
}

const char* extensionOf(FileFormat format)
{
    switch (format) {
    case FileFormat::Png:
        return "png";
    case FileFormat::Jpeg:
        return "jpg";
    case FileFormat::WebP:
        return "webp";
    case FileFormat::Mp4:
        return "mp4";
    case FileFormat::Gif:
        return "gif";
    }
    return "";
}

} // namespace genart
