#include "animation_files/neighbour_groups.h"

#include <algorithm>
#include <limits>

namespace genart {
namespace {

// Sums over the used entries 0 .. n - 1, so that the spread of any run is found at once.
class RunSpread {
public:
    RunSpread(const std::vector<double>& positions, const std::vector<double>& weights)
    {
        const std::size_t n = positions.size();
        weight_.assign(n + 1, 0);
        first_.assign(n + 1, 0);
        second_.assign(n + 1, 0);
        for (std::size_t i = 0; i < n; ++i) {
            weight_[i + 1] = weight_[i] + weights[i];
            first_[i + 1] = first_[i] + weights[i] * positions[i];
            second_[i + 1] = second_[i] + weights[i] * positions[i] * positions[i];
        }
    }

    // The weighted squared distance of the used entries from..to - 1 from their weighted mean.
    double of(std::size_t from, std::size_t to) const
    {
        const double w = weight_[to] - weight_[from];
        if (w <= 0)
            return 0;
        const double s = first_[to] - first_[from];
        return std::max(0.0, second_[to] - second_[from] - s * s / w);
    }

private:
    std::vector<double> weight_, first_, second_;
};

// One more run for every prefix: best[j] = min over i of before[i] + spread(i, j), with the split
// points known to move right as j does, so each half is searched within the other's bounds.
void addRun(const RunSpread& spread, const std::vector<double>& before, std::vector<double>& best,
            std::vector<std::size_t>& split, std::size_t low, std::size_t high, std::size_t fromLow,
            std::size_t fromHigh)
{
    if (low > high)
        return;
    const std::size_t middle = low + (high - low) / 2;
    double least = std::numeric_limits<double>::infinity();
    std::size_t at = fromLow;
    for (std::size_t i = fromLow; i <= std::min(fromHigh, middle - 1); ++i) {
        const double cost = before[i] + spread.of(i, middle);
        if (cost < least) {
            least = cost;
            at = i;
        }
    }
    best[middle] = least;
    split[middle] = at;
    if (middle > low)
        addRun(spread, before, best, split, low, middle - 1, fromLow, at);
    addRun(spread, before, best, split, middle + 1, high, at, fromHigh);
}

} // namespace

std::vector<int> neighbourGroups(const std::vector<std::uint64_t>& weights, int groups)
{
    std::vector<int> group(weights.size(), -1);
    std::vector<std::size_t> used;
    for (std::size_t e = 0; e < weights.size(); ++e)
        if (weights[e] > 0)
            used.push_back(e);
    const std::size_t n = used.size();
    const auto runs = static_cast<std::size_t>(std::max(groups, 1));
    if (n <= runs) {
        for (std::size_t i = 0; i < n; ++i)
            group[used[i]] = static_cast<int>(i);
        return group;
    }
    std::vector<double> positions(n), weighting(n);
    for (std::size_t i = 0; i < n; ++i) {
        positions[i] = static_cast<double>(used[i]);
        weighting[i] = static_cast<double>(weights[used[i]]);
    }
    const RunSpread spread(positions, weighting);
    // cost[k][j]: the least spread of the first j used entries in k + 1 runs; splits[k][j] where
    // the last of those runs starts.
    std::vector<std::vector<double>> cost(runs, std::vector<double>(n + 1, 0));
    std::vector<std::vector<std::size_t>> splits(runs, std::vector<std::size_t>(n + 1, 0));
    for (std::size_t j = 1; j <= n; ++j)
        cost[0][j] = spread.of(0, j);
    for (std::size_t k = 1; k < runs; ++k)
        addRun(spread, cost[k - 1], cost[k], splits[k], k + 1, n, k, n - 1);
    // Back from the end: the runs, last first.
    std::size_t end = n;
    for (std::size_t k = runs; k-- > 0;) {
        const std::size_t start = k == 0 ? 0 : splits[k][end];
        for (std::size_t i = start; i < end; ++i)
            group[used[i]] = static_cast<int>(k);
        end = start;
    }
    return group;
}

} // namespace genart
