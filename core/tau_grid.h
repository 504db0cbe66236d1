#pragma once

#include <cstddef>
#include <vector>

// The fewest rows over which a column can show that it runs as τ does.
inline constexpr std::size_t kMinGridRows = 8;

// True when `values` run as the τ of a DRT export does: at least kMinGridRows of them, every one
// above 0, strictly monotonic either way, over at least a decade, and evenly spaced on a log scale,
// each step within ±50 % of the mean step (a logspace, or an impedance measurement's frequencies).
bool RunsLikeTauGrid(const std::vector<float>& values);
