#pragma once

#include <cstdint>
#include <string>

namespace genart {

// The variables every drawing procedure reads and writes. Nothing is reset between
// pixels or pictures: each stage overwrites what it computes, and a statement that
// fails leaves its target as it was, so a pixel may see values from an earlier one.
// Values drawn in single precision are kept in floats so they stay rounded to single.
struct GenerationState {
    std::int16_t sir = 0; // image width in pixels, the sweep's last column
    std::int16_t vis = 0; // image height in pixels, the sweep's last row
    std::string imeslike; // name of the current picture
    std::string tekst1;   // caption: web address
    std::string tekst2;   // caption: credit line

    std::int16_t i = 0; // current column
    std::int16_t j = 0; // current row
    double x = 0;       // world coordinates of the current pixel
    double y = 0;

    double polx = 0; // half the world width and height
    double poly = 0;
    double dx = 0; // pixels per world unit
    double dy = 0;

    double ba = 0;    // shape value
    double re = 0;    // channel values; the palette leaves its last column's components here
    double gr = 0;
    double bl = 0;
    double barva = 0; // tone, turned into a palette column

    float tip1 = 0;   // shape formula 1..15
    float tip2 = 0;   // channel variant 1..3
    float tip3 = 0;   // tone variant 1..4
    float pozic0 = 0; // first palette column of the picture, 5..304

    double fi0 = 0;      // phase of the drifting centre
    float r0 = 0;        // radius of the centre's circle
    double korakfi1 = 0; // drift per pixel position
    double fi1 = 0;      // accumulated drift
    double fit = 0;      // angle of the centre for the current pixel
    double r = 0;        // distance of the pixel from the centre
    double fi = 0;       // angle of the pixel seen from the centre

    float fak1 = 0; // channel factors, 10..20
    float fak2 = 0;
    float fak3 = 0;

    bool operator==(const GenerationState&) const = default;
};

} // namespace genart
