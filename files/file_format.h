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

} // namespace genart
