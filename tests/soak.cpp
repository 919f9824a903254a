#include "tests/soak.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

// A series has no business taking longer than this per name, faults and all.
constexpr VirtualClock::Ms kBoundPerName = 5 * 60 * 1000;
// The clock of the save folder's file server is 30 s behind this computer's, right, or 30 s
// ahead: in turn from series to series, and from mode to mode.
constexpr int kServerClockOffsets[] = {-30, 0, 30};
// The save folder stops answering for 30 s every 7 min; once a series, halfway, its disk fills to
// a dozen pages' room, and the operator frees room 40 s after it is full.
constexpr VirtualClock::Ms kHangEvery = 7 * 60000, kHangFor = 30000, kFullFor = 40000;

// Runs `series` series of `per_series` names in `mode` with every fault switched on, prints the
// figures, and says whether no harm was done: no key astray (to a window other than the cycle's
// targets, another program's "DeskScan" and "Save As" above all), every series ended within its
// time bound, no message box (a series that stopped by itself), Alt released, the journal holding
// the events the desktop and the scanning application saw (lines written late while the folder hung
// among them), and every fault struck, so that the
// figures mean something. Where Quorvel names the pages, every name saved once, in order, its file
// there; in Error Only every error box closed by one Enter, and no key for a save dialog.
bool RunSoak(int series, int per_series, ActionMode mode) {
  Rig rig({.pages = -1,
           .save_failure = 0.05,
           .broken_save = 0.02,
           .late_dialog = 0.10,
           .dialog_cancelled = 0.02,
           .operator_saves_after_ms = mode == ActionMode::ErrorAndSaveAs ? 10000 : -1,
           .operator_finishes_after_ms = mode == ActionMode::ErrorOnly ? 1500 : -1},
          {}, 20261206);
  rig.desktop.SetFaultRates({.activation_failure = 0.05,
                             .focus_theft = 0.02,
                             .focus_theft_midway = 0.01,
                             .vanish_during_census = 0.02,
                             .reported_lost = 0.02,
                             .stray_deskscan = 0.01,
                             .stray_save_as = 0.01});
  rig.scanner->Start();
  rig.SetMode(mode);
  const SimulatedScanner& scanner = *rig.scanner;
  std::vector<std::string> listed;
  int unfinished = 0, clock_off = 0, hangs = 0, fills = 0;
  VirtualClock::Ms next_hang = kHangEvery, full_since = -1;
  for (int s = 0; s < series; ++s) {
    const int offset = kServerClockOffsets[(s + static_cast<int>(mode)) % 3];
    rig.files.SetClockOffset(std::chrono::seconds(offset));
    clock_off += offset != 0;
    const std::size_t first = listed.size();
    for (int i = 0; i < per_series; ++i)
      listed.push_back(std::to_string(s) + "-" + std::to_string(i));
    rig.controls().SetText(ControlId::kNumberofScans, std::to_string(per_series));
    rig.SetNames({listed.begin() + static_cast<std::ptrdiff_t>(first), listed.end()});
    rig.Click(ControlId::kStartCommand);
    const VirtualClock::Ms end = rig.clock.Now() + kBoundPerName * per_series;
    // Full Auto stops by itself at the end of the list; Error and Save As goes on past it, with
    // an empty name; in Error Only the operator saves the pages.
    auto done = [&, target = static_cast<int>(listed.size())] {
      if (mode == ActionMode::FullAuto) return !rig.state().Running;
      if (mode == ActionMode::ErrorAndSaveAs) return rig.state().NextNameIndex > per_series;
      return scanner.Counts().saves >= target;
    };
    bool filled = false;
    while (!done() && rig.clock.Now() < end) {
      rig.clock.AdvanceTo(rig.clock.NextEventTime());
      const VirtualClock::Ms now = rig.clock.Now();
      if (now >= next_hang) {
        rig.files.Hang(now < next_hang + kHangFor ? rig.folder : "");
        if (now >= next_hang + kHangFor) next_hang += kHangEvery, ++hangs;
      }
      // Half-way through a series the disk gets room for 12 more pages; not while the folder
      // hangs, which tells no free space: then at a later event.
      if (!filled && scanner.Counts().saves >= static_cast<int>(first) + per_series / 2) {
        rig.files.SetCapacity(rig.folder, 1u << 30);
        if (const auto free = rig.files.FreeBytes(rig.folder)) {
          filled = true;
          rig.files.SetCapacity(rig.folder, (1u << 30) - *free + 12 * 246);
        }
      }
      const auto free = filled && full_since < 0 ? rig.files.FreeBytes(rig.folder) : std::nullopt;
      if (free && *free < 246) full_since = now, ++fills;
      if (full_since >= 0 && now >= full_since + kFullFor) {
        rig.files.SetCapacity({}, std::nullopt);
        full_since = -2;  // until the next series
      }
    }
    full_since = -1;
    unfinished += !done();
    rig.Click(ControlId::kStopCommand);
    rig.scanner->OperatorCancel();  // the dialog left open when the list ran out
  }

  const auto& saved = scanner.SavedNames();
  const auto in_order = static_cast<std::size_t>(
      std::mismatch(saved.begin(), saved.end(), listed.begin(), listed.end()).first -
      saved.begin());
  int missing = 0, sent = 0, messages = 0;
  for (const std::string& name : listed) missing += !rig.files.FileExists(scanner.SavePath(name));
  std::map<std::string, int> keys_to;  // the scanning application's windows, by their titles
  const ProgramId scanning = rig.desktop.ProgramOf(scanner.MainWindow());
  for (const KeyLogEntry& entry : rig.desktop.KeyLog())
    if (entry.program == scanning) ++keys_to[std::string(entry.title)];
  const int to_error_boxes = keys_to[std::string(SimulatedScanner::kErrorTitle)];
  const int to_dialogs = keys_to[std::string(SimulatedScanner::kSaveAsTitle)];
  const int astray = static_cast<int>(rig.desktop.KeyLog().size()) - to_error_boxes - to_dialogs -
                     keys_to[std::string(SimulatedScanner::kMainTitle)];
  for (const DeliveryLogEntry& delivery : rig.desktop.DeliveryLog())
    sent += delivery.target == SimulatedScanner::kSaveAsTitle && delivery.delivered;
  int done_messages = 0;  // the word at the end of each series, in Full Auto only
  for (const std::string& message : rig.host.Messages())
    (message.starts_with("The scan series is done") ? done_messages : messages) += 1;
  const ScannerCounts& c = scanner.Counts();
  std::map<std::string, int> events;
  for (const std::string& event : rig.Journal(0)) ++events[event];
  // The disk's room told under 10 pages, then under 3, in the journal and in a notice.
  const std::vector<std::string> room = rig.Journal(4, "room");
  bool room_told = room.empty() || rig.host.Notices().back().ends_with(room.back());
  for (std::size_t i = 0; i < room.size(); ++i)
    room_told = room_told && std::stoul(room[i].substr(47)) < (i % 2 == 0 ? 10u : 3u);
  // Each series starts, and ends by itself where Quorvel names the pages, else at Stop!; nothing
  // stalls; every name sent and every save that Quorvel's keys made is journalled; a failed save
  // is found missing at least once. Only the counts of missing and missed lines are free.
  const bool names_pages = mode != ActionMode::ErrorOnly;
  std::map<std::string, int> expected = {
      {"start", series},
      {"end", names_pages ? series : 0},
      {"saved", names_pages ? c.saves : 0},
      {"stop", mode == ActionMode::FullAuto ? 0 : series},
      {"sent", sent},
      {"missing", std::max(events["missing"], names_pages ? c.saves_failed : 0)},
      {"missed", events["missed"]},
      {"room", names_pages ? 2 * series : events["room"]}};
  std::erase_if(expected, [](const auto& event) { return event.second == 0; });
  std::erase_if(events, [](const auto& event) { return event.second == 0; });
  const FaultCounts& f = rig.desktop.Faults();
  std::printf(
      "mode %d, %d x %d names: %d pages, %zu saved in order, %d files missing; faults: %d saves, "
      "%d dialogs late, %d cancelled, %d windows vanished, %d activations, %d focus thefts, %d "
      "lost, %d series with the server's clock off, %d other DeskScan windows, %d other Save As; "
      "%d keys astray, %d unfinished, %d messages, %d done, Alt %s, %.1f h, %d hangs of the "
      "folder, %d disks filled; journal %s:",
      static_cast<int>(mode), series, per_series, c.pages_scanned, in_order, missing,
      c.saves_failed, c.dialogs_late, c.dialogs_cancelled, f.windows_vanished, f.activations_failed,
      f.focus_thefts, f.reported_lost, clock_off, f.stray_windows, f.stray_dialogs, astray,
      unfinished, messages, done_messages, rig.desktop.AltHeld() ? "down" : "up",
      static_cast<double>(rig.clock.Now()) / 3.6e6, hangs, fills,
      events == expected ? "as expected" : "NOT as expected");
  for (const auto& [event, count] : events) std::printf(" %s %d", event.c_str(), count);
  std::printf("\n");
  const bool named = mode == ActionMode::ErrorOnly
                         ? to_error_boxes == c.pages_scanned && to_dialogs == 0
                         : in_order == listed.size() && missing == 0 &&
                               std::min({c.saves_failed, c.dialogs_late, c.dialogs_cancelled}) > 0;
  return named && room_told && astray == 0 && unfinished == 0 && messages == 0 &&
         !rig.desktop.AltHeld() && done_messages == (mode == ActionMode::FullAuto ? series : 0) &&
         events == expected &&
         std::min({f.windows_vanished, f.activations_failed, f.focus_thefts, f.reported_lost,
                   f.stray_windows, f.stray_dialogs, hangs, fills}) > 0;
}

}  // namespace

bool Soak(int pages) {
  bool sound = RunSoak(pages / 500, 500, ActionMode::FullAuto);
  sound = RunSoak(1, 500, ActionMode::ErrorAndSaveAs) && sound;
  sound = RunSoak(1, 300, ActionMode::ErrorOnly) && sound;
  std::printf("%s\n", sound ? "sound" : "HARM FOUND");
  return sound;
}

}  // namespace quorvel::harness
