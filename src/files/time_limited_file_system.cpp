#include "files/time_limited_file_system.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

namespace quorvel {
namespace {

// The folder that holds `path`.
std::string FolderOf(const std::string& path) {
  const std::size_t last = path.find_last_of(kPathSeparator);
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

// What a call that reports its failure in words gives back.
template <typename Value>
struct WithError {
  Value value;
  std::string error;
};

}  // namespace

struct TimeLimitedFileSystem::Waiting {
  std::mutex mutex;
  std::condition_variable answered;
  std::set<std::string> folders;
  std::vector<std::thread::id> returned;  // threads whose call has returned, not joined yet
};

TimeLimitedFileSystem::TimeLimitedFileSystem(std::shared_ptr<FileSystem> inner,
                                             std::chrono::milliseconds limit)
    : inner_(std::move(inner)), limit_(limit), waiting_(std::make_shared<Waiting>()) {}

// A call that still waits on its device keeps its thread to the end of the program.
TimeLimitedFileSystem::~TimeLimitedFileSystem() {
  JoinReturned();
  for (std::thread& thread : threads_) thread.detach();
}

// Threads are joined, never detached while they run: MinGW's threads can hand a thread that ends
// as it is detached a freed start.
void TimeLimitedFileSystem::JoinReturned() {
  std::vector<std::thread::id> returned;
  {
    const std::lock_guard lock(waiting_->mutex);
    returned.swap(waiting_->returned);
  }
  std::erase_if(threads_, [&](std::thread& thread) {
    if (std::find(returned.begin(), returned.end(), thread.get_id()) == returned.end())
      return false;
    thread.join();
    return true;
  });
}

template <typename Result, typename Call>
Result TimeLimitedFileSystem::Run(const std::string& folder, Result no_answer, Call call) {
  struct Answer {
    std::optional<Result> result;
  };
  const auto answer = std::make_shared<Answer>();
  {
    const std::lock_guard lock(waiting_->mutex);
    no_answer_ = !waiting_->folders.insert(folder).second;
    if (no_answer_) return no_answer;
  }
  auto work = [inner = inner_, waiting = waiting_, answer, folder, call = std::move(call)] {
    Result result = call(*inner);
    const std::lock_guard lock(waiting->mutex);
    answer->result = std::move(result);
    waiting->folders.erase(folder);
    waiting->returned.push_back(std::this_thread::get_id());
    waiting->answered.notify_all();
  };
  JoinReturned();
  try {
    threads_.emplace_back(work);
  } catch (const std::system_error&) {
    work();  // no thread to be had: the call runs here, as it would without a limit
  }
  std::unique_lock lock(waiting_->mutex);
  no_answer_ =
      !waiting_->answered.wait_for(lock, limit_, [&] { return answer->result.has_value(); });
  return no_answer_ ? std::move(no_answer) : std::move(*answer->result);
}

std::optional<FileFacts> TimeLimitedFileSystem::Facts(const std::string& path) {
  return Run(FolderOf(path), std::optional<FileFacts>(),
             [path](FileSystem& files) { return files.Facts(path); });
}

std::optional<std::string> TimeLimitedFileSystem::Read(const std::string& path,
                                                       std::size_t max_bytes, std::string& error) {
  using Answer = WithError<std::optional<std::string>>;
  Answer answer =
      Run(FolderOf(path), Answer{{}, std::string(kNoAnswer)}, [path, max_bytes](FileSystem& files) {
        Answer read;
        read.value = files.Read(path, max_bytes, read.error);
        return read;
      });
  if (!answer.value) error = std::move(answer.error);
  return std::move(answer.value);
}

bool TimeLimitedFileSystem::Replace(const std::string& path, std::string_view text,
                                    std::string& error) {
  return Write(&FileSystem::Replace, path, text, error);
}

bool TimeLimitedFileSystem::Append(const std::string& path, std::string_view text,
                                   std::string& error) {
  return Write(&FileSystem::Append, path, text, error);
}

bool TimeLimitedFileSystem::Write(WriteCall write, const std::string& path, std::string_view text,
                                  std::string& error) {
  using Answer = WithError<bool>;
  const Answer answer = Run(FolderOf(path), Answer{false, std::string(kNoAnswer)},
                            [write, path, text = std::string(text)](FileSystem& files) {
                              Answer written;
                              written.value = (files.*write)(path, text, written.error);
                              return written;
                            });
  if (!answer.value) error = answer.error;
  return answer.value;
}

bool TimeLimitedFileSystem::Remove(const std::string& path) {
  return Run(FolderOf(path), false, [path](FileSystem& files) { return files.Remove(path); });
}

bool TimeLimitedFileSystem::IsFolder(const std::string& path) {
  return Run(FolderOf(path), false, [path](FileSystem& files) { return files.IsFolder(path); });
}

bool TimeLimitedFileSystem::Subfolders(const std::string& folder, std::vector<std::string>& names,
                                       std::string& error) {
  using Answer = WithError<std::optional<std::vector<std::string>>>;
  Answer answer = Run(folder, Answer{{}, std::string(kNoAnswer)}, [folder](FileSystem& files) {
    Answer listed{std::vector<std::string>(), {}};
    if (!files.Subfolders(folder, *listed.value, listed.error)) listed.value.reset();
    return listed;
  });
  if (!answer.value) {
    error = std::move(answer.error);
    return false;
  }
  names.insert(names.end(), answer.value->begin(), answer.value->end());
  return true;
}

// Finding the drives looks at each of them: one that hangs holds the whole list up.
std::vector<Drive> TimeLimitedFileSystem::Drives() {
  return Run(std::string(), std::vector<Drive>(), [](FileSystem& files) { return files.Drives(); });
}

bool TimeLimitedFileSystem::CanWriteIn(const std::string& folder) {
  return Run(folder, false, [folder](FileSystem& files) { return files.CanWriteIn(folder); });
}

bool TimeLimitedFileSystem::MakeFolder(const std::string& folder, std::string& error) {
  using Answer = WithError<bool>;
  const Answer answer =
      Run(folder, Answer{false, std::string(kNoAnswer)}, [folder](FileSystem& files) {
        Answer made;
        made.value = files.MakeFolder(folder, made.error);
        return made;
      });
  if (!answer.value) error = answer.error;
  return answer.value;
}

std::optional<std::uintmax_t> TimeLimitedFileSystem::FreeBytes(const std::string& folder) {
  return Run(folder, std::optional<std::uintmax_t>(),
             [folder](FileSystem& files) { return files.FreeBytes(folder); });
}

}  // namespace quorvel
