#include "desktop/daily_wallpaper.h"

#include <filesystem>
#include <system_error>

#include <glib.h>

#include "desktop/gio_support.h"
#include "files/output_files.h"

namespace genart {
namespace {

namespace fs = std::filesystem;

const char* const kSystemd = "org.freedesktop.systemd1";

MethodCall manager(const char* method)
{
    return {kSystemd, "/org/freedesktop/systemd1", "org.freedesktop.systemd1.Manager", method};
}

// A path as one word of ExecStart: its specifiers and variables escaped, quoted where it
// holds a space or a quote.
std::string execWord(const std::string& path)
{
    const bool quoted = path.find_first_of(" \t\"\\'") != std::string::npos;
    std::string word = quoted ? "\"" : "";
    for (const char c : path) {
        if (quoted && (c == '"' || c == '\\'))
            word += '\\';
        if (c == '%' || c == '$')
            word += c;
        word += c;
    }
    return quoted ? word + "\"" : word;
}

// The units, each whole, replacing older ones.
std::string writeUnits(const std::string& folder, const std::string& service, const std::string& timer)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return folder + ": cannot make the folder: " + error.message();
    OutputFiles files(true, newRunToken());
    for (const auto& [name, text] : {std::pair{kDailyService, service}, std::pair{kDailyTimer, timer}})
        if (std::string problem = files.stage((fs::path(folder) / name).string(), text.data(), text.size());
            !problem.empty())
            return problem;
    if (std::string problem = files.place(); !problem.empty())
        return problem;
    return files.finish();
}

GVariant* timerList()
{
    const gchar* const units[] = {kDailyTimer, nullptr};
    return g_variant_new_strv(units, -1);
}

std::string switchOn(GDBusConnection* bus)
{
    std::string problem;
    if (callMethod(bus, manager("Reload"), nullptr, nullptr, problem)
        && callMethod(bus, manager("EnableUnitFiles"), g_variant_new("(@asbb)", timerList(), FALSE, TRUE), nullptr,
                      problem))
        callMethod(bus, manager("StartUnit"), g_variant_new("(ss)", kDailyTimer, "replace"), nullptr, problem);
    return problem;
}

// Stops and disables the timer, however far it had got; the units' files go afterwards.
void switchOff(GDBusConnection* bus)
{
    std::string ignored;
    callMethod(bus, manager("StopUnit"), g_variant_new("(ss)", kDailyTimer, "replace"), nullptr, ignored);
    callMethod(bus, manager("DisableUnitFiles"), g_variant_new("(@asb)", timerList(), FALSE), nullptr, ignored);
}

} // namespace

std::string dailyServiceText(const std::string& program, bool favourite)
{
    return "[Unit]\n"
           "Description=A new genart picture as the desktop's wallpaper\n"
           "Documentation=man:genart(1)\n"
           "\n"
           "[Service]\n"
           "Type=oneshot\n"
           "ExecStart="
        + execWord(program) + " wallpaper" + (favourite ? " --favourite" : "") + "\n";
}

std::string dailyTimerText()
{
    return "[Unit]\n"
           "Description=A new genart wallpaper every day\n"
           "Documentation=man:genart(1)\n"
           "\n"
           "[Timer]\n"
           "OnCalendar=daily\n"
           "Persistent=true\n"
           "\n"
           "[Install]\n"
           "WantedBy=timers.target\n";
}

std::string userUnitFolder()
{
    return (fs::path(g_get_user_config_dir()) / "systemd" / "user").string();
}

std::string switchDailyWallpaper(bool on, bool favourite, const std::string& program,
                                 const std::string& unitFolder)
{
    std::string problem;
    const GOwned<GDBusConnection> bus = sessionBus(problem);
    if (!bus || !hasOwner(bus.get(), kSystemd))
        return "there is no systemd user session to run the timer";
    if (on) {
        if (problem = writeUnits(unitFolder, dailyServiceText(program, favourite), dailyTimerText());
            !problem.empty())
            return problem;
        problem = switchOn(bus.get());
        return problem.empty() ? problem : "systemd: " + problem;
    }
    switchOff(bus.get());
    std::error_code error;
    for (const char* unit : {kDailyService, kDailyTimer})
        if (fs::remove(fs::path(unitFolder) / unit, error); error)
            return (fs::path(unitFolder) / unit).string() + ": cannot remove: " + error.message();
    if (!callMethod(bus.get(), manager("Reload"), nullptr, nullptr, problem))
        return "systemd: " + problem;
    return {};
}

} // namespace genart
