#pragma once
// The fixed replacement tables of the wire tools and of the neighbours of a
// new element: pairs of a kind found and the kind that replaces it. They are
// searched from the first pair; a kind that is not listed is not replaced.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace velmorin {

struct KindReplacement {
    int32_t found;
    int32_t replacement;
};

// Horizontal tool: the clicked half gains its connection.
extern const std::array<KindReplacement, 15> HorizontalLeftHalf;
extern const std::array<KindReplacement, 15> HorizontalRightHalf;
// Vertical tool.
extern const std::array<KindReplacement, 15> VerticalUpperHalf;
extern const std::array<KindReplacement, 15> VerticalLowerHalf;
// The cell above a new element loses its down connection, the cell below
// its up connection; 23 leaves the cell empty.
extern const std::array<KindReplacement, 8> AboveNewElement;
extern const std::array<KindReplacement, 8> BelowNewElement;

std::optional<int32_t> Replacement(std::span<const KindReplacement> table, int32_t kind);

}  // namespace velmorin
