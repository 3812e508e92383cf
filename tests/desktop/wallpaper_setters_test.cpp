// Which ways of setting the wallpaper each desktop gets, in which order, and the exact commands
// the desktops that cannot run here (Plasma, LXQt, LXDE, sway) would be given.
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "desktop/daily_wallpaper.h"
#include "desktop/plasma_wallpaper.h"
#include "desktop/wallpaper_picture.h"
#include "desktop/wallpaper_setters.h"

namespace genart {
namespace {

// Programs that are installed (or not), answering with the status given; records every command.
struct RecordingRunner final : CommandRunner {
    bool has(const std::string& program) const override { return installed.count(program) > 0; }
    CommandResult run(const std::vector<std::string>& command) override
    {
        commands.push_back(command);
        return {status, status == 0 ? "" : "no output named *\n"};
    }
    std::set<std::string> installed;
    int status = 0;
    std::vector<std::vector<std::string>> commands;
};

std::vector<std::string> namesFor(DesktopContext context)
{
    RecordingRunner runner;
    std::vector<std::string> names;
    for (const auto& setter : wallpaperSetters(context, runner))
        names.push_back(setter->name());
    return names;
}

DesktopContext desktop(std::vector<std::string> desktops, bool x11 = true)
{
    DesktopContext context;
    context.desktops = std::move(desktops);
    context.x11 = x11;
    return context;
}

TEST(WallpaperSetters, EachDesktopGetsItsOwnWayThenThePortal)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(namesFor(desktop({"ubuntu", "gnome"})), (Names{"GNOME settings", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"budgie", "gnome"})), (Names{"GNOME settings", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"unity"})), (Names{"GNOME settings", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"x-cinnamon"})), (Names{"Cinnamon settings", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"mate"})), (Names{"MATE settings", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"kde"})), (Names{"KDE Plasma", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"xfce"})), (Names{"Xfce's xfconf", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"lxqt"})), (Names{"LXQt's pcmanfm-qt", "desktop portal"}));
    EXPECT_EQ(namesFor(desktop({"lxde"})), (Names{"LXDE's pcmanfm", "desktop portal"}));
    DesktopContext sway = desktop({}, false);
    sway.sway = true;
    EXPECT_EQ(namesFor(sway), (Names{"sway's swaymsg", "desktop portal"}));
    // Another X11 session draws on the root window; a Wayland one has only the portal.
    EXPECT_EQ(namesFor(desktop({"i3"})), (Names{"X11 root window", "desktop portal"}));
    DesktopContext wayland = desktop({"hyprland"});
    wayland.wayland = true;
    EXPECT_EQ(namesFor(wayland), (Names{"desktop portal"}));
    DesktopContext sandbox = desktop({"gnome"});
    sandbox.sandboxed = true;
    EXPECT_EQ(namesFor(sandbox), (Names{"desktop portal", "X11 root window"}));
}

TEST(WallpaperSetters, DesktopsWithCommandsOfTheirOwnAreGivenTheseCommands)
{
    const std::string file = "/home/u/w 1.jpg";
    const struct {
        const char* desktop;
        std::vector<std::string> command;
    } cases[] = {
        {"lxqt", {"pcmanfm-qt", "--set-wallpaper", file, "--wallpaper-mode", "zoom"}},
        {"lxde", {"pcmanfm", "--set-wallpaper", file, "--wallpaper-mode", "crop"}},
        {"sway", {"swaymsg", "output", "*", "bg", file, "fill"}},
        {"kde", {"plasma-apply-wallpaperimage", file}},
    };
    for (const auto& c : cases) {
        RecordingRunner runner;
        runner.installed = {c.command.front()};
        const auto setters = wallpaperSetters(desktop({c.desktop}), runner);
        const SetOutcome outcome = setWallpaper(file, WallpaperPlace::Background, setters);
        EXPECT_TRUE(outcome.set()) << c.desktop << ": " << outcome.tried;
        EXPECT_EQ(runner.commands, std::vector<std::vector<std::string>>{c.command}) << c.desktop;

        // Failing, it is told with what the program said, and the next way is tried.
        runner.status = 1;
        const SetResult failed = setters.front()->set(file, WallpaperPlace::Background);
        EXPECT_FALSE(failed.done);
        EXPECT_EQ(failed.note, c.command.front() + ": exit status 1: no output named *");
    }
}

TEST(WallpaperSetters, LockScreensAreSetWhereTheDesktopKeepsOneAndToldWhereNot)
{
    RecordingRunner runner;
    runner.installed = {"plasma-apply-wallpaperimage", "kwriteconfig5"};
    PlasmaWallpaper plasma(runner);
    EXPECT_TRUE(plasma.set("/w.jpg", WallpaperPlace::LockScreen).done);
    EXPECT_EQ(runner.commands, (std::vector<std::vector<std::string>>{
                                   {"kwriteconfig5", "--file", "kscreenlockerrc", "--group", "Greeter", "--group",
                                    "Wallpaper", "--group", "org.kde.image", "--group", "General", "--key", "Image",
                                    "file:///w.jpg"}}));

    runner.installed = {"swaymsg"};
    const auto sway = wallpaperSetters(desktop({"sway"}), runner);
    const SetResult alone = sway.front()->set("/w.jpg", WallpaperPlace::LockScreen);
    EXPECT_FALSE(alone.done);
    EXPECT_EQ(alone.note, "keeps no picture for the lock screen");
    const SetResult both = sway.front()->set("/w.jpg", WallpaperPlace::Both);
    EXPECT_TRUE(both.done);
    EXPECT_NE(both.note.find("the lock screen is left as it is"), std::string::npos);
}

TEST(WallpaperPicture, TheLargestScreenGivesTheSize)
{
    EXPECT_FALSE(largestScreen({}));
    const auto largest = largestScreen({{"a", 0, 0, 1920, 1080}, {"b", 1920, 0, 2560, 1440}, {"c", 0, 0, 1440, 2560}});
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->name, "b"); // equal pixels: the first of them
}

} // namespace
} // namespace genart

namespace genart {
namespace {

std::string packaged(const char* name)
{
    std::ifstream file(std::string(GENART_PACKAGING_DIR) + "/systemd/" + name);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(DailyWallpaper, ThePackagedUnitsAreTheOnesItWritesAndPathsAreEscaped)
{
    EXPECT_EQ(packaged(kDailyService), dailyServiceText("genart", false));
    EXPECT_EQ(packaged(kDailyTimer), dailyTimerText());
    const std::string service = dailyServiceText("/opt/my \"apps\"/genart-50%", true);
    EXPECT_NE(service.find("\nExecStart=\"/opt/my \\\"apps\\\"/genart-50%%\" wallpaper --favourite\n"),
              std::string::npos)
        << service;
}

} // namespace
} // namespace genart
