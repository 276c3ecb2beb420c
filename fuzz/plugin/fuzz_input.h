#pragma once
// Layout of one fuzz input: a control byte, a list byte, then a serialized
// "(vv)" whose two values become params and addon_info.
//   control bits 0-3: index into kResults, the back end's int result
//   control bit 4: params null; bit 5: addon_info null
//   list byte: records in the back end's lists (0-3, 4+ gives a null list);
//              their bytes are the input's bytes repeated
#include <cstddef>

namespace ops_fuzz {

inline constexpr int kResults[] = {0, 1, 7, -1, -3, -14, -17, -18, -100, 2147483647, -2147483647 - 1,
                                   5, -4, -10, 3, 0};
inline constexpr std::size_t kHeaderSize = 2;

}  // namespace ops_fuzz
