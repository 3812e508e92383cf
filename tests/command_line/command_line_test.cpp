#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "command_line/command_line.h"
#include "support/run_genart.h"

namespace genart {
namespace {

using Line = std::vector<std::string>;

std::string messageOf(const Command& command)
{
    const auto* error = std::get_if<UsageError>(&command);
    return error ? error->message : "(no error)";
}

std::string joined(const Line& line)
{
    std::string text;
    for (const std::string& argument : line)
        text += (text.empty() ? "" : " ") + argument;
    return text;
}

// Every field, so that two readings can be compared whole.
std::string describe(const RenderOptions& o)
{
    std::string text = "seed=" + (o.seed ? std::to_string(*o.seed) : "-") + " recipe=" + o.recipe.value_or("-")
        + " out=" + o.out + " palette=" + o.paletteOut.value_or("-") + " actions=";
    for (const Action action : o.actions)
        text += std::to_string(static_cast<int>(action));
    if (o.time)
        text += " time=" + std::to_string(o.time->year) + "/" + std::to_string(o.time->month) + "/"
            + std::to_string(o.time->day) + "/" + std::to_string(o.time->hour) + "/" + std::to_string(o.time->minute)
            + "/" + std::to_string(o.time->second);
    return text + " scale=" + std::to_string(o.scale) + " count=" + (o.count ? std::to_string(*o.count) : "-")
        + " dir=" + o.outDir + " flags=" + std::to_string(o.keepPalette) + std::to_string(o.palettes)
        + std::to_string(o.force) + std::to_string(o.quiet);
}

RenderOptions renderOf(const Line& line)
{
    const Command command = parseCommandLine(line);
    const auto* options = std::get_if<RenderOptions>(&command);
    EXPECT_NE(options, nullptr) << joined(line) << " -> " << messageOf(command);
    return options ? *options : RenderOptions{};
}

TEST(CommandLine, JoinedValuesReadLikeSeparateOnes)
{
    const struct {
        Line apart, joined;
    } cases[] = {
        {{"render", "--seed", "5", "--out", "a.png", "--palette-out", "p.png", "--actions", "image,both", "--time",
          "2026-01-02T03:04:05", "--scale", "3"},
         {"render", "--seed=5", "--out=a.png", "--palette-out=p.png", "--actions=image,both",
          "--time=2026-01-02T03:04:05", "--scale=3"}},
        {{"render", "--recipe", "r.png", "--out", "a.png"}, {"render", "--recipe=r.png", "--out", "a.png"}},
        {{"render", "--seed", "5", "--count", "4", "--out-dir", "d", "--palettes"},
         {"render", "--count=4", "--seed", "5", "--out-dir=d", "--palettes"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(renderOf(c.joined)), describe(renderOf(c.apart))) << joined(c.joined);

    const RenderOptions single = renderOf(cases[0].joined);
    EXPECT_EQ(single.seed, 5u);
    EXPECT_EQ(single.paletteOut, "p.png");
    EXPECT_EQ(single.actions, (std::vector<Action>{Action::Image, Action::Both}));
    ASSERT_TRUE(single.time);
    EXPECT_EQ(single.time->second, 5);
    EXPECT_EQ(single.scale, 3);
    EXPECT_EQ(renderOf(cases[1].joined).recipe, "r.png");
    EXPECT_EQ(renderOf(cases[2].joined).count, 4);
    EXPECT_EQ(renderOf(cases[2].joined).outDir, "d");

    // Only the first '=' joins; the rest belongs to the value.
    EXPECT_EQ(renderOf({"render", "--seed=5", "--out=a=b.png"}).out, "a=b.png");
    const Command window = parseCommandLine({"--seed=12"});
    ASSERT_TRUE(std::holds_alternative<WindowOptions>(window)) << messageOf(window);
    EXPECT_EQ(std::get<WindowOptions>(window).seed, 12u);
}

TEST(CommandLine, RepeatsAndEmptyValuesAreCaughtWhicheverWayWritten)
{
    const struct {
        Line line;
        const char* message;
    } cases[] = {
        {{"render", "--seed=1", "--seed", "2", "--out", "a.png"}, "render: option --seed is given twice"},
        {{"render", "--seed", "1", "--out", "a.png", "--out=b.png"}, "render: option --out is given twice"},
        {{"render", "--seed", "1", "--out="}, "render: --out needs a file name"},
        {{"render", "--seed", "1", "--out", "a.png", "--palette-out="}, "render: --palette-out needs a file name"},
        {{"render", "--seed", "1", "--count", "2", "--out-dir="}, "render: --out-dir needs a file name"},
        {{"render", "--recipe=", "--out", "a.png"}, "render: --recipe needs a file name"},
        {{"render", "--seed=", "--out", "a.png"}, "render: --seed takes a whole number from 0 to 4294967295, not ''"},
        {{"render", "--seed", "1", "--out", "a.png", "--scale="}, "render: --scale takes a whole number from 1 to 16, not ''"},
        {{"--seed="}, "--seed takes a whole number from 0 to 4294967295, not ''"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(messageOf(parseCommandLine(c.line)), c.message + std::string(" (see genart --help)")) << joined(c.line);

    // The window keeps the later seed, as it always has.
    const Command window = parseCommandLine({"--seed=1", "--seed", "2"});
    ASSERT_TRUE(std::holds_alternative<WindowOptions>(window)) << messageOf(window);
    EXPECT_EQ(std::get<WindowOptions>(window).seed, 2u);
}

TEST(CommandLine, FaultsAreToldInTheirOwnWordsFirstTypedFirst)
{
    const struct {
        Line line;
        const char* message;
    } cases[] = {
        {{"render", "--seed", "7", "--out", "a.png", "--colour", "red"}, "render: unknown option '--colour'"},
        {{"render", "--seed", "7", "--out", "a.png", "--colour=red"}, "render: unknown option '--colour=red'"},
        {{"render", "--seed", "7", "--out", "a.png", "-seed"}, "render: unknown option '-seed'"},
        {{"render", "--seed", "7", "--out", "a.png", "--force=yes"}, "render: unknown option '--force=yes'"},
        {{"render", "--seed", "7", "--out", "a.png", "--"}, "render: unknown option '--'"},
        {{"render", "--seed", "7", "--out", "a.png", "picture.png"}, "render: unknown option 'picture.png'"},
        {{"render", "--seed", "7", "--out", "a.png", "--palette-out"}, "render: option --palette-out needs a value"},
        {{"render", "--seed", "+1", "--out", "a.png"}, "render: --seed takes a whole number from 0 to 4294967295, not '+1'"},
        {{"render", "--seed", "7", "--out", "a.png", "--actions", "image,flip"},
         "render: --actions takes a comma-separated list of image, palette and both, not 'flip'"},
        {{"render", "--seed", "7", "--out", "a.png", "--time", "2026-02-30T00:00:00"},
         "render: --time takes a local time as YYYY-MM-DDTHH:MM:SS, not '2026-02-30T00:00:00'"},
        {{"render", "--seed", "7", "--count", "100001", "--out-dir", "."},
         "render: --count takes a whole number from 1 to 100000, not '100001'"},
        {{"render", "--recipe", "r.png", "--seed", "1", "--out", "a.png"},
         "render: --recipe and --seed cannot be combined: a recipe fixes every value"},
        {{"render", "--recipe", "r.png", "--out", "a.png", "--time", "2026-01-02T03:04:05"},
         "render: --recipe cannot be combined with --time"},
        {{"render", "--seed", "7", "--count", "3", "--out-dir", ".", "--actions", "image"},
         "render: --count writes into --out-dir and cannot be combined with --actions"},
        {{"render", "--seed", "7", "--count", "3"}, "render: --count needs --out-dir"},
        {{"render", "--seed", "7", "--out", "a.png", "--keep-palette"}, "render: --keep-palette needs --count"},
        {{"render", "--seed", "7"}, "render: --out is required"},
        {{"render", "--out", "a.png"}, "render: --seed (or --recipe) is required"},
        {{"render", "--seed", "7", "--out", "a.png", "--palette-out", "a.png"},
         "render: --out and --palette-out name the same file"},
        {{"render", "--version"}, "render: unknown option '--version'"},
        {{"render", "help"}, "render: unknown option 'help'"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--version=2"}, "unknown option '--version=2'"},
        {{"--seed"}, "option --seed needs a value"},
        {{"--seed", "x"}, "--seed takes a whole number from 0 to 4294967295, not 'x'"},
        {{"--seed", "1", "render"}, "unknown option 'render'"},
        // With more than one fault, the first one typed.
        {{"render", "--seed", "abc", "--colour"}, "render: --seed takes a whole number from 0 to 4294967295, not 'abc'"},
        {{"render", "--colour", "--seed", "abc"}, "render: unknown option '--colour'"},
        {{"render", "--seed", "1", "--seed", "2", "--bogus"}, "render: option --seed is given twice"},
        {{"render", "--bogus", "--help"}, "render: unknown option '--bogus'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(messageOf(parseCommandLine(c.line)), c.message + std::string(" (see genart --help)")) << joined(c.line);
}

TEST(CommandLine, AValueIsTheNextArgumentWhateverItIs)
{
    const RenderOptions dashed = renderOf({"render", "--seed", "7", "--out", "--force.png"});
    EXPECT_EQ(dashed.out, "--force.png");
    EXPECT_FALSE(dashed.force);
    EXPECT_EQ(renderOf({"render", "--seed", "7", "--out", "a.png", "--palette-out", "--out.png"}).paletteOut,
              "--out.png");

    // File names and the text of messages keep their bytes, whatever the encoding.
    const RenderOptions bytes = renderOf({"render", "--seed", "7", "--out", "\xff\xfe.png", "--palette-out=caf\xc3\xa9.png"});
    EXPECT_EQ(bytes.out, "\xff\xfe.png");
    EXPECT_EQ(bytes.paletteOut, "caf\xc3\xa9.png");
    EXPECT_EQ(messageOf(parseCommandLine({"render", "\xe9t\xe9"})), "render: unknown option '\xe9t\xe9' (see genart --help)");
}

TEST(CommandLine, NoHistoryIsAWindowOptionInAnyOrder)
{
    const struct {
        Line line;
        std::optional<std::uint32_t> seed;
        bool history;
    } cases[] = {
        {{}, std::nullopt, true},
        {{"--seed", "3"}, 3u, true},
        {{"--no-history"}, std::nullopt, false},
        {{"--no-history", "--seed=4"}, 4u, false},
        {{"--seed", "5", "--no-history"}, 5u, false},
        {{"--no-history", "--no-history"}, std::nullopt, false},
    };
    for (const auto& c : cases) {
        const Command command = parseCommandLine(c.line);
        const auto* window = std::get_if<WindowOptions>(&command);
        ASSERT_NE(window, nullptr) << joined(c.line) << " -> " << messageOf(command);
        EXPECT_EQ(window->seed, c.seed) << joined(c.line);
        EXPECT_EQ(window->history, c.history) << joined(c.line);
    }
    for (const auto& [line, message] : std::vector<std::pair<Line, std::string>>{
             {{"--no-history=yes"}, "unknown option '--no-history=yes'"},
             {{"--no-history", "--seed"}, "option --seed needs a value"},
             {{"--seed", "--no-history"}, "--seed takes a whole number from 0 to 4294967295, not '--no-history'"},
             {{"render", "--seed", "1", "--out", "a.png", "--no-history"}, "render: unknown option '--no-history'"},
         })
        EXPECT_EQ(messageOf(parseCommandLine(line)), message + " (see genart --help)") << joined(line);
    EXPECT_NE(usageText().find("genart [--seed N] [--no-history]"), std::string::npos);
}

TEST(CommandLine, HelpAndVersionAreAskedFor)
{
    for (const Line& line : {Line{"--help"}, Line{"-h"}, Line{"help"}, Line{"--help", "--frobnicate"},
                             Line{"--seed", "3", "--help"}}) {
        const Command command = parseCommandLine(line);
        ASSERT_TRUE(std::holds_alternative<HelpRequest>(command)) << joined(line) << " -> " << messageOf(command);
        EXPECT_FALSE(std::get<HelpRequest>(command).render) << joined(line);
    }
    for (const Line& line : {Line{"render", "--help"}, Line{"render", "-h"}, Line{"render", "--seed", "7", "--help"},
                             Line{"render", "--help", "--seed", "x"}}) {
        const Command command = parseCommandLine(line);
        ASSERT_TRUE(std::holds_alternative<HelpRequest>(command)) << joined(line) << " -> " << messageOf(command);
        EXPECT_TRUE(std::get<HelpRequest>(command).render) << joined(line);
    }
    EXPECT_TRUE(std::holds_alternative<VersionRequest>(parseCommandLine({"--version"})));
    EXPECT_TRUE(std::holds_alternative<VersionRequest>(parseCommandLine({"--seed", "3", "--version"})));

    // Render's help tells every option render takes; the program's help adds the window and --version.
    const std::string render = renderUsageText();
    for (const char* option : {"--seed", "--out ", "--palette-out", "--actions", "--time", "--recipe", "--scale",
                               "--count", "--out-dir", "--force", "--quiet", "--keep-palette", "--palettes", "--seed=42"})
        EXPECT_NE(render.find(option), std::string::npos) << option;
    EXPECT_EQ(render.find("genart [--seed N]"), std::string::npos);
    const std::string program = usageText();
    EXPECT_NE(program.find("genart [--seed N]"), std::string::npos);
    EXPECT_NE(program.find("genart --version"), std::string::npos);
    EXPECT_NE(program.find("genart render --help"), std::string::npos);
}

struct Printed {
    int status = -1;
    QByteArray out, errors;
};

Printed runProgram(const QStringList& arguments, const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QString::fromUtf8(GENART_BINARY), arguments);
    process.waitForFinished(-1);
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(GenartProgram, PrintsVersionAndHelpsOnStandardOutput)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        QStringList arguments;
        std::string expected;
    } cases[] = {
        {{"--version"}, "genart " GENART_PROJECT_VERSION "\n"},
        {{"--help"}, usageText()},
        {{"render", "--help"}, renderUsageText()},
    };
    for (const auto& c : cases) {
        const Printed printed = runProgram(c.arguments, dir.path());
        const std::string line = c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(printed.status, 0) << line;
        EXPECT_EQ(printed.out.toStdString(), c.expected) << line;
        EXPECT_EQ(printed.errors, QByteArray()) << line;
    }
    EXPECT_EQ(testing::filesIn(dir.path()), QStringList());
}

TEST(GenartProgram, RendersWithJoinedValues)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Printed joined = runProgram({"render", "--seed=3", "--time=2026-01-02T03:04:05", "--out=a.png"}, dir.path());
    ASSERT_EQ(joined.status, 0) << joined.errors.toStdString();
    const Printed apart = runProgram({"render", "--seed", "3", "--time", "2026-01-02T03:04:05", "--out", "b.png"}, dir.path());
    ASSERT_EQ(apart.status, 0) << apart.errors.toStdString();
    const QImage picture = testing::loadRgb(dir.filePath(QStringLiteral("a.png")));
    EXPECT_EQ(picture.size(), QSize(600, 450));
    EXPECT_EQ(picture, testing::loadRgb(dir.filePath(QStringLiteral("b.png"))));
}

} // namespace
} // namespace genart
