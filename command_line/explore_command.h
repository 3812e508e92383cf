#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "platform/clock.h"

namespace genart {

// How far variations go when --strength is not given: between subtle (0) and wild (1).
inline constexpr double kDefaultStrength = 0.5;

// --strength's value: a plain decimal from 0 to 1 ("0.25", "1", ".5"); nothing otherwise.
std::optional<double> parseStrength(const std::string& text);

// For a command line with --variations, --recolourings or --strength (the options given in
// `given`), what is wrong with it, if anything.
std::optional<std::string> exploreProblem(const RenderOptions& options, const std::vector<std::string>& given);

// Writes the variations or recolourings of the picture (the session's after start-up and the
// actions, or the recipe's) into options.outDir, made if missing: named as batch pictures are,
// each carrying its recipe, all of them or, when one cannot be written, none. From a recipe
// the generator is seeded from the recipe itself, so the same recipe gives the same pictures.
// Returns the exit status: 0 done, 1 a file could not be written, 2 a bad recipe.
int runExplore(const RenderOptions& options, const Clock& clock, std::ostream& errors);

} // namespace genart
