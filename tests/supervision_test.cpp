// Whole series on the stand-in scanning application, in virtual time, some with every fault
// switched on (scripts/soak runs the long one), and what watches over them: the journal, broken
// images, a series taken up again after the program ended, the stall alert, and the question
// before names replace images.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "sim/bmp_file.h"
#include "supervision/collisions.h"
#include "supervision/queue_file.h"
#include "supervision/supervisor.h"
#include "tests/rig.h"
#include "tests/soak.h"

namespace quorvel::harness {
namespace {

// The journal's rows of an event, each as name|file|bytes|detail.
Texts Rows(Rig& rig, const std::string& event) {
  Texts rows = rig.Journal(1, event);
  for (int column = 2; column <= 4; ++column) {
    const Texts values = rig.Journal(column, event);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] += "|" + values[i];
  }
  return rows;
}

// The program ends at a random moment of a series (the scanning application goes on, and a
// dialog it had open is cancelled); started again, it offers the names still to come, and in the
// end every name is saved exactly once. A series that sent no name (cut short early, or in Error
// Only, where the operator names the pages) is not offered back. Now and then the save folder stops
// answering 30 s before Stop! and EXIT: the journal lines it did not take are written at the next
// start, in order.
TEST(ResumeTest, ASeriesCutShortAnywhereIsTakenUpWithNoNameLostOrSavedTwice) {
  std::mt19937 random(20261207);
  for (int run = 0; run < 200; ++run) {
    SCOPED_TRACE(run);
    Rig rig({.pages = -1});
    rig.form.Load();
    rig.SetMode(run % 5 == 4 ? ActionMode::ErrorOnly : ActionMode::FullAuto);
    rig.StartSeries(Names(6));
    rig.clock.Advance(std::uniform_int_distribution<VirtualClock::Ms>(1, 150000)(random));
    rig.files.Hang(run % 4 == 0 ? rig.folder : "");
    rig.clock.Advance(run % 4 == 0 ? 30000 : 0);
    const bool stops = run % 4 == 0 && rig.state().Running;
    if (stops) rig.Click(kStopCommand);         // its journal line waits for the folder
    if (run % 2 == 0) rig.Click(kExitCommand);  // ended by EXIT, or else killed
    rig.host.Quit();                            // its timers end with it
    rig.files.Hang("");
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
    EXPECT_EQ(saved, host->Questions().empty() && !sent ? Texts{} : Names(6));
    const Texts times = rig.Journal(-1);
    EXPECT_EQ(std::tuple(std::is_sorted(times.begin(), times.end()), rig.Journal(0, "stop").size(),
                         rig.files.FileExists(QueueFilePath(form.State().IniPath, ""))),
              std::tuple(true, stops ? 1u : 0u, false));
    host->Quit();
  }
}

// The name sent last comes back first when its image is not there, or not known to be: a queue
// file of an earlier version ("sent at=") keeps no note of the image.
TEST(ResumeTest, TheLastNameSentComesBackUnlessItsImageIsThere) {
  for (const auto& [saved, older] : {std::pair{false, false}, {true, false}, {true, true}}) {
    Rig rig;
    rig.form.Load();
    const QueueState queue{
        ActionMode::ErrorAndSaveAs, rig.folder, "page03", ImageBefore{}, {"page04"}};
    std::string text = QueueText(queue);
    if (older) text.replace(text.find("its image then=none"), 19, "sent at=2026-12-07T14:03:22");
    rig.files.PutFile(QueueFilePath(rig.state().IniPath, ""), text);
    if (saved) rig.files.PutFile(rig.ImagePath("page03"), SmallBmp(3));
    rig.host.on_ask = [](const std::string&) { return true; };
    rig.form.Shown();
    const bool back = saved && !older;  // the image is there and known to be new
    const std::string count = back ? "1 name" : "2 names",
                      range = back ? "page04" : "page03 to page04";
    EXPECT_EQ(rig.host.Questions(),
              Texts{"A scan series was cut short: " + count + (back ? " was" : " were") +
                    " still to come (" + range + "), saving into " + rig.folder +
                    ". Put them back in the list?"});
    EXPECT_EQ(Rows(rig, "resume"), Texts{(back ? "page04" : "page03") + std::string("|||") + count +
                                         " back in the list (" + range + ")"});
    EXPECT_EQ(std::tuple(rig.controls().Text(kFilenames), rig.cycle().ReadActionMode()),
              std::tuple(back ? "page04\r\n" : "page03\r\npage04\r\n", ActionMode::ErrorAndSaveAs));
  }
}

// A save folder where the journal or the queue file cannot be written, or both: the series
// finishes, and the operator is told once of each file, in a window that asks for nothing (and in
// the journal, when it can be written).
TEST(UnwrittenFileTest, TheSeriesFinishesAndTheOperatorIsToldOnceOfEachFile) {
  for (const int refused : {1, 2, 3}) {  // the journal, the queue file, both
    Rig rig({.pages = 4});
    const std::string journal = Journal::PathIn(rig.folder), denied = "Permission denied";
    const std::string queue = QueueFilePath(rig.state().IniPath, rig.files.ProgramFolder());
    const std::string title = "Quorvel: a file cannot be written\n",
                      cannot = " cannot be written (";
    const std::string journal_text =
        "The journal " + journal + cannot + denied + "). The series goes on without it.";
    const std::string queue_text =
        "The queue file " + queue + cannot + denied +
        "). The series goes on; should it be cut short, it cannot be taken up again.";
    if (refused & 1) rig.files.Refuse(journal, denied);
    if (refused & 2) rig.files.Refuse(queue, denied);
    rig.StartSeries(Names(3));
    rig.RunUntilStopped(kHour);
    const Texts notices[] = {{},
                             {title + journal_text},
                             {title + queue_text},
                             {title + journal_text, title + journal_text + "\n\n" + queue_text}};
    // The only message is the word at the end of the series.
    EXPECT_EQ(std::tuple(rig.scanner->SavedNames(), rig.host.Notices(), rig.host.Messages().size()),
              std::tuple(Names(3), notices[refused], 1u));
    EXPECT_EQ(Rows(rig, "unwritten"),
              refused == 2
                  ? Texts{"|" + queue +
                          "||Permission denied; a series cut short cannot be taken up again"}
                  : Texts{});
  }
}

// A program stops answering: another program's file dialog, behind the scanning application (0)
// or in front of it (1), or the scanning application's error box (2). Behind, the dialog is asked
// nothing and the series goes on; otherwise no key goes anywhere and the alert names the window.
TEST(StallTest, AProgramThatStopsAnsweringIsAskedNothingAndNamedWhenInTheWay) {
  for (const int hung : {0, 1, 2}) {
    Rig rig({.pages = 3}, {.supervision = {.stall_after = std::chrono::seconds(60)}});
    const WindowHandle dialog = rig.desktop.OpenWindow("Open");
    rig.desktop.MakeFileDialog(dialog, {"File &name:", "&Open"});
    if (hung < 2) rig.desktop.Hang(dialog);
    rig.host.on_pump = [&] {
      if (hung == 1) rig.desktop.SetForeground(dialog);
      if (hung == 2) rig.desktop.Hang(rig.scanner->ErrorBox());
    };
    rig.StartSeries(Names(2));
    rig.RunUntilStopped(5 * 60000);
    const bool stalled = hung > 0;
    EXPECT_EQ(std::tuple(rig.desktop.Faults().hung_asked, rig.scanner->SavedNames().size(),
                         rig.desktop.KeyLog().empty(), rig.host.Alert().has_value()),
              std::tuple(0, stalled ? 0u : 2u, stalled, stalled))
        << hung;
    if (!stalled) continue;
    const std::string named = hung == 1 ? "Open" : "DeskScan Error";
    EXPECT_NE(rig.host.Alert()->find(".\nNot answering: " + named + ".\nWindows now:"),
              std::string::npos);
    EXPECT_NE(rig.Journal(4, "stall").at(0).find("; not answering: " + named), std::string::npos);
  }
}

// With the second error box up, the scanning application opens a third window that nobody
// foresaw: the cycle does nothing while three DeskScan windows are up, and the alert tells, with
// a bell a minute. The box goes, or the operator presses Stop!: the alert goes too.
TEST(StallTest, AnUnforeseenBoxIsAlertedAfterTheStallTimeAndClearedWhenItGoes) {
  for (const bool stop : {false, true}) {
    Rig rig({.pages = 4}, {.supervision = {.on_stall = stop ? "" : "notify"}});
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
    for (int tick = 0; tick < 100 && !rig.host.Alert(); ++tick) rig.clock.Advance(500);
    ASSERT_TRUE(rig.host.Alert());
    // The alert whole, at the first tick past ten minutes: the moment the journal names, the red
    // step, the pages, and the windows now listed, the unforeseen box among them.
    std::string last_step, windows;
    for (int line = 0; line < kStatusLines; ++line)
      if (rig.LineIsRed(line))
        last_step = std::to_string(line) + ", " + rig.controls().Text(DelayText(line));
    for (const std::string& title : rig.controls()[kCombo1].items) windows += "\n    " + title;
    EXPECT_NE(windows.find("\n    DeskScan II: paper jam"), std::string::npos);
    EXPECT_EQ(*rig.host.Alert(),
              "Quorvel: the scan series has stalled\nNothing has happened since " +
                  rig.Journal(4, "stall").at(0).substr(14) + " (10 min 0 s).\nLast step: line " +
                  last_step + ".\nPages done: 0 of 3.\nWindows now:" + windows);
    const int first_bell = rig.host.Bells();
    rig.clock.Advance(59000);
    const int before_a_minute = rig.host.Bells();
    rig.clock.Advance(3000);
    EXPECT_EQ(std::tuple(first_bell, before_a_minute, rig.host.Bells()), std::tuple(1, 1, 2));
    EXPECT_EQ(rig.desktop.Commands().size(), stop ? 0u : 1u);
    if (stop) {
      rig.Click(kStopCommand);
      EXPECT_FALSE(rig.host.Alert());
      EXPECT_EQ(rig.Journal(4, "stop").front().substr(0, 29), "0 pages saved, 0 sent again, ");
      rig.clock.Advance(120000);
      EXPECT_EQ(rig.host.Bells(), 2);
    } else {
      EXPECT_EQ(rig.desktop.Commands()[0].first, "notify");
      rig.desktop.CloseWindow(box);
      rig.RunUntilStopped(kHour);
      EXPECT_EQ(rig.scanner->SavedNames(), Names(3));
    }
    EXPECT_EQ(std::tuple(rig.host.Alert().has_value(), rig.Journal(0, "stall").size(),
                         rig.Journal(0, "recovered").size(), rig.KeysTo(box)),
              std::tuple(false, 1u, stop ? 0u : 1u, ""));
  }
}

// Without a stall time given: ten minutes, or three times the longest page when that is longer.
// Durations as the operator reads them; Stop! with no series started has no time to tell.
TEST(StallTest, TheStallTimeIsThreeTimesTheLongestPage) {
  using std::chrono::minutes;
  StallWatch watch(std::nullopt);
  const StallWatch::Clock::time_point start{};
  watch.Start(start);
  watch.Progress(start + minutes(8));
  watch.Progress(start + minutes(9));
  EXPECT_FALSE(watch.Stalled(start + minutes(9 + 24) - std::chrono::seconds(1)));
  EXPECT_TRUE(watch.Stalled(start + minutes(9 + 24)));
  const std::pair<int, const char*> cases[] = {{0, "0 s"},          {59, "59 s"},
                                               {60, "1 min 0 s"},   {3599, "59 min 59 s"},
                                               {3600, "1 h 0 min"}, {9060, "2 h 31 min"}};
  for (const auto& [span, text] : cases) EXPECT_EQ(DurationText(std::chrono::seconds(span)), text);
  Rig rig;
  rig.state().Running = true;
  rig.Click(kStopCommand);
  EXPECT_EQ(Rows(rig, "stop"), Texts{"|||0 pages saved, 0 sent again"});
}

// In Error Only nothing is asked, as the operator names the pages; else the question comes first.
TEST(CollisionTest, NamesThatWouldReplaceImagesAreAskedAboutTenAtMostAndNoStartsNothing) {
  Rig rig;
  rig.files.PutFile(rig.ImagePath("page02"), "old");
  rig.SetNames({"page01", "page02", "page03", "page01", "page01"});  // page01 is named once
  rig.SetMode(ActionMode::ErrorOnly);
  rig.Click(kStartCommand);
  EXPECT_EQ(std::tuple(rig.host.Questions().size(), rig.state().Running), std::tuple(0u, true));
  rig.Click(kStopCommand);
  rig.SetMode(ActionMode::FullAuto);
  const std::string typed = rig.controls().Text(kFilenames);
  rig.Click(kStartCommand);
  EXPECT_EQ(rig.host.Questions(),
            Texts{"1 name of the list already has an image in " + rig.folder +
                  " (page02.bmp) and would replace it. 1 name stands in the list more than once "
                  "(page01.bmp): each later page would replace the one before. Start anyway?"});
  EXPECT_EQ(std::tuple(rig.state().Running, rig.controls().Text(kFilenames)),
            std::tuple(false, typed));
  rig.host.on_ask = [](const std::string&) { return true; };
  rig.Click(kStartCommand);
  EXPECT_TRUE(rig.state().Running);
  // Ten images are named, an eleventh only hinted at.
  const std::string ten = Joined(Names(10), ".bmp, ");
  for (const auto& [count, end] : {std::pair{10, ")"}, std::pair{11, ", ...)"}}) {
    for (const std::string& name : Names(count)) rig.files.PutFile(rig.ImagePath(name), "BM");
    EXPECT_EQ(CollisionQuestion(rig.files, rig.folder, Names(count)),
              std::to_string(count) + " names of the list already have an image in " + rig.folder +
                  " (" + ten.substr(0, ten.size() - 2) + end +
                  " and would replace them. Start anyway?");
  }
  rig.files.Hang(rig.folder);  // nothing can be told there
  EXPECT_EQ(CollisionQuestion(rig.files, rig.folder, Names(2)).value_or("").find(". Whether"),
            ("The save folder does not answer: " + rig.folder).size());
}

// The last name's image as it was when the name went: not known, absent, or there, its time
// stamp to the fraction of a second and its file's identity.
TEST(QueueFileTest, ReadsWhatItWroteAndNothingElse) {
  const auto time = std::chrono::system_clock::from_time_t(1796506207);
  const FileFacts there{246, time + std::chrono::microseconds(123457), 77};
  for (const auto& image : {std::optional<ImageBefore>(), std::optional(ImageBefore{}),
                            std::optional(ImageBefore{there})}) {
    const QueueState state{
        ActionMode::ErrorAndSaveAs, "C:\\scans, \"new\"", "page 7", image, {"page 8", "page,9"}};
    const std::string text = QueueText(state);
    const auto read = ReadQueue(text + "\r\n");  // a blank line is no name
    ASSERT_TRUE(read);
    EXPECT_EQ(std::tie(read->mode, read->folder, read->last_sent, read->last_image, read->to_come),
              std::tie(state.mode, state.folder, state.last_sent, state.last_image, state.to_come));
    EXPECT_FALSE(ReadQueue(text.substr(text.find('\n') + 1)));
    EXPECT_FALSE(ReadQueue(std::string(text).insert(text.find(ModeName(state.mode)), "No ")));
  }
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

// A Full Auto series of 20 names, a fifth of its saves failing, the last name with a quote and a
// comma: every page saved under its name, each page's keys, the journal row by row with the image
// facts, and the word at the end with its totals.
TEST(ScanSeriesTest, FullAutoSavesEveryPageUnderItsNameAndJournalsIt) {
  Rig rig({.pages = -1, .save_failure = 0.2});
  Texts names = Names(19);
  names.push_back("page \"20\", last");
  rig.controls().SetText(kNumberofScans, "20");
  const VirtualClock::Ms start = rig.clock.Now();
  rig.StartSeries(names);
  rig.RunUntilStopped(kHour);
  const std::string took = DurationText(std::chrono::seconds((rig.clock.Now() - start) / 1000));
  const int failed = rig.scanner->Counts().saves_failed;
  ASSERT_GT(failed, 0);
  EXPECT_EQ(std::tuple(rig.scanner->SavedNames(), rig.controls().Text(kFilenames)),
            std::tuple(names, ""));
  // Each page: Enter for its box and the final button; the page after the last name ends the list
  // and its dialog gets no keys. Each name reached the dialog once, and again for each failed save.
  const int pages = 21 + failed;
  EXPECT_EQ(rig.Journal(1, "sent").size(), 20u + failed);
  std::map<std::string, std::string> keys{{"DeskScan Error", std::string(pages, '\r')}};
  for (int page = 0; page < pages; ++page) keys["DeskScan II"] += std::string(13, '\t') + "%n";
  for (const std::string& name : rig.Journal(1, "sent")) keys["Save As"] += "%n" + name + "%s";
  EXPECT_EQ(KeysByTitle(rig.desktop), keys);
  EXPECT_EQ(rig.files.Contents(Journal::PathIn(rig.folder))->substr(0, kJournalHeader.size() + 2),
            std::string(kJournalHeader) + "\r\n");
  Texts saved, missing;
  for (const std::string& name : names)
    saved.push_back(name + "|" + rig.ImagePath(name) + "|246|8 x 8 pixels");
  for (const std::string& name : rig.Journal(1, "missing"))
    missing.push_back(name + "|" + rig.ImagePath(name) + "||no such file; the name goes again");
  EXPECT_EQ(std::tuple(Rows(rig, "saved"), Rows(rig, "missing"), missing.size()),
            std::tuple(saved, missing, static_cast<std::size_t>(failed)));
  EXPECT_EQ(rig.Journal(0).front() + rig.Journal(0).back(), "startend");
  const std::string totals =
      "20 pages saved, " + std::to_string(failed) + " sent again, in " + took;
  EXPECT_EQ(std::tuple(Rows(rig, "start"), Rows(rig, "end")),
            std::tuple(Texts{"|||Full Auto, 20 names, into " + rig.folder}, Texts{"|||" + totals}));
  EXPECT_EQ(rig.host.Messages(), Texts{"The scan series is done: " + totals + ". The journal is " +
                                       Journal::PathIn(rig.folder) + "."});
  // A field is quoted only when it holds a comma, a quote (the last name) or a line end.
  EXPECT_EQ(CsvField("page 1") + CsvField("a\r\nb"), "page 1\"a\r\nb\"");
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

// A dialog that asks before it replaces a file gets Yes where the operator allowed replacing the
// list's images at ENABLE, or for the series' own image cut short and sent again; No for a file
// that came from elsewhere, and the stall alert says why. Each answer is journalled.
TEST(ScanSeriesTest, TheQuestionBeforeReplacingIsAnsweredAsTheOperatorAllowed) {
  // All but the first with a box whose Yes is "&Ja", its letter J.
  enum Case { kImagesThere, kCutShort, kFromElsewhere, kGermanBox };
  const std::string allowed = "answered Yes: replacing the list's images was allowed at ENABLE";
  const std::tuple<Case, Texts, Texts> cases[] = {
      {kImagesThere, Texts(3, allowed), Names(3)},
      {kGermanBox, Texts(3, allowed), Names(3)},
      {kCutShort,
       {"answered Yes: the file is this series' own image of the name, cut short"},
       Names(3)},
      {kFromElsewhere,
       {"answered No: the file was there before the name was sent, and replacing it was not "
        "allowed at ENABLE"},
       Names(1)}};
  for (const auto& [kind, answers, saved] : cases) {
    Rig rig({.pages = -1, .ask_before_replacing = true, .yes_button = kind ? "&Ja" : "&Yes"});
    rig.host.on_ask = [](const std::string&) { return true; };
    for (const std::string& name : kind % 3 == kImagesThere ? Names(3) : Texts{})
      rig.files.PutFile(rig.ImagePath(name), "old");
    if (kind == kCutShort) rig.scanner->BreakNextSave(SimulatedScanner::BrokenSave::kCutShort);
    rig.StartSeries(Names(3));
    if (kind == kFromElsewhere) rig.files.PutFile(rig.ImagePath("page02"), "elsewhere");
    rig.RunUntilStopped(kHour);
    EXPECT_EQ(rig.scanner->SavedNames(), saved) << kind;
    EXPECT_EQ(rig.Journal(4, "replace"), answers) << kind;
    EXPECT_EQ(rig.host.Alert().value_or("").find("Quorvel answered No") != std::string::npos,
              kind == kFromElsewhere);
  }
}

// The save folder stops answering after two pages, for longer than the stall time: no name goes,
// and the stall alert names it. Once it answers, every page is saved, the stall journalled.
TEST(FolderHangTest, NoNameGoesWhileTheSaveFolderDoesNotAnswerAndTheAlertNamesIt) {
  Rig rig({.pages = -1}, {.supervision = {.stall_after = std::chrono::seconds(60)}});
  rig.StartSeries(Names(5));
  while (rig.scanner->SavedNames().size() < 2) rig.clock.Advance(500);
  rig.files.Hang(rig.folder);
  const std::string sent = KeysByTitle(rig.desktop)["Save As"];
  rig.clock.Advance(180000);
  EXPECT_EQ(std::tuple(KeysByTitle(rig.desktop)["Save As"],
                       rig.host.Alert().value_or("").find("The save folder does not answer: " +
                                                          rig.folder) != std::string::npos),
            std::tuple(sent, true));
  rig.files.Hang("");
  rig.RunUntilStopped(kHour);
  EXPECT_EQ(std::tuple(rig.scanner->SavedNames(), rig.Journal(4, "stall").size()),
            std::tuple(Names(5), 1u));
}

TEST(SoakTest, NamesAreSavedInOrderWhateverTheFaultsAndErrorOnlyClosesEachBoxOnce) {
  EXPECT_TRUE(Soak(500));
}

}  // namespace
}  // namespace quorvel::harness
