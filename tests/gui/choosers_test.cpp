#include "gui/choosers.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "gui/gui_operator.h"
#include "gui/window_helpers.h"
#include "support/gui_modal.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(Choosers, SaveExtensionMustMatch) {
  testing::ScriptedOperator op;
  EXPECT_EQ(CheckSaveExtension(u"/cards/TMP.wpg"_s, u"wpg"_s, op), u"/cards/TMP.wpg"_s);
  EXPECT_EQ(CheckSaveExtension(u"/cards/TMP.WPG"_s, u"wpg"_s, op), u"/cards/TMP.WPG"_s);
  EXPECT_EQ(CheckSaveExtension(u"/cards/TMP"_s, u"mpi"_s, op), u"/cards/TMP.mpi"_s);
  EXPECT_EQ(CheckSaveExtension(QString(), u"mpi"_s, op), QString());
  EXPECT_TRUE(op.shown.empty());
  // The wrong extension is refused with the message that names wpj in every series.
  EXPECT_EQ(CheckSaveExtension(u"/cards/TMP.wpg"_s, u"mpi"_s, op), QString());
  EXPECT_EQ(op.Numbers(), std::vector<int>{2050});
  EXPECT_EQ(op.shown[0].title_number, msg::kTitleCaution);
}

// The sound tools pick output names with it: a name not yet in use comes
// back, and an existing file brings no replace question.
TEST(Choosers, FileNameChooserTakesNewNames) {
  QTemporaryDir dir;
  const QString existing = dir.filePath(u"old.wav"_s);
  testing::WriteFileBytes(existing, QByteArray());
  testing::ScriptedOperator op;
  QtChoosers choosers(op);
  for (const QString& typed : {dir.filePath(u"new.wav"_s), existing, QString()}) {
    SCOPED_TRACE(typed.toStdString());
    ::testing::OnModal<QFileDialog>([&](QFileDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), u"ファイルを開く"_s);
      if (typed.isEmpty()) {
        dialog.reject();
        return;
      }
      dialog.selectFile(typed);
      QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);
      // A question on top would be the active modal window now.
      if (QWidget* other = QApplication::activeModalWidget(); other && other != &dialog) {
        ADD_FAILURE() << "unexpected question";
        other->close();
      }
    });
    EXPECT_EQ(choosers.ChooseFileName(nullptr, {u"WAVE ファイル"_s, u"*.wav"_s}, existing,
                                      u"ファイルを開く"_s),
              typed);
  }
  EXPECT_TRUE(op.shown.empty());
}

// The message box a question shows: Enter presses the default button, which
// is No for a question whose Yes throws work away.
TEST(GuiOperator, DiscardingQuestionsDefaultToNo) {
  GuiOperator op;
  for (const bool discarding : {true, false}) {
    QString default_text;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || box->defaultButton() == nullptr) {
        ADD_FAILURE() << "no message box";
        QApplication::activeModalWidget()->close();
        return;
      }
      default_text = box->defaultButton()->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    const MessageAnswer answer = discarding
                                     ? AskBeforeDiscarding(op, 2052)
                                     : ShowMessage(op, 2046, msg::kTitleConfirm,
                                                   MessageIcon::kQuestion, MessageButtons::kYesNo);
    EXPECT_EQ(answer, discarding ? MessageAnswer::kNo : MessageAnswer::kYes);
    EXPECT_EQ(default_text, discarding ? u"いいえ(&N)"_s : u"はい(&Y)"_s);
  }
}

TEST(WindowHelpers, SecondEditorIsRefused) {
  QTemporaryDir dir;
  QLockFile first(dir.filePath(u"editor.lock"_s));
  QLockFile second(dir.filePath(u"editor.lock"_s));
  EXPECT_TRUE(AcquireSingleInstanceLock(first));
  EXPECT_FALSE(AcquireSingleInstanceLock(second));
  first.unlock();
  EXPECT_TRUE(AcquireSingleInstanceLock(second));
}

TEST(WindowHelpers, EnteringATextBoxSelectsItsText) {
  QWidget window;
  auto* first = new QLineEdit(u"山田"_s, &window);
  auto* second = new QLineEdit(u"株式会社"_s, &window);
  second->move(0, 40);
  SelectAllOnEntry(second);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  first->setFocus();
  second->setFocus();
  EXPECT_TRUE(QTest::qWaitFor([&] { return second->hasSelectedText(); }, 2000));
  EXPECT_EQ(second->selectedText(), u"株式会社"_s);
}

}  // namespace
}  // namespace parlatone
