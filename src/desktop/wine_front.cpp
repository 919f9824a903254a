#include "desktop/wine_front.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <fstream>
#include <string_view>
#include <thread>
#include <vector>

namespace quorvel {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr auto kFirstAnswer = milliseconds(10000);  // Wine starts the helper first
constexpr auto kAnswer = milliseconds(1000);
constexpr auto kEndWait = milliseconds(200);
// What tells the helper's Wine: the loader sets WINELOADER for every program it runs; the
// prefix is WINEPREFIX or, without it, ~/.wine of that HOME.
constexpr std::string_view kWineVariables[] = {"WINELOADER", "WINEPREFIX", "WINESERVER", "HOME"};

// The Wine variables of a process's environment; none for a process that is not Wine's or
// whose environment cannot be read (another user's).
std::map<std::string, std::string> WineOf(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/environ", std::ios::binary);
  std::map<std::string, std::string> wine;
  std::string entry;
  while (std::getline(file, entry, '\0')) {
    const std::string_view name = std::string_view(entry).substr(0, entry.find('='));
    for (const std::string_view wanted : kWineVariables) {
      if (name == wanted && name.size() < entry.size()) {
        wine.emplace(name, entry.substr(name.size() + 1));
      }
    }
  }
  if (!wine.contains("WINELOADER")) wine.clear();
  return wine;
}

// The helper for the loader's width (wine64 runs 64-bit programs) in the folder or where an
// installation puts it; "" when there is none.
std::string HelperPath(const std::string& folder, const std::string& loader) {
  const std::string name =
      loader.ends_with("64") ? "quorvel-wine-front64.exe" : "quorvel-wine-front.exe";
  for (const std::string& path : {folder + "/" + name, folder + "/../lib/quorvel/" + name}) {
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  return {};
}

// This environment with the target's Wine variables in place of any of ours.
std::vector<std::string> HelperEnvironment(const std::map<std::string, std::string>& wine) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    if (!name.starts_with("WINE") && !wine.contains(std::string(name)))
      variables.emplace_back(text);
  }
  for (const auto& [name, value] : wine) variables.push_back(name + "=" + value);
  variables.emplace_back("WINEDEBUG=-all");
  return variables;
}

}  // namespace

WineFront::~WineFront() {
  for (auto& [wine, helper] : helpers_) Stop(helper);
}

std::optional<std::uint32_t> WineFront::Ask(pid_t pid) {
  const std::map<std::string, std::string> wine = WineOf(pid);
  if (wine.empty()) return std::nullopt;
  std::string key;
  for (const auto& [name, value] : wine) key += name + "=" + value + "\n";
  auto it = helpers_.find(key);
  if (it == helpers_.end()) it = helpers_.emplace(key, Start(wine)).first;
  Helper& helper = it->second;
  if (helper.pid < 0) return std::nullopt;
  const std::optional<std::uint32_t> front = Query(helper);
  if (!front) Stop(helper);
  return front;
}

std::string WineFront::ProgramFolder() {
  std::array<char, 4096> self{};
  const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
  if (length <= 0) return {};
  std::string folder(self.data(), static_cast<std::size_t>(length));
  return folder.erase(folder.rfind('/'));
}

WineFront::Helper WineFront::Start(const std::map<std::string, std::string>& wine) const {
  Helper helper;
  const std::string& loader = wine.at("WINELOADER");
  const std::string program = HelperPath(folder_, loader);
  std::array<int, 2> to{-1, -1};
  std::array<int, 2> from{-1, -1};
  if (program.empty() || pipe2(to.data(), O_CLOEXEC) != 0) return helper;
  if (pipe2(from.data(), O_CLOEXEC) != 0) {
    close(to[0]);
    close(to[1]);
    return helper;
  }
  // A helper that ends makes writing to it fail with EPIPE rather than end this program.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> variables = HelperEnvironment(wine);
  std::vector<char*> environment;
  for (std::string& variable : variables) environment.push_back(variable.data());
  environment.push_back(nullptr);
  char* arguments[] = {const_cast<char*>(loader.c_str()), const_cast<char*>(program.c_str()),
                       nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, from[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const bool started = posix_spawn(&helper.pid, loader.c_str(), &actions, nullptr, arguments,
                                   environment.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(to[0]);
  close(from[1]);
  helper.to = to[1];
  helper.from = from[0];
  if (!started) {
    helper.pid = 0;
    Stop(helper);
  }
  return helper;
}

std::optional<std::uint32_t> WineFront::Query(Helper& helper) {
  if (write(helper.to, "\n", 1) != 1) return std::nullopt;
  const auto deadline = steady_clock::now() + (helper.answered ? kAnswer : kFirstAnswer);
  std::string answer;
  while (answer.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    pollfd readable{helper.from, POLLIN, 0};
    const int ready = left > 0 ? poll(&readable, 1, static_cast<int>(left)) : 0;
    if (ready < 0 && errno == EINTR) continue;
    std::array<char, 32> buffer{};
    const ssize_t got = ready > 0 ? read(helper.from, buffer.data(), buffer.size()) : 0;
    if (got <= 0 || answer.size() > 64) return std::nullopt;
    answer.append(buffer.data(), static_cast<std::size_t>(got));
  }
  std::uint32_t window = 0;
  const char* end = answer.data() + answer.find_first_of("\r\n");  // its C library writes CR LF
  const auto [stop, error] = std::from_chars(answer.data(), end, window, 16);
  if (error != std::errc() || stop != end) return std::nullopt;
  helper.answered = true;
  return window;
}

// Ends the helper: its input closed, then killed; it is waited for a moment only.
void WineFront::Stop(Helper& helper) {
  for (int* fd : {&helper.to, &helper.from}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  if (helper.pid > 0) {
    kill(helper.pid, SIGKILL);
    const auto deadline = steady_clock::now() + kEndWait;
    while (waitpid(helper.pid, nullptr, WNOHANG) == 0 && steady_clock::now() < deadline)
      std::this_thread::sleep_for(milliseconds(10));
  }
  helper.pid = -1;
}

}  // namespace quorvel
