#pragma once

// The five per-pixel steps fused into one computation per position, for the fast sweep.
// Every expression is the one the step-by-step procedures evaluate, in the same order and
// precision, so each result is the same to the last bit; what changes is that a sine or
// cosine several stages need is computed once, that column and row quantities come from
// tables, and that the variants are chosen once per picture instead of at every position.

#include <cmath>
#include <cstdint>

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

    explicit PictureConstants(const GenerationState& s)
        : formula(chosenVariant(s.tip1, 15)), channel(chosenVariant(s.tip2, 3)),
          tone(chosenVariant(s.tip3, 4)), fi0(s.fi0), r0(s.r0), fak1(s.fak1), fak2(s.fak2),
          fak3(s.fak3)
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

// Quantities of one column and of one row of the sweep.
struct ColumnValues {
    double x = 0;
    double sinX = 0;
};
struct RowValues {
    double y = 0;
    double sinY = 0;
    double cosY = 0;
};

inline ColumnValues columnValues(double x) { return {x, std::sin(x)}; }
inline RowValues rowValues(double y) { return {y, std::sin(y), std::cos(y)}; }

// The position measured from the drifting centre, with the sines and cosines shared by stages.
struct Frame {
    double fit = 0;
    double sinFit = 0;
    double r = 0;
    double fi = 0; // only when the picture reads it (or `withFi` asks for it)
    double sinR = 0;
    double cosR = 0;
};

inline Frame measure(const PictureConstants& k, double x, double y, double fi1, bool withFi)
{
    Frame f;
    f.fit = k.fi0 + fi1;
    double cosFit = 0;
    ::sincos(f.fit, &f.sinFit, &cosFit);
    const double xc = k.r0 * cosFit;
    const double yc = k.r0 * f.sinFit;
    const double xd = xc - x;
    const double yd = yc - y;
    f.r = std::sqrt((xd * xd) + (yd * yd));
    if (withFi)
        f.fi = (xd == 0 && yd == 0) ? 0.0 : std::atan(yd / xd);
    if (k.needsSinR && k.needsCosR)
        ::sincos(f.r, &f.sinR, &f.cosR);
    else if (k.needsSinR)
        f.sinR = std::sin(f.r);
    return f;
}

// The values the skip rule carries from one position to the next, as bits of a mask.
struct Carries {
    double ba = 0;
    double re = 0;
    double gr = 0;
    double bl = 0;
    double barva = 0;
};
enum : unsigned { kBa = 1u, kRe = 2u, kGr = 4u, kBl = 8u, kBarva = 16u, kAllCarries = 31u };

inline unsigned store(double& target, double value, unsigned bit)
{
    if (!std::isfinite(value))
        return 0;
    target = value;
    return bit;
}

inline double shapeValue(const PictureConstants& k, const Frame& f, const ColumnValues& c,
                         const RowValues& w)
{
    const double r = f.r;
    const double fi = f.fi;
    const double x = c.x;
    const double y = w.y;
    using std::abs, std::cos, std::pow, std::sin, std::sqrt, std::tan;
    switch (k.formula) {
    case 2: return r * fi;
    case 3: return (r * r) * f.sinR;
    case 4: return x * r;
    case 5: return ((r * f.sinR) * x) * w.cosY;
    case 6: {
        // A power too large for a double fails the statement, though dividing by it gives 0.
        const double power = pow(r, r + f.sinR);
        if (!std::isfinite(power))
            return power;
        return ((r * r) * (2 + sin(f.fit * r))) / power;
    }
    case 7: return (r * tan(fi)) * fi;
    case 8: return ((r * tan(r)) * x) * c.sinX;
    case 9: return ((r * (1 + f.sinR)) + (x * (1 + c.sinX))) + (y * (1 + w.sinY));
    case 10: return (r * (1 + f.sinR)) + (((x * (1 + c.sinX)) * y) * (1 + w.sinY));
    case 11: return ((r + x) + y) / fi;
    case 12: return ((r * (1 + f.sinR)) * (1 + cos(f.fit + r))) * fi;
    case 13: return r / fi;
    case 14: return (sqrt(r) / fi) * pow(r, 1 + c.sinX);
    case 15: return pow(r / abs(x), (1 + f.sinR) + cos(fi));
    default: return r * r;
    }
}

// Shape, channel and tone stages; returns the bits of the carries that were written.
inline unsigned runStages(const PictureConstants& k, const Frame& f, const ColumnValues& c,
                          const RowValues& w, Carries& v)
{
    using std::abs, std::sqrt;
    unsigned stored = store(v.ba, shapeValue(k, f, c, w), kBa);

    const double ba = v.ba;
    switch (k.channel) {
    case 2:
        stored |= store(v.re, abs(ba * (10 + f.sinR)), kRe);
        stored |= store(v.gr, abs(ba * (10 + f.cosR)), kGr);
        stored |= store(v.bl, abs(ba * (10 + f.sinFit)), kBl);
        break;
    case 3:
        stored |= store(v.re, abs(ba * (k.fak1 + f.sinR)), kRe);
        stored |= store(v.gr, abs(ba * (k.fak2 + f.cosR)), kGr);
        stored |= store(v.bl, abs(ba * (k.fak3 + f.sinFit)), kBl);
        break;
    default:
        stored |= store(v.re, abs(ba * k.fak1), kRe);
        stored |= store(v.gr, abs(ba * k.fak2), kGr);
        stored |= store(v.bl, abs(ba * k.fak3), kBl);
        break;
    }

    const double re = v.re, gr = v.gr, bl = v.bl, r = f.r;
    switch (k.tone) {
    case 2: stored |= store(v.barva, (re + gr) + (bl * (1 + f.sinR)), kBarva); break;
    case 3: stored |= store(v.barva, (re / r) + (gr / sqrt(r)), kBarva); break;
    case 4: stored |= store(v.barva, ((re * f.sinFit) + (gr * f.sinR)) + (bl * f.cosR), kBarva); break;
    default: stored |= store(v.barva, (re + gr) + bl, kBarva); break;
    }
    return stored;
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

// Clamps the tone (kept in the carries) and looks its colour up.
inline Colour plot(double& barva, const PaletteRow& palette)
{
    if (barva == 0)
        barva = 1;
    if (barva > 675)
        barva = 675;
    // Below this a tone no longer rounds into 32 bits: far left of the strip, black.
    if (!(barva >= -2147483648.5))
        return kBlack;
    return palette.at(nearestInt32(barva) % 280);
}

// Which carries are now independent of the carries a run started with, after a position
// that wrote `stored`: a shape value stands on its own; a channel written from a dependent
// shape value depends too; the tone depends when one of the channels it reads does.
inline unsigned settledAfter(unsigned settled, unsigned stored, const PictureConstants& k)
{
    settled |= stored & kBa;
    if (settled & kBa)
        settled |= stored & (kRe | kGr | kBl);
    else
        settled &= ~(kRe | kGr | kBl);
    const unsigned toneReads = k.tone == 3 ? (kRe | kGr) : (kRe | kGr | kBl);
    if ((settled & toneReads) == toneReads)
        settled |= stored & kBarva;
    else
        settled &= ~kBarva;
    return settled;
}

} // namespace genart::kernel
