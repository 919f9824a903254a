// Which window Wine holds in front, for a program that runs under Wine. Wine gives the keys it
// receives to that window, and another Windows program that the operator works in can take
// that place without the X focus following; the X server cannot tell. A small Windows program
// (quorvel-wine-front.exe, or quorvel-wine-front64.exe for 64-bit Wine), run in the same Wine
// prefix and kept running, answers for Wine.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace quorvel {

class WineFront {
 public:
  // The helper is looked for in `folder` and in `folder`/../lib/quorvel.
  explicit WineFront(std::string folder = ProgramFolder()) : folder_(std::move(folder)) {}
  WineFront(const WineFront&) = delete;
  WineFront& operator=(const WineFront&) = delete;
  ~WineFront();

  // The X window that the Wine running process `pid` holds in front (0: none). Nothing when the
  // process is not a Wine program or its Wine cannot be asked: no helper installed, or one that
  // did not answer in time (it is not asked again).
  std::optional<std::uint32_t> Ask(pid_t pid);

 private:
  struct Helper {
    pid_t pid = -1;  // -1: could not be started, or stopped answering
    int to = -1;
    int from = -1;
    bool answered = false;  // the first answer takes Wine's start
  };
  static std::string ProgramFolder();  // this program's
  Helper Start(const std::map<std::string, std::string>& wine) const;
  static std::optional<std::uint32_t> Query(Helper& helper);
  static void Stop(Helper& helper);

  std::string folder_;
  std::map<std::string, Helper> helpers_;  // by Wine loader and prefix
};

}  // namespace quorvel
