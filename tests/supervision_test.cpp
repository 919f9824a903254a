// Watching over a series: the journal, broken images, a series taken up again after the program
// ended, the stall alert, and the question before names replace images.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "supervision/queue_file.h"
#include "tests/rig.h"

namespace quorvel::harness {
namespace {

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
    rig.state().SaveFolder = rig.folder;
    rig.StartSeries(Names(6));
    rig.clock.Advance(std::uniform_int_distribution<VirtualClock::Ms>(1, 150000)(random));
    rig.host.Quit();  // the program ends; its timers with it
    auto host = std::make_unique<HeadlessHost>(rig.clock);
    rig.clock.Advance(2000);  // a dialog on its way comes up, and the operator cancels it
    rig.scanner->OperatorCancel();
    ScannerForm form(rig.desktop, rig.files, *host);
    host->Attach(form);
    form.Load();
    form.Shown();
    ASSERT_LE(host->Questions().size(), 1u);
    if (!host->Questions().empty()) form.Clicked(ControlId::kStartCommand);
    const VirtualClock::Ms end = rig.clock.Now() + kHour;
    while (form.State().Running && rig.clock.Now() < end) rig.clock.Advance(500);
    std::map<std::string, int> saved;
    for (const std::string& name : rig.scanner->SavedNames()) ++saved[name];
    for (const std::string& name : Names(6)) EXPECT_EQ(saved[name], 1) << name;
    EXPECT_EQ(saved.size(), 6u);
    EXPECT_FALSE(rig.files.FileExists(
        form.State().IniPath.substr(0, form.State().IniPath.size() - 11) + "Quorvel.queue"));
    host->Quit();
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
  const std::string typed = rig.controls().Text(ControlId::kFilenames);
  rig.Click(ControlId::kStartCommand);
  EXPECT_EQ(rig.host.Questions(),
            Texts{"1 name of the list already has an image in " + rig.folder +
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
  EXPECT_EQ(std::tie(read->mode, read->folder, read->last_sent, read->sent_at, read->to_come),
            std::tie(state.mode, state.folder, state.last_sent, state.sent_at, state.to_come));
  EXPECT_FALSE(ReadQueue("mode=Full Auto\r\n"));
}

}  // namespace
}  // namespace quorvel::harness
