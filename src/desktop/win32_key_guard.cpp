#include "desktop/win32_key_guard.h"

#include <chrono>
#include <future>

namespace quorvel {
namespace {

// The extra information that marks this program's key events: a tag no other program's events
// carry, with the event's number in its low bits.
constexpr ULONG_PTR kTagBase = 0x51560000;
constexpr ULONG_PTR kTagMask = 0xFFFF0000;
// How long a verdict may take. A hook that takes longer is one the system passes over
// (LowLevelHooksTimeout) and may drop; the guard then stands aside for good.
constexpr std::chrono::milliseconds kVerdictWait{1000};

// The guard whose hook runs on this thread.
thread_local KeyGuard* guard_of_thread = nullptr;

}  // namespace

KeyGuard::KeyGuard(bool (*may_receive)(HWND)) : may_receive_(may_receive) {
  std::promise<bool> hooked;
  std::future<bool> done = hooked.get_future();
  thread_ = std::thread(&KeyGuard::Run, this, &hooked);
  working_ = done.get();
}

KeyGuard::~KeyGuard() {
  PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
  thread_.join();
}

void KeyGuard::Run(std::promise<bool>* hooked) {
  guard_of_thread = this;
  thread_id_ = GetCurrentThreadId();
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
  const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, OnKey, GetModuleHandleW(nullptr), 0);
  hooked->set_value(hook != nullptr);
  if (!hook) return;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnhookWindowsHookEx(hook);
}

LRESULT CALLBACK KeyGuard::OnKey(int code, WPARAM message, LPARAM data) {
  const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
  const bool press = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  if (code == HC_ACTION && (key->flags & LLKHF_INJECTED) &&
      (key->dwExtraInfo & kTagMask) == kTagBase &&
      !guard_of_thread->Judge(key->dwExtraInfo, press)) {
    return 1;  // stopped: no later hook and no window sees it
  }
  return CallNextHookEx(nullptr, code, message, data);
}

// A release always goes: the key it ends may itself have moved the foreground (Enter that closes
// a box), and a lone release does nothing. An event given up on already goes unjudged.
bool KeyGuard::Judge(ULONG_PTR tag, bool press) {
  const std::lock_guard lock(mutex_);
  if (tag != tag_ || verdict_ != Verdict::kPending) return true;
  verdict_ = !press || may_receive_(target_) ? Verdict::kPassed : Verdict::kStopped;
  judged_.notify_all();
  return verdict_ == Verdict::kPassed;
}

bool KeyGuard::Send(INPUT input, HWND target) {
  std::unique_lock lock(mutex_);
  const bool guarded = working_;
  if (guarded) {
    target_ = target;
    tag_ = kTagBase | (++sent_ & ~kTagMask);
    verdict_ = Verdict::kPending;
    input.ki.dwExtraInfo = tag_;
  }
  lock.unlock();
  const bool sent = SendInput(1, &input, sizeof(INPUT)) == 1;
  lock.lock();
  if (!guarded || !sent) {
    verdict_ = Verdict::kPassed;
    return sent;
  }
  if (!judged_.wait_for(lock, kVerdictWait, [&] { return verdict_ != Verdict::kPending; })) {
    working_ = false;
    verdict_ = Verdict::kPassed;
  }
  return verdict_ == Verdict::kPassed;
}

}  // namespace quorvel
