// The settings file "Quorvel.ini", beside the program or in the user's folder for settings: its
// six written lines and the items its reader accepts.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

inline constexpr std::string_view kSettingsFileName = "Quorvel.ini";

using WallClock = std::chrono::system_clock;

// Window position in twips from the top left corner of the screen.
struct WindowPosition {
  double top = 0;
  double left = 0;
};

// The settings file's path: the folder, the separator and the file's name, joined plainly (a
// root folder keeps its own separator and gets a second one, which every file system reads as
// one).
std::string IniPathFor(const std::string& folder, char separator);
// The folder of a path IniPathFor made, without the separator after it.
std::string FolderOfIniPath(const std::string& ini_path);

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

// What a settings text does to the window's place and the pause, its items applied in order. An
// item whose value cannot be used changes nothing and adds a message naming it and the file.
struct Settings {
  WindowPosition position;
  bool moved = false;  // a top= or left= item was applied
  std::int32_t delay = 0;
  std::vector<std::string> messages;
};
Settings ApplySettings(std::string_view text, Settings start, const std::string& path);

// A path as messages show it: in double quotes.
std::string Quoted(const std::string& path);

}  // namespace quorvel
