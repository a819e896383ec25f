#include "gui/frm_seting.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "core/version.h"
#include "gui/frm_main.h"
#include "gui/frm_text.h"
#include "gui/program_table_model.h"
#include "settings/settings_session.h"
#include "settings/text_document.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/temp_env.h"

namespace parlatone {

// Stands in for the desktop's browser: remembers what it was asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public Q_SLOTS:
  void Open(const QUrl& url) { opened << url; }
};

namespace {

using namespace Qt::StringLiterals;

QString Plain(const QString& message_text) {
  return QString(message_text).replace(u"\r\n"_s, u"\n"_s);
}

class FrmSetingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_.settings.Mode = 1;
    project_.settings.CardPath = dir_.path();
    project_.settings.CardName = u"CARD01"_s;
    project_.settings.UserData[0] = u"株式会社パーラ"_s;
    DeriveSeriesLimits(project_);
    paths_ = ResolveAppPaths();
    paths_.settings_file = dir_.filePath(u"ParlatoneEditorV3.ini"_s);
  }
  std::unique_ptr<FrmSeting> Open() {
    auto window = std::make_unique<FrmSeting>(project_, paths_, op_, choosers_);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
  }
  template <typename T>
  static T* Find(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  static void Click(QWidget& window, const QString& button) {
    QTest::mouseClick(Find<QAbstractButton>(window, button), Qt::LeftButton);
  }
  static void Type(QWidget& window, const QString& box, const QString& text) {
    auto* edit = Find<QLineEdit>(window, box);
    edit->setFocus();
    edit->selectAll();
    // QTest types ASCII only; other text arrives as an input method would give it.
    bool ascii = true;
    for (QChar c : text) {
      ascii &= c.unicode() < 0x80;
    }
    if (ascii) {
      QTest::keyClicks(edit, text);
    } else {
      edit->insert(text);
    }
  }
  static QTabWidget* Tabs(QWidget& window) { return Find<QTabWidget>(window, u"TabStrip"_s); }

  QTemporaryDir dir_;
  Project project_;
  AppPaths paths_;
  testing::ScriptedOperator op_;
  testing::ScriptedChoosers choosers_;
};

TEST_F(FrmSetingTest, OpensOnTheCurrentValues) {
  project_.settings.Mode = 0;
  project_.settings.AddFunction = 1;
  auto window = Open();
  EXPECT_EQ(window->windowTitle(), GetMessage(1006));
  EXPECT_EQ(Tabs(*window)->count(), 4);
  EXPECT_EQ(Tabs(*window)->currentIndex(), FrmSeting::kSystemPage);
  EXPECT_EQ(Find<QLineEdit>(*window, u"TxtCardPath"_s)->text(), dir_.path());
  EXPECT_EQ(Find<QLineEdit>(*window, u"TxtCardName"_s)->text(), u"CARD01"_s);
  EXPECT_EQ(Find<QLabel>(*window, u"LblCardName"_s)->text(), GetMessage(3002));
  // Series 0 is the seventh option; its label keeps both of its lines.
  EXPECT_TRUE(Find<QRadioButton>(*window, u"OptMode6"_s)->isChecked());
  EXPECT_EQ(Find<QRadioButton>(*window, u"OptMode6"_s)->text(),
            u"LYRシリーズ用\n（8bitデータ専用）"_s);
  EXPECT_EQ(Find<QRadioButton>(*window, u"OptMode1"_s)->text(), GetMessage(2114));
  EXPECT_TRUE(Find<QRadioButton>(*window, u"OptAddFunction1"_s)->isChecked());
  EXPECT_EQ(Find<QLabel>(*window, u"LblMode5"_s)->text(), Plain(GetMessage(2157)));
  EXPECT_EQ(Find<QLabel>(*window, u"LblVersion"_s)->text(), u"3.0.1"_s);
  EXPECT_FALSE(window->Session().Dirty());
  EXPECT_FALSE(window->Session().SeriesChanged());

  // Switching the auxiliary function off changes all eight descriptions.
  Tabs(*window)->setCurrentIndex(FrmSeting::kAddFunctionPage);
  Click(*window, u"OptAddFunction0"_s);
  const int mono[] = {2122, 2122, 2151, 2151, 2154, 2156, 2150, 2151};
  for (int option = 0; option < 8; ++option) {
    EXPECT_EQ(Find<QLabel>(*window, u"LblMode%1"_s.arg(option))->text(),
              Plain(GetMessage(mono[option])))
        << option;
  }
  EXPECT_TRUE(window->Session().Dirty());
}

TEST_F(FrmSetingTest, FileNameLengthAndCharacters) {
  auto window = Open();
  Type(*window, u"TxtCardName"_s, u"ABCDEFGHI"_s);
  // Refused from another page: the System page comes back with the box selected.
  Tabs(*window)->setCurrentIndex(FrmSeting::kVersionPage);
  Click(*window, u"CmdOk"_s);
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].text, u"入力できる文字数は半角8文字です。\r\n\r\n確認して下さい。"_s);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(Tabs(*window)->currentIndex(), FrmSeting::kSystemPage);
  auto* name = Find<QLineEdit>(*window, u"TxtCardName"_s);
  EXPECT_TRUE(name->hasFocus());
  EXPECT_EQ(name->selectedText(), u"ABCDEFGHI"_s);
  EXPECT_EQ(project_.settings.CardName, u"CARD01"_s);

  Type(*window, u"TxtCardName"_s, u"AB-CD"_s);
  Click(*window, u"CmdOk"_s);
  ASSERT_EQ(op_.shown.size(), 2u);
  EXPECT_TRUE(op_.shown[1].text.startsWith(GetMessage(2063) + u"\"-\",\"(\""_s));
  EXPECT_TRUE(window->isVisible());

  Type(*window, u"TxtCardName"_s, u"A_B,CDEF"_s);  // eight characters
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(op_.shown.size(), 2u);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_EQ(project_.settings.CardName, u"A_B,CDEF"_s);
  EXPECT_EQ(ReadSettings(paths_.settings_file).CardName, u"A_B,CDEF"_s);
}

TEST_F(FrmSetingTest, AnotherSeriesThenCancelAsksAndKeepsTheMode) {
  auto window = Open();
  Tabs(*window)->setCurrentIndex(FrmSeting::kModePage);
  Click(*window, u"OptMode5"_s);
  op_.Answer(MessageAnswer::kNo);
  Click(*window, u"CmdCancel"_s);
  EXPECT_TRUE(window->isVisible());
  // The close box asks the same.
  op_.Answer(MessageAnswer::kYes);
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2074, 2074}));
  EXPECT_EQ(project_.Mode(), 1);
  EXPECT_FALSE(project_.ModeChanged);
  EXPECT_FALSE(QFileInfo::exists(paths_.settings_file));
}

TEST_F(FrmSetingTest, AnotherSeriesThenOkAsks2048) {
  auto window = Open();
  Click(*window, u"OptMode1"_s);  // QDX 1000 channels
  op_.Answer(MessageAnswer::kNo);
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2048});
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(project_.Mode(), 1);
  EXPECT_FALSE(project_.ModeChanged);
  EXPECT_FALSE(QFileInfo::exists(paths_.settings_file));

  op_.Answer(MessageAnswer::kYes);
  Click(*window, u"CmdOk"_s);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(project_.Mode(), 4);
  EXPECT_TRUE(project_.ModeChanged);
  EXPECT_EQ(ReadSettings(paths_.settings_file), project_.settings);
}

// A new user who only wants another series changes it without typing
// anything else: the first start has proposed every value the page checks.
TEST_F(FrmSetingTest, FirstStartChangesTheSeriesWithNothingTyped) {
  testing::TempUserEnvironment env;
  paths_ = ResolveAppPaths();
  project_.settings = LoadStartupSettings(paths_).settings;
  DeriveSeriesLimits(project_);
  auto window = Open();
  Click(*window, u"OptMode1"_s);  // QDX 1000 channels
  op_.Answer(MessageAnswer::kYes);
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2048});
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ReadSettings(paths_.settings_file).Mode, 4);
}

TEST_F(FrmSetingTest, BrowseAndFolderCreatedLevelByLevel) {
  auto window = Open();
  auto* folder = Find<QLineEdit>(*window, u"TxtCardPath"_s);
  choosers_.answers.push_back(QString());  // cancelled: the box keeps its text
  Click(*window, u"CmdBrowse"_s);
  EXPECT_EQ(folder->text(), dir_.path());
  EXPECT_FALSE(window->Session().Dirty());
  const QString chosen = dir_.filePath(u"chosen"_s);
  choosers_.answers.push_back(chosen);
  Click(*window, u"CmdBrowse"_s);
  EXPECT_EQ(folder->text(), chosen);
  EXPECT_TRUE(window->Session().Dirty());

  const QString target = dir_.filePath(u"一段目/二段目"_s);
  Type(*window, u"TxtCardPath"_s, target);
  op_.Answer(MessageAnswer::kNo);
  Click(*window, u"CmdOk"_s);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(folder->hasFocus());
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath(u"一段目"_s)));
  op_.Answer(MessageAnswer::kYes);
  Click(*window, u"CmdOk"_s);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(QFileInfo(target).isDir());
  EXPECT_EQ(project_.settings.CardPath, target);
  ASSERT_EQ(op_.shown.size(), 2u);
  EXPECT_EQ(op_.shown[1].text, GetMessage(2045) + target + u"\r\n"_s + GetMessage(2046));
}

TEST_F(FrmSetingTest, DocumentsAndTheWebSite) {
  auto window = Open();
  Tabs(*window)->setCurrentIndex(FrmSeting::kVersionPage);
  struct Seen {
    QString title;
    QString text;
    bool read_only = false;
  };
  const auto open_document = [&](const QString& button) {
    Seen seen;
    QTimer::singleShot(0, [&] {
      auto* viewer = window->findChild<FrmText*>(u"FrmText"_s);
      ASSERT_NE(viewer, nullptr);
      auto* text = viewer->findChild<QPlainTextEdit*>(u"TxtText"_s);
      seen = {viewer->windowTitle(), text->toPlainText(), text->isReadOnly()};
      Click(*viewer, u"CmdClose"_s);
    });
    Click(*window, button);  // returns when the viewer closes
    return seen;
  };
  const Seen licence = open_document(u"CmdKyodaku"_s);
  EXPECT_EQ(licence.title, GetMessage(1002));
  EXPECT_TRUE(licence.read_only);
  EXPECT_TRUE(licence.text.startsWith(u"Parlatone Editor 使用許諾契約書\n"_s));
  EXPECT_EQ(licence.text, Plain(ReadTextDocument(paths_.licence_file)));
  const Seen release = open_document(u"CmdRelease"_s);
  EXPECT_EQ(release.title, GetMessage(1003));
  EXPECT_TRUE(release.text.contains(u"Version 3.0.1"_s));

  paths_.licence_file = dir_.filePath(u"kyodaku.txt"_s);  // not there
  auto without = Open();
  Tabs(*without)->setCurrentIndex(FrmSeting::kVersionPage);
  window = std::move(without);
  EXPECT_EQ(open_document(u"CmdKyodaku"_s).text, QString());

  // The link opens the installed user guide, not a web site.
  UrlRecorder browser;
  QDesktopServices::setUrlHandler(u"file"_s, &browser, "Open");
  auto* link = Find<QLabel>(*window, u"LblUrl"_s);
  const QUrl guide = QUrl::fromLocalFile(paths_.guide_file);
  EXPECT_TRUE(QFileInfo(paths_.guide_file).isFile()) << paths_.guide_file.toStdString();
  EXPECT_TRUE(link->text().contains(guide.toString(QUrl::FullyEncoded)));
  Q_EMIT link->linkActivated(guide.toString(QUrl::FullyEncoded));
  QDesktopServices::unsetUrlHandler(u"file"_s);
  ASSERT_EQ(browser.opened.size(), 1);
  EXPECT_EQ(browser.opened[0], guide);
  EXPECT_TRUE(op_.shown.empty());
}

TEST_F(FrmSetingTest, SetingFromTheMainWindowRebuildsOnASeriesChange) {
  FrmMain main_window(project_, paths_, op_, choosers_);
  main_window.show();
  auto* seting = main_window.findChild<QAction*>(u"SETING"_s);
  ASSERT_NE(seting, nullptr);
  EXPECT_TRUE(seting->isEnabled());
  auto* tabs = main_window.findChild<QTabBar*>(u"TabStrip"_s);
  EXPECT_EQ(tabs->count(), 1);

  // Leaving without a change keeps the project.
  VoiceRecord voice;
  voice.NAME = u"a.wav"_s;
  project_.voices.append(voice);
  project_.VoicesRegistered = true;
  project_.programs[0].Voice[0] = u"a.wav"_s;
  project_.PageEdited[0] = true;
  QTimer::singleShot(0, [&] {
    auto* dialog = main_window.findChild<FrmSeting*>(u"FrmSeting"_s);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    Click(*dialog, u"CmdCancel"_s);
  });
  seting->trigger();
  EXPECT_EQ(project_.voices.size(), 1);
  EXPECT_EQ(project_.programs[0].Voice[0], u"a.wav"_s);
  EXPECT_EQ(tabs->count(), 1);

  // A confirmed change to the 1000-channel series: four pages, empty project.
  QTimer::singleShot(0, [&] {
    auto* dialog = main_window.findChild<FrmSeting*>(u"FrmSeting"_s);
    ASSERT_NE(dialog, nullptr);
    Click(*dialog, u"OptMode1"_s);
    op_.Answer(MessageAnswer::kYes);
    Click(*dialog, u"CmdOk"_s);
  });
  seting->trigger();
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2048});
  EXPECT_EQ(project_.Mode(), 4);
  EXPECT_FALSE(project_.ModeChanged);
  EXPECT_EQ(tabs->count(), 4);
  EXPECT_TRUE(tabs->isVisible());
  EXPECT_EQ(project_.ChannelCount, 1000);
  EXPECT_EQ(main_window.Model()->rowCount(), 250);
  EXPECT_TRUE(project_.voices.isEmpty());
  EXPECT_TRUE(project_.programs[0].Voice[0].isEmpty());
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_EQ(main_window.windowTitle(), GetMessage(1000) + u" - "_s + GetMessage(2114));
  EXPECT_EQ(main_window.findChildren<FrmSeting*>().size(), 0);
}

}  // namespace
}  // namespace parlatone

#include "frm_seting_test.moc"
