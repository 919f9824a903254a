// The life of the operator window: EXIT, the close command, and the focus leaving the seed
// filename.
#include <gtest/gtest.h>

#include "tests/rig.h"

namespace quorvel::harness {
namespace {

class WindowEventsTest : public ::testing::Test {
 protected:
  WindowEventsTest() { rig_.form.Load(); }
  std::string Ini() { return IniPathFor(rig_.files.ProgramFolder(), kPathSeparator); }
  std::string Entries() {
    const std::string text = rig_.files.Contents(Ini()).value_or("");
    return text.substr(std::min(text.find("top="), text.size()));
  }
  // After the program has ended nothing writes the settings again, and no timer or event runs.
  void ExpectNothingRunsAfterTheEnd() {
    ASSERT_TRUE(rig_.host.QuitRequested());
    rig_.files.PutFile(Ini(), "gone");
    int calls = 0;
    rig_.host.on_pump = [&] { ++calls; };
    rig_.host.on_modal = [&](SaveDirForm&) { ++calls; };
    rig_.form.Terminate();
    rig_.Click(ControlId::kExitCommand);
    rig_.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);
    rig_.clock.Advance(60000);
    EXPECT_EQ(rig_.files.Contents(Ini()), "gone");
    EXPECT_EQ(calls, 0);
  }
  Rig rig_;
};

TEST_F(WindowEventsTest, ExitDuringAPauseWritesTheSettingsOnceAndEndsAtOnce) {
  rig_.host.MoveWindow({600, 900});
  rig_.state().Delay = 1234;
  rig_.cycle().Meter(9, "Waiting", 18000);
  rig_.Click(ControlId::kExitCommand);
  EXPECT_EQ(Entries(), "top=600\r\nleft=900\r\ndelay=1234\r\n");
  rig_.clock.Advance(20000);
  EXPECT_TRUE(rig_.state().Pausing) << "the pause timer fired after the end";
  ExpectNothingRunsAfterTheEnd();
}

TEST_F(WindowEventsTest, ExitInTheMiddleOfATickEndsTheTickToo) {
  rig_.StartSeries({"a", "b"});
  bool clicked = false;
  rig_.host.on_pump = [&] {
    if (!std::exchange(clicked, true)) rig_.Click(ControlId::kExitCommand);
  };
  rig_.steps.clear();
  rig_.clock.Advance(2500);
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(rig_.steps.empty()) << "the tick went on after EXIT";
  ExpectNothingRunsAfterTheEnd();
}

TEST_F(WindowEventsTest, CloseCommandWritesThePositionAtClosingAndEnds) {
  rig_.form.FocusChanged(ControlId::kSeedText, ControlId::kSeedNumberText);  // picker made
  ASSERT_NE(rig_.form.Picker(), nullptr);
  rig_.host.MoveWindow({45, 30});
  rig_.form.Terminate();
  EXPECT_EQ(Entries(), "top=45\r\nleft=30\r\ndelay=18000\r\n");
  EXPECT_FALSE(rig_.form.Picker()->Visible());
  ExpectNothingRunsAfterTheEnd();
}

// Not when another program took the focus (kNone), nor for the picker's own button.
TEST(WindowEventsFocusTest, OnlyLeavingTheSeedFilenameForTheOperatorWindowOpensThePicker) {
  const struct {
    ControlId from, to;
    bool opens;
  } cases[] = {{ControlId::kSeedText, ControlId::kSeedNumberText, true},
               {ControlId::kSeedText, Option1(5), true},
               {ControlId::kSeedText, ControlId::kNone, false},
               {ControlId::kSeedText, ControlId::kCommand1, false},
               {ControlId::kSeedText, ControlId::kSeedText, false},
               {ControlId::kSeedNumberText, ControlId::kSeedText, false},
               {ControlId::kNone, ControlId::kSeedNumberText, false}};
  for (const auto& c : cases) {
    Rig rig;
    int shown = 0;
    rig.host.on_modal = [&](SaveDirForm&) { ++shown; };
    rig.form.FocusChanged(c.from, c.to);
    EXPECT_EQ(shown, c.opens ? 1 : 0) << Index(c.from) << " -> " << Index(c.to);
    EXPECT_EQ(rig.state().SaveFolder, c.opens ? rig.files.CurrentFolder() : rig.folder);
  }
}

}  // namespace
}  // namespace quorvel::harness
