#pragma once

#include <optional>
#include <string>

namespace genart {

// What a file holds, told by its name's extension (in any case).
enum class FileFormat { Png, Jpeg, WebP, Mp4, Gif };

std::optional<FileFormat> formatOfPath(const std::string& path);

// Formats a still picture may be written in, and animations.
bool isPictureFormat(FileFormat format);
bool isAnimationFormat(FileFormat format);

// The extensions each kind takes, for messages: ".png, .jpg, .jpeg or .webp".
inline constexpr const char* kPictureExtensions = ".png, .jpg, .jpeg or .webp";
inline constexpr const char* kAnimationExtensions = ".webp, .gif or .mp4";

// WebP holds no wider or taller picture.
inline constexpr int kLargestWebpSide = 16383;

// Why a picture `width` by `height` cannot be a file of `format`, or "".
std::string sizeProblem(FileFormat format, int width, int height);

// Why a still picture `width` by `height` cannot be written at `path` (its extension names no
// picture format, or one that cannot hold it), or "".
std::string pictureFileProblem(const std::string& path, int width, int height);

} // namespace genart
