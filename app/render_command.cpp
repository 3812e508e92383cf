#include "app/render_command.h"

#include <memory>
#include <ostream>

#include "app/picture_session.h"
#include "app/png_output.h"
#include "platform/image_surface.h"

namespace genart {
namespace {

std::unique_ptr<Clock> clockFor(const RenderOptions& options)
{
    if (!options.time)
        return std::make_unique<SystemClock>();
    const LocalMoment& t = *options.time;
    return std::make_unique<FixedClock>(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

} // namespace

int runRender(const RenderOptions& options, std::ostream& errors)
{
    TwisterRandom random(options.seed);
    const auto clock = clockFor(options);
    ImageSurface picture1(600, 450);
    ImageSurface picture2(601, 33);
    PictureSession session(random, *clock, picture1, picture2);

    session.storeCaptionTexts();
    session.setPictureGeometry();
    session.NewPalette();
    session.NewImage();
    for (const Action action : options.actions) {
        if (action != Action::Image)
            session.NewPalette();
        if (action != Action::Palette)
            session.NewImage();
    }

    std::vector<PngOutput> outputs{{options.out, picture1.image()}};
    if (options.paletteOut)
        outputs.push_back({*options.paletteOut, picture2.image()});
    if (const std::string failure = writePngs(outputs, options.force); !failure.empty()) {
        errors << "genart: render: " << failure << '\n';
        return 1;
    }
    return 0;
}

} // namespace genart
