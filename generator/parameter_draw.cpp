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

} // namespace

void ImageGenerator::DrawParameters()
{
    // Date first, then time: two separate readings of the clock.
    const std::string date = clock_.dateText(); // mm-dd-yyyy
    const std::string time = clock_.timeText(); // hh:mm:ss
    s.imeslike = "T" + piece(date, 7, 4) + piece(date, 1, 2) + piece(date, 4, 2) + piece(time, 1, 2)
                 + piece(time, 4, 2) + piece(time, 7, 2);

    // The order fixes which random value each parameter receives: nine per picture.
    s.tip1 = wholeNumberDraw(random_.next(), 15, 1);
    s.tip2 = wholeNumberDraw(random_.next(), 3, 1);
    s.tip3 = wholeNumberDraw(random_.next(), 4, 1);
    s.pozic0 = wholeNumberDraw(random_.next(), 300, 5);
    s.fi0 = doubleDraw(random_.next(), 6.283);
    s.fi1 = 0;
    s.r0 = singleDraw(random_.next(), 3, 1);
    s.korakfi1 = 0.00003;
    s.fak1 = singleDraw(random_.next(), 10, 10);
    s.fak2 = singleDraw(random_.next(), 10, 10);
    s.fak3 = singleDraw(random_.next(), 10, 10);
}

} // namespace genart
