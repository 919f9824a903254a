// Names of a list that would replace images: those whose image is already in the save folder,
// and those that stand in the list more than once.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace quorvel {

// The question to put before such a list starts, naming the first ten of each kind; nothing when
// no name would replace an image. `replacing`, when given, receives every such name. A folder that
// does not answer is asked about too: that no image would be replaced cannot be told there.
std::optional<std::string> CollisionQuestion(FileSystem& files, const std::string& folder,
                                             const std::vector<std::string>& names,
                                             std::set<std::string>* replacing = nullptr);

}  // namespace quorvel
