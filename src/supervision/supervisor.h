// Watching over a series without touching it: the journal of its events, the queue file that lets
// it be taken up again, the stall alert, the question before a list replaces images, and the word
// at its end. Nothing here sends a key to any window; it only informs.
#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "automation/cycle.h"
#include "supervision/journal.h"
#include "supervision/stall_watch.h"

namespace quorvel {

inline constexpr std::string_view kStallTitle = "Quorvel: the scan series has stalled";
inline constexpr std::string_view kUnwrittenTitle = "Quorvel: a file cannot be written";
inline constexpr std::string_view kRoomTitle = "Quorvel: the save folder's disk is filling up";
// Beside the settings: journal lines that could not be written before the program ended.
inline constexpr std::string_view kKeptLinesFileName = "Quorvel.unwritten";

struct SupervisionOptions {
  std::optional<std::chrono::seconds> stall_after;  // else ten minutes or three pages
  std::string on_stall;  // started once per stall with the message as its argument
};

class Supervisor : public CycleEvents {
 public:
  Supervisor(Cycle& cycle, FileSystem& files, DesktopPort& desktop, ControlModel& controls,
             FormView& view, SupervisionOptions options);

  // ENABLE with these names: when some would replace images (in the modes that save), the
  // operator is asked first, No being the default. False: nothing may start.
  bool MayStart(const std::vector<std::string>& names);
  // The series has started: its journal line, its queue file, its stall watch.
  void Started();
  // Stop! by the operator.
  void Stopped();
  // Every tick of Timer1, pausing or not.
  void Tick();
  // Once the window is shown at start-up: journal lines kept at the last end are written, and a
  // series cut short is offered back.
  void OfferResume();
  // The program ends: journal lines not yet written, their folder not answering, are kept in a
  // file beside the settings for the next start to write.
  void Ending();

  // CycleEvents.
  void ErrorBoxClosed() override;
  void NameGoing() override;
  void NameSent(const std::string& name) override;
  void ImageConfirmed(const std::string& name, const std::string& path,
                      const ImageFacts& facts) override;
  void ImageMissing(const std::string& name, const std::string& path,
                    const std::string& problem) override;
  void ReplaceAnswered(const std::string& name, const std::string& path, bool yes,
                       const std::string& why) override;
  void SaveAsMissed() override;
  void FolderNotAnswering(const std::string& folder) override;
  void QueueEnded() override;
  void GaveUp(const std::string& name, const std::string& problem) override;

 private:
  void Write(std::string event, std::string name = {}, std::string file = {},
             std::optional<std::uintmax_t> bytes = {}, std::string detail = {});
  void Progress();
  void EndWatch();
  std::string QueuePath() const;
  std::string KeptLinesPath() const;
  void WriteQueue();
  void WriteOwedQueue();
  // Writes the journal lines not yet written, in order, as far as their folders answer.
  void WriteUnwritten();
  void TakeUpKeptLines();
  // Before a name goes: tells the operator when the save folder's disk is nearly full.
  void CheckRoom();
  // Tells the operator once about the file at `path`, in a window that takes no focus, so that
  // the series never waits for an answer. True the first time.
  bool TellOnce(const std::string& path, const std::string& text);
  std::string ImagePath(const std::string& name) const;
  std::string Totals() const;
  std::string NotAnswering() const;
  std::string StallText(StallWatch::Clock::time_point now, const std::string& not_answering) const;

  Cycle& cycle_;
  FileSystem& files_;
  DesktopPort& desktop_;
  ControlModel& controls_;
  FormView& view_;
  SupervisionOptions options_;
  Journal journal_;
  StallWatch watch_;
  bool stalled_ = false;
  StallWatch::Clock::time_point last_bell_;
  std::optional<StallWatch::Clock::time_point> started_at_;  // none before the first start
  int queued_ = 0;                    // names in the queue when the series started
  int confirmed_ = 0;                 // images found whole since
  int resent_ = 0;                    // names sent again since
  std::set<std::string> told_paths_;  // files that cannot be written, told once each
  std::string told_;                  // what the notice says of them
  std::string not_replaced_;          // a file Quorvel would not let a dialog replace, and why
  // Journal lines not yet written, in order, each with its journal's path: kept while their folder
  // does not answer.
  std::vector<std::pair<std::string, std::string>> unwritten_;
  bool kept_lines_there_ = false;          // the file of kept lines is still to be removed
  std::optional<std::string> queue_owed_;  // the queue file's text not yet written; "": to go
  std::string silent_folder_;              // the save folder, while it does not answer
  std::uintmax_t largest_page_ = 0;        // the largest image of this series, in bytes
  int room_told_ = 0;                      // 1: told of fewer than 10 pages' room, 2: of 3
};

// A span of time as the operator reads it: "2 h 31 min", "4 min 10 s", "12 s".
std::string DurationText(std::chrono::seconds span);

}  // namespace quorvel
