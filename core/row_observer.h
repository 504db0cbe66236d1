#pragma once

#include <cstddef>

// One row as a conversion wrote it: τ as read, in seconds, and γ multiplied by the area.
struct ConvertedRow {
    float tau;
    float gammaArea;
};

// Learns the rows a conversion writes, in file order, a batch at a time: one batch after another,
// though not always on the same thread (a large file's pieces are told on the threads converting
// them); a conversion that fails may have told it some of its rows.
class RowObserver {
  public:
    virtual ~RowObserver() = default;
    // Takes the next `count` rows.
    virtual void OnRows(const ConvertedRow* rows, std::size_t count) = 0;
};
