// The last look at the foreground before a key press of this program reaches a window.
//
// A press that SendInput puts out is not routed at once: every low-level keyboard hook of the
// desktop sees it first, each in a thread of its own program, and only then does the system hand
// it to the foreground of that moment. A program that takes the foreground meanwhile gets the key,
// however fresh the check before SendInput was. The guard is such a hook, on a thread of its own:
// it stops a press of this program whose moment finds the foreground elsewhere. The hook installed
// first is called last, so the guard, installed when the port is made, looks last of the hooks
// that came after it.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <thread>

namespace quorvel {

class KeyGuard {
 public:
  // `may_receive(target)`: whether the foreground now belongs to the target.
  explicit KeyGuard(bool (*may_receive)(HWND target));
  ~KeyGuard();
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;

  // Sends one input event for `target`. False: SendInput refused it, or it was a press that the
  // guard stopped because the foreground had left the target. Where the guard cannot look (no
  // hook, or none that answers in time), the event goes unguarded.
  bool Send(INPUT input, HWND target);

 private:
  enum class Verdict { kPending, kPassed, kStopped };
  static LRESULT CALLBACK OnKey(int code, WPARAM message, LPARAM data);
  void Run(std::promise<bool>* hooked);
  bool Judge(ULONG_PTR tag, bool press);

  bool (*may_receive_)(HWND);
  std::mutex mutex_;
  std::condition_variable judged_;
  HWND target_ = nullptr;  // of the event on its way
  ULONG_PTR tag_ = 0;      // ... which carries this tag as its extra information
  Verdict verdict_ = Verdict::kPassed;
  bool working_ = false;    // the hook is in place and has answered every event so far
  std::uint32_t sent_ = 0;  // events sent, for the tags
  DWORD thread_id_ = 0;
  std::thread thread_;
};

}  // namespace quorvel
