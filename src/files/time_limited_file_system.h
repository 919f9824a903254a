// A file system that waits at most a time limit for each call of another one, so that a disk or a
// share that stops answering never holds up the thread of the operator window. Each call that
// can wait on a device runs on a thread of its own; one that gets no answer in time answers "no
// answer" (NoAnswer(), kNoAnswer) and is left to finish by itself. While it has not, further calls
// into the same folder answer "no answer" at once, so that at most one thread waits on each folder
// and the window never waits the whole limit twice on the same hang. Calls into other folders
// (the settings beside the program, say) go on as before.
#pragma once

#include <chrono>
#include <list>
#include <memory>
#include <thread>

#include "files/file_system.h"

namespace quorvel {

inline constexpr std::chrono::milliseconds kFileCallLimit{2000};

class TimeLimitedFileSystem : public FileSystem {
 public:
  // Shares `inner` with the calls still waiting on it, which may outlive this object.
  explicit TimeLimitedFileSystem(std::shared_ptr<FileSystem> inner,
                                 std::chrono::milliseconds limit = kFileCallLimit);
  ~TimeLimitedFileSystem() override;
  TimeLimitedFileSystem(const TimeLimitedFileSystem&) = delete;
  TimeLimitedFileSystem& operator=(const TimeLimitedFileSystem&) = delete;

  std::optional<FileFacts> Facts(const std::string& path) override;
  std::optional<std::string> Read(const std::string& path, std::size_t max_bytes,
                                  std::string& error) override;
  bool Replace(const std::string& path, std::string_view text, std::string& error) override;
  bool Append(const std::string& path, std::string_view text, std::string& error) override;
  bool Remove(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  bool Subfolders(const std::string& folder, std::vector<std::string>& names,
                  std::string& error) override;
  std::vector<Drive> Drives() override;
  bool CanWriteIn(const std::string& folder) override;
  bool MakeFolder(const std::string& folder, std::string& error) override;
  std::optional<std::uintmax_t> FreeBytes(const std::string& folder) override;
  bool NoAnswer() const override { return no_answer_; }

  // Answered from what the system holds in memory, never from a device: passed straight on.
  std::string ProgramFolder() override { return inner_->ProgramFolder(); }
  std::string CurrentFolder() override { return inner_->CurrentFolder(); }
  std::string AbsoluteFolder(const std::string& folder) override {
    return inner_->AbsoluteFolder(folder);
  }
  std::string UserSettingsFolder(std::string_view name) override {
    return inner_->UserSettingsFolder(name);
  }

 private:
  // A replace or an append, which answer alike.
  using WriteCall = bool (FileSystem::*)(const std::string&, std::string_view, std::string&);
  bool Write(WriteCall write, const std::string& path, std::string_view text, std::string& error);
  struct Waiting;  // the calls not yet answered, by folder, shared with their threads
  template <typename Result, typename Call>
  Result Run(const std::string& folder, Result no_answer, Call call);

  std::shared_ptr<FileSystem> inner_;
  std::chrono::milliseconds limit_;
  void JoinReturned();
  std::shared_ptr<Waiting> waiting_;
  std::list<std::thread> threads_;  // of the calls, until joined
  bool no_answer_ = false;
};

}  // namespace quorvel
