#pragma once

namespace genart {

// Marks the upper halves of the x86 vector registers unused (vzeroupper), where the processor
// has them; elsewhere it does nothing. Code built for AVX that returns without doing so (Qt's
// start-up leaves them so) makes every later SSE instruction and every call into the maths
// library pay for the mixed state: on this project's machine a sine then took 120 to 190 ns
// instead of 6, and a sweep ten times as long. No value in any register changes.
void clearUpperVectorState();

} // namespace genart
