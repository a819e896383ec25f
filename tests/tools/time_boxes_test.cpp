#include "tools/time_boxes.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(TimeBoxes, LeavingClampsAndWritesTwoDigits) {
  EXPECT_EQ(LeaveTimeBox(u"61"_s, kMaxMinutes), u"60"_s);
  EXPECT_EQ(LeaveTimeBox(u"75"_s, kMaxSeconds), u"59"_s);
  EXPECT_EQ(LeaveTimeBox(u"5"_s, kMaxSeconds), u"05"_s);
  EXPECT_EQ(LeaveTimeBox(u"005"_s, kMaxSeconds), u"05"_s);
  EXPECT_EQ(LeaveTimeBox(u"60"_s, kMaxMinutes), u"60"_s);
  EXPECT_EQ(LeaveTimeBox(u"0"_s, kMaxMinutes), u"00"_s);
  EXPECT_EQ(LeaveTimeBox(u"-3"_s, kMaxMinutes), u"00"_s);
  EXPECT_EQ(LeaveTimeBox(u" 7 "_s, kMaxMinutes), u"07"_s);
  // A pasted run of digits far beyond any integer is still a number.
  EXPECT_EQ(LeaveTimeBox(u"99999999999999999999"_s, kMaxMinutes), u"60"_s);
  // Not numbers: left as they are.
  EXPECT_EQ(LeaveTimeBox(QString(), kMaxMinutes), QString());
  EXPECT_EQ(LeaveTimeBox(u"  "_s, kMaxMinutes), u"  "_s);
  EXPECT_EQ(LeaveTimeBox(u"1a"_s, kMaxMinutes), u"1a"_s);
  EXPECT_EQ(LeaveTimeBox(u"-"_s, kMaxMinutes), u"-"_s);
}

TEST(TimeBoxes, SpinnerStepsWithinTheRange) {
  EXPECT_EQ(StepTimeBox(QString(), kMaxMinutes, 1), u"01"_s);  // empty counts as 0
  EXPECT_EQ(StepTimeBox(QString(), kMaxMinutes, -1), u"00"_s);
  EXPECT_EQ(StepTimeBox(u"09"_s, kMaxSeconds, 1), u"10"_s);
  EXPECT_EQ(StepTimeBox(u"59"_s, kMaxSeconds, 1), u"59"_s);
  EXPECT_EQ(StepTimeBox(u"60"_s, kMaxMinutes, 1), u"60"_s);
  EXPECT_EQ(StepTimeBox(u"00"_s, kMaxSeconds, -1), u"00"_s);
  EXPECT_EQ(StepTimeBox(u"7"_s, kMaxSeconds, -1), u"06"_s);
  // Typed out of range and not yet left: steps from the edge of the range.
  EXPECT_EQ(StepTimeBox(u"75"_s, kMaxSeconds, -1), u"58"_s);
  EXPECT_EQ(StepTimeBox(u"75"_s, kMaxSeconds, 1), u"59"_s);

  EXPECT_EQ(FillTimeBox(QString()), u"00"_s);
  EXPECT_EQ(FillTimeBox(u"  "_s), u"00"_s);
  EXPECT_EQ(FillTimeBox(u"5"_s), u"5"_s);

  EXPECT_EQ(TimeBoxValue(u"75"_s, kMaxSeconds), 59);
  EXPECT_EQ(TimeBoxValue(u"07"_s, kMaxSeconds), 7);
  EXPECT_EQ(TimeBoxValue(QString(), kMaxSeconds), 0);
  EXPECT_EQ(TimeBoxValue(u"x"_s, kMaxSeconds), 0);
}

TEST(TimeBoxes, KeysTheBoxesTake) {
  const auto discards = [](int key, const QString& text,
                           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return TimeBoxDiscardsKey(key, modifiers, text);
  };
  for (int digit = 0; digit <= 9; ++digit) {
    EXPECT_FALSE(discards(Qt::Key_0 + digit, QString::number(digit))) << digit;
  }
  EXPECT_FALSE(discards(Qt::Key_Backspace, u"\b"_s));
  // Copy, paste and cut, with the text a keyboard or a test driver gives them.
  for (const auto& [key, control_text, letter] :
       {std::tuple{Qt::Key_C, u"\x03"_s, u"c"_s}, std::tuple{Qt::Key_V, u"\x16"_s, u"v"_s},
        std::tuple{Qt::Key_X, u"\x18"_s, u"x"_s}}) {
    EXPECT_FALSE(discards(key, control_text, Qt::ControlModifier));
    EXPECT_FALSE(discards(key, letter, Qt::ControlModifier));
    EXPECT_TRUE(discards(key, letter)) << "the letter itself is not a digit";
  }
  EXPECT_TRUE(discards(Qt::Key_A, u"\x01"_s, Qt::ControlModifier));
  EXPECT_TRUE(discards(Qt::Key_Z, u"z"_s, Qt::ControlModifier));
  EXPECT_TRUE(discards(Qt::Key_A, QString(), Qt::ControlModifier));
  EXPECT_TRUE(discards(Qt::Key_Space, u" "_s));
  EXPECT_TRUE(discards(Qt::Key_Minus, u"-"_s));
  EXPECT_TRUE(discards(Qt::Key_Period, u"."_s));
  EXPECT_TRUE(discards(Qt::Key_unknown, u"５"_s));  // a full-width digit
  EXPECT_TRUE(discards(Qt::Key_5, u"5"_s + u"5"_s));
  // Keys that type nothing, and the window's own keys, still work.
  for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Delete,
                  Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Escape, Qt::Key_Return, Qt::Key_F1}) {
    const QString text = key == Qt::Key_Delete   ? u"\x7f"_s
                         : key == Qt::Key_Tab    ? u"\t"_s
                         : key == Qt::Key_Escape ? u"\x1b"_s
                         : key == Qt::Key_Return ? u"\r"_s
                                                 : QString();
    EXPECT_FALSE(discards(key, text)) << key;
  }
  EXPECT_FALSE(discards(Qt::Key_Left, QString(), Qt::ControlModifier));
  EXPECT_FALSE(discards(Qt::Key_C, u"c"_s, Qt::AltModifier));  // a mnemonic
}

}  // namespace
}  // namespace parlatone
