// The format table: which format a path names, and what each format holds.
#include <gtest/gtest.h>

#include "file_formats/file_format.h"

namespace genart {
namespace {

TEST(FileFormat, TheExtensionTellsTheFormatInAnyCase)
{
    EXPECT_EQ(formatOfPath("a.png"), FileFormat::Png);
    EXPECT_EQ(formatOfPath("dir.jpg/a.PNG"), FileFormat::Png);
    EXPECT_EQ(formatOfPath("a.Jpg"), FileFormat::Jpeg);
    EXPECT_EQ(formatOfPath("a.jpeg"), FileFormat::Jpeg);
    EXPECT_EQ(formatOfPath("loop.WEBP"), FileFormat::WebP);
    EXPECT_EQ(formatOfPath("loop.mp4"), FileFormat::Mp4);
    EXPECT_EQ(formatOfPath("loop.Gif"), FileFormat::Gif);
    for (const char* none : {"a", "a.tif", "a.png.bak", "pictures.png/a", "a.", ""})
        EXPECT_EQ(formatOfPath(none), std::nullopt) << none;
    EXPECT_FALSE(isPictureFormat(FileFormat::Mp4));
    EXPECT_FALSE(isPictureFormat(FileFormat::Gif)); // a loop, never a still picture
    EXPECT_TRUE(isAnimationFormat(FileFormat::Gif));
    EXPECT_FALSE(isAnimationFormat(FileFormat::Jpeg));
}

TEST(ImageSizes, EachFormatTellsTheLargestPictureItHolds)
{
    EXPECT_EQ(sizeProblem(FileFormat::WebP, 16383, 16383), "");
    EXPECT_NE(sizeProblem(FileFormat::WebP, 16384, 10), "");
    EXPECT_NE(sizeProblem(FileFormat::WebP, 10, 16384), "");
    EXPECT_EQ(sizeProblem(FileFormat::Png, 16384, 16384), "");
    EXPECT_EQ(sizeProblem(FileFormat::Jpeg, 16384, 16384), "");

    // A still picture: a picture format that holds its size, or the reason.
    EXPECT_EQ(pictureFileProblem("a/b.webp", 600, 450), "");
    EXPECT_NE(pictureFileProblem("loop.mp4", 600, 450).find(kPictureExtensions), std::string::npos);
    EXPECT_NE(pictureFileProblem("wide.webp", 20000, 10), "");
}

} // namespace
} // namespace genart
