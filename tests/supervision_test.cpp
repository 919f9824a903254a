// Whole series on the stand-in scanning application, in virtual time, some with every fault
// switched on (scripts/soak runs the long one), and what watches over them: the journal, broken
// images, a series taken up again after the program ended, the stall alert, and the question
// before names replace images.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "supervision/queue_file.h"
#include "tests/rig.h"
#include "tests/soak.h"

namespace quorvel::harness {
namespace {

using enum ControlId;

using Texts = std::vector<std::string>;

TEST(JournalTest, ASeriesWithFailedSavesIsJournalledPageByPage) {
  Rig rig({.pages = 30, .save_failure = 0.2});
  rig.StartSeries(Names(20));
  rig.RunUntilStopped(kHour);
  const int failed = rig.scanner->Counts().saves_failed;
  ASSERT_GT(failed, 0);
  EXPECT_EQ(rig.files.Contents(rig.folder + kPathSeparator + "quorvel-journal.csv")->substr(0, 35),
            "time,event,name,file,bytes,detail\r\n");
  EXPECT_EQ(rig.Journal(1, "saved"), Names(20));
  EXPECT_EQ(rig.Journal(1, "missing").size(), static_cast<std::size_t>(failed));
  EXPECT_EQ(rig.Journal(0).front(), "start");
  EXPECT_EQ(rig.Journal(4).front(), "Full Auto, 20 names, into " + rig.folder);
  EXPECT_EQ(rig.Journal(0).back(), "end");
  EXPECT_EQ(rig.Journal(2, "saved").front(), rig.ImagePath("page01"));
  EXPECT_EQ(rig.Journal(3, "saved").front(), "246");
  EXPECT_EQ(rig.Journal(4, "saved").front(), "8 x 8 pixels");
  // Every name reached the dialog once, and once more for each save that failed.
  EXPECT_EQ(rig.Journal(1, "sent").size(), 20u + failed);
  EXPECT_EQ(rig.host.Messages().back().substr(0, 40), "The scan series is done: 20 pages saved,");
}

TEST(JournalTest, ABrokenImageIsSentAgainAndTheJournalSaysWhy) {
  for (const auto& [broken, why] :
       {std::pair{SimulatedScanner::BrokenSave::kEmpty, "0 bytes; the name goes again"},
        std::pair{SimulatedScanner::BrokenSave::kCutShort,
                  "cut short at 123 of 246 bytes; the name goes again"}}) {
    Rig rig({.pages = 4});
    rig.StartSeries(Names(2));
    rig.scanner->BreakNextSave(broken);
    rig.RunUntilStopped(kHour);
    EXPECT_EQ(rig.scanner->SavedNames(), Names(2));
    EXPECT_EQ(rig.Journal(1, "missing"), Texts{"page01"});
    EXPECT_EQ(rig.Journal(4, "missing"), Texts{why});
  }
}

// The program ends at a random moment of a series (the scanning application goes on, and a
// dialog it had open is cancelled); started again, it offers the names still to come, and in the
// end every name is saved exactly once.
TEST(ResumeTest, ASeriesCutShortAnywhereIsTakenUpWithNoNameLostOrSavedTwice) {
  std::mt19937 random(20261207);
  for (int run = 0; run < 200; ++run) {
    SCOPED_TRACE(run);
    Rig rig({.pages = -1});
    rig.form.Load();
    rig.StartSeries(Names(6));
    rig.clock.Advance(std::uniform_int_distribution<VirtualClock::Ms>(1, 150000)(random));
    rig.host.Quit();  // the program ends; its timers with it
    const bool sent = !rig.Journal(1, "sent").empty();
    auto host = std::make_unique<HeadlessHost>(rig.clock);
    rig.clock.Advance(2000);  // a dialog on its way comes up, and the operator cancels it
    rig.scanner->OperatorCancel();
    ScannerForm form(rig.desktop, rig.files, *host);
    host->Attach(form);
    form.Load();
    form.Shown();
    ASSERT_LE(host->Questions().size(), 1u);
    if (!host->Questions().empty()) form.Clicked(kStartCommand);
    const VirtualClock::Ms end = rig.clock.Now() + kHour;
    while (form.State().Running && rig.clock.Now() < end) rig.clock.Advance(500);
    std::vector<std::string> saved = rig.scanner->SavedNames();
    std::sort(saved.begin(), saved.end());
    // A series cut short before its first name went is not offered back.
    EXPECT_EQ(saved, host->Questions().empty() && !sent ? Texts{} : Names(6));
    EXPECT_FALSE(rig.files.FileExists(
        form.State().IniPath.substr(0, form.State().IniPath.size() - 11) + "Quorvel.queue"));
    host->Quit();
  }
}

// Offered back: a series that sent a name, cut short by EXIT; not one that sent none (Error Only).
TEST(ResumeTest, OnlyASeriesThatSentANameIsOfferedBack) {
  for (const ActionMode mode : {ActionMode::FullAuto, ActionMode::ErrorOnly}) {
    Rig rig({.pages = -1});
    rig.form.Load();
    rig.SetMode(mode);
    rig.StartSeries(Names(3));
    rig.clock.Advance(20000);  // the first page is done, and in Full Auto its name went
    rig.Click(kExitCommand);
    HeadlessHost host(rig.clock);
    ScannerForm form(rig.desktop, rig.files, host);
    host.Attach(form);
    form.Load();
    form.Shown();
    EXPECT_EQ(host.Questions().size(), mode == ActionMode::FullAuto ? 1u : 0u);
    host.Quit();
  }
}

// A save folder where the journal or the queue file cannot be written: the series finishes, and
// the operator is told once, in a window that asks for nothing (and in the journal, when it can be
// written).
TEST(UnwrittenFileTest, TheSeriesFinishesAndTheOperatorIsToldOnce) {
  for (const bool journal : {true, false}) {
    Rig rig({.pages = 4});
    const std::string path =
        journal ? Journal::PathIn(rig.folder)
                : rig.files.ProgramFolder() + kPathSeparator + std::string(kQueueFileName);
    rig.files.Refuse(path, "Permission denied");
    rig.StartSeries(Names(3));
    rig.RunUntilStopped(kHour);
    EXPECT_EQ(rig.scanner->SavedNames(), Names(3));
    ASSERT_EQ(rig.host.Notices().size(), 1u);
    EXPECT_NE(rig.host.Notices()[0].find(path + " cannot be written (Permission denied)"),
              std::string::npos);
    EXPECT_EQ(rig.host.Messages().size(), 1u);  // the end of the series only
    EXPECT_EQ(rig.Journal(2, "unwritten"), journal ? Texts{} : Texts{path});
  }
}

// With the second error box up, the scanning application opens a third window that nobody
// foresaw: the cycle does nothing while three DeskScan windows are up, and the alert tells.
TEST(StallTest, AnUnforeseenBoxIsAlertedAfterTheStallTimeAndClearedWhenItGoes) {
  Rig rig({.pages = 4}, {.supervision = {.on_stall = "notify"}});
  rig.StartSeries(Names(3));
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
  for (const char* part : {"Quorvel: the scan series has stalled\nNothing has happened since ",
                           "Pages done: 0 of 3.", "\n    DeskScan II: paper jam"}) {
    EXPECT_NE(rig.host.Alert()->find(part), std::string::npos) << part;
  }
  EXPECT_GE(rig.host.Bells(), 2);  // a minute apart
  ASSERT_EQ(rig.desktop.Commands().size(), 1u);
  EXPECT_EQ(rig.desktop.Commands()[0].first, "notify");
  rig.desktop.CloseWindow(box);
  rig.RunUntilStopped(kHour);
  EXPECT_FALSE(rig.host.Alert());
  EXPECT_EQ(rig.scanner->SavedNames(), Names(3));
  EXPECT_EQ(rig.Journal(0, "stall").size(), 1u);
  EXPECT_EQ(rig.Journal(0, "recovered").size(), 1u);
  EXPECT_TRUE(rig.desktop.KeysReceivedBy(box).empty());
}

TEST(CollisionTest, NamesThatWouldReplaceImagesAreAskedAboutAndNoStartsNothing) {
  Rig rig;
  rig.files.PutFile(rig.ImagePath("page02"), "old");
  rig.SetNames({"page01", "page02", "page03", "page01"});
  const std::string typed = rig.controls().Text(kFilenames);
  rig.Click(kStartCommand);
  EXPECT_EQ(rig.host.Questions(),
            Texts{"1 name of the list already has an image in " + rig.folder +
                  " (page02.bmp) and would replace it. 1 name stands in the list more than once "
                  "(page01.bmp): each later page would replace the one before. Start anyway?"});
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.controls().Text(kFilenames), typed);
  rig.host.on_ask = [](const std::string&) { return true; };
  rig.Click(kStartCommand);
  EXPECT_TRUE(rig.state().Running);
}

// The last name's image as it was when the name went: not known, absent, or there.
TEST(QueueFileTest, ReadsWhatItWrote) {
  const FileFacts there{246, std::chrono::system_clock::from_time_t(1796506207)};
  for (const auto& image : {std::optional<ImageBefore>(), std::optional(ImageBefore{}),
                            std::optional(ImageBefore{there})}) {
    const QueueState state{
        ActionMode::ErrorAndSaveAs, "C:\\scans, \"new\"", "page 7", image, {"page 8", "page,9"}};
    const auto read = ReadQueue(QueueText(state) + "\r\n");  // a blank line is no name
    ASSERT_TRUE(read);
    EXPECT_EQ(std::tie(read->mode, read->folder, read->last_sent, read->last_image, read->to_come),
              std::tie(state.mode, state.folder, state.last_sent, state.last_image, state.to_come));
  }
  EXPECT_FALSE(ReadQueue("mode=Full Auto\r\n"));
}

// The keys every window received, by title, in the order they arrived.
std::map<std::string, std::string> KeysByTitle(const SimulatedDesktop& desktop) {
  std::map<std::string, std::string> keys;
  for (const KeyLogEntry& entry : desktop.KeyLog()) {
    std::string& text = keys[entry.title];
    if (entry.key.kind == Key::Kind::kAltChord) text.push_back('%');
    AppendUtf8(text, entry.key.character);
  }
  return keys;
}

TEST(ScanSeriesTest, FullAutoSavesEveryPageUnderItsName) {
  Rig rig({.pages = 21});
  rig.controls().SetText(kNumberofScans, "20");
  rig.StartSeries(Names(20));
  rig.RunUntilStopped(kHour);
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(rig.scanner->SavedNames(), Names(20));
  EXPECT_EQ(rig.controls().Text(kFilenames), "");
  // The 21st page ends the list: its dialog gets no keys.
  std::map<std::string, std::string> keys{{"DeskScan II", ""}, {"DeskScan Error", "\r"}};
  for (const std::string& name : Names(20)) {
    keys["DeskScan II"] += std::string(13, '\t') + "%n";
    keys["DeskScan Error"] += "\r";
    keys["Save As"] += "%n" + name + "%s";
  }
  keys["DeskScan II"] += std::string(13, '\t') + "%n";
  EXPECT_EQ(KeysByTitle(rig.desktop), keys);
  EXPECT_FALSE(rig.desktop.AltHeld());
}

// Keys that arrive but are reported lost, at each delivery of a page: the series goes on as if
// they had been reported, and every name is saved once.
TEST(ScanSeriesTest, KeysReportedLostAfterArrivingChangeNothing) {
  auto run = [](int lost_after_line) {
    Rig rig({.pages = 5});
    rig.StartSeries(Names(4));
    rig.host.on_pump = [&rig, lost_after_line, armed = lost_after_line >= 0]() mutable {
      if (armed && rig.scanner->Counts().saves == 1 && rig.LineIsRed(lost_after_line)) {
        rig.desktop.ReportNextDeliveryLost();
        armed = false;
      }
    };
    rig.RunUntilStopped(kHour);
    EXPECT_EQ(rig.desktop.Faults().reported_lost, lost_after_line < 0 ? 0 : 1);
    EXPECT_EQ(rig.scanner->SavedNames(), Names(4)) << "lost after line " << lost_after_line;
    return KeysByTitle(rig.desktop);
  };
  const auto clean = run(-1);
  for (int line : {1, 3, 7}) EXPECT_EQ(run(line), clean) << "lost after line " << line;
}

TEST(ScanSeriesTest, ANameThatNeverSticksStopsTheSeriesAfterFourDialogs) {
  Rig rig({.pages = 8, .save_failure = 1});
  rig.StartSeries(Names(3));
  rig.RunUntilStopped(kHour);
  EXPECT_FALSE(rig.state().Running);
  EXPECT_EQ(KeysByTitle(rig.desktop)["Save As"], "%npage01%s%npage01%s%npage01%s%npage01%s");
  EXPECT_EQ(rig.host.Messages(),
            std::vector<std::string>{
                "The image of \"page01\" never appeared: the name was sent 4 times, "
                "and the last look at " +
                rig.scanner->SavePath("page01") + " found: no such file. The series has stopped."});
}

TEST(SoakTest, NamesAreSavedInOrderWhateverTheFaultsAndErrorOnlyClosesEachBoxOnce) {
  EXPECT_TRUE(Soak(500));
}

}  // namespace
}  // namespace quorvel::harness
