// GetTickCount64 for Windows XP, which lacks it. The thread library that the compiler links in
// (winpthread) imports it to time its waits; this file defines the import's entry itself, so the
// linker takes it instead of kernel32's and Quorvel.exe starts on XP. Where kernel32 has the
// function (Vista and later) the entry calls it; on XP it widens GetTickCount, which wraps after
// 49.7 days, by counting the wraps.
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

// The last count given: the high half counts the wraps of GetTickCount's 32 bits.
std::atomic<std::uint64_t> last_count{0};

ULONGLONG WINAPI WidenedTickCount() {
  std::uint64_t last = last_count.load();
  for (;;) {
    const std::uint32_t now = GetTickCount();
    std::uint64_t count = (last & ~std::uint64_t{0xFFFFFFFF}) | now;
    if (count < last) count += std::uint64_t{1} << 32;  // wrapped since the last call
    if (last_count.compare_exchange_weak(last, count)) return count;
  }
}

ULONGLONG WINAPI TickCount64() {
  static const auto system = reinterpret_cast<TickCount64Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  return system != nullptr ? system() : WidenedTickCount();
}

}  // namespace

// The import's entry as the thread library's code reads it: a pointer to the function, under the
// name the import library would give it (decorated on i386, plain in the 64-bit test build).
#ifdef _WIN64
#define QUORVEL_TICK_COUNT64_IMPORT "__imp_GetTickCount64"
#else
#define QUORVEL_TICK_COUNT64_IMPORT "__imp__GetTickCount64@0"
#endif
extern "C" {
extern TickCount64Function tick_count64_entry __asm__(QUORVEL_TICK_COUNT64_IMPORT);
TickCount64Function tick_count64_entry = TickCount64;
}
