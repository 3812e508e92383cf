#include "caption/caption_line.h"

namespace genart {
namespace {

struct CaptionText {
    const std::string CaptionTexts::*text;
    float x;
};

constexpr double kAboveBottom = 25; // the texts' top edge lies on row 425 of the 450

} // namespace

void PrintCaption(const CaptionTexts& texts, Surface& picture, double scale)
{
    picture.setFontSize(9.0 * scale);
    picture.setForeColor(kWhite);
    static constexpr CaptionText line[] = {
        {&CaptionTexts::imeslike, 12},
        {&CaptionTexts::tekst1, 220},
        {&CaptionTexts::tekst2, 420},
    };
    // A picture cut from a larger one keeps the caption on its own bottom rows.
    const auto top = static_cast<float>(picture.height() - kAboveBottom * scale);
    for (const CaptionText& caption : line) {
        picture.setCurrentX(static_cast<float>(caption.x * scale));
        picture.setCurrentY(top);
        picture.Print(texts.*caption.text);
    }
}

} // namespace genart
