#pragma once

#include <cstddef>

// One row as a conversion wrote it: τ as read, in seconds, and γ multiplied by the area.
struct ConvertedRow {
    float tau;
    float gammaArea;
};

// Learns the rows a conversion writes, in file order, a batch at a time, on the thread that
// writes them; a conversion that fails may have told it some of its rows.
class RowObserver {
  public:
    virtual ~RowObserver() = default;
    // Takes the next `count` rows.
    virtual void OnRows(const ConvertedRow* rows, std::size_t count) = 0;
};
