// The automation cycle one tick at a time, on a desktop whose windows the test opens itself;
// its step meter, its window census, "Stop!" and a click on the bare window.
#include <gtest/gtest.h>

#include <tuple>

#include "automation/image_check.h"
#include "automation/save_dialogs.h"
#include "sim/bmp_file.h"
#include "tests/rig.h"

namespace quorvel::harness {
namespace {

const std::string kFinal = std::string(13, '\t') + "%n";
class CycleTest : public ::testing::Test {
 protected:
  CycleTest() {
    rig_.host.on_ask = [](const std::string&) { return true; };  // start even over images
    main_ = rig_.desktop.OpenWindow("DeskScan II");
    rig_.controls().SetText(kNumberofScans, "5");
  }
  WindowHandle OpenErrorBox() {
    return rig_.desktop.OpenWindow("DeskScan Error", main_, [this](WindowHandle w, const Key& k) {
      if (k.kind == Key::Kind::kEnter) rig_.desktop.CloseWindow(w);
    });
  }
  WindowHandle OpenSaveAs() { return rig_.desktop.OpenWindow("Save As", main_); }
  // Running and awaiting the dialog, with these names queued and `last` the name sent before.
  void AwaitSaveAs(const Texts& names, const std::string& last = "") {
    rig_.SetNames(names);
    rig_.Click(kStartCommand);
    Await();
    rig_.state().LastFilename = last;
    looks_ = rig_.files.FilesLookedFor().size();
  }
  void Await() {
    rig_.state().AwaitingSaveAs = true;
    rig_.state().Pausing = false;
  }
  // The images the cycle looked for since the names were queued.
  Texts ImagesLookedFor() {
    Texts images;
    const auto& looked = rig_.files.FilesLookedFor();
    for (std::size_t i = looks_; i < looked.size(); ++i)
      if (looked[i].ends_with(".bmp")) images.push_back(looked[i]);
    return images;
  }
  // Every delivery as "target:keys", with "+" when it waited for the keys to be taken.
  Texts Sent() {
    Texts sent;
    for (const DeliveryLogEntry& e : rig_.desktop.DeliveryLog())
      sent.push_back(e.target + ":" + e.keys + (e.wait ? "+" : ""));
    return sent;
  }
  // The next tick's status lines: their numbers, or each number and text followed by "|".
  std::string Tick(bool texts = false) {
    std::string shown;
    for (const auto& [line, text] : rig_.NextTick())
      shown += std::to_string(line) + (texts ? " " + text + "|" : "");
    return shown;
  }
  // The names Filenames shows, each followed by "|".
  std::string Listed() {
    std::string text = rig_.controls().Text(kFilenames);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "|");
    return text;
  }

  // The status lines shown red, by number.
  std::string RedLines() {
    std::string red;
    for (int line = 0; line < kStatusLines; ++line)
      if (rig_.LineIsRed(line)) red += std::to_string(line);
    return red;
  }
  const std::string& Label() { return rig_.controls().Text(kSleepLabel); }

  Rig rig_;
  WindowHandle main_ = 0;
  std::size_t looks_ = 0;
};

// Idle or paused, a tick only pumps; running, one DeskScan window waits and three do nothing. A
// tick fired while a tick pumps is skipped.
TEST_F(CycleTest, IdleOrPausedTicksOnlyPumpAndOnlyTwoWindowsAreAnErrorBox) {
  const WindowHandle box = OpenErrorBox();
  const WindowHandle help = rig_.desktop.OpenWindow("DeskScan Help", main_);
  EXPECT_TRUE(rig_.NextTick().empty());
  rig_.Click(kStartCommand);
  rig_.cycle().Meter(9, "Waiting", 60000);
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_TRUE(rig_.controls()[kCombo1].items.empty());  // no census was taken
  rig_.state().Pausing = false;
  EXPECT_TRUE(rig_.NextTick().empty());
  EXPECT_EQ(rig_.state().DeskScanCount, 3);
  rig_.desktop.CloseWindow(box);
  rig_.desktop.CloseWindow(help);
  int inner = 0;
  rig_.host.on_pump = [&] {
    if (inner++ == 0) rig_.form.TimerFired(kTimer1);
  };
  EXPECT_EQ(Tick(true), "0 Waiting for Error|");
}

// While the box cannot be activated, no key goes anywhere; the Enter goes again on the next tick.
// Stop pressed during that tick's census still lets the button be pressed. Error Only only closes
// the box, never awaits "Save As", and sends no keys to a window gone.
TEST_F(CycleTest, ErrorStageClosesTheBoxAndPressesTheFinalButtonOnceTheBoxIsActiveUnlessErrorOnly) {
  rig_.Click(kStartCommand);
  OpenErrorBox();
  rig_.desktop.SetForeground(rig_.terminal);
  rig_.desktop.FailNextActivation();
  EXPECT_EQ(Tick(), "1");
  EXPECT_TRUE(rig_.desktop.KeyLog().empty());
  rig_.host.on_pump = [this] {
    if (rig_.LineIsRed(3) && rig_.state().Running) rig_.Click(kStopCommand);
  };
  EXPECT_EQ(Tick(), "123");
  EXPECT_EQ(
      std::tuple(rig_.state().Running, rig_.state().AwaitingSaveAs, rig_.KeysTo(rig_.terminal)),
      std::tuple(false, true, ""));
  EXPECT_EQ(Sent(), (Texts{"DeskScan II:\r+", "DeskScan II:\r+", "DeskScan II:" + kFinal + "+"}));
  rig_.host.on_pump = nullptr;
  rig_.SetMode(ActionMode::ErrorOnly);
  rig_.Click(kStartCommand);
  EXPECT_FALSE(rig_.state().AwaitingSaveAs);
  OpenErrorBox();
  EXPECT_EQ(Tick(), "12");
  EXPECT_EQ(Tick(), "0");
  EXPECT_EQ(std::tuple(Sent().size(), Sent().back()), std::tuple(4u, "DeskScan II:\r+"));
  OpenErrorBox();  // the scanning application's window is gone before its activation: no keys
  rig_.host.on_pump = [this] {
    if (rig_.state().DeskScanCount == 2) rig_.desktop.CloseWindow(main_);
  };
  rig_.NextTick();
  EXPECT_EQ(Sent().size(), 4u);
}

// DeskScan windows count within one program: another program's window titled "DeskScan" (a folder
// named so) makes no error box, before the scanning application showed itself by its box or after,
// whatever boxes it opens. A window whose program cannot be told counts by its title. Keys go to
// the windows found, by handle: the name to DeskScan's "Save As", not to one above it. The first
// name goes without looking for a file, typed as literal text: its "%s" is no Alt chord.
TEST_F(CycleTest, OnlyTheScanningApplicationsWindowsCountAndTakeKeysAndTheFirstNameGoesAsTyped) {
  const WindowHandle folder = rig_.desktop.OpenWindow("DeskScan");
  rig_.SetNames({"50%s off", "a2"});
  rig_.Click(kStartCommand);
  EXPECT_EQ(Tick(), "0");
  OpenErrorBox();
  EXPECT_EQ(Tick(), "123");
  const WindowHandle dialog = OpenSaveAs();
  const WindowHandle theirs = rig_.desktop.OpenWindow("Save As", rig_.desktop.OpenWindow("Notes"));
  looks_ = rig_.files.FilesLookedFor().size();
  EXPECT_EQ(Tick(true),
            "4 First Save in Series|5 Finding Save As|6 Found Save As|7 Sending filename...|8 Sent "
            "filename & CR|9 Waiting|");
  // Only the file of the name going is noted, for the check at the next dialog.
  EXPECT_EQ(ImagesLookedFor(), Texts{rig_.ImagePath("50%s off")});
  EXPECT_EQ(std::tuple(rig_.KeysTo(main_), rig_.KeysTo(dialog), rig_.KeysTo(theirs), Sent().back()),
            std::tuple(kFinal, "%n50%s off%s", "", "Save As:%n50%s off%s+"));
  std::string keys;  // the dialog's keys, an Alt chord as "Alt+" and its letter
  for (const KeyLogEntry& e : rig_.desktop.KeyLog())
    if (e.window == dialog)
      keys += (e.key.kind == Key::Kind::kAltChord ? "Alt+" : "") +
              std::string(1, static_cast<char>(e.key.character));
  EXPECT_EQ(keys, "Alt+n50%s offAlt+s");
  EXPECT_EQ(std::tuple(rig_.state().LastFilename, Listed(), rig_.state().AwaitingSaveAs),
            std::tuple("50%s off", "a2|", false));
  rig_.desktop.OpenWindow("DeskScan Properties", folder);
  rig_.cycle().LoadTaskList();
  const int counted = rig_.state().DeskScanCount;
  rig_.desktop.SetProgram(rig_.desktop.OpenWindow("DeskScan notes"), 0);
  rig_.cycle().LoadTaskList();
  EXPECT_EQ(std::tuple(counted, rig_.state().DeskScanCount, rig_.KeysTo(folder)),
            std::tuple(1, 2, ""));
}

// An image counts when the folder shows it new since its name went: absent then, or changed. The
// save folder's file server stamps it by its own clock, 30 s behind or ahead of this computer's;
// an old file of the name that nobody touched does not count. In Error Only the name is taken and
// "Save As" activated, but no key typed; once Full Auto is back the next dialog gets the same test.
TEST_F(CycleTest, AnImageCountsWhenTheFolderShowsItNewWhateverTheServersClockOrTheMode) {
  // The mode a1 goes in; an old file of a1 or none; a1 saved (again) or not; the server's clock;
  // the name sent next in Full Auto. kSameStamp: a disk whose stamps are coarse; kAnew: saved as
  // another file of the same size in the same second.
  enum Save { kNone, kNow, kSameStamp, kAnew };
  using enum ActionMode;
  const std::tuple<ActionMode, bool, Save, int, std::string> cases[] = {
      {FullAuto, false, kNow, -30, "a2"},    {FullAuto, false, kNow, 30, "a2"},
      {FullAuto, true, kNone, 0, "a1"},      {FullAuto, true, kNow, -30, "a2"},
      {FullAuto, true, kSameStamp, 0, "a2"}, {FullAuto, true, kAnew, 0, "a2"},
      {ErrorOnly, true, kNone, 0, "a1"},     {ErrorOnly, false, kNow, 0, "a2"}};
  for (const auto& [mode, old_file, save, server_clock_s, sent] : cases) {
    rig_.files.Remove(rig_.ImagePath("a1"));
    rig_.files.SetClockOffset(std::chrono::seconds(server_clock_s));
    if (old_file) rig_.files.PutFile(rig_.ImagePath("a1"), SmallBmp(1), {});
    rig_.SetMode(mode);
    AwaitSaveAs({"a1", "a2"});
    const WindowHandle dialog = OpenSaveAs();
    rig_.desktop.SetForeground(rig_.terminal);
    const std::size_t sends = Sent().size();
    EXPECT_EQ(Tick(), mode == FullAuto ? "456789" : "4567");  // a1 goes
    EXPECT_EQ(
        std::tuple(rig_.desktop.Foreground(), rig_.controls().Text(kSendLabel),
                   rig_.state().LastFilename, rig_.state().AwaitingSaveAs,
                   rig_.controls()[kSleepTimer].interval_ms),
        std::tuple(dialog, "Sending: a1", "a1", false, mode == FullAuto ? kDefaultDelayMs : 500));
    rig_.desktop.CloseWindow(dialog);
    if (save == kNow) rig_.files.PutFile(rig_.ImagePath("a1"), SmallBmp(1));
    if (save == kSameStamp) rig_.files.PutFile(rig_.ImagePath("a1"), SmallBmp(1) + "more", {});
    if (save == kAnew) rig_.files.PutFile(rig_.ImagePath("a1"), SmallBmp(1), {});
    rig_.SetMode(FullAuto);
    Await();
    OpenSaveAs();
    rig_.NextTick();
    EXPECT_EQ(std::tuple(Sent().size() - sends, Sent().back()),
              std::tuple(mode == FullAuto ? 2u : 1u, "Save As:%n" + sent + "%s+"))
        << server_clock_s;
  }
}

// The pause after each kind of send. Full Auto stops at the end of the list (a whole series shows
// it); the other mode sends an empty name and runs on. The list then shows the names up to the
// next index (1) plus the number of scans, rounded half to even: 1.5 and 2.5 both reach slot 2,
// 3.5 slot 4.
TEST_F(CycleTest, PauseAfterEachKindOfSendAndTheRewrittenList) {
  using enum ActionMode;
  const Texts six = {"a1", "a2", "a3", "a4", "a5", "a6"};
  const std::tuple<ActionMode, std::int32_t, Texts, std::string, int, std::string, std::string,
                   std::string>
      cases[] = {
          {FullAuto, 5000, six, "3", 5000, "5000", "Save As:%na1%s+", "a2|a3|a4|a5|"},
          {FullAuto, -1, six, "none", 2000, "", "Save As:%na1%s+", "a2|"},
          {FullAuto, 5000, six, "-5", 5000, "5000", "Save As:%na1%s+", ""},
          {FullAuto, 5000, six, "0.5", 5000, "5000", "Save As:%na1%s+", "a2|a3|"},
          {ErrorAndSaveAs, 5000, six, "1.5", 2000, "2000", "Save As:%na1", "a2|a3|"},
          {ErrorAndSaveAs, 5000, six, "2.5", 2000, "2000", "Save As:%na1", "a2|a3|a4|a5|"},
          {ErrorAndSaveAs, 5000, six, "1e9", 2000, "2000", "Save As:%na1", "a2|a3|a4|a5|a6|"},
          {ErrorAndSaveAs, 5000, {}, "5", 2000, "2000", "Save As:%n", ""}};
  OpenSaveAs();
  for (const auto& [mode, delay, names, scans, pause, label, sent, shown] : cases) {
    rig_.SetMode(mode);
    AwaitSaveAs(names);
    rig_.state().Delay = delay;
    rig_.controls().SetText(kNumberofScans, scans);
    rig_.NextTick();
    EXPECT_EQ(
        std::tuple(rig_.controls()[kSleepTimer].interval_ms, Label(), Sent().back(),
                   rig_.controls().Text(kSendLabel), rig_.state().Running, Listed()),
        std::tuple(pause, label, sent, "Sending: " + (names.empty() ? "" : names[0]), true, shown))
        << scans;
  }
}

// The save dialog in another language: the scanning application's own common file dialog, a
// title of the table, or the operator's; a window that only looks like one is not counted, nor
// one that another program owns. Of two dialogs, the one met first in the census is taken.
TEST(SaveDialogTest, IsKnownInAnyLanguageWhenTheScanningApplicationOwnsItAndKeysByMnemonic) {
  using Captions = DesktopPort::FileDialogCaptions;
  enum Owner { kNobody, kDeskScan, kOther };
  const struct {
    std::string title;
    Owner owner;
    std::optional<Captions> captions;
    SaveDialogOptions options;
    std::string keys;            // what the dialog receives; "" when it is not taken for the dialog
    bool save_as_above = false;  // a "Save As" of DeskScan's opened above it, met first
  } cases[] = {
      {"Enregistrer", kDeskScan, {}, {}, "%na1%e"},
      {"Enregistrer", kNobody, {}, {}, ""},
      {"Enregistrer", kOther, {}, {}, ""},
      {"Enregistrer sous", kDeskScan, {}, {}, ""},  // a known title only begins it
      {"Guardar como", kDeskScan, {}, {}, "%aa1%g"},
      {"Sauver", kDeskScan, Captions{"&Nom du fichier :", "&Enregistrer"}, {}, "%na1%e"},
      {"Sauver", kDeskScan, Captions{"Nom du fichier", "Enregistrer"}, {}, "%na1\r"},
      {"Save As", kDeskScan, Captions{"File &Name:", "OK"}, {}, "%na1\r"},  // the old-style dialog
      {"Sauver", kDeskScan, Captions{"", ""}, {}, "%na1%s"},
      {"Sauver", kOther, Captions{"&Nom du fichier :", "&Enregistrer"}, {}, ""},
      {"Sauver", kDeskScan, {}, {}, ""},
      {"Speichern unter", kDeskScan, {}, {.title = "Speichern unter", .save_key = U'p'}, "%na1%p"},
      {"Enregistrer", kDeskScan, {}, {.name_key = U'x'}, "%xa1%e"},
      {"Save As", kNobody, {}, {.save_key = U'k'}, "%na1%k"},  // of DeskScan's process
      {"Save As", kOther, {}, {}, ""},
      {"Enregistrer", kDeskScan, {}, {}, "", true},
  };
  for (const auto& c : cases) {
    Rig rig({}, {.save_dialog = c.options});
    const WindowHandle main = rig.desktop.OpenWindow("DeskScan II");
    const WindowHandle owner = c.owner == kDeskScan ? main : c.owner == kOther ? rig.terminal : 0;
    const WindowHandle dialog = rig.desktop.OpenWindow(c.title, owner);
    if (c.owner == kNobody) rig.desktop.SetProgram(dialog, rig.desktop.ProgramOf(main));
    if (c.captions) rig.desktop.MakeFileDialog(dialog, *c.captions);
    const WindowHandle above = c.save_as_above ? rig.desktop.OpenWindow("Save As", main) : 0;
    rig.SetNames({"a1"});
    rig.Click(kStartCommand);
    rig.state().AwaitingSaveAs = true;
    rig.NextTick();
    EXPECT_EQ(rig.KeysTo(dialog), c.keys) << c.title << " " << c.owner;
    EXPECT_EQ(rig.KeysTo(above), c.save_as_above ? "%na1%s" : "");
    // Only the scanning application's own windows are asked for their captions, and none once the
    // dialog is found.
    EXPECT_EQ(rig.desktop.CaptionQuestions(dialog) > 0, c.owner == kDeskScan && !above) << c.title;
    EXPECT_EQ(rig.state().AwaitingSaveAs, rig.desktop.KeyLog().empty()) << c.title;
  }
  // The key a caption underlines: the letter after a single "&", lower case; "&&" shows an "&".
  const std::pair<const char*, std::optional<char32_t>> mnemonics[] = {
      {"&Save", U's'},          {"File &name:", U'n'},   {"Fish && &Chips", U'c'},
      {"&&Save", std::nullopt}, {"Save&", std::nullopt}, {"&\u00c9crire", U'\u00c9'}};
  for (const auto& [caption, key] : mnemonics) EXPECT_EQ(MnemonicOf(caption), key) << caption;
}

// Whether an image confirms a save: the facts of a whole bitmap, or the problem in the operator's
// words. The bitmaps are the stand-in's 8 x 8 page with bytes of its header changed.
TEST(ImageCheckTest, AWholeBitmapConfirmsAndEveryFaultIsNamed) {
  const std::string page = SmallBmp(1);  // 246 bytes, a 40-byte header
  auto changed = [&page](std::size_t at, std::string bytes, std::size_t size = 246) {
    std::string image = page.substr(0, size);
    return image.replace(at, bytes.size(), bytes);
  };
  using std::string_literals::operator""s;
  const std::pair<std::string, std::string> cases[] = {
      {page, "8 x 8, 246 bytes"},
      {changed(22, "\xF8\xFF\xFF\xFF"s), "8 x -8, 246 bytes"},          // rows from the top down
      {changed(14, "\x0C\0\0\0\x08\0\xF8\xFF"s), "8 x -8, 246 bytes"},  // the oldest header
      {changed(18, "\0\0\0\0"s), "0 x 8 pixels"},
      {changed(18, "\xFF\xFF\xFF\xFF"s), "-1 x 8 pixels"},
      {changed(22, "\0\0\0\0"s), "8 x 0 pixels"},
      {changed(0, "", 245), "cut short at 245 of 246 bytes"},
      {changed(2, "\x40\x42\x0F\0"s), "cut short at 246 of 1,000,000 bytes"},
      {changed(14, "\x0E"), "not a bitmap"},
      {changed(0, "BA"), "not a bitmap"},
      {changed(0, "", 20), "header cut short"},
      {"", "0 bytes"},
  };
  MemoryFileSystem files([] { return std::chrono::system_clock::time_point{}; }, "/p");
  for (const auto& [bytes, outcome] : cases) {
    files.PutFile("/p/a.bmp", bytes);
    const ImageCheck check = CheckImage(files, "/p/a.bmp", std::nullopt);
    EXPECT_EQ(check.facts ? std::to_string(check.facts->width) + " x " +
                                std::to_string(check.facts->height) + ", " +
                                std::to_string(check.facts->bytes) + " bytes"
                          : check.problem,
              outcome);
  }
  EXPECT_EQ(GroupedNumber(1000) + " " + GroupedNumber(123456), "1,000 123,456");
  // The file as it was when its name went, on a disk that keeps its identity and stamp (an append
  // in the same second): untouched it is from an earlier run; another size makes it a new save.
  files.PutFile("/p/a.bmp", page);
  const FileFacts now = *files.Facts("/p/a.bmp");
  for (const std::uintmax_t size : {now.size, now.size - 1}) {
    const ImageBefore before{FileFacts{size, now.written, now.identity}};
    EXPECT_EQ(CheckImage(files, "/p/a.bmp", before).facts.has_value(), size != now.size) << size;
  }
}

// Enter reaches the box and the focus is stolen before or amid the final-button keys: the press
// is owed to the next tick, which sends the Tabs left (the window keeps its focused control),
// unless Error Only is chosen or ENABLE pressed in between.
TEST_F(CycleTest, AnOwedFinalButtonIsPressedOnTheNextTickOrForgotten) {
  for (const auto& [then, tabs] :
       {std::pair("ENABLE", 5), std::pair("tick", 5), std::pair("tick", 0), std::pair("tick", 13),
        std::pair("Error Only", 0)}) {
    const std::string before = rig_.KeysTo(main_);
    const bool owed = then == std::string("tick");
    rig_.Click(kStartCommand);
    OpenErrorBox();
    rig_.host.on_pump = [this, after = tabs] {
      if (rig_.LineIsRed(3)) rig_.desktop.StealFocusDuringNextDelivery(after);
    };
    rig_.NextTick();
    rig_.host.on_pump = nullptr;
    ASSERT_EQ(std::tuple(rig_.state().AwaitingSaveAs, rig_.KeysTo(main_)),
              std::tuple(false, before + std::string(tabs, '\t')));
    if (then == std::string("Error Only")) rig_.SetMode(ActionMode::ErrorOnly);
    if (then == std::string("ENABLE")) rig_.Click(kStartCommand);
    EXPECT_EQ(Tick(true), owed ? "3 Clicking Final Button|" : "0 Waiting for Error|") << then;
    EXPECT_EQ(
        std::tuple(rig_.state().AwaitingSaveAs, rig_.KeysTo(main_), rig_.KeysTo(rig_.terminal)),
        std::tuple(owed, before + (owed ? kFinal : std::string(tabs, '\t')), ""))
        << then << tabs;
    rig_.SetMode(ActionMode::FullAuto);
    rig_.Click(kStopCommand);
  }
}

// A second window of the scanning application while "Save As" is awaited is the next error box
// only when it holds on two ticks in a row: a box that lives a moment (a progress box) gets no key.
// Without a dialog the check repeats each tick: the image looked for is the folder, the separator
// and the name, joined plainly. A missing image sends the same name again, the list as it was. No
// slot past the last is read.
TEST_F(CycleTest, AnErrorBoxWhileSaveAsIsAwaitedIsClosedOnTheSecondTickAndNoSlotPastTheLastIsRead) {
  const std::string sep(1, kPathSeparator);
  AwaitSaveAs({"a1", "a2"}, "a0");
  rig_.controls().SetText(kFilenames, "as typed");
  const WindowHandle progress = rig_.desktop.OpenWindow("DeskScan: scanning", main_);
  EXPECT_EQ(Tick(), "");
  rig_.desktop.CloseWindow(progress);
  for (const std::string& folder : {std::string(), "x" + sep, rig_.folder}) {
    rig_.state().SaveFolder = folder;
    EXPECT_EQ(Tick(true), "4 Verifying Last Save|5 Finding Save As|");  // no dialog yet
  }
  EXPECT_EQ(ImagesLookedFor(),
            (Texts{sep + "a0.bmp", "x" + sep + sep + "a0.bmp", rig_.ImagePath("a0")}));
  OpenErrorBox();
  EXPECT_EQ(Tick(), "");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(
      Tick(true),
      "5 Save As missed|1 Found Error Message|2 Closed Error Message|3 Clicking Final Button|");
  ASSERT_TRUE(rig_.state().AwaitingSaveAs);
  OpenSaveAs();
  rig_.NextTick();
  EXPECT_EQ(std::tuple(Sent().back(), rig_.state().NextNameIndex, Listed()),
            std::tuple("Save As:%na0%s+", 0, "as typed"));  // no image of a0: it goes again
  rig_.files.PutFile(rig_.ImagePath("a0"), SmallBmp(1));
  rig_.state().NextNameIndex = kPendingNameSlots;
  Await();
  rig_.NextTick();  // a0 saved; past the queue every slot is empty
  EXPECT_EQ(std::tuple(rig_.state().Running, Sent().size()), std::tuple(false, 3u));
}

TEST_F(CycleTest, MeterHighlightsOneLineAndKeepsTheOtherTextsAfterPumping) {
  rig_.cycle().Meter(9, "Waiting", 18000);
  rig_.cycle().Meter(3, "Clicking Final Button", 0);
  // The pause of line 9 goes on.
  EXPECT_EQ(
      std::tuple(RedLines(), rig_.controls().Text(DelayText(9)), rig_.controls().Text(DelayText(0)),
                 Label(), rig_.state().Pausing, rig_.host.Repaints(DelayText(3))),
      std::tuple("3", "Waiting", "Waiting for Error", "", true, 1));
  for (const int beyond : {-1, kStatusLines}) {  // no line: every line plain again
    rig_.cycle().Meter(3, "Clicking Final Button", 0);
    rig_.cycle().Meter(static_cast<std::int16_t>(beyond), "No Message", 5000);
    EXPECT_EQ(RedLines() + Label(), "") << beyond;
  }
  EXPECT_EQ(rig_.controls().Text(DelayText(3)), "Clicking Final Button");
  bool red_when_pumped = true;  // it pumps before changing anything
  rig_.host.on_pump = [&] { red_when_pumped = rig_.LineIsRed(2); };
  rig_.cycle().Meter(2, "Closed Error Message", 0);
  EXPECT_FALSE(red_when_pumped);
  // A pause runs out once and leaves its label; a new pause replaces the running one.
  rig_.cycle().Meter(9, "Waiting", 18000);
  EXPECT_EQ(Label(), "18000");
  rig_.clock.Advance(300);
  rig_.cycle().Meter(8, "Sent filename", 2000);
  rig_.clock.Advance(1999);
  EXPECT_TRUE(rig_.state().Pausing);
  rig_.clock.Advance(1);
  EXPECT_EQ(std::tuple(rig_.state().Pausing, rig_.controls()[kSleepTimer].timer_enabled, Label()),
            std::tuple(false, false, "2000"));
  rig_.state().Pausing = true;
  rig_.clock.Advance(20000);
  EXPECT_TRUE(rig_.state().Pausing) << "the first pause fired after all";
}

// Windows whose program cannot be told count by their titles alone. The text of Combo1 ends as the
// DeskScan title that comes last in z-order; the list holds every title but the empty ones,
// topmost first, down to the terminal and the operator window.
TEST(CensusTest, CountsAndListsTitlesPumpingOncePerWindowAndIsNotReentered) {
  // The titles, opened in this order (the last is topmost); the DeskScan windows counted, whether a
  // "Save As" is present, and the text of Combo1.
  const std::tuple<Texts, int, bool, std::string> cases[] = {
      {{"", "SAVE AS...", ""}, 0, true, ""},
      {{"my deskscan", "x"}, 1, false, "my deskscan"},
      {{"SaveAs", "Save  As", "Desk Scan"}, 0, false, ""},
      {{"DeskScan: save as"}, 1, true, "DeskScan: save as"},
      {{"DeskScan B", "Editor", "DeskScan A"}, 2, false, "DeskScan B"},
  };
  for (const auto& [titles, deskscan_count, save_as_present, combo_text] : cases) {
    Rig rig;
    for (const std::string& title : titles)
      rig.desktop.SetProgram(rig.desktop.OpenWindow(title), 0);
    rig.cycle().LoadTaskList();
    EXPECT_EQ(std::tuple(rig.state().DeskScanCount, rig.state().SaveAsPresent,
                         rig.controls().Text(kCombo1)),
              std::tuple(deskscan_count, save_as_present, combo_text))
        << Joined(titles);
    Texts listed(titles.rbegin(), titles.rend());
    std::erase(listed, "");
    listed.insert(listed.end(), {"Terminal", ScannerFormLayout().caption});
    EXPECT_EQ(rig.controls()[kCombo1].items, listed);
  }
  // It pumps once per window, repeats exactly, skips a window gone and is not entered again.
  Rig rig;
  rig.scanner->Start();
  int pumps = 0;
  rig.host.on_pump = [&] { ++pumps; };
  rig.cycle().LoadTaskList();
  EXPECT_EQ(pumps, 3);  // operator window, terminal, DeskScan II
  const auto first = rig.controls()[kCombo1].items;
  rig.Click(kCommand4);  // "ReLoad Task List"
  EXPECT_EQ(rig.controls()[kCombo1].items, first);
  rig.desktop.VanishDuringNextCensus();
  rig.cycle().LoadTaskList();
  EXPECT_EQ(std::tuple(rig.desktop.Faults().windows_vanished, rig.controls()[kCombo1].items,
                       rig.state().DeskScanCount),
            std::tuple(1, first, 1));
  // ReLoad pressed while a census pumps neither counts twice nor touches the run.
  rig.desktop.OpenWindow("DeskScan Error", rig.scanner->MainWindow());
  rig.state().Running = true;
  rig.state().AwaitingSaveAs = true;
  rig.cycle().Meter(4, "Verifying Last Save", 0);
  pumps = 0;
  rig.host.on_pump = [&] {
    if (++pumps == 2) rig.Click(kCommand4);
  };
  rig.cycle().LoadTaskList();
  EXPECT_EQ(std::tuple(rig.state().DeskScanCount, rig.controls()[kCombo1].items.size(),
                       rig.state().Running, rig.state().AwaitingSaveAs, rig.LineIsRed(4)),
            std::tuple(2, 4u, true, true, true));
}

TEST_F(CycleTest, StopAndABareClickEmptyOnlyTheLastFilename) {
  for (const ControlId click : {kStopCommand, kNone}) {
    AwaitSaveAs({"a1", "a2"}, "a1");
    rig_.state().NextNameIndex = 1;
    rig_.state().CurrentNumber = 7;
    rig_.controls().SetText(kSendLabel, "Sending: a1");
    rig_.cycle().Meter(9, "Waiting", 18000);
    rig_.Click(click);
    const RunState& s = rig_.state();
    // A running pause runs out by itself; Stop! takes a census.
    EXPECT_EQ(std::tuple(s.Running, s.AwaitingSaveAs, s.LastFilename, s.NextNameIndex,
                         s.CurrentNumber, s.PendingNames[1], s.Pausing, s.DeskScanCount),
              std::tuple(false, false, "", 1, 7, "a2", true, 1));
    EXPECT_EQ(std::tuple(rig_.controls().Text(kSendLabel), rig_.LineIsRed(9)),
              std::tuple("Sending: a1", false));
  }
}

}  // namespace
}  // namespace quorvel::harness
