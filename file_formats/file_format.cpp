#include "file_formats/file_format.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace genart {

std::optional<FileFormat> formatOfPath(const std::string& path)
{
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.')
        return std::nullopt;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const std::pair<const char*, FileFormat> kExtensions[] = {
        {"png", FileFormat::Png}, {"jpg", FileFormat::Jpeg}, {"jpeg", FileFormat::Jpeg},
        {"webp", FileFormat::WebP}, {"mp4", FileFormat::Mp4}, {"gif", FileFormat::Gif},
    };
    for (const auto& [name, format] : kExtensions)
        if (extension == name)
            return format;
    return std::nullopt;
}

bool isPictureFormat(FileFormat format)
{
    return format != FileFormat::Mp4 && format != FileFormat::Gif;
}

bool isAnimationFormat(FileFormat format)
{
    return format == FileFormat::WebP || format == FileFormat::Mp4 || format == FileFormat::Gif;
}

std::string sizeProblem(FileFormat format, int width, int height)
{
    if (format == FileFormat::WebP && (width > kLargestWebpSide || height > kLargestWebpSide))
        return "a WebP picture is at most " + std::to_string(kLargestWebpSide) + " pixels wide and high";
    return {};
}

std::string pictureFileProblem(const std::string& path, int width, int height)
{
    const std::optional<FileFormat> format = formatOfPath(path);
    if (!format || !isPictureFormat(*format))
        return std::string("not a picture format (use ") + kPictureExtensions + ")";
    return sizeProblem(*format, width, height);
}

} // namespace genart
