#pragma once

// Positions on a map's grid of cells.
struct CellMath {
    CellMath() = delete;

    // The cell of side `size` that position `a` falls in, counted from the
    // origin: rounded down, left of and above the origin too.
    static constexpr long long floorDiv(long long a, long long size)
    {
        return a >= 0 ? a / size : -((-a + size - 1) / size);
    }
};
