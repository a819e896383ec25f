#include "voices/registration_session.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class SessionTest : public ::testing::Test {
 protected:
  void UseMode(int mode, int voices) {
    project_.settings.Mode = mode;
    DeriveSeriesLimits(project_);
    for (int v = 0; v < voices; ++v) {
      VoiceRecord voice;
      voice.NAME = u"v%1.wav"_s.arg(v);
      voice.SEC = u"0.250"_s;
      voice.BYTES = u"1000"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = voices > 0;
  }
  QString Settings() const { return dir_.filePath(u"ParlatoneEditorV3.ini"_s); }
  QStringList Names(const RegistrationSession& session) const {
    QStringList names;
    for (const VoiceRecord& voice : session.List().Voices()) {
      names << voice.NAME;
    }
    return names;
  }

  QTemporaryDir dir_;
  Project project_;
  testing::ScriptedOperator op_;
};

TEST_F(SessionTest, LongCommentBlocksOkAndMovesCrossPages) {
  UseMode(4, 300);
  RegistrationSession session(project_, Settings());
  session.EditComment(270, QString(20, QChar(u'案')));
  session.EditComment(3, QString(40, u'x'));
  ASSERT_TRUE(session.Changed());
  session.EditComment(280, QString(21, QChar(u'案')));
  const RegistrationSession::OkResult result = session.Ok(op_);
  EXPECT_FALSE(result.closed);
  EXPECT_EQ(result.long_comment_slot, 280);
  EXPECT_EQ(session.PageOfSlot(280), 1);
  EXPECT_EQ(op_.shown.at(0).text, GetMessage(2066) + u"\r\n"_s);
  EXPECT_TRUE(project_.voices.at(280).COMENTS.isEmpty());  // nothing committed
  // Moves go across pages, and are a change.
  RegistrationSession moving(project_, Settings());
  EXPECT_EQ(moving.MoveUp(250), 249);
  EXPECT_EQ(moving.PageOfSlot(249), 0);
  EXPECT_EQ(moving.List()[249].NAME, u"v250.wav"_s);
  EXPECT_FALSE(moving.MoveUp(0));
  EXPECT_FALSE(moving.MoveDown(299));  // the next slot is empty
  EXPECT_EQ(moving.MoveDown(249), 250);
  EXPECT_TRUE(moving.Changed());
}

TEST_F(SessionTest, OkOrCancelRightAfterOpeningThenACommentAndADelete) {
  UseMode(1, 5);
  const QList<VoiceRecord> before = project_.voices;
  RegistrationSession session(project_, Settings());
  EXPECT_EQ(session.TotalTimeText(), u"1.25秒"_s);
  EXPECT_EQ(session.TotalBytesText(), u"5000バイト"_s);
  // Unchanged: OK commits nothing and writes no capacity; Cancel asks nothing.
  EXPECT_TRUE(RegistrationSession(project_, Settings()).Ok(op_).closed);
  EXPECT_EQ(project_.voices, before);
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_EQ(ReadSettings(Settings()).FileCapacity, 0);
  EXPECT_TRUE(RegistrationSession(project_, Settings()).Cancel(op_));
  EXPECT_TRUE(op_.shown.empty());
  // A comment alone makes Cancel ask; a delete asks and closes the gap.
  session.EditComment(0, u"始業"_s);
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.Cancel(op_));
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.Delete(2, op_));
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session.Delete(2, op_));
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2026, 2028, 2028}));
  EXPECT_EQ(Names(session), (QStringList{u"v0.wav"_s, u"v1.wav"_s, u"v3.wav"_s, u"v4.wav"_s}));
  EXPECT_TRUE(session.List()[4].NAME.isEmpty());
  ASSERT_TRUE(session.Ok(op_).closed);
  EXPECT_EQ(project_.voices.size(), 4);
  EXPECT_EQ(project_.voices[0].COMENTS, u"始業"_s);
  EXPECT_TRUE(project_.PageEdited[0]);
}

TEST_F(SessionTest, CapacityChoiceAndCancel) {
  UseMode(7, 2);
  project_.settings.FileCapacity = 1;
  RegistrationSession session(project_, Settings());
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.ChangeCapacity(3, op_));
  EXPECT_EQ(session.Capacity(), 1);
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session.ChangeCapacity(3, op_));
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 2020}));
  EXPECT_TRUE(session.List().Voices().isEmpty());
  EXPECT_TRUE(session.TotalTimeText().isEmpty());
  // Cancel asks; No stays, Yes restores the capacity of the opening.
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.Cancel(op_));
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session.Cancel(op_));
  EXPECT_EQ(project_.settings.FileCapacity, 1);
  EXPECT_EQ(project_.voices.size(), 2);  // never committed
}

}  // namespace
}  // namespace parlatone
