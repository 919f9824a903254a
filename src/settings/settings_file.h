// The settings file "Quorvel.ini" beside the program: its six written lines and the items its
// reader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/form_host.h"
#include "automation/desktop_port.h"

namespace quorvel {

inline constexpr std::string_view kSettingsFileName = "Quorvel.ini";

// The settings file's path: the program's folder, a separator and the file's name.
std::string IniPathFor(const std::string& program_folder);

// "' mm-dd-yyyy    -     hh:mm:ss" in local time, without a line end.
std::string StampLine(WallClock::time_point now);

// The whole file as the writer makes it: six lines, each ended by CR LF. Positions are written
// as whole twips.
std::string SettingsText(WindowPosition position, std::int32_t delay, WallClock::time_point now);

// The items of a settings text that are not comments, in order. An item ends at a comma or a
// line end; leading blanks are removed; an empty item or one that starts with an apostrophe is a
// comment. An item that starts with a double quote runs to the closing quote, commas included,
// and loses its quotes.
std::vector<std::string> SettingsItems(std::string_view text);

}  // namespace quorvel
