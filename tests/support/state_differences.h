#pragma once

#include <sstream>
#include <string>

#include "generator/generation_state.h"

namespace genart::testing {

// The variables a sweep leaves behind in which two states differ, one line each, for a failure
// message; empty when those variables agree.
inline std::string stateDifferences(const GenerationState& expected, const GenerationState& actual)
{
    std::ostringstream out;
    out.precision(17);
    const auto line = [&](const char* name, double e, double a) {
        if (!(e == a))
            out << "\n  " << name << ": expected " << e << ", got " << a;
    };
    line("i", expected.position.i, actual.position.i);
    line("j", expected.position.j, actual.position.j);
    line("x", expected.position.x, actual.position.x);
    line("y", expected.position.y, actual.position.y);
    line("fi1", expected.drift.fi1, actual.drift.fi1);
    line("fit", expected.position.fit, actual.position.fit);
    line("r", expected.position.r, actual.position.r);
    line("fi", expected.position.fi, actual.position.fi);
    line("ba", expected.carried.ba, actual.carried.ba);
    line("re", expected.carried.re, actual.carried.re);
    line("gr", expected.carried.gr, actual.carried.gr);
    line("bl", expected.carried.bl, actual.carried.bl);
    line("barva", expected.carried.barva, actual.carried.barva);
    return out.str();
}

} // namespace genart::testing
