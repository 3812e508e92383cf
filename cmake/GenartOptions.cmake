# Compile settings every target of the project shares, as the interface target genart_options.

# Warnings are always on; whether they stop the build is a choice: a plain configure (a packager's
# compiler may know warnings this one does not) only reports them, every preset and so CI stops.
option(GENART_WERROR "Treat compiler warnings as errors" OFF)

# Pictures depend on every rounding: a fused multiply-add would skip the single-precision
# rounding of the palette's stretches, and fast-math would reorder everything.
add_library(genart_options INTERFACE)
target_compile_options(genart_options INTERFACE -ffp-contract=off -fno-fast-math
                       -Wall -Wextra -Wpedantic)
if(GENART_WERROR)
    target_compile_options(genart_options INTERFACE -Werror)
endif()
