#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "platform/clock.h"

namespace genart {

// The pictures a batch has written, as runs of one name: <name>-01.png, <name>-02.png ...
// for the pictures begun in one second, the numbers padded to the width of the batch's count so
// that the names sort in drawing order; a batch of one is <name>.png. What it holds grows with the seconds a batch takes,
// never with its pictures; naming the next picture looks at the current second alone.
class BatchPictures {
public:
    // 1 for the first picture named `name`, else one more than the last.
    int nextNumber(const std::string& name) const;
    void add(const std::string& name, int number);
    bool empty() const { return runs_.empty(); }
    std::size_t runs() const { return runs_.size(); }

    // Calls act(name, number) for every picture, the newest first.
    template <class Act>
    void forEachNewestFirst(Act act) const
    {
        for (auto run = runs_.rbegin(); run != runs_.rend(); ++run)
            for (int number = run->last; number >= run->first; --number)
                act(run->name, number);
    }

    // "<name>-<number>" with the number `digits` wide (or "<name>" for 0 digits), then `ending`
    // (".png", "-palette.png").
    static std::string fileName(const std::string& name, int number, int digits, const char* ending);
    // The digits a batch of `count` numbers its pictures with.
    static int digitsFor(int count);

private:
    struct Run {
        std::string name;
        int first;
        int last;
    };
    std::vector<Run> runs_;
};

// Writes a batch of pictures into options.outDir, made with its parents if missing, named after
// their time stamps and numbered. Either every picture is written or, when one cannot be (an existing
// file without --force, a file another process created meanwhile, an I/O error), the batch
// takes back what it did: the files it created are removed and the ones it replaced with
// --force are put back (they stay as hidden backups beside them until the batch is done), and
// the folders it made are removed again.
// Pictures are encoded and written while the next ones are drawn; OneAtATime writes each before
// the next is begun, so that what the batch holds at every picture's start is the same (the
// memory test measures it so).
// Returns the exit status: 0 done, 1 a file could not be written.
enum class BatchPace { Overlapped, OneAtATime };

// The batch's folder and any missing folders above it, made; the ones it made, deepest first,
// go in `made`, so that a run that fails can take them away again with removeFolders (only
// those still empty). "" or a printable reason.
std::string makeFolder(const std::string& path, std::vector<std::filesystem::path>& made);
void removeFolders(const std::vector<std::filesystem::path>& made);

int runBatch(const RenderOptions& options, const Clock& clock, std::ostream& errors,
             BatchPace pace = BatchPace::Overlapped);

} // namespace genart
