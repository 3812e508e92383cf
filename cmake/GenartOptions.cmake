# Compile settings every target of the project shares, as the interface target genart_options.

# Pictures depend on every rounding: a fused multiply-add would skip the single-precision
# rounding of the palette's stretches, and fast-math would reorder everything.
add_library(genart_options INTERFACE)
target_compile_options(genart_options INTERFACE -ffp-contract=off -fno-fast-math
                       -Wall -Wextra -Wpedantic -Werror)
