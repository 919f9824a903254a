#include "tests/soak.h"

#include <cstdio>

#include "app/headless/headless_host.h"
#include "app/layout.h"
#include "common/utf8.h"
#include "series/filename_list.h"
#include "sim/memory_file_system.h"

namespace quorvel::harness {
namespace {

std::string NameOf(int series, int index) {
  char name[32];
  std::snprintf(name, sizeof name, "s%02d-p%04d", series, index);
  return name;
}

// A series has no business taking longer than this per name, faults and all.
constexpr VirtualClock::Ms kBoundPerName = 5 * 60 * 1000;

}  // namespace

SoakResult RunSoak(const SoakPlan& plan) {
  SoakResult result;
  VirtualClock clock;
  SimulatedDesktop desktop(clock, plan.seed);
  const std::string folder = std::string(1, kPathSeparator) + "scans";
  MemoryFileSystem files([&desktop] { return desktop.Now(); }, folder);
  desktop.OpenWindow(ScannerFormLayout().caption);
  desktop.SetBystander(desktop.OpenWindow("Terminal"));
  desktop.SetFaultRates(plan.desktop_faults);
  SimulatedScanner scanner(
      desktop, files,
      {.save_folder = folder,
       .pages = -1,
       .save_failure = plan.save_failure,
       .broken_save = plan.broken_save,
       .late_dialog = plan.late_dialog,
       .dialog_cancelled = plan.dialog_cancelled,
       .operator_saves_after_ms = plan.mode == ActionMode::ErrorAndSaveAs ? 10000 : -1,
       .operator_finishes_after_ms = plan.mode == ActionMode::ErrorOnly ? 1500 : -1});
  scanner.Start();
  HeadlessHost host(clock);
  ScannerForm form(desktop, files, host);
  host.Attach(form);
  form.State().Delay = kDefaultDelayMs;
  form.State().SaveFolder = folder;
  form.Controls().SetValue(OptionAction(static_cast<int>(plan.mode)), true);

  std::vector<std::string> listed;
  for (int series = 0; series < plan.series; ++series) {
    std::string text;
    for (int i = 0; i < plan.names_per_series; ++i) {
      listed.push_back(NameOf(series, i));
      text += listed.back() + "\r\n";
    }
    form.Controls().SetText(ControlId::kNumberofScans, std::to_string(plan.names_per_series));
    form.Controls().SetText(ControlId::kFilenames, text);
    form.Clicked(ControlId::kStartCommand);
    const VirtualClock::Ms end = clock.Now() + kBoundPerName * plan.names_per_series;
    const std::size_t target = listed.size();
    // Full Auto stops by itself at the end of the list; Error and Save As goes on past it, with
    // an empty name; in Error Only the operator saves the pages.
    auto done = [&] {
      switch (plan.mode) {
        case ActionMode::FullAuto:
          return !form.State().Running;
        case ActionMode::ErrorAndSaveAs:
          return form.State().NextNameIndex > plan.names_per_series;
        case ActionMode::ErrorOnly:
          break;
      }
      return scanner.Counts().saves >= static_cast<int>(target);
    };
    while (!done() && clock.Now() < end) clock.AdvanceTo(clock.NextEventTime());
    if (!done()) ++result.series_unfinished;
    form.Clicked(ControlId::kStopCommand);
    scanner.OperatorCancel();  // the dialog left open when the list ran out
  }

  result.names_listed = static_cast<int>(listed.size());
  const auto& saved = scanner.SavedNames();
  for (std::size_t i = 0; i < saved.size() && i < listed.size() && saved[i] == listed[i]; ++i) {
    ++result.names_saved_in_order;
  }
  for (const std::string& name : listed) {
    if (!files.FileExists(scanner.SavePath(name))) ++result.files_missing;
  }
  for (const KeyLogEntry& entry : desktop.KeyLog()) {
    if (entry.title == SimulatedScanner::kErrorTitle) ++result.error_boxes_closed;
    if (entry.title == SimulatedScanner::kSaveAsTitle) ++result.keys_to_save_as;
  }
  // The name each dialog received, dialog by dialog: a dialog given the name of the one before
  // it is a resend.
  std::vector<std::pair<WindowHandle, std::string>> dialogs;
  for (const KeyLogEntry& entry : desktop.KeyLog()) {
    if (entry.title != SimulatedScanner::kSaveAsTitle) continue;
    if (dialogs.empty() || dialogs.back().first != entry.window)
      dialogs.push_back({entry.window, ""});
    if (entry.key.kind == Key::Kind::kAltChord && entry.key.character == U'n') {
      dialogs.back().second.clear();
    } else if (entry.key.kind == Key::Kind::kCharacter) {
      AppendUtf8(dialogs.back().second, entry.key.character);
    }
  }
  for (std::size_t i = 1; i < dialogs.size(); ++i) {
    if (dialogs[i].second == dialogs[i - 1].second) ++result.resends;
  }
  for (const KeyLogEntry& entry : desktop.KeyLog()) {
    const bool target = entry.title == SimulatedScanner::kMainTitle ||
                        entry.title == SimulatedScanner::kErrorTitle ||
                        entry.title == SimulatedScanner::kSaveAsTitle;
    if (!target) ++result.misdelivered_keys;
  }
  // The journal against what the desktop and the scanning application saw.
  int sent = 0;
  for (const DeliveryLogEntry& delivery : desktop.DeliveryLog()) {
    sent += delivery.target == SimulatedScanner::kSaveAsTitle && delivery.delivered;
  }
  const auto journal = files.Contents(folder + kPathSeparator + "quorvel-journal.csv");
  for (const std::string& line : SplitIntoItems(journal.value_or(""))) {
    const std::size_t comma = line.find(',');
    if (line.empty() || line.starts_with("time,")) continue;
    ++result.journal_lines;
    ++result.journal_events[line.substr(comma + 1, line.find(',', comma + 1) - comma - 1)];
  }
  const bool names_go = plan.mode != ActionMode::ErrorOnly;
  result.journal_expected =
      plan.series + sent + (names_go ? scanner.Counts().saves + plan.series : 0);
  for (const char* other : {"missing", "missed", "stop", "stall", "recovered"}) {
    result.journal_expected += result.journal_events[other];
  }
  result.alt_left_down = desktop.AltHeld();
  for (const std::string& message : host.Messages()) {
    result.messages += !message.starts_with("The scan series is done");
  }
  result.pages_scanned = scanner.Counts().pages_scanned;
  result.virtual_ms = clock.Now();
  result.desktop_faults = desktop.Faults();
  result.scanner = scanner.Counts();
  return result;
}

std::string Describe(const SoakPlan& plan, const SoakResult& r) {
  char text[1024];
  std::snprintf(
      text, sizeof text,
      "mode %d: %d series of %d names; pages scanned %d; names saved in order %d of %d; files "
      "missing %d\n  faults: saves failed or broken %d, dialogs late %d, dialogs cancelled %d, "
      "windows "
      "vanished "
      "%d, activations failed %d, focus thefts %d (deliveries refused %d), deliveries reported "
      "lost %d\n  resends %d; misdelivered keys %d; unfinished series %d; messages %d; Alt left "
      "down %s; virtual time %.1f h",
      static_cast<int>(plan.mode), plan.series, plan.names_per_series, r.pages_scanned,
      r.names_saved_in_order, r.names_listed, r.files_missing, r.scanner.saves_failed,
      r.scanner.dialogs_late, r.scanner.dialogs_cancelled, r.desktop_faults.windows_vanished,
      r.desktop_faults.activations_failed, r.desktop_faults.focus_thefts,
      r.desktop_faults.deliveries_refused, r.desktop_faults.reported_lost, r.resends,
      r.misdelivered_keys, r.series_unfinished, r.messages, r.alt_left_down ? "yes" : "no",
      static_cast<double>(r.virtual_ms) / 3.6e6);
  std::string described = text;
  described += "\n  journal: " + std::to_string(r.journal_lines) + " lines, " +
               std::to_string(r.journal_expected) + " events:";
  for (const auto& [event, count] : r.journal_events) {
    described += " " + event + " " + std::to_string(count);
  }
  return described;
}

}  // namespace quorvel::harness
