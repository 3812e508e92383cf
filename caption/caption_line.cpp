#include "caption/caption_line.h"

namespace genart {
namespace {

struct CaptionText {
    const std::string GenerationState::*text;
    float x;
};

constexpr float kCaptionTop = 425; // 25 pixels above the bottom edge

} // namespace

void PrintCaption(const GenerationState& state, Surface& picture, int scale)
{
    picture.setFontSize(9.0 * scale);
    picture.setForeColor(kWhite);
    static constexpr CaptionText texts[] = {
        {&GenerationState::imeslike, 12},
        {&GenerationState::tekst1, 220},
        {&GenerationState::tekst2, 420},
    };
    for (const CaptionText& caption : texts) {
        picture.setCurrentX(caption.x * scale);
        picture.setCurrentY(kCaptionTop * scale);
        picture.Print(state.*caption.text);
    }
}

} // namespace genart
