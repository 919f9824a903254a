// Which mounted file systems stand in for drives on a system that has none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The mounted file systems of a /proc/mounts text that stand in for drives: kernel and pseudo
// file systems left out, each mount point once, sorted. Mount points are taken as written there,
// escapes ("\040" for a blank) decoded.
std::vector<std::string> DriveMountPoints(std::string_view proc_mounts);

}  // namespace quorvel
