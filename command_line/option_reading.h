#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QCommandLineOption>

#include "command_line/command_line.h"
#include "limits/limits.h"

// How every form of the command line reads its options: the forms' own parsers share these.
namespace genart {

// Plain decimal digits only (no sign, no spaces), inside the range.
std::optional<std::int64_t> parseWholeNumber(const std::string& text, const Range& range);
std::optional<std::uint32_t> parseSeed(const std::string& text);
// "--seed takes a whole number from 0 to 4294967295, not 'x'"
std::string seedProblem(const std::string& value);
// WIDTHxHEIGHT, each side in kSides, with a small x between.
std::optional<PictureSize> parseSize(const std::string& text);

// The message, pointing to the help.
UsageError error(const std::string& message);

QCommandLineOption helpOption();
bool isHelp(const QCommandLineOption& option);

// One option as read, in the order typed.
struct GivenOption {
    const QCommandLineOption* option;
    std::string name; // "--seed": the long name, as messages spell it
    bool valued;
    std::optional<std::string> value; // for an option that takes one; empty when none followed
};

struct Reading {
    std::vector<GivenOption> options; // every option up to the first argument that is not one
    std::optional<std::string> stray; // that argument, as typed
    std::size_t strayAt = 0;          // and where it is among the arguments
};

// Reads the arguments from `first` on with QCommandLineParser, then lines what it found up with
// the arguments as typed: see command_line.cpp.
Reading read(const std::vector<QCommandLineOption>& known, const std::vector<std::string>& arguments,
             std::size_t first);

} // namespace genart
