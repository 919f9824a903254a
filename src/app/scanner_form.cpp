#include "app/scanner_form.h"

namespace quorvel {

ScannerForm::ScannerForm(DesktopPort& desktop, FormHost& host) : desktop_(desktop), host_(host) {
  controls_.SetObserver([this](ControlId id) { host_.ControlChanged(id); });
  desktop_.SetEventPump([this] { host_.PumpEvents(); });
}

}  // namespace quorvel
