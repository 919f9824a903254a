#include "supervision/supervisor.h"

#include "automation/image_check.h"
#include "common/number_text.h"
#include "supervision/collisions.h"
#include "supervision/queue_file.h"

namespace quorvel {
namespace {

using Clock = StallWatch::Clock;
constexpr auto kBellEvery = std::chrono::minutes(1);

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
  const Clock::time_point now = desktop_.Now();
  if (!cycle_.State().Running) EndWatch();
  if (!watch_.Stalled(now)) return;
  const std::string not_answering = NotAnswering();
  const std::string text = StallText(now, not_answering);
  if (!stalled_) {
    stalled_ = true;
    last_bell_ = now - kBellEvery;
    Write("stall", cycle_.State().LastFilename, {}, {},
          "nothing since " + ClockTime(watch_.Since()) +
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
  const std::string path = QueuePath();
  std::string error;
  const std::optional<std::string> text = files_.ReadWhole(path, error);
  if (!text) return;
  const std::optional<QueueState> queue = ReadQueue(*text);
  if (!queue) return;
  std::vector<std::string> names = queue->to_come;
  const std::string last_image = queue->folder + kPathSeparator + queue->last_sent + ".bmp";
  if (!queue->last_sent.empty() && !CheckImage(files_, last_image, queue->last_image).facts) {
    names.insert(names.begin(), queue->last_sent);  // not done: it comes back first
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
  WriteQueue();
}

void Supervisor::NameSent(const std::string& name) {
  Write("sent", name, ImagePath(name));
}

void Supervisor::ImageConfirmed(const std::string& name, const std::string& path,
                                const ImageFacts& facts) {
  ++confirmed_;
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
  files_.Remove(QueuePath());
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
  const std::string& folder = cycle_.State().SaveFolder;
  std::string error;
  if (journal_.Write(folder,
                     {desktop_.Now(), std::move(event), std::move(name), std::move(file), bytes,
                      std::move(detail)},
                     error)) {
    return;
  }
  const std::string path = Journal::PathIn(folder);
  TellOnce(path, "The journal " + path + " cannot be written (" + error +
                     "). The series goes on without it.");
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

void Supervisor::WriteQueue() {
  const RunState& state = cycle_.State();
  const QueueState queue{cycle_.ReadActionMode(), state.SaveFolder, state.LastFilename,
                         cycle_.LastImageBefore(), cycle_.NamesToCome()};
  std::string error;
  const std::string path = QueuePath();
  if (files_.Replace(path, QueueText(queue), error)) return;
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
