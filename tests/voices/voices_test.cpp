// SPDX-License-Identifier: GPL-3.0-or-later
#include "voices/registration.h"

#include <QMap>
#include <QTemporaryDir>

#include <array>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "core/text.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "sound/wave_reader.h"
#include "support/card_project.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "voices/registration_session.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

SoundInfo Format(uint32_t rate, uint16_t bits, uint16_t channels = 1) {
  SoundInfo info;
  info.FormatTag = 1;
  info.Channels = channels;
  info.SampleRate = rate;
  info.BitsPerSample = bits;
  return info;
}

// Whether a format check accepts, and the message it refuses with: 0 composed, -1 none.
std::pair<bool, int> Check(const SoundInfo& info, int mode, const QString& path = {},
                           bool stereo = false) {
  const CheckResult checked = CheckSoundFormat(info, path, QString(), {mode, stereo, 0});
  return {checked.passed, checked.reason ? checked.reason->number : -1};
}

TEST(CheckSoundFormat, NameRulesComeFirst) {
  // A full-width name is refused before anything else is looked at.
  EXPECT_EQ(Check(Format(48000, 16, 2), 1, u"/snd/案内.wav"_s), std::make_pair(false, 2062));
  EXPECT_EQ(Check(Format(22050, 16), 1, u"/snd/ABCDEFGH.wav"_s), std::make_pair(true, -1));
  EXPECT_EQ(Check(Format(22050, 16), 1, u"/snd/ABCDEFGHI.wav"_s), std::make_pair(false, 2076));
  EXPECT_EQ(Check(Format(22050, 16), 1, QString()), std::make_pair(true, -1));  // no name to check

  // The forbidden-character text names the list and the series' kind of file.
  const MessageRequest wave =
      CheckSoundFormat(Format(22050, 16), u"/snd/a-b.wav"_s, {}, {1, 0, 0}).reason.value();
  EXPECT_EQ(wave.text, GetMessage(2077) + ForbiddenCharList() +
                           u" が含まれるWAVEファイルは使用できません。\r\n"_s);
  EXPECT_EQ(wave.title_number, msg::kTitleConfirm);
  EXPECT_TRUE(CheckSoundFormat(Format(44100, 16), u"x(1).mp3"_s, {}, {7, 0, 0})
                  .reason.value()
                  .text.contains(u" が含まれるmp3ファイル"_s));
}

TEST(CheckSoundFormat, StereoBitsAndRatesBySeriesAndTheLoadSuffix) {
  // rate, bits, channels, series, stereo accepted, the message refusing (-1: none)
  const std::array<int, 6> rows[] = {
      {22050, 16, 2, 1, 0, 2100}, {22050, 16, 2, 1, 1, -1},   {44100, 16, 1, 6, 0, 2105},
      {32000, 16, 1, 6, 0, -1},   {22050, 16, 1, 0, 0, 2101}, {22050, 8, 1, 0, 0, -1},
      {48000, 8, 1, 0, 0, -1},    {11025, 16, 1, 1, 0, 2103}, {11025, 16, 1, 4, 0, 2103},
      {8000, 16, 1, 0, 0, 2101},  {8000, 16, 1, 2, 0, -1},    {8000, 16, 1, 3, 0, -1},
      {8000, 16, 1, 5, 0, -1},    {8000, 16, 1, 6, 0, -1},    {48000, 16, 1, 2, 0, 2104},
      {6400, 8, 1, 0, 0, -1}};
  for (const auto& [rate, bits, channels, mode, stereo, message] : rows) {
    EXPECT_EQ(Check(Format(rate, bits, channels), mode, {}, stereo),
              std::pair(message < 0, message))
        << rate << " Hz " << bits << " bits " << channels << " channels, series " << mode;
  }
  for (int mode = 1; mode <= 6; ++mode) {  // the demo project's sounds
    EXPECT_EQ(Check(Format(22050, 16), mode), std::make_pair(true, -1)) << mode;
  }
  // MP3: neither rate nor bit rate is examined, only mono.
  SoundInfo mp3 = Format(24000, 320);
  EXPECT_EQ(Check(mp3, 7), std::make_pair(true, -1));
  mp3.Channels = 0;
  EXPECT_EQ(Check(mp3, 7), std::make_pair(false, 2100));
  // A load's suffix follows the series' refusal on a line of its own.
  const MessageRequest load =
      CheckSoundFormat(Format(44100, 16), {}, GetMessage(2039), {6, 0, 0}).reason.value();
  EXPECT_EQ(load.text, GetMessage(2105) + GetMessage(2039) + u"\r\n"_s);
  EXPECT_EQ(std::pair(load.title_number, load.icon),
            std::pair(msg::kTitleCaution, MessageIcon::kExclamation));
}

class RegisterTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSoundBackend(MakeSdlSoundBackend()); }

  QString File(const QString& name, const QByteArray& bytes) {
    return testing::FileIn(dir_, name, bytes);
  }
  QString Wave(const QString& name, uint32_t rate = 22050, uint16_t bits = 16, int ms = 200,
               uint16_t channels = 1) {
    return File(name, testing::WaveOfLength(rate, channels, bits, ms));
  }

  RegistrationResult Register(WorkingVoiceList& list, const QStringList& paths, int mode,
                              bool stereo = false, int capacity = 0) {
    op_ = {};
    return RegisterFiles(list, paths, {mode, stereo, capacity}, op_);
  }

  QTemporaryDir dir_;
  testing::ScriptedOperator op_;
};

TEST_F(RegisterTest, FillsRecordsAndSkipsRefusedFiles) {
  WorkingVoiceList list(255);
  const QStringList paths = {Wave(u"A01.wav"_s, 22050, 16, 1500), Wave(u"B-2.wav"_s),
                             Wave(u"stereo.wav"_s, 22050, 16, 200, 2), File(u"text.wav"_s, "hi"_ba),
                             Wave(u"C03.wav"_s, 44100, 8, 250)};
  const RegistrationResult result = Register(list, paths, 1);
  EXPECT_EQ(std::tuple(result.processed, result.registered, result.last_slot), std::tuple(5, 2, 1));
  // Each refusal names its file, all of them in one list at the end.
  std::vector<std::pair<QString, int>> refused;
  for (const Refusal& refusal : result.refused) {
    refused.emplace_back(FileNameOf(refusal.path), refusal.message.number);
  }
  EXPECT_EQ(refused, (std::vector<std::pair<QString, int>>{
                         {u"B-2.wav"_s, 0}, {u"stereo.wav"_s, 2100}, {u"text.wav"_s, 2601}}));
  ASSERT_EQ(op_.Numbers(), std::vector<int>{0});
  EXPECT_EQ(op_.shown[0].text, RefusalListText(result.refused));  // its form: the next test
  EXPECT_EQ(std::pair(op_.busy_depth, op_.max_busy_depth), std::pair(0, 1));
  // The measured length, the file's size and its path reach the record.
  EXPECT_EQ(std::make_tuple(list[0].NAME, list[0].SEC, list[0].BYTES, list[0].FilePath),
            std::make_tuple(u"A01.wav"_s, u"1.500"_s, QString::number(44 + 66150), paths[0]));
  EXPECT_EQ(list[1].NAME, u"C03.wav"_s);
}

// A run ends at a header refusal, the capacity or a full list; every file it
// did not take is in the one list, with why: its own refusal, or why the run
// had ended before it.
TEST_F(RegisterTest, EveryFileNotRegisteredIsListedWithWhy) {
  QByteArray exact = testing::Mp3Frames(117, {128});  // 48789 bytes of frames
  exact += QByteArray(49000 - exact.size(), '\0');
  const QByteArray plain = testing::WaveOfLength(22050, 1, 16, 100);
  const QMap<QString, QByteArray> files = {
      {u"a.wav"_s, plain},
      {u"b.wav"_s, plain},
      {u"c.wav"_s, plain},
      {u"d.wav"_s, plain},
      {u"st.wav"_s, testing::WaveOfLength(22050, 2, 16, 100)},
      {u"e.wav"_s, testing::WaveOfLength(22050, 1, 8, 100)},  // 8 bits, as series 0 takes them
      {u"h.wav"_s, testing::WaveOfLength(48000, 1, 8, 100)},  // no device plays it
      {u"b.mp3"_s, exact},                                    // the whole of the smallest capacity
      {u"s.mp3"_s, testing::Mp3Frames(3, {32})},
      {u"t.mp3"_s, testing::Mp3Frames(2, {32})},
  };
  const QString full = MaximumCountText(255);
  const QString reached = RegistrationText(kCapacityReachedText);
  const QString stopped = RegistrationText(kRunStoppedText);
  struct Row {
    int mode;
    int capacity;
    int filled;              // slots of the 255 taken before the run
    const char* names;       // in the order chosen
    const char* registered;  // after the slots taken before
    std::vector<std::pair<const char*, QString>> not_registered;  // name, why
  };
  const Row rows[] = {
      // the list fills; a format refusal, then the list fills; a header refusal
      {1, 0, 253, "a.wav b.wav c.wav d.wav", "a.wav b.wav", {{"c.wav", full}, {"d.wav", full}}},
      {1, 0, 254, "st.wav a.wav b.wav", "a.wav", {{"st.wav", GetMessage(2100)}, {"b.wav", full}}},
      {0, 0, 0, "e.wav h.wav a.wav", "e.wav", {{"h.wav", GetMessage(2512)}, {"a.wav", stopped}}},
      // capacity 49,000 bytes, then no practical limit
      {7, 0, 0, "b.mp3 s.mp3 t.mp3", "b.mp3", {{"s.mp3", GetMessage(2514)}, {"t.mp3", reached}}},
      {7, 3, 0, "b.mp3 s.mp3 t.mp3", "b.mp3 s.mp3 t.mp3", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(&row - rows);
    WorkingVoiceList list(255);
    for (int slot = 0; slot < row.filled; ++slot) {
      list[slot].NAME = u"v%1.wav"_s.arg(slot);
      list[slot].BYTES = u"100"_s;
    }
    QStringList paths;
    for (const QString& name : QString::fromLatin1(row.names).split(u' ')) {
      paths << File(name, files.value(name));
    }
    const RegistrationResult result = Register(list, paths, row.mode, 0, row.capacity);
    QStringList registered;
    for (const VoiceRecord& voice : list.Voices().mid(row.filled)) {
      registered << voice.NAME;
    }
    EXPECT_EQ(registered.join(u' '), QString::fromLatin1(row.registered));
    std::vector<std::pair<QString, QString>> not_registered;
    for (const Refusal& refusal : result.refused) {
      not_registered.emplace_back(FileNameOf(refusal.path), refusal.message.text);
    }
    const QString shown = op_.shown.empty() ? QString() : op_.shown.back().text;
    ASSERT_EQ(not_registered.size(), row.not_registered.size());
    for (size_t i = 0; i < not_registered.size(); ++i) {
      const auto& [name, why] = row.not_registered[i];
      EXPECT_EQ(not_registered[i], std::make_pair(QString::fromLatin1(name), why));
      EXPECT_TRUE(shown.contains(QString::fromLatin1(name) + u"："_s + why.simplified())) << name;
    }
  }
  // Where the list stops naming files one by one, it still counts them all.
  QList<Refusal> many(40, Refusal{u"x.wav"_s, {}, false});
  many.back().path = u"y.wav"_s;
  EXPECT_TRUE(RefusalListText(many).startsWith(u"次の 2 ファイル"_s));
}

TEST_F(RegisterTest, CapacitySumDoesNotOverflow) {
  WorkingVoiceList list(255);
  list[0].NAME = u"huge1.wav"_s;
  list[0].BYTES = u"2147483000"_s;
  list[1].NAME = u"huge2.wav"_s;
  list[1].BYTES = u" "_s;  // blank counts nothing
  EXPECT_EQ(list.TotalBytes(), 2147483000);
  Register(list, {Wave(u"a.wav"_s)}, 1);
  // One file: its own message, with its name.
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2513});
  EXPECT_EQ(op_.shown[0].text, u"a.wav\r\n\r\n"_s + GetMessage(2513));
  EXPECT_EQ(list.Voices().size(), 2);
}

TEST_F(RegisterTest, MaximumCount) {
  // A list of three slots stands for the series' 255.
  WorkingVoiceList list(3);
  const QStringList four = {Wave(u"a.wav"_s), Wave(u"b.wav"_s), Wave(u"c.wav"_s), Wave(u"d.wav"_s)};
  const RegistrationResult result = Register(list, four, 1);
  EXPECT_EQ(result.registered, 3);
  EXPECT_EQ(op_.shown.at(0).text, u"登録出来るVoiceデータは最大3です。"_s);
  // Full: only the text, nothing read.
  EXPECT_EQ(Register(list, {Wave(u"e.wav"_s)}, 1).processed, 0);
  EXPECT_EQ(op_.shown.size(), 1u);
  // A freed slot in the middle is filled first.
  list[1] = VoiceRecord();
  Register(list, {Wave(u"f.wav"_s)}, 1);
  EXPECT_EQ(list[1].NAME, u"f.wav"_s);
}

TEST_F(RegisterTest, AFileWhoseLengthCannotBeMeasuredIsRefused) {
  // A "data" id and nothing after it: no voice is registered with a length of -1 ms.
  QByteArray bytes = testing::WaveBytes({.with_data = false}) + "data"_ba;
  bytes.replace(4, 4, testing::Le32Bytes(static_cast<uint32_t>(bytes.size() - 8)));
  const QString path = File(u"nodata.wav"_s, bytes);
  WorkingVoiceList list(255);
  const RegistrationResult result = Register(list, {path, Wave(u"next.wav"_s)}, 1);
  ASSERT_EQ(result.refused.size(), 1);
  EXPECT_EQ(result.refused[0].message.text, TruncatedSoundText());
  ASSERT_EQ(list.Voices().size(), 1);  // the run goes on with the next file
  EXPECT_EQ(list[0].NAME, u"next.wav"_s);
}

TEST_F(RegisterTest, OnlyWhatAConversionMendsIsOfferedForConversion) {
  const auto convertible = [](int number, const QString& text) {
    MessageRequest message;
    message.number = number;
    message.text = text;
    return IsConvertibleRefusal(message);
  };
  EXPECT_TRUE(convertible(2103, GetMessage(2103)));                     // a rate
  EXPECT_TRUE(convertible(0, GetMessage(2077) + ForbiddenCharList()));  // a name
  EXPECT_FALSE(convertible(2513, GetMessage(2513)));                    // the capacity
  EXPECT_FALSE(convertible(0, TruncatedSoundText()));                   // a file cut short
  // The window asks once, for the stereo file, not the duplicate; the command line only lists.
  const QStringList paths = {Wave(u"st.wav"_s, 22050, 16, 200, 2), Wave(u"ok.wav"_s),
                             File(u"again/OK.WAV"_s, testing::WaveOfLength(22050, 1, 16, 300))};
  for (const bool offer : {true, false}) {
    WorkingVoiceList list(255);
    op_ = {};
    op_.Answer(MessageAnswer::kYes);
    const RegistrationResult result = RegisterFiles(list, paths, {1, 0, 0, offer}, op_);
    EXPECT_EQ(result.ConvertiblePaths(), QStringList{paths[0]});
    ASSERT_EQ(result.refused.size(), 2);
    // A duplicate in any case, from any folder: refused, the first stays.
    EXPECT_EQ(result.refused[1].message.text, u"指定のファイルOK.WAV は既に存在します。"_s);
    EXPECT_EQ(std::make_pair(list.Voices().size(), list[0].FilePath),
              std::make_pair(qsizetype{1}, paths[1]));
    ASSERT_EQ(op_.shown.size(), 1u);
    EXPECT_TRUE(op_.shown[0].text.startsWith(RefusalListText(result.refused)));
    EXPECT_EQ(std::tuple(op_.shown[0].buttons, result.conversion_wanted, op_.AllAnswersUsed()),
              std::tuple(offer ? MessageButtons::kYesNo : MessageButtons::kOk, offer, offer));
  }
}

// ------------------------------------------------------------ the session

class SessionTest : public ::testing::Test {
 protected:
  void UseMode(int mode, int voices) {
    testing::UseSeries(project_, mode);
    testing::AddVoices(project_, voices, u"0.250"_s, u"1000"_s);
  }
  QString Settings() const { return dir_.filePath(u"ParlatoneEditorV3.ini"_s); }

  QTemporaryDir dir_;
  Project project_;
  testing::ScriptedOperator op_;
};

TEST_F(SessionTest, LongCommentBlocksOkAndMovesCrossPages) {
  UseMode(4, 300);
  RegistrationSession session(project_, Settings());
  session.EditComment(270, QString(20, QChar(u'案')));
  session.EditComment(3, QString(40, u'x'));
  session.EditComment(280, QString(21, QChar(u'案')));
  const RegistrationSession::OkResult result = session.Ok(op_);
  EXPECT_EQ(std::tuple(result.closed, result.long_comment_slot, session.PageOfSlot(280)),
            std::tuple(false, 280, 1));
  EXPECT_EQ(op_.shown.at(0).text, GetMessage(2066) + u"\r\nNo.281（v280.wav）のコメント"_s);
  EXPECT_TRUE(project_.voices.at(280).COMENTS.isEmpty());  // nothing committed
  // Moves go across pages, and are a change.
  RegistrationSession moving(project_, Settings());
  EXPECT_EQ(moving.MoveUp(250), 249);
  EXPECT_EQ(moving.List()[249].NAME, u"v250.wav"_s);
  EXPECT_FALSE(moving.MoveUp(0));
  EXPECT_EQ(moving.MoveDown(249), 250);
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(moving.Cancel(op_));  // asked: the moves are a change
}

TEST_F(SessionTest, OkOrCancelRightAfterOpeningThenACommentAndADelete) {
  UseMode(1, 5);
  const QList<VoiceRecord> before = project_.voices;
  RegistrationSession session(project_, Settings());
  EXPECT_EQ(session.TotalTimeText() + session.TotalBytesText(), u"1.25秒5000バイト"_s);
  // Unchanged: OK commits nothing and writes no capacity; Cancel asks nothing.
  EXPECT_TRUE(RegistrationSession(project_, Settings()).Ok(op_).closed);
  EXPECT_EQ(project_.voices, before);
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_EQ(ReadSettings(Settings()).FileCapacity, 0);
  EXPECT_TRUE(RegistrationSession(project_, Settings()).Cancel(op_) && op_.shown.empty());
  // A comment alone makes Cancel ask; a delete asks and closes the gap.
  session.EditComment(0, u"始業"_s);
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.Cancel(op_));
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.Delete(2, op_));
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session.Delete(2, op_));
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2026, 2028, 2028}));
  EXPECT_EQ(session.List()[2].NAME + session.List()[3].NAME + session.List()[4].NAME,
            u"v3.wavv4.wav"_s);
  ASSERT_TRUE(session.Ok(op_).closed);
  EXPECT_EQ(std::tuple(project_.voices.size(), project_.voices[0].COMENTS, project_.PageEdited[0]),
            std::tuple(qsizetype{4}, u"始業"_s, true));
}

// Every change of the list is announced with the slots it touched, and
// nothing else is.
TEST_F(SessionTest, ChangesAnnounceTheirSlots) {
  UseMode(1, 5);
  RegistrationSession session(project_, Settings());
  std::vector<std::pair<int, int>> announced;
  QObject::connect(&session, &RegistrationSession::VoicesChanged,
                   [&](int first, int last) { announced.emplace_back(first, last); });
  const QString wave = testing::FileIn(dir_, u"new.wav"_s, testing::WaveOfLength(22050, 1, 16, 100));
  const int last = session.List().size() - 1;
  struct Row {
    const char* change;
    std::function<void()> run;
    std::vector<std::pair<int, int>> slots;
    MessageAnswer answer = MessageAnswer::kYes;
  };
  const Row rows[] = {
      {"comment", [&] { session.EditComment(1, u"始業"_s); }, {{1, 1}}},
      {"same comment", [&] { session.EditComment(1, u"始業"_s); }, {}},
      {"registered", [&] { session.Register({wave}, op_); }, {{5, 5}}},
      {"moved up", [&] { session.MoveUp(3); }, {{2, 3}}},
      {"moved down", [&] { session.MoveDown(0); }, {{0, 1}}},
      {"last cannot move down", [&] { session.MoveDown(5); }, {}},
      {"delete declined", [&] { session.Delete(2, op_); }, {}, MessageAnswer::kNo},
      {"deleted", [&] { session.Delete(2, op_); }, {{2, last}}},
      {"all deleted", [&] { session.DeleteAll(op_); }, {{0, last}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.change);
    announced.clear();
    op_ = {};
    op_.Answer(row.answer);
    row.run();
    EXPECT_EQ(announced, row.slots);
  }
}

// A capacity choice the voices still fit in keeps them without a word; one
// they do not fit in asks, and empties the list only on Yes.
TEST_F(SessionTest, CapacityChoiceEmptiesOnlyWhatNoLongerFits) {
  // Capacity index before and chosen, bytes of each of two voices, the answer asked; after.
  const std::tuple<int, int, const char*, std::optional<MessageAnswer>, int, qsizetype> rows[] = {
      {1, 2, "40000", std::nullopt, 2, 2},  // raised
      {3, 0, "20000", std::nullopt, 0, 2},  // lowered, 40,000 within 49,000
      {3, 0, "30000", MessageAnswer::kNo, 3, 2},
      {3, 0, "30000", MessageAnswer::kYes, 0, 0},
  };
  for (const auto& [from, to, bytes, answer, capacity_after, voices_after] : rows) {
    SCOPED_TRACE(from * 10 + to);
    Project project;
    project.settings.FileCapacity = from;
    testing::UseSeries(project, 7);
    testing::AddVoices(project, 2, u"0.250"_s, QString::fromLatin1(bytes));
    op_ = {};
    RegistrationSession session(project, Settings());
    int emptied = 0;
    QObject::connect(&session, &RegistrationSession::VoicesChanged, [&] { ++emptied; });
    if (answer) {
      op_.Answer(*answer);
    }
    EXPECT_EQ(session.ChangeCapacity(to, op_), capacity_after == to);
    EXPECT_EQ(op_.Numbers(), answer ? std::vector<int>{2020} : std::vector<int>{});
    EXPECT_EQ(std::tuple(session.Capacity(), session.List().Voices().size(), emptied),
              std::tuple(capacity_after, voices_after, voices_after == 0 ? 1 : 0));
  }
  // Cancel after a change asks; No stays, Yes restores the capacity of the opening.
  UseMode(7, 2);
  project_.settings.FileCapacity = 3;
  op_ = {};
  RegistrationSession session(project_, Settings());
  EXPECT_TRUE(session.ChangeCapacity(2, op_));
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.Cancel(op_));
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session.Cancel(op_));
  EXPECT_EQ(project_.settings.FileCapacity, 3);
  EXPECT_EQ(project_.voices.size(), 2);  // never committed
}

}  // namespace
}  // namespace parlatone
