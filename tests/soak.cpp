#include "tests/soak.h"

#include <algorithm>
#include <cstdio>

#include "tests/rig.h"

namespace quorvel::harness {

// A series has no business taking longer than this per name, faults and all.
constexpr VirtualClock::Ms kBoundPerName = 5 * 60 * 1000;

SoakResult RunSoak(const SoakPlan& plan) {
  SoakResult result;
  Rig rig({.pages = -1,
           .save_failure = plan.save_failure,
           .broken_save = plan.broken_save,
           .late_dialog = plan.late_dialog,
           .dialog_cancelled = plan.dialog_cancelled,
           .operator_saves_after_ms = plan.mode == ActionMode::ErrorAndSaveAs ? 10000 : -1,
           .operator_finishes_after_ms = plan.mode == ActionMode::ErrorOnly ? 1500 : -1},
          {}, plan.seed);
  rig.desktop.SetFaultRates(plan.desktop_faults);
  rig.scanner->Start();
  rig.SetMode(plan.mode);
  ScannerForm& form = rig.form;
  VirtualClock& clock = rig.clock;
  SimulatedScanner& scanner = *rig.scanner;
  std::vector<std::string> listed;
  for (int series = 0; series < plan.series; ++series) {
    std::string text;
    for (int i = 0; i < plan.names_per_series; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "s%02d-p%04d", series, i);
      listed.push_back(name);
      text += listed.back() + "\r\n";
    }
    form.Controls().SetText(ControlId::kNumberofScans, std::to_string(plan.names_per_series));
    form.Controls().SetText(ControlId::kFilenames, text);
    form.Clicked(ControlId::kStartCommand);
    const VirtualClock::Ms end = clock.Now() + kBoundPerName * plan.names_per_series;
    // Full Auto stops by itself at the end of the list; Error and Save As goes on past it, with
    // an empty name; in Error Only the operator saves the pages.
    auto done = [&, target = static_cast<int>(listed.size())] {
      if (plan.mode == ActionMode::FullAuto) return !form.State().Running;
      if (plan.mode == ActionMode::ErrorAndSaveAs) {
        return form.State().NextNameIndex > plan.names_per_series;
      }
      return scanner.Counts().saves >= target;
    };
    while (!done() && clock.Now() < end) clock.AdvanceTo(clock.NextEventTime());
    result.series_unfinished += !done();
    form.Clicked(ControlId::kStopCommand);
    scanner.OperatorCancel();  // the dialog left open when the list ran out
  }

  result.names_listed = static_cast<int>(listed.size());
  const auto& saved = scanner.SavedNames();
  for (std::size_t i = 0; i < saved.size() && i < listed.size() && saved[i] == listed[i]; ++i) {
    ++result.names_saved_in_order;
  }
  for (const std::string& name : listed)
    result.files_missing += !rig.files.FileExists(scanner.SavePath(name));
  for (const KeyLogEntry& entry : rig.desktop.KeyLog()) {
    result.error_boxes_closed += entry.title == SimulatedScanner::kErrorTitle;
    result.misdelivered_keys += entry.title != SimulatedScanner::kMainTitle &&
                                entry.title != SimulatedScanner::kErrorTitle &&
                                entry.title != SimulatedScanner::kSaveAsTitle;
    result.keys_to_save_as += entry.title == SimulatedScanner::kSaveAsTitle;
  }
  // The journal against what the desktop and the scanning application saw.
  int sent = 0;
  for (const DeliveryLogEntry& delivery : rig.desktop.DeliveryLog()) {
    sent += delivery.target == SimulatedScanner::kSaveAsTitle && delivery.delivered;
  }
  for (const std::string& event : rig.Journal(0)) ++result.journal_events[event];
  result.journal_lines = static_cast<int>(rig.Journal(0).size());
  const bool names_go = plan.mode != ActionMode::ErrorOnly;
  result.journal_expected =
      plan.series + sent + (names_go ? scanner.Counts().saves + plan.series : 0);
  for (const char* other : {"missing", "missed", "stop", "stall", "recovered"}) {
    result.journal_expected += result.journal_events[other];
  }
  result.alt_left_down = rig.desktop.AltHeld();
  for (const std::string& message : rig.host.Messages()) {
    result.messages += !message.starts_with("The scan series is done");
  }
  result.virtual_ms = clock.Now();
  result.desktop_faults = rig.desktop.Faults();
  result.scanner = scanner.Counts();
  return result;
}

bool Harmless(const SoakPlan& plan, const SoakResult& r) {
  const bool named = plan.mode == ActionMode::ErrorOnly ||
                     (r.names_saved_in_order == r.names_listed && r.files_missing == 0);
  return named && r.misdelivered_keys == 0 && r.series_unfinished == 0 && r.messages == 0 &&
         !r.alt_left_down && r.journal_lines == r.journal_expected;
}

std::string Describe(const SoakPlan& plan, const SoakResult& r) {
  const FaultCounts& f = r.desktop_faults;
  char text[1024];
  std::snprintf(text, sizeof text,
                "mode %d: %d series of %d names; pages scanned %d; names saved in order %d of %d; "
                "files missing %d\n  faults: saves failed or broken %d, dialogs late %d, dialogs "
                "cancelled %d, windows vanished %d, activations failed %d, focus thefts %d "
                "(deliveries refused %d), deliveries reported lost %d\n  misdelivered "
                "keys %d; unfinished series %d; messages %d; Alt left down %s; virtual time %.1f "
                "h\n  journal: %d lines, %d events:",
                static_cast<int>(plan.mode), plan.series, plan.names_per_series,
                r.scanner.pages_scanned, r.names_saved_in_order, r.names_listed, r.files_missing,
                r.scanner.saves_failed, r.scanner.dialogs_late, r.scanner.dialogs_cancelled,
                f.windows_vanished, f.activations_failed, f.focus_thefts, f.deliveries_refused,
                f.reported_lost, r.misdelivered_keys, r.series_unfinished, r.messages,
                r.alt_left_down ? "yes" : "no", static_cast<double>(r.virtual_ms) / 3.6e6,
                r.journal_lines, r.journal_expected);
  std::string described = text;
  for (const auto& [event, count] : r.journal_events) {
    described += " " + event + " " + std::to_string(count);
  }
  return described;
}

}  // namespace quorvel::harness
