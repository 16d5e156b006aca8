// Facts of the symbol layout the locator needs: sizes, alignment pattern
// positions and the version information blocks (ISO/IEC 18004 6.3, 7.10).
#pragma once

#include <cstddef>  // before reader/module_grid.h, which uses size_t
#include <vector>

#include "reader/module_grid.h"

namespace qr::detect {

constexpr int kMinSize = 21;   // version 1
constexpr int kMaxSize = 177;  // version 40

inline int SizeOfVersion(int version) { return 17 + 4 * version; }
inline int VersionOfSize(int size) { return (size - 17) / 4; }

// Rows/columns of the alignment pattern centres (empty for version 1).
std::vector<int> AlignmentCentres(int version);

// The version told by either version information block of a grid of version
// 7 or more, corrected by its BCH code (up to 3 bit errors); 0 when neither
// block reads.
int VersionFromGrid(const ModuleGrid& grid);

}  // namespace qr::detect
