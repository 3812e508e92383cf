#pragma once

#include <cstdint>
#include <vector>

namespace genart {

// Puts neighbouring palette entries together so that no more than `groups` remain. The entries of
// a picture are neighbouring columns of one strip of three slow sine waves, so over a turn of the
// colours two entries differ, on average, by an amount that grows with the distance between
// their columns: the grouping that loses least, counted over every pixel and every frame, is the
// one into runs of neighbours with the least weighted spread of entry numbers about each run's
// middle. It is found exactly (a one-dimensional k-means, by dynamic programming).
//
// `weights[e]` is how many pixels take entry e (0: none, and the entry gets no group). Returns
// each entry's group, 0 .. groups - 1 in the entries' order, or -1 for an entry without pixels.
// With no more entries in use than `groups`, each has a group of its own.
std::vector<int> neighbourGroups(const std::vector<std::uint64_t>& weights, int groups);

} // namespace genart
