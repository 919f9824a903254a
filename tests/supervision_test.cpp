// Watching over a series: the journal, broken images, a series taken up again after the program
// ended, the stall alert, and the question before names replace images.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "series/filename_list.h"
#include "supervision/queue_file.h"
#include "tests/rig.h"

namespace quorvel::harness {
namespace {

constexpr VirtualClock::Ms kHour = 60LL * 60 * 1000;

std::vector<std::string> Names(int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back("page" + std::to_string(100 + i).substr(1));
  return names;
}

// The journal's lines as fields: event, name, file, bytes, detail (the time left out).
std::vector<std::vector<std::string>> Journal(Rig& rig) {
  std::vector<std::vector<std::string>> lines;
  const auto text = rig.files.Contents(rig.folder + kPathSeparator + "quorvel-journal.csv");
  for (const std::string& line : SplitIntoItems(text.value_or(""))) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
      if (c == '"') quoted = !quoted;  // a doubled quote toggles twice: kept below
      if (c == ',' && !quoted) {
        fields.emplace_back();
      } else if (c != '"') {
        fields.back() += c;
      }
    }
    fields.erase(fields.begin());  // the time
    lines.push_back(fields);
  }
  if (!lines.empty()) lines.erase(lines.begin());  // the header
  return lines;
}

std::vector<std::string> Column(const std::vector<std::vector<std::string>>& lines, int column,
                                const std::string& event = {}) {
  std::vector<std::string> values;
  for (const auto& line : lines) {
    if (event.empty() || line[0] == event) values.push_back(line[column]);
  }
  return values;
}

TEST(JournalTest, ASeriesWithFailedSavesIsJournalledPageByPage) {
  const auto names = Names(20);
  Rig rig({.pages = 30, .save_failure = 0.2});
  rig.scanner->Start();
  rig.SetNames(names);
  rig.Click(ControlId::kStartCommand);
  rig.RunUntilStopped(kHour);
  const auto lines = Journal(rig);
  ASSERT_GT(rig.scanner->Counts().saves_failed, 0);
  EXPECT_EQ(rig.files.Contents(rig.folder + kPathSeparator + "quorvel-journal.csv")->substr(0, 35),
            "time,event,name,file,bytes,detail\r\n");
  EXPECT_EQ(Column(lines, 1, "saved"), names);
  EXPECT_EQ(Column(lines, 1, "missing").size(),
            static_cast<std::size_t>(rig.scanner->Counts().saves_failed));
  EXPECT_EQ(Column(lines, 0).front(), "start");
  EXPECT_EQ(Column(lines, 4).front(), "Full Auto, 20 names, into " + rig.folder);
  EXPECT_EQ(Column(lines, 0).back(), "end");
  EXPECT_EQ(Column(lines, 2, "saved").front(), rig.ImagePath("page01"));
  EXPECT_EQ(Column(lines, 3, "saved").front(), "246");
  EXPECT_EQ(Column(lines, 4, "saved").front(), "8 x 8 pixels");
  // Every name reached the dialog once, and once more for each save that failed.
  EXPECT_EQ(Column(lines, 1, "sent").size(), names.size() + Column(lines, 1, "missing").size());
  EXPECT_EQ(rig.host.Messages().back().substr(0, 40), "The scan series is done: 20 pages saved,");
}

TEST(JournalTest, ABrokenImageIsSentAgainAndTheJournalSaysWhy) {
  for (const auto& [broken, why] :
       {std::pair{SimulatedScanner::BrokenSave::kEmpty, "0 bytes; the name goes again"},
        std::pair{SimulatedScanner::BrokenSave::kCutShort,
                  "cut short at 123 of 246 bytes; the name goes again"}}) {
    Rig rig({.pages = 4});
    rig.scanner->Start();
    rig.SetNames(Names(2));
    rig.Click(ControlId::kStartCommand);
    rig.scanner->BreakNextSave(broken);
    rig.RunUntilStopped(kHour);
    EXPECT_EQ(rig.scanner->SavedNames(), Names(2));
    const auto lines = Journal(rig);
    EXPECT_EQ(Column(lines, 1, "missing"), std::vector<std::string>{"page01"});
    EXPECT_EQ(Column(lines, 4, "missing"), std::vector<std::string>{why});
  }
}

// The program ends at a random moment of a series (the scanning application goes on, and a
// dialog it had open is cancelled); started again, it offers the names still to come, and in the
// end every name is saved exactly once.
TEST(ResumeTest, ASeriesCutShortAnywhereIsTakenUpWithNoNameLostOrSavedTwice) {
  std::mt19937 random(20261207);
  const auto names = Names(6);
  for (int run = 0; run < 200; ++run) {
    VirtualClock clock;
    SimulatedDesktop desktop(clock);
    MemoryFileSystem files([&] { return desktop.Now(); }, PathOf({"program"}));
    const std::string folder = PathOf({"scans"});
    files.AddFolder(folder);
    SimulatedScanner scanner(desktop, files, {.save_folder = folder, .pages = -1});
    scanner.Start();
    auto host = std::make_unique<HeadlessHost>(clock);
    auto form = std::make_unique<ScannerForm>(desktop, files, *host);
    host->Attach(*form);
    form->Load();
    form->State().SaveFolder = folder;
    std::string list;
    for (const std::string& name : names) list += name + "\r\n";
    form->Controls().SetText(ControlId::kFilenames, list);
    form->Clicked(ControlId::kStartCommand);
    clock.Advance(std::uniform_int_distribution<VirtualClock::Ms>(1, 150000)(random));
    host->Quit();  // the program ends; its timers with it
    form.reset();
    host = std::make_unique<HeadlessHost>(clock);
    clock.Advance(2000);  // a dialog on its way comes up, and the operator cancels it
    scanner.OperatorCancel();
    form = std::make_unique<ScannerForm>(desktop, files, *host);
    host->Attach(*form);
    form->Load();
    form->Shown();
    ASSERT_LE(host->Questions().size(), 1u);
    if (!host->Questions().empty()) form->Clicked(ControlId::kStartCommand);
    const VirtualClock::Ms end = clock.Now() + kHour;
    while (form->State().Running && clock.Now() < end) clock.Advance(500);
    std::map<std::string, int> saved;
    for (const std::string& name : scanner.SavedNames()) ++saved[name];
    for (const std::string& name : names) EXPECT_EQ(saved[name], 1) << name << ", run " << run;
    EXPECT_EQ(saved.size(), names.size()) << "run " << run;
    EXPECT_FALSE(files.FileExists(
        form->State().IniPath.substr(0, form->State().IniPath.size() - 11) + "Quorvel.queue"))
        << "run " << run;
    host->Quit();
  }
}

// With the second error box up, the scanning application opens a third window that nobody
// foresaw: the cycle does nothing while three DeskScan windows are up, and the alert tells.
TEST(StallTest, AnUnforeseenBoxIsAlertedAfterTheStallTimeAndClearedWhenItGoes) {
  Rig rig({.pages = 4}, {.supervision = {.on_stall = "notify"}});
  rig.scanner->Start();
  rig.SetNames(Names(3));
  rig.Click(ControlId::kStartCommand);
  WindowHandle box = 0;
  rig.host.on_pump = [&] {
    if (box == 0 && rig.scanner->Counts().pages_scanned == 2 &&
        rig.desktop.IsOpen(rig.scanner->ErrorBox())) {
      box = rig.desktop.OpenWindow("DeskScan II: paper jam", rig.scanner->MainWindow());
    }
  };
  while (box == 0) rig.clock.Advance(500);
  rig.clock.Advance(9 * 60000);
  EXPECT_FALSE(rig.host.Alert()) << "alerted before ten minutes without progress";
  rig.clock.Advance(2 * 60000);
  ASSERT_TRUE(rig.host.Alert());
  EXPECT_NE(rig.host.Alert()->find("Quorvel: the scan series has stalled\nNothing has happened "
                                   "since "),
            std::string::npos);
  EXPECT_NE(rig.host.Alert()->find("Pages done: 0 of 3."), std::string::npos);
  EXPECT_NE(rig.host.Alert()->find("\n    DeskScan II: paper jam"), std::string::npos);
  EXPECT_GE(rig.host.Bells(), 2);  // a minute apart
  ASSERT_EQ(rig.desktop.Commands().size(), 1u);
  EXPECT_EQ(rig.desktop.Commands()[0].first, "notify");
  rig.desktop.CloseWindow(box);
  rig.RunUntilStopped(kHour);
  EXPECT_FALSE(rig.host.Alert());
  EXPECT_EQ(rig.scanner->SavedNames(), Names(3));
  const auto events = Column(Journal(rig), 0);
  EXPECT_EQ(std::count(events.begin(), events.end(), "stall"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "recovered"), 1);
  EXPECT_TRUE(rig.desktop.KeysReceivedBy(box).empty());
}

TEST(CollisionTest, NamesThatWouldReplaceImagesAreAskedAboutAndNoStartsNothing) {
  Rig rig;
  rig.files.PutFile(rig.ImagePath("page02"), "old");
  rig.SetNames({"page01", "page02", "page03", "page01"});
  const std::string typed = rig.controls().Text(ControlId::kFilenames);
  rig.Click(ControlId::kStartCommand);
  EXPECT_EQ(rig.host.Questions(),
            std::vector<std::string>{
                "1 name of the list already has an image in " + rig.folder +
                " (page02.bmp) and would replace it. 1 name stands in the list more than once "
                "(page01.bmp): each later page would replace the one before. Start anyway?"});
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.controls().Text(ControlId::kFilenames), typed);
  rig.host.on_ask = [](const std::string&) { return true; };
  rig.Click(ControlId::kStartCommand);
  EXPECT_TRUE(rig.state().Running);
}

TEST(QueueFileTest, ReadsWhatItWrote) {
  const QueueState state{ActionMode::ErrorAndSaveAs,
                         "C:\\scans, \"new\"",
                         "page 7",
                         std::chrono::system_clock::from_time_t(1796506207),
                         {"page 8", "page,9"}};
  const auto read = ReadQueue(QueueText(state));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->mode, state.mode);
  EXPECT_EQ(read->folder, state.folder);
  EXPECT_EQ(read->last_sent, state.last_sent);
  EXPECT_EQ(read->sent_at, state.sent_at);
  EXPECT_EQ(read->to_come, state.to_come);
  EXPECT_FALSE(ReadQueue("mode=Full Auto\r\n"));
}

}  // namespace
}  // namespace quorvel::harness
