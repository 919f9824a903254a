#include "supervision/supervisor.h"
#include <algorithm>

#include "automation/image_check.h"
#include "common/number_text.h"
#include "supervision/collisions.h"
#include "supervision/queue_file.h"

namespace quorvel {
namespace {

using Clock = StallWatch::Clock;
constexpr auto kBellEvery = std::chrono::minutes(1);
constexpr std::string_view kKeptLinesFirstLine =
    "' Quorvel: journal lines not yet written. Quorvel writes them when it starts.";
// Before each journal's lines in the file of kept lines: "journal <bytes> <path>".
constexpr std::string_view kKeptJournal = "journal ";
// Fewer pages than these fit on the save folder's disk: the operator is told, once for each.
constexpr std::uintmax_t kRoomWarnings[] = {10, 3};

std::string Count(long long count, const char* one, const char* many) {
  return DecimalText(count) + " " + (count == 1 ? one : many);
}

std::string ClockTime(Clock::time_point time) {
  return LocalIsoTime(time).substr(11);  // hh:mm:ss
}

}  // namespace

std::string DurationText(std::chrono::seconds span) {
  const long long s = span.count();
  if (s >= 3600) return DecimalText(s / 3600) + " h " + DecimalText(s % 3600 / 60) + " min";
  if (s >= 60) return DecimalText(s / 60) + " min " + DecimalText(s % 60) + " s";
  return DecimalText(s) + " s";
}

Supervisor::Supervisor(Cycle& cycle, FileSystem& files, DesktopPort& desktop,
                       ControlModel& controls, FormView& view, SupervisionOptions options)
    : cycle_(cycle),
      files_(files),
      desktop_(desktop),
      controls_(controls),
      view_(view),
      options_(std::move(options)),
      journal_(files),
      watch_(options_.stall_after) {}

bool Supervisor::MayStart(const std::vector<std::string>& names) {
  std::set<std::string> replacing;
  if (cycle_.ReadActionMode() != ActionMode::ErrorOnly) {
    const std::optional<std::string> question =
        CollisionQuestion(files_, cycle_.State().SaveFolder, names, &replacing);
    if (question && !view_.Ask(*question, false)) return false;
  }
  cycle_.AllowReplacing(std::move(replacing));
  return true;
}

void Supervisor::Started() {
  const RunState& state = cycle_.State();
  queued_ = static_cast<int>(cycle_.NamesToCome().size());
  confirmed_ = resent_ = 0;
  largest_page_ = 0;
  room_told_ = 0;
  started_at_ = desktop_.Now();
  watch_.Start(*started_at_);
  Write("start", {}, {}, {},
        std::string(ModeName(cycle_.ReadActionMode())) + ", " + Count(queued_, "name", "names") +
            ", into " + state.SaveFolder);
  // The queue file is written once a name has gone: a series that sends none is not offered
  // back, and the file of one taken up but not yet moved on stays as it was.
}

void Supervisor::Stopped() {
  Write("stop", {}, {}, {}, Totals());
  EndWatch();
}

void Supervisor::Tick() {
  if (queue_owed_) WriteOwedQueue();
  if (!unwritten_.empty()) WriteUnwritten();
  const Clock::time_point now = desktop_.Now();
  if (!cycle_.State().Running) EndWatch();
  if (!watch_.Stalled(now)) return;
  const std::string not_answering = NotAnswering();
  const std::string text = StallText(now, not_answering);
  if (!stalled_) {
    stalled_ = true;
    last_bell_ = now - kBellEvery;
    Write(
        "stall", cycle_.State().LastFilename, {}, {},
        "nothing since " + ClockTime(watch_.Since()) +
            (silent_folder_.empty() ? "" : "; the save folder does not answer: " + silent_folder_) +
            (not_answering.empty() ? "" : "; not answering: " + not_answering));
    if (!options_.on_stall.empty()) {
      desktop_.RunCommand(options_.on_stall, std::string(kStallTitle) + ". " + text);
    }
  }
  view_.ShowAlert(std::string(kStallTitle), text);
  if (now - last_bell_ >= kBellEvery) {
    view_.Bell();
    last_bell_ = now;
  }
}

// The titles of the windows whose programs have stopped taking messages, as hung programs do: one
// of them in front, or the scanning application itself, holds the series up.
std::string Supervisor::NotAnswering() const {
  std::string titles;
  for (WindowHandle window : desktop_.ListTopLevelWindows()) {
    if (!desktop_.NotAnswering(window)) continue;
    const std::string title = desktop_.WindowTitle(window);
    if (!title.empty()) titles += (titles.empty() ? "" : ", ") + title;
  }
  return titles;
}

std::string Supervisor::StallText(Clock::time_point now, const std::string& not_answering) const {
  std::string last_step = "none";
  for (int line = 0; line < kStatusLines; ++line) {
    if (controls_[DelayText(line)].back == kRed) {
      last_step = "line " + DecimalText(line) + ", " + controls_.Text(DelayText(line));
    }
  }
  std::string text =
      (silent_folder_.empty() ? "" : "The save folder does not answer: " + silent_folder_ + "\n") +
      "Nothing has happened since " + ClockTime(watch_.Since()) + " (" +
      DurationText(std::chrono::duration_cast<std::chrono::seconds>(now - watch_.Since())) +
      ").\nLast step: " + last_step + ".\nPages done: " + DecimalText(confirmed_) + " of " +
      DecimalText(queued_) + "." +
      (not_answering.empty() ? "" : "\nNot answering: " + not_answering + ".") +
      (not_replaced_.empty() ? "" : "\n" + not_replaced_) + "\nWindows now:";
  for (const std::string& title : controls_[ControlId::kCombo1].items) text += "\n    " + title;
  return text;
}

void Supervisor::OfferResume() {
  TakeUpKeptLines();
  const std::string path = QueuePath();
  std::string error;
  const std::optional<std::string> text = files_.ReadWhole(path, error);
  if (!text) return;
  const std::optional<QueueState> queue = ReadQueue(*text);
  if (!queue) return;
  std::vector<std::string> names = queue->to_come;
  const std::string last_image = queue->folder + kPathSeparator + queue->last_sent + ".bmp";
  // Not done, or not known to be (a file of an earlier version keeps no note of its image, and
  // a leftover image would confirm it): it comes back first.
  if (!queue->last_sent.empty() &&
      (!queue->last_image || !CheckImage(files_, last_image, queue->last_image).facts)) {
    names.insert(names.begin(), queue->last_sent);
  }
  if (names.empty()) {
    files_.Remove(path);
    return;
  }
  const std::string range =
      names.size() == 1 ? names.front() : names.front() + " to " + names.back();
  const std::string question =
      "A scan series was cut short: " +
      Count(static_cast<long long>(names.size()), "name was", "names were") + " still to come (" +
      range + "), saving into " + queue->folder + ". Put them back in the list?";
  if (!view_.Ask(question, true)) {
    files_.Remove(path);
    return;
  }
  std::string list;
  for (const std::string& name : names) list += name + std::string(kCrLf);
  controls_.SetText(ControlId::kFilenames, list);
  controls_.SetValue(OptionAction(static_cast<int>(queue->mode)), true);
  cycle_.State().SaveFolder = queue->folder;
  Write("resume", names.front(), {}, {},
        Count(static_cast<long long>(names.size()), "name", "names") + " back in the list (" +
            range + ")");
}

void Supervisor::ErrorBoxClosed() {
  if (cycle_.ReadActionMode() == ActionMode::ErrorOnly) Progress();
}

void Supervisor::NameGoing() {
  silent_folder_.clear();
  WriteQueue();
  CheckRoom();
}

void Supervisor::NameSent(const std::string& name) {
  Write("sent", name, ImagePath(name));
}

void Supervisor::FolderNotAnswering(const std::string& folder) {
  silent_folder_ = folder;
}

void Supervisor::ImageConfirmed(const std::string& name, const std::string& path,
                                const ImageFacts& facts) {
  ++confirmed_;
  largest_page_ = std::max(largest_page_, facts.bytes);
  Write("saved", name, path, facts.bytes,
        DecimalText(facts.width) + " x " +
            DecimalText(facts.height < 0 ? -facts.height : facts.height) + " pixels");
  Progress();
}

void Supervisor::ImageMissing(const std::string& name, const std::string& path,
                              const std::string& problem) {
  ++resent_;
  const std::optional<FileFacts> facts = files_.Facts(path);
  Write("missing", name, path, facts ? std::optional(facts->size) : std::nullopt,
        problem + "; the name goes again");
}

void Supervisor::ReplaceAnswered(const std::string& name, const std::string& path, bool yes,
                                 const std::string& why) {
  Write("replace", name, path, {}, (yes ? "answered Yes: " : "answered No: ") + why);
  if (!yes) {
    not_replaced_ = "Asked whether to replace " + path + ", Quorvel answered No: " + why + ".";
  }
}

void Supervisor::SaveAsMissed() {
  Write("missed", cycle_.State().LastFilename, {}, {},
        "Save As closed without this program's keys; the name is checked at the next Save As");
}

void Supervisor::QueueEnded() {
  const std::string totals = Totals();
  Write("end", {}, {}, {}, totals);
  queue_owed_ = std::string();
  WriteOwedQueue();
  EndWatch();
  if (cycle_.ReadActionMode() == ActionMode::FullAuto) {
    view_.ShowMessage("The scan series is done: " + totals + ". The journal is " +
                      Journal::PathIn(cycle_.State().SaveFolder) + ".");
  }
}

void Supervisor::GaveUp(const std::string& name, const std::string& problem) {
  Write("stop", name, ImagePath(name), {}, "the image never appeared: " + problem);
  EndWatch();
}

void Supervisor::Write(std::string event, std::string name, std::string file,
                       std::optional<std::uintmax_t> bytes, std::string detail) {
  unwritten_.emplace_back(Journal::PathIn(cycle_.State().SaveFolder),
                          JournalText({desktop_.Now(), std::move(event), std::move(name),
                                       std::move(file), bytes, std::move(detail)}));
  WriteUnwritten();
}

void Supervisor::WriteUnwritten() {
  while (!unwritten_.empty()) {
    // The lines of one journal go in one write.
    const std::string path = unwritten_.front().first;
    std::string text;
    std::size_t lines = 0;
    for (; lines < unwritten_.size() && unwritten_[lines].first == path; ++lines) {
      text += unwritten_[lines].second;
    }
    std::string error;
    const bool written = journal_.Write(path, text, error);
    // The journal lies in the save folder: when the series waits for the scanning application,
    // which may itself be held up saving there, its journal is what finds the folder silent.
    if (const std::string& folder = cycle_.State().SaveFolder; path == Journal::PathIn(folder)) {
      silent_folder_ = files_.NoAnswer() ? folder : std::string();
    }
    if (!written) {
      if (files_.NoAnswer()) return;  // kept until the folder answers
      TellOnce(path, "The journal " + path + " cannot be written (" + error +
                         "). The series goes on without it.");
    }
    unwritten_.erase(unwritten_.begin(), unwritten_.begin() + static_cast<std::ptrdiff_t>(lines));
  }
  if (kept_lines_there_ && files_.Remove(KeptLinesPath())) kept_lines_there_ = false;
}

void Supervisor::Ending() {
  if (queue_owed_) WriteOwedQueue();
  WriteUnwritten();
  if (unwritten_.empty()) return;
  std::string kept = std::string(kKeptLinesFirstLine) + std::string(kCrLf);
  for (const auto& [path, text] : unwritten_) {
    kept += std::string(kKeptJournal) + DecimalText(static_cast<long long>(text.size())) + " " +
            path + std::string(kCrLf) + text;
  }
  std::string error;
  files_.Replace(KeptLinesPath(), kept, error);  // nobody is left to tell when it cannot be kept
}

// The lines the last end kept go first, before anything of this run.
void Supervisor::TakeUpKeptLines() {
  std::string error;
  const std::optional<std::string> kept = files_.ReadWhole(KeptLinesPath(), error);
  if (!kept || !kept->starts_with(kKeptLinesFirstLine)) return;
  std::vector<std::pair<std::string, std::string>> lines;
  std::size_t at = kKeptLinesFirstLine.size() + kCrLf.size();
  while (at < kept->size() && kept->compare(at, kKeptJournal.size(), kKeptJournal) == 0) {
    const std::size_t end = kept->find(kCrLf, at);
    if (end == std::string::npos) break;
    const std::string head = kept->substr(at + kKeptJournal.size(), end - at - kKeptJournal.size());
    const std::size_t blank = head.find(' ');
    const double bytes = ParseLeadingNumber(head);
    at = end + kCrLf.size();
    if (blank == std::string::npos || bytes < 0 ||
        at + static_cast<std::size_t>(bytes) > kept->size()) {
      break;
    }
    lines.emplace_back(head.substr(blank + 1), kept->substr(at, static_cast<std::size_t>(bytes)));
    at += static_cast<std::size_t>(bytes);
  }
  unwritten_.insert(unwritten_.begin(), lines.begin(), lines.end());
  kept_lines_there_ = true;
  WriteUnwritten();
}

void Supervisor::CheckRoom() {
  if (largest_page_ == 0 || room_told_ == static_cast<int>(std::size(kRoomWarnings))) return;
  const std::string& folder = cycle_.State().SaveFolder;
  const std::optional<std::uintmax_t> free = files_.FreeBytes(folder);
  if (!free) return;
  const std::uintmax_t pages = *free / largest_page_;
  int level = room_told_;
  while (level < static_cast<int>(std::size(kRoomWarnings)) && pages < kRoomWarnings[level])
    ++level;
  if (level == room_told_) return;
  room_told_ = level;
  const std::string text = "The disk of the save folder has room for about " +
                           DecimalText(static_cast<long long>(pages)) + " more pages.";
  told_ += (told_.empty() ? "" : "\n\n") + text;
  view_.ShowNotice(std::string(kRoomTitle), told_);
  Write("room", {}, folder, *free, text);
}

bool Supervisor::TellOnce(const std::string& path, const std::string& text) {
  if (!told_paths_.insert(path).second) return false;
  told_ += (told_.empty() ? "" : "\n\n") + text;
  view_.ShowNotice(std::string(kUnwrittenTitle), told_);
  return true;
}

void Supervisor::Progress() {
  watch_.Progress(desktop_.Now());
  not_replaced_.clear();
  if (!stalled_) return;
  stalled_ = false;
  view_.CloseAlert();
  Write("recovered");
}

void Supervisor::EndWatch() {
  watch_.Stop();
  if (!stalled_) return;
  stalled_ = false;
  view_.CloseAlert();
}

// Beside the settings file, wherever that is kept.
std::string Supervisor::QueuePath() const {
  const std::string& ini = cycle_.State().IniPath;
  return QueueFilePath(ini, ini.empty() ? files_.ProgramFolder() : std::string());
}

std::string Supervisor::KeptLinesPath() const {
  const std::string queue = QueuePath();
  return queue.substr(0, queue.size() - kQueueFileName.size()) + std::string(kKeptLinesFileName);
}

void Supervisor::WriteQueue() {
  const RunState& state = cycle_.State();
  const QueueState queue{cycle_.ReadActionMode(), state.SaveFolder, state.LastFilename,
                         cycle_.LastImageBefore(), cycle_.NamesToCome()};
  queue_owed_ = QueueText(queue);
  WriteOwedQueue();
}

// Only the latest text of the queue file matters: it is written, or kept until its folder answers.
void Supervisor::WriteOwedQueue() {
  std::string error;
  const std::string path = QueuePath();
  const bool written =
      queue_owed_->empty() ? files_.Remove(path) : files_.Replace(path, *queue_owed_, error);
  if (files_.NoAnswer()) return;
  const bool to_go = queue_owed_->empty();
  queue_owed_.reset();
  if (written || to_go) return;
  if (TellOnce(path, "The queue file " + path + " cannot be written (" + error +
                         "). The series goes on; should it be cut short, it cannot be taken up "
                         "again.")) {
    Write("unwritten", {}, path, {}, error + "; a series cut short cannot be taken up again");
  }
}

std::string Supervisor::ImagePath(const std::string& name) const {
  return cycle_.State().SaveFolder + kPathSeparator + name + ".bmp";
}

// The time taken only once a series has started: a Stop! before any has no span to tell.
std::string Supervisor::Totals() const {
  std::string totals = Count(confirmed_, "page saved", "pages saved") + ", " +
                       Count(resent_, "sent again", "sent again");
  if (!started_at_) return totals;
  return totals + ", in " +
         DurationText(
             std::chrono::duration_cast<std::chrono::seconds>(desktop_.Now() - *started_at_));
}

}  // namespace quorvel
