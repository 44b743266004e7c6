#include "editor/replacement_tables.h"

namespace velmorin {

// clang-format off

const std::array<KindReplacement, 15> HorizontalLeftHalf{{
    {18, 8}, {19, 19}, {16, 16}, {4, 19}, {5, 16}, {6, 6}, {7, 7}, {20, 17},
    {11, 6}, {9, 7}, {10, 13}, {13, 13}, {12, 12}, {8, 8}, {29, 12},
}};

const std::array<KindReplacement, 15> HorizontalRightHalf{{
    {17, 8}, {19, 19}, {16, 16}, {4, 4}, {5, 5}, {6, 16}, {7, 19}, {20, 18},
    {11, 5}, {9, 4}, {12, 13}, {13, 13}, {8, 8}, {10, 10}, {29, 10},
}};

const std::array<KindReplacement, 15> VerticalUpperHalf{{
    {19, 8}, {17, 17}, {18, 18}, {4, 18}, {5, 5}, {6, 6}, {7, 17}, {13, 16},
    {12, 6}, {10, 5}, {9, 20}, {20, 20}, {8, 8}, {11, 11}, {29, 11},
}};

const std::array<KindReplacement, 15> VerticalLowerHalf{{
    {16, 8}, {17, 17}, {18, 18}, {4, 4}, {5, 18}, {6, 17}, {7, 7}, {13, 19},
    {12, 7}, {10, 4}, {11, 20}, {20, 20}, {9, 9}, {8, 8}, {29, 9},
}};

const std::array<KindReplacement, 8> AboveNewElement{{
    {9, 23}, {4, 10}, {7, 12}, {18, 5}, {19, 13}, {17, 6}, {20, 11}, {8, 16},
}};

const std::array<KindReplacement, 8> BelowNewElement{{
    {11, 23}, {5, 10}, {6, 12}, {18, 4}, {16, 13}, {17, 7}, {20, 9}, {8, 19},
}};

// clang-format on

std::optional<int32_t> Replacement(std::span<const KindReplacement> table, int32_t kind) {
    for (const KindReplacement& pair : table) {
        if (pair.found == kind) return pair.replacement;
    }
    return std::nullopt;
}

}  // namespace velmorin
