#pragma once

// A row of a sectioned table.
struct IndexPath {
    int section = 0;
    int row = 0;

    friend bool operator==(const IndexPath &, const IndexPath &) = default;
};
