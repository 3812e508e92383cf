# Compile settings every target of the project shares, as the interface target genart_options.

# Warnings are always on; whether they stop the build is a choice: a plain configure (a packager's
# compiler may know warnings this one does not) only reports them, every preset and so CI stops.
option(GENART_WERROR "Treat compiler warnings as errors" OFF)

# Pictures depend on every rounding: a fused multiply-add would skip the single-precision
# rounding of the palette's stretches, and fast-math would reorder everything.
add_library(genart_options INTERFACE)
target_compile_options(genart_options INTERFACE -ffp-contract=off -fno-fast-math
                       -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
# The program's own code: every conversion that may lose a value is written out, so that the
# precision each value is computed in stays visible. Sign changes are left to -Wsign-compare, as
# GCC's -Wconversion does for C++, so that clang (the fuzz targets) checks the same. Tests and benchmarks (targets with
# the GENART_CHECKING property) write their literal numbers and texts plainly.
set(genart_program_code "$<NOT:$<BOOL:$<TARGET_PROPERTY:GENART_CHECKING>>>")
target_compile_options(genart_options INTERFACE "$<${genart_program_code}:-Wconversion;-Wno-sign-conversion;-Wold-style-cast>")
if(GENART_WERROR)
    target_compile_options(genart_options INTERFACE -Werror)
endif()
# Qt's strings: no silent conversion from or to 8-bit text (its encoding is always said), string
# concatenations built once, and no narrowing in signal connections.
target_compile_definitions(genart_options INTERFACE QT_USE_QSTRINGBUILDER QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    "$<${genart_program_code}:QT_NO_CAST_FROM_ASCII;QT_NO_CAST_TO_ASCII>")
