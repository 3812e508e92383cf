#include <tuple>

#include "generator/evaluation.h"
#include "generator/image_generator.h"

namespace genart {
namespace {

// A piece of a text by 1-based first character and length; shorter near the end.
std::string piece(const std::string& text, std::size_t first, std::size_t length)
{
    if (first - 1 >= text.size())
        return {};
    return text.substr(first - 1, length);
}

// "T" then year, month, day, hour, minute and second: T20261208120000. Built by appending,
// so each piece is copied once into a string that has room for all of them.
std::string pictureName(const std::string& date, const std::string& time)
{
    std::string name;
    name.reserve(15);
    name += 'T';
    for (const auto& [text, first, length] : {std::tuple{&date, 7, 4}, {&date, 1, 2}, {&date, 4, 2},
                                             {&time, 1, 2}, {&time, 4, 2}, {&time, 7, 2}})
        name += piece(*text, first, length);
    return name;
}

} // namespace

void ImageGenerator::DrawParameters()
{
    // Date first, then time: two separate readings of the clock.
    const std::string date = clock_.dateText(); // mm-dd-yyyy
    const std::string time = clock_.timeText(); // hh:mm:ss
    s.texts.imeslike = pictureName(date, time);

    // The order fixes which random value each parameter receives: nine per picture.
    s.picture.tip1 = wholeNumberDraw(random_.next(), 15, 1);
    s.picture.tip2 = wholeNumberDraw(random_.next(), 3, 1);
    s.picture.tip3 = wholeNumberDraw(random_.next(), 4, 1);
    s.picture.pozic0 = wholeNumberDraw(random_.next(), 300, 5);
    s.picture.fi0 = doubleDraw(random_.next(), 6.283);
    s.picture.r0 = singleDraw(random_.next(), 3, 1);
    s.drift = startingDrift();
    s.picture.fak1 = singleDraw(random_.next(), 10, 10);
    s.picture.fak2 = singleDraw(random_.next(), 10, 10);
    s.picture.fak3 = singleDraw(random_.next(), 10, 10);
}

} // namespace genart
