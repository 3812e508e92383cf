#include "caption/caption_line.h"

namespace genart {
namespace {

struct CaptionText {
    const std::string CaptionTexts::*text;
    float x;
};

constexpr float kCaptionTop = 425; // 25 pixels above the bottom edge

} // namespace

void PrintCaption(const CaptionTexts& texts, Surface& picture, int scale)
{
    picture.setFontSize(9.0 * scale);
    picture.setForeColor(kWhite);
    static constexpr CaptionText line[] = {
        {&CaptionTexts::imeslike, 12},
        {&CaptionTexts::tekst1, 220},
        {&CaptionTexts::tekst2, 420},
    };
    for (const CaptionText& caption : line) {
        picture.setCurrentX(caption.x * scale);
        picture.setCurrentY(kCaptionTop * scale);
        picture.Print(texts.*caption.text);
    }
}

} // namespace genart
