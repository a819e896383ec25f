#include "tools/time_boxes.h"

#include <tuple>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(TimeBoxes, LeavingSpinningFillingAndReading) {
  // 'L' leaving the box (clamp, two digits; not a number stays), '+'/'-' a
  // spinner click (empty is 0; out of range steps from the edge), 'F' the
  // other box after a click, 'V' the number a run takes.
  const int m = kMaxMinutes, s = kMaxSeconds;
  const std::tuple<char, const char16_t*, int, const char16_t*> cases[] = {
      {'L', u"61", m, u"60"},   {'L', u"75", s, u"59"},   {'L', u"5", s, u"05"},
      {'L', u"005", s, u"05"},  {'L', u"60", m, u"60"},   {'L', u"0", m, u"00"},
      {'L', u"-3", m, u"00"},   {'L', u" 7 ", m, u"07"},  {'L', nullptr, m, nullptr},
      {'L', u"  ", m, u"  "},   {'L', u"1a", m, u"1a"},   {'L', u"-", m, u"-"},
      {'+', nullptr, m, u"01"}, {'-', nullptr, m, u"00"}, {'+', u"09", s, u"10"},
      {'+', u"59", s, u"59"},   {'+', u"60", m, u"60"},   {'-', u"00", s, u"00"},
      {'-', u"7", s, u"06"},    {'-', u"75", s, u"58"},   {'+', u"75", s, u"59"},
      {'F', nullptr, 0, u"00"}, {'F', u"  ", 0, u"00"},   {'F', u"5", 0, u"5"},
      {'V', u"75", s, u"59"},   {'V', u"07", s, u"7"},    {'V', nullptr, s, u"0"},
      {'V', u"x", s, u"0"},
  };
  for (const auto& [act, chars, max, expected] : cases) {
    const QString text = QString::fromUtf16(chars);
    const QString got = act == 'L'   ? LeaveTimeBox(text, max)
                        : act == 'F' ? FillTimeBox(text)
                        : act == 'V' ? QString::number(TimeBoxValue(text, max))
                                     : StepTimeBox(text, max, act == '+' ? 1 : -1);
    EXPECT_EQ(got, QString::fromUtf16(expected)) << act << " '" << text.toStdString() << "'";
  }
  // A pasted run of digits far beyond any integer is still a number.
  EXPECT_EQ(LeaveTimeBox(u"99999999999999999999"_s, m), u"60"_s);
}

TEST(TimeBoxes, KeysTheBoxesTake) {
  // Taken: digits, Backspace, Ctrl+C/V/X (with either text a keyboard gives),
  // keys that type nothing and the window's own keys; any other text goes.
  for (int digit = 0; digit <= 9; ++digit) {
    EXPECT_FALSE(TimeBoxDiscardsKey(Qt::Key_0 + digit, {}, QString::number(digit))) << digit;
  }
  const Qt::KeyboardModifiers no{}, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
  const std::tuple<int, Qt::KeyboardModifiers, const char16_t*, bool> cases[] = {
      {Qt::Key_Backspace, no, u"\b", false}, {Qt::Key_C, ctrl, u"\x03", false},
      {Qt::Key_C, ctrl, u"c", false},        {Qt::Key_C, no, u"c", true},
      {Qt::Key_V, ctrl, u"\x16", false},     {Qt::Key_V, ctrl, u"v", false},
      {Qt::Key_V, no, u"v", true},           {Qt::Key_X, ctrl, u"\x18", false},
      {Qt::Key_X, ctrl, u"x", false},        {Qt::Key_X, no, u"x", true},
      {Qt::Key_A, ctrl, u"\x01", true},      {Qt::Key_Z, ctrl, u"z", true},
      {Qt::Key_A, ctrl, nullptr, true},      {Qt::Key_Space, no, u" ", true},
      {Qt::Key_Minus, no, u"-", true},       {Qt::Key_Period, no, u".", true},
      {Qt::Key_unknown, no, u"５", true},    {Qt::Key_5, no, u"55", true},
      {Qt::Key_Left, no, nullptr, false},    {Qt::Key_Right, no, nullptr, false},
      {Qt::Key_Home, no, nullptr, false},    {Qt::Key_End, no, nullptr, false},
      {Qt::Key_Delete, no, u"\x7f", false},  {Qt::Key_Tab, no, u"\t", false},
      {Qt::Key_Backtab, no, nullptr, false}, {Qt::Key_Escape, no, u"\x1b", false},
      {Qt::Key_Return, no, u"\r", false},    {Qt::Key_F1, no, nullptr, false},
      {Qt::Key_Left, ctrl, nullptr, false},  {Qt::Key_C, alt, u"c", false},
  };
  for (const auto& [key, modifiers, text, discarded] : cases) {
    EXPECT_EQ(TimeBoxDiscardsKey(key, modifiers, QString::fromUtf16(text)), discarded)
        << key << " with " << modifiers.toInt();
  }
}

}  // namespace
}  // namespace parlatone
