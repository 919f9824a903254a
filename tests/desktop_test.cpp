// The desktop port's contract on the simulated desktop, which the other unit tests drive.
#include "desktop_contract.h"
#include "sim/simulated_desktop.h"

namespace quorvel {
namespace {

// The windows of the tests' own program share one program number; another program's window is
// given one of its own, as the simulated desktop does for every window it opens.
class SimulatedDesk {
 public:
  DesktopPort& Port() { return desktop_; }
  WindowHandle Open(const std::string& title, WindowHandle owner, bool other_program) {
    const WindowHandle window = desktop_.OpenWindow(title, owner);
    if (owner == 0 && !other_program) desktop_.SetProgram(window, kOwnProgram);
    desktop_.SetForeground(window);
    return window;
  }
  void Close(WindowHandle window) { desktop_.CloseWindow(window); }
  void Focus(WindowHandle window) { desktop_.SetForeground(window); }
  std::string Received(WindowHandle window) const { return desktop_.KeysReceivedBy(window); }
  bool ModifierHeld() const { return desktop_.AltHeld(); }
  void Pump() {}

 private:
  static constexpr ProgramId kOwnProgram = 1;
  VirtualClock clock_;
  SimulatedDesktop desktop_{clock_};
};

INSTANTIATE_TYPED_TEST_SUITE_P(Simulated, DesktopContract, SimulatedDesk);

}  // namespace
}  // namespace quorvel
