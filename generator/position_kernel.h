#pragma once

// The five per-pixel steps, taken by the fast sweep over batches of positions. Every
// expression is the one the step-by-step procedures evaluate, in the same order and
// precision, so each result is the same to the last bit; what changes is that a sine or
// cosine several stages need is computed once, that column and row quantities come from
// tables, and that the variants are chosen once per picture instead of at every position.

#include <cmath>
#include <cstdint>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "generator/evaluation.h"
#include "generator/generation_state.h"
#include "generator/palette_row.h"

namespace genart::kernel {

// What stays fixed for a whole picture.
struct PictureConstants {
    int formula = 1; // shape formula 1..15
    int channel = 1; // channel variant 1..3
    int tone = 1;    // tone variant 1..4
    double fi0 = 0;
    double r0 = 0;
    double fak1 = 0, fak2 = 0, fak3 = 0;
    // Which of the shared values this picture's variants read.
    bool needsFi = false;
    bool needsSinR = false;
    bool needsCosR = false;

    explicit PictureConstants(const PictureParameters& p)
        : formula(chosenVariant(p.tip1, 15)), channel(chosenVariant(p.tip2, 3)), tone(chosenVariant(p.tip3, 4)),
          fi0(p.fi0), r0(p.r0), fak1(p.fak1), fak2(p.fak2), fak3(p.fak3)
    {
        const auto among = [](int value, std::initializer_list<int> set) {
            for (int v : set)
                if (v == value)
                    return true;
            return false;
        };
        needsFi = among(formula, {2, 7, 11, 12, 13, 14, 15});
        needsSinR = among(formula, {3, 5, 6, 9, 10, 12, 15}) || channel != 1 || among(tone, {2, 4});
        needsCosR = channel != 1 || tone == 4;
    }
};

// The values the skip rule carries from one position to the next, and their bits in a mask of
// the ones a position wrote.
using Carries = CarriedValues;
enum : unsigned { kBa = 1u, kRe = 2u, kGr = 4u, kBl = 8u, kBarva = 16u, kAllCarries = 31u };

// Consecutive positions of one column, taken through the steps one step at a time: each step
// goes over the whole batch before the next starts, so the maths calls of neighbouring
// positions do not wait for one another. The skip rule comes last, position by position.
struct Batch {
    static constexpr int kCapacity = 256;
    int length = 0;
    // The column's world x and its sine; the rows' y, sin(y) and cos(y), from `length` rows on.
    double x = 0;
    double sinX = 0;
    const double* y = nullptr;
    const double* sinY = nullptr;
    const double* cosY = nullptr;
    // Per position: the drift, the frame, the sines and cosines stages share, the shape value.
    // When `frameGiven` is set the caller has filled fit, sinFit and cosFit already, and fi1
    // is not read.
    bool frameGiven = false;
    double fi1[kCapacity];
    double fit[kCapacity];
    double sinFit[kCapacity];
    double cosFit[kCapacity];
    double xd[kCapacity];
    double yd[kCapacity];
    double r[kCapacity];
    double fi[kCapacity]; // only when the picture reads it (or `withFi` asks for it)
    double sinR[kCapacity];
    double cosR[kCapacity];
    double shape[kCapacity];
    // The channels and the tone as they come out when every statement completes.
    double re[kCapacity];
    double gr[kCapacity];
    double bl[kCapacity];
    double tone[kCapacity];
};

// The drifting centre for each position, and the position measured from it.
inline void measure(const PictureConstants& k, Batch& b, bool withFi)
{
    const int n = b.length;
    if (!b.frameGiven) {
        for (int i = 0; i < n; ++i)
            b.fit[i] = k.fi0 + b.fi1[i];
        for (int i = 0; i < n; ++i)
            ::sincos(b.fit[i], &b.sinFit[i], &b.cosFit[i]);
    }
    for (int i = 0; i < n; ++i) {
        const double xc = k.r0 * b.cosFit[i];
        const double yc = k.r0 * b.sinFit[i];
        b.xd[i] = xc - b.x;
        b.yd[i] = yc - b.y[i];
    }
    int i = 0;
#if defined(__SSE2__)
    // Two at a time: the square root is correctly rounded either way, so the same to the bit.
    for (; i + 2 <= n; i += 2) {
        const __m128d xd = _mm_loadu_pd(b.xd + i);
        const __m128d yd = _mm_loadu_pd(b.yd + i);
        _mm_storeu_pd(b.r + i, _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(xd, xd), _mm_mul_pd(yd, yd))));
    }
#endif
    for (; i < n; ++i)
        b.r[i] = std::sqrt((b.xd[i] * b.xd[i]) + (b.yd[i] * b.yd[i]));
    if (withFi)
        for (int m = 0; m < n; ++m)
            b.fi[m] = (b.xd[m] == 0 && b.yd[m] == 0) ? 0.0 : std::atan(b.yd[m] / b.xd[m]);
    if (k.needsSinR && k.needsCosR)
        for (int m = 0; m < n; ++m)
            ::sincos(b.r[m], &b.sinR[m], &b.cosR[m]);
    else if (k.needsSinR)
        for (int m = 0; m < n; ++m)
            b.sinR[m] = std::sin(b.r[m]);
}

// The picture's shape formula at every position of the batch; a failed one gives a value
// that is not finite.
inline void shapeValues(const PictureConstants& k, Batch& b)
{
    const int n = b.length;
    const double x = b.x;
    const double sinX = b.sinX;
    const double* const r = b.r;
    const double* const fi = b.fi;
    const double* const y = b.y;
    double* const ba = b.shape;
    using std::abs, std::cos, std::pow, std::sin, std::sqrt, std::tan;
    switch (k.formula) {
    case 2: for (int i = 0; i < n; ++i) ba[i] = r[i] * fi[i]; break;
    case 3: for (int i = 0; i < n; ++i) ba[i] = (r[i] * r[i]) * b.sinR[i]; break;
    case 4: for (int i = 0; i < n; ++i) ba[i] = x * r[i]; break;
    case 5: for (int i = 0; i < n; ++i) ba[i] = ((r[i] * b.sinR[i]) * x) * b.cosY[i]; break;
    case 6:
        for (int i = 0; i < n; ++i) {
            // A power too large for a double fails the statement, though dividing by it gives 0.
            const double power = pow(r[i], r[i] + b.sinR[i]);
            ba[i] = std::isfinite(power) ? ((r[i] * r[i]) * (2 + sin(b.fit[i] * r[i]))) / power : power;
        }
        break;
    case 7: for (int i = 0; i < n; ++i) ba[i] = (r[i] * tan(fi[i])) * fi[i]; break;
    case 8: for (int i = 0; i < n; ++i) ba[i] = ((r[i] * tan(r[i])) * x) * sinX; break;
    case 9:
        for (int i = 0; i < n; ++i)
            ba[i] = ((r[i] * (1 + b.sinR[i])) + (x * (1 + sinX))) + (y[i] * (1 + b.sinY[i]));
        break;
    case 10:
        for (int i = 0; i < n; ++i)
            ba[i] = (r[i] * (1 + b.sinR[i])) + (((x * (1 + sinX)) * y[i]) * (1 + b.sinY[i]));
        break;
    case 11: for (int i = 0; i < n; ++i) ba[i] = ((r[i] + x) + y[i]) / fi[i]; break;
    case 12:
        for (int i = 0; i < n; ++i)
            ba[i] = ((r[i] * (1 + b.sinR[i])) * (1 + cos(b.fit[i] + r[i]))) * fi[i];
        break;
    case 13: for (int i = 0; i < n; ++i) ba[i] = r[i] / fi[i]; break;
    case 14: for (int i = 0; i < n; ++i) ba[i] = (sqrt(r[i]) / fi[i]) * pow(r[i], 1 + sinX); break;
    case 15: for (int i = 0; i < n; ++i) ba[i] = pow(r[i] / abs(x), (1 + b.sinR[i]) + cos(fi[i])); break;
    default: for (int i = 0; i < n; ++i) ba[i] = r[i] * r[i]; break;
    }
}

inline unsigned store(double& target, double value, unsigned bit)
{
    if (!std::isfinite(value))
        return 0;
    target = value;
    return bit;
}

// The three channel statements' values from a shape value, for the picture's channel variant.
struct Channels {
    double re, gr, bl;
};
template <int Channel>
[[gnu::always_inline]] inline Channels channelValues(const PictureConstants& k, const Batch& b, int i, double ba)
{
    using std::abs;
    if constexpr (Channel == 2)
        return {abs(ba * (10 + b.sinR[i])), abs(ba * (10 + b.cosR[i])), abs(ba * (10 + b.sinFit[i]))};
    else if constexpr (Channel == 3)
        return {abs(ba * (k.fak1 + b.sinR[i])), abs(ba * (k.fak2 + b.cosR[i])), abs(ba * (k.fak3 + b.sinFit[i]))};
    else
        return {abs(ba * k.fak1), abs(ba * k.fak2), abs(ba * k.fak3)};
}

// The tone statement's value from the three channels, for the picture's tone variant.
template <int Tone>
[[gnu::always_inline]] inline double toneValue(const Batch& b, int i, double re, double gr, double bl)
{
    if constexpr (Tone == 2)
        return (re + gr) + (bl * (1 + b.sinR[i]));
    else if constexpr (Tone == 3)
        return (re / b.r[i]) + (gr / std::sqrt(b.r[i]));
    else if constexpr (Tone == 4)
        return ((re * b.sinFit[i]) + (gr * b.sinR[i])) + (bl * b.cosR[i]);
    else
        return (re + gr) + bl;
}

// Shape, channel and tone statements of position i under the skip rule: a statement whose
// value is not finite leaves its carry as it was. Returns the bits of the carries written.
template <int Channel, int Tone>
[[gnu::always_inline]] inline unsigned runStages(const PictureConstants& k, const Batch& b, int i, Carries& v)
{
    unsigned stored = store(v.ba, b.shape[i], kBa);
    const Channels c = channelValues<Channel>(k, b, i, v.ba);
    stored |= store(v.re, c.re, kRe);
    stored |= store(v.gr, c.gr, kGr);
    stored |= store(v.bl, c.bl, kBl);
    stored |= store(v.barva, toneValue<Tone>(b, i, v.re, v.gr, v.bl), kBarva);
    return stored;
}

// What every statement of each position of the batch gives when all of them complete; the
// usual case, computed for the whole batch at once.
template <int Channel, int Tone>
inline void completedValues(const PictureConstants& k, Batch& b)
{
    for (int i = 0; i < b.length; ++i) {
        const Channels c = channelValues<Channel>(k, b, i, b.shape[i]);
        b.re[i] = c.re;
        b.gr[i] = c.gr;
        b.bl[i] = c.bl;
        b.tone[i] = toneValue<Tone>(b, i, c.re, c.gr, c.bl);
    }
}

// Nearest whole number, ties to even, for values known to fit 32 bits.
inline std::int32_t nearestInt32(double value)
{
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(value)); // rounds as the current mode says: nearest-even
#else
    return static_cast<std::int32_t>(std::nearbyint(value));
#endif
}

// Clamps the tone (kept in the carries) and gives the palette entry of its colour.
[[gnu::always_inline]] inline int plot(double& barva)
{
    if (barva == 0)
        barva = 1;
    if (barva > 675)
        barva = 675;
    // Below this a tone no longer rounds into 32 bits: far left of the strip, black.
    if (!(barva >= -2147483648.5))
        return PaletteRow::kFarLeft;
    return PaletteRow::entryOf(nearestInt32(barva) % 280);
}

} // namespace genart::kernel
