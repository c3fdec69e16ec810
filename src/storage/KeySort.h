#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovet {

// Why a key sort failed; the container turns it into its own exception family.
enum class KeySortError { None, BadOffset, BadType };

// Sorts fixed-size items packed in `data` ascending by the key of the given kind at
// `keyOffset`, stably: equal keys keep their order, which is the result of a bubble sort
// that swaps only when the left key is greater. An invalid kind is reported only when
// two items have to be compared.
KeySortError SortPackedItems(std::vector<std::uint8_t>& data, std::size_t itemSize, std::int32_t keyOffset,
                             std::uint8_t sortType);

} // namespace kovet
