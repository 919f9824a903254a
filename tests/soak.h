// Long runs on the stand-in scanning application with faults switched on, in virtual time.
#pragma once

#include <map>
#include <string>

#include "app/scanner_form.h"
#include "sim/simulated_scanner.h"

namespace quorvel::harness {

struct SoakPlan {
  int series = 1;
  int names_per_series = 500;
  ActionMode mode = ActionMode::FullAuto;
  FaultRates desktop_faults{.activation_failure = 0.05,
                            .focus_theft = 0.02,
                            .focus_theft_midway = 0.01,
                            .vanish_during_census = 0.02,
                            .reported_lost = 0.02};
  double save_failure = 0.05, late_dialog = 0.10, dialog_cancelled = 0.02, broken_save = 0.02;
  unsigned seed = 20261206;
};

struct SoakResult {
  int names_listed = 0;
  int names_saved_in_order = 0;  // saved names that match the list, in order, none skipped
  int files_missing = 0;         // listed names with no file at the end
  int misdelivered_keys = 0;     // keys that reached a window other than the cycle's targets
  int series_unfinished = 0;     // series that did not end within their time bound
  int messages = 0;              // message boxes shown: a series that stopped by itself
  int error_boxes_closed = 0;    // keys that reached an error box (one Enter each)
  int keys_to_save_as = 0;
  bool alt_left_down = false;
  // The journal: its lines but the header, those of each event, and the events it should hold
  // by the count of the desktop and the scanning application (start, sent, saved, end).
  int journal_lines = 0, journal_expected = 0;
  std::map<std::string, int> journal_events;
  VirtualClock::Ms virtual_ms = 0;
  FaultCounts desktop_faults;
  ScannerCounts scanner;
};

SoakResult RunSoak(const SoakPlan& plan);
std::string Describe(const SoakPlan& plan, const SoakResult& result);
// No key astray, every series ended, no message, Alt released, the journal whole; and where
// Quorvel names the pages, every name saved once, in order, its file there.
bool Harmless(const SoakPlan& plan, const SoakResult& result);

}  // namespace quorvel::harness
