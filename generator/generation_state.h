#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace genart {

// The picture every window draws: 600 by 450 pixels, 50 to a world unit. The sweep visits one
// column and one row more than that (columns 0..600, rows 0..450).
inline constexpr int kPictureWidth = 600;
inline constexpr int kPictureHeight = 450;
// How far the drifting centre turns at each position of the sweep, in radians.
inline constexpr double kDriftStep = 0.00003;

// The picture's size and how the world maps onto it, set once at start-up.
struct Geometry {
    std::int16_t sir = 0; // image width in pixels, the sweep's last column
    std::int16_t vis = 0; // image height in pixels, the sweep's last row
    double polx = 0;      // half the world width and height
    double poly = 0;
    double dx = 0; // pixels per world unit
    double dy = 0;

    bool operator==(const Geometry&) const = default;
};

// What the caption prints: the picture's name and the two fixed texts.
struct CaptionTexts {
    std::string imeslike; // name of the current picture
    std::string tekst1;   // web address
    std::string tekst2;   // credit line

    bool operator==(const CaptionTexts&) const = default;
};

// The nine values each picture draws. Values drawn in single precision are kept in floats so
// they stay rounded to single.
struct PictureParameters {
    float tip1 = 0;   // shape formula 1..15
    float tip2 = 0;   // channel variant 1..3
    float tip3 = 0;   // tone variant 1..4
    float pozic0 = 0; // first palette column of the picture, 5..304
    double fi0 = 0;   // phase of the drifting centre
    float r0 = 0;     // radius of the centre's circle
    float fak1 = 0;   // channel factors, 10..20
    float fak2 = 0;
    float fak3 = 0;

    bool operator==(const PictureParameters&) const = default;
};

// The centre's drift: the step per position and how far it has gone in this picture.
struct Drift {
    double korakfi1 = 0; // drift per pixel position
    double fi1 = 0;      // accumulated drift

    bool operator==(const Drift&) const = default;
};

// The size in pixels, along one side, of the picture drawn `scale` times its normal size; the
// sweep visits one column and one row beyond it, as the normal sweep does.
inline int coveringSize(std::int16_t normalSize, double scale)
{
    return static_cast<int>(std::lround(normalSize * scale));
}

// Where every picture's drift starts.
constexpr Drift startingDrift() { return {kDriftStep, 0}; }

// The values a statement that fails leaves as they were, so they flow from one position to
// the next and from one picture into the next one's first positions.
struct CarriedValues {
    double ba = 0;    // shape value
    double re = 0;    // channel values; the palette leaves its last column's components here
    double gr = 0;
    double bl = 0;
    double barva = 0; // tone, turned into a palette column

    bool operator==(const CarriedValues&) const = default;
};

// The position being drawn and where it lies from the centre.
struct Position {
    std::int16_t i = 0; // current column
    std::int16_t j = 0; // current row
    double x = 0;       // world coordinates of the current pixel
    double y = 0;
    double fit = 0; // angle of the centre for the current pixel
    double r = 0;   // distance of the pixel from the centre
    double fi = 0;  // angle of the pixel seen from the centre

    bool operator==(const Position&) const = default;
};

// The variables every drawing procedure reads and writes. Nothing is reset between
// pixels or pictures: each stage overwrites what it computes, and a statement that
// fails leaves its target as it was, so a pixel may see values from an earlier one.
struct GenerationState {
    Geometry geometry;
    CaptionTexts texts;
    PictureParameters picture;
    Drift drift;
    CarriedValues carried;
    Position position;

    bool operator==(const GenerationState&) const = default;
};

} // namespace genart
