// The queue file "Quorvel.queue" beside the settings file: while a series runs, what is needed to
// take it up again after a crash, a power cut or an EXIT: the mode, the save folder, the name sent
// last with its image file as it was when the name went, and the names still to come. Replaced
// whole each time a name goes.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/cycle.h"

namespace quorvel {

inline constexpr std::string_view kQueueFileName = "Quorvel.queue";

struct QueueState {
  ActionMode mode = ActionMode::FullAuto;
  std::string folder;
  std::string last_sent;                  // empty before the first name of the series
  std::optional<ImageBefore> last_image;  // nothing: not known
  std::vector<std::string> to_come;
};

// The file's text, in the operator's words.
std::string QueueText(const QueueState& state);
// What a queue file says; nothing when the text is not one.
std::optional<QueueState> ReadQueue(std::string_view text);
// Where the queue file is kept: beside the settings file at `ini_path`, or in the program's folder
// while the settings file has no place yet.
std::string QueueFilePath(const std::string& ini_path, const std::string& program_folder);
// The mode as its option button names it.
std::string_view ModeName(ActionMode mode);

}  // namespace quorvel
