#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/picture_history.h"
#include "session/picture_session.h"
#include "support/memory_surface.h"
#include "support/seeded_session.h"

namespace genart {
namespace {

using testing::differences;
using testing::MemorySurface;
using testing::ReplayedSession;
using testing::SeededSession;

// What the window shows and holds after one step: the entry the history keeps for it, and
// everything that entry must bring back.
struct Shown {
    HistoryEntry entry;
    GenerationState state;
    MemorySurface picture;
    MemorySurface strip;
};

Shown shownBy(SeededSession& session)
{
    return {{session.session.recipe(), session.session.palette()}, session.state(), session.picture, session.strip};
}

// Start-up, then each action, keeping what is shown after each step.
std::vector<Shown> run(SeededSession& session, const std::vector<Action>& actions)
{
    session.startUp();
    std::vector<Shown> shown{shownBy(session)};
    for (const Action action : actions) {
        session.session.perform(action);
        shown.push_back(shownBy(session));
    }
    return shown;
}

void expectShows(SeededSession& session, const Shown& expected, const std::string& step)
{
    EXPECT_EQ(session.state(), expected.state) << step;
    EXPECT_EQ(session.session.recipe(), expected.entry.picture) << step;
    EXPECT_EQ(session.session.palette(), expected.entry.strip) << step;
    EXPECT_EQ(differences(expected.picture, session.picture), "") << step;
    EXPECT_EQ(differences(expected.strip, session.strip), "") << step;
}

// Every kind of step, and "change palette" twice running, so that the strip differs from the
// picture's palette both after one change and after two.
const std::vector<Action> kSteps{Action::Image, Action::Palette, Action::Palette, Action::Both,
                                 Action::Image, Action::Palette, Action::Image};

TEST(Restore, BringsBackEveryEntryExactlyAndLeavesTheGeneratorAlone)
{
    SeededSession original(31337);
    const std::vector<Shown> shown = run(original, kSteps);
    ASSERT_NE(shown[2].entry.strip, shown[2].entry.picture.palette); // after a change of palette
    ASSERT_EQ(shown[4].entry.strip, shown[4].entry.picture.palette); // after a new picture

    // Another session, far along a generator of its own, restored entry by entry in any order.
    SeededSession other(5);
    other.startUp();
    other.session.perform(Action::Both);
    TwisterRandom untouched(5);
    for (int n = 0; n < 40; ++n)
        untouched.next();
    for (const std::size_t n : {3u, 0u, 7u, 2u, 5u, 1u, 6u, 4u, 3u}) {
        other.session.restore(shown[n].entry.picture, shown[n].entry.strip);
        expectShows(other, shown[n], "entry " + std::to_string(n));
    }
    EXPECT_EQ(other.random.next(), untouched.next());
}

// A command given while an earlier entry is shown draws from that entry's state, with the
// generator where it is: the same as a session whose generator gave those values in that order.
TEST(Restore, ACommandDrawsFromTheEntryShownWithTheGeneratorWhereItIs)
{
    std::vector<float> values;
    TwisterRandom twister(2026);
    for (int n = 0; n < 80; ++n)
        values.push_back(twister.next());

    for (const Action command : {Action::Image, Action::Palette, Action::Both}) {
        SeededSession session(2026);
        // Start-up (20 values), new img / new palette (20), change palette (11), then back to
        // the entry after new img / new palette.
        const std::vector<Shown> shown = run(session, {Action::Both, Action::Palette});
        session.session.restore(shown[1].entry.picture, shown[1].entry.strip);
        session.session.perform(command);

        std::vector<float> replayed(values.begin(), values.begin() + 40);
        replayed.insert(replayed.end(), values.begin() + 51, values.end());
        ReplayedSession expected(replayed);
        expected.session.startUp(2026);
        expected.session.perform(Action::Both);
        expected.session.perform(command);

        const std::string what = "command " + std::to_string(static_cast<int>(command));
        EXPECT_EQ(session.state(), expected.state()) << what;
        EXPECT_EQ(session.session.recipe(), expected.session.recipe()) << what;
        EXPECT_EQ(session.session.palette(), expected.session.palette()) << what;
        EXPECT_EQ(differences(expected.picture, session.picture), "") << what;
        EXPECT_EQ(differences(expected.strip, session.strip), "") << what;
    }
}

std::vector<HistoryEntry> entriesOf(const std::vector<Shown>& shown)
{
    std::vector<HistoryEntry> entries;
    for (const Shown& s : shown)
        entries.push_back(s.entry);
    return entries;
}

std::vector<HistoryEntry> parsed(const std::string& text)
{
    auto result = parseHistory(text);
    if (const auto* error = std::get_if<RecipeError>(&result)) {
        ADD_FAILURE() << error->message;
        return {};
    }
    return std::get<std::vector<HistoryEntry>>(result);
}

TEST(HistoryText, ReadsBackWhatItWroteAndKeepsTheNewest)
{
    SeededSession session(99);
    const std::vector<Shown> shown = run(session, kSteps);
    const std::vector<HistoryEntry> entries = entriesOf(shown);

    const std::string text = historyText(entries);
    EXPECT_EQ(text.rfind("genart-history=1\n", 0), 0u);
    EXPECT_EQ(parsed(text), entries);
    // The text is its own fixed point: nothing is lost or rounded on the way.
    EXPECT_EQ(historyText(parsed(text)), text);

    const std::vector<HistoryEntry> newest(entries.end() - 3, entries.end());
    EXPECT_EQ(parsed(historyText(entries, 3)), newest);
    EXPECT_EQ(parsed(historyText({})), std::vector<HistoryEntry>{});
    EXPECT_EQ(parsed(historyText(entries, 0)), std::vector<HistoryEntry>{});

    // Rebuilt from the text alone, an entry shows what was shown.
    SeededSession fresh(1);
    const std::vector<HistoryEntry> back = parsed(text);
    ASSERT_EQ(back.size(), shown.size());
    fresh.session.restore(back[3].picture, back[3].strip);
    expectShows(fresh, shown[3], "entry 3 read back");
}

TEST(HistoryText, KeepsTheNewestThousandOfMore)
{
    SeededSession session(4);
    const std::vector<HistoryEntry> few = entriesOf(run(session, {Action::Palette, Action::Image}));
    std::vector<HistoryEntry> many;
    for (std::size_t n = 0; n < kKeptEntries + 5; ++n) {
        HistoryEntry entry = few[n % few.size()];
        entry.picture.imeslike = "T2026" + std::to_string(1000000000 + n); // T and 14 digits
        many.push_back(entry);
    }
    const std::vector<HistoryEntry> back = parsed(historyText(many));
    ASSERT_EQ(back.size(), kKeptEntries);
    EXPECT_EQ(back.front(), many[5]);
    EXPECT_EQ(back.back(), many.back());
}

// The text with the `occurrence`-th line that starts with `start` replaced by `lines` (which
// may be empty, or more than one line).
std::string withLine(std::string text, const std::string& start, int occurrence, const std::string& lines)
{
    std::size_t at = std::string::npos;
    for (int n = 0; n < occurrence; ++n) {
        at = text.find("\n" + start, at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no line " << occurrence << " starting with " << start;
            return text;
        }
    }
    const std::size_t end = text.find('\n', at + 1);
    return text.replace(at + 1, end - at, lines);
}

TEST(HistoryText, ADamagedTextIsToldWithTheEntryAndTheKey)
{
    SeededSession session(12);
    const std::string good = historyText(entriesOf(run(session, {Action::Palette, Action::Image})));
    ASSERT_EQ(parsed(good).size(), 3u);

    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "not a genart history (it does not start with genart-history=)"},
        {"\x89PNG\r\n\x1a\n", "not a genart history (it does not start with genart-history=)"},
        {"genart-history=2" + good.substr(good.find('\n')), "history version 2 is not supported (only 1)"},
        {withLine(good, "genart-recipe=1", 1, "imeslike=T20261208120000\ngenart-recipe=1\n"),
         "history line before its first entry: imeslike=T20261208120000"},
        // The second entry's strip lost a line.
        {withLine(good, "strip.base=", 2, ""), "history entry 2: recipe key strip.base is missing"},
        {withLine(good, "strip.scale1=", 3, "strip.scale1=0x1.4p+7\n"),
         "history entry 3: recipe key strip.scale1 holds a value its draw cannot produce"},
        {withLine(good, "picture.tip1=", 1, "picture.tip1=nan\n"),
         "history entry 1: recipe key picture.tip1 is not a finite number"},
        {withLine(good, "strip.phase2=", 1, "strip.phase2=0x1p+0\nstrip.phase2=0x1p+0\n"),
         "history entry 1: recipe key strip.phase2 appears twice"},
        // Cut short in the middle of its last entry, as a full disk might leave it.
        {good.substr(0, good.rfind("carried.")), "history entry 3: recipe key carried.barva is missing"},
        {good + std::string(17 * 1024 * 1024, ' '), "history is too long to be one"},
    };
    for (const auto& c : cases) {
        const auto result = parseHistory(c.text);
        const auto* error = std::get_if<RecipeError>(&result);
        ASSERT_NE(error, nullptr) << c.message;
        EXPECT_EQ(error->message, c.message);
    }
}

} // namespace
} // namespace genart
