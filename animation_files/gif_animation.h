#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animation_files/animation_encoder.h"

struct GifFileType;

namespace genart {

// An animated GIF of a picture's colour cycle through giflib, written into `fd` as giflib makes
// it (one frame and its tables held, never the file): looping forever (the NETSCAPE2.0
// extension), `comment` in a comment extension ahead of the frames, each frame shown for whole
// hundredths of a second that add up to the loop's length (frames / fps seconds, to the
// nearest hundredth).
//
// Colour cycling keeps each pixel's palette entry, so every frame shares one index image: an
// index for each entry, coloured by the frame's own colour table. A frame's colours are exact
// when the entries the picture uses, and the colours of the pixels its entry does not explain
// (the caption's, those no position reached), fit in the 255 colours a frame shows beside
// transparency. Otherwise neighbouring entries share an index (see neighbourGroups), coloured
// in each frame by the mean of their colours, and the caption's colours take the places left,
// the commonest first, the rest the nearest colour of the table; and, as the colours are
// reduced anyway, an index's colour changes only once it is more than kDrift levels from the
// true one in some channel (see followLoosely). After the first frame only the pixels whose
// colour changes are encoded, within the rectangle that holds them, the others transparent
// over the frame before: GIF has no cheaper way to show a frame.
class GifAnimation final : public AnimationEncoder {
public:
    // `entries`: each pixel's palette entry, scan line after scan line (CyclingPicture::entries).
    GifAnimation(int width, int height, int fps, std::vector<std::uint16_t> entries, const std::string& comment,
                 int fd);
    ~GifAnimation() override;
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    std::string add(const QImage& frame) override;
    std::string finish() override;

    // The largest width and height a GIF holds, and the most frames a second it shows (browsers
    // show a frame of one hundredth of a second for a tenth).
    static constexpr int kLargestSide = 65535;
    static constexpr int kMostFps = 50;
    // How far, in levels of 255, a reduced colour may be from the true one in each channel.
    static constexpr int kDrift = 3;

private:
    struct Table; // a frame's colours and which pixels take which of them

    void setUp(const QImage& first);
    // Each entry's weight, own colour and a pixel that shows it; the number of colours of the
    // pixels their entry does not explain.
    int findOwnColours(const QImage& first);
    void groupEntries(int captionCount);
    Table tableOf(const QImage& frame);
    void followLoosely(std::vector<std::uint32_t>& colours);
    std::string put(const Table& table);
    int delay(int frame) const;

    int width_;
    int height_;
    int fps_;
    int frames_ = 0;
    std::vector<std::uint16_t> entries_;
    std::vector<std::uint32_t> representative_; // a pixel that shows each entry's own colour
    std::vector<int> group_;                      // each entry's index, -1 for entries not used
    std::vector<std::vector<std::uint16_t>> members_; // each index's entries
    std::vector<std::uint64_t> weight_;               // pixels of each entry
    int groups_ = 0;
    bool exact_ = true;                   // every entry has an index, every colour its place
    std::vector<std::uint32_t> true_;     // each index's true colour in the frame before
    std::vector<std::uint32_t> ofIndex_;  // and the colour it showed
    std::vector<std::uint32_t> shown_;  // the colour each pixel shows after the frames so far
    std::vector<std::uint8_t> indices_; // this frame's index of each pixel
    int fd_;
    std::uint64_t written_ = 0; // bytes in the file so far
    GifFileType* gif_ = nullptr;
    std::string failure_;

    friend int writeGifBytes(GifFileType* gif, const unsigned char* data, int length);
};

} // namespace genart
