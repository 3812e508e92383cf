#include <tuple>

#include "generator/image_generator.h"
#include "generator/picture_draws.h"

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

std::string pictureNameNow(const Clock& clock)
{
    // Date first, then time: two separate readings of the clock.
    const std::string date = clock.dateText(); // mm-dd-yyyy
    const std::string time = clock.timeText(); // hh:mm:ss
    return pictureName(date, time);
}

PictureParameters drawPictureParameters(RandomSource& random)
{
    // The order fixes which random value each parameter receives: nine per picture.
    PictureParameters p;
    p.tip1 = drawWhole(random.next(), kTip1Draw);
    p.tip2 = drawWhole(random.next(), kTip2Draw);
    p.tip3 = drawWhole(random.next(), kTip3Draw);
    p.pozic0 = drawWhole(random.next(), kPozic0Draw);
    p.fi0 = drawDouble(random.next(), kFi0Draw);
    p.r0 = drawSingle(random.next(), kR0Draw);
    p.fak1 = drawSingle(random.next(), kFakDraw);
    p.fak2 = drawSingle(random.next(), kFakDraw);
    p.fak3 = drawSingle(random.next(), kFakDraw);
    return p;
}

void ImageGenerator::DrawParameters()
{
    s.texts.imeslike = pictureNameNow(clock_);
    s.picture = drawPictureParameters(random_);
    s.drift = startingDrift();
}

} // namespace genart
