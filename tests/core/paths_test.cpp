// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/paths.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// User files follow XDG and HOME; shipped files are found beside the program, and one that is
// nowhere still has a definite place to be reported.
TEST(Paths, UserFilesFollowTheXdgFoldersAndShippedFilesThePrograms) {
  testing::TempUserEnvironment env;
  const AppPaths paths = ResolveAppPaths();
  EXPECT_EQ(paths.settings_file, env.ConfigHome() + u"/parlatone-editor/ParlatoneEditorV3.ini"_s);
  EXPECT_EQ(paths.work_folder, env.Home() + u"/cache/parlatone-editor/Temp"_s);
  EXPECT_TRUE(
      ShippedFilePath(u"no-such-file.txt"_s).endsWith(u"parlatone-editor/no-such-file.txt"_s));
}

// A name joined to a folder can only mean an entry of it.
TEST(Paths, PlainFileNamesJoinedWithExactlyOneSeparator) {
  for (const QString& name : {u"a.wav"_s, u"CARD 01"_s, u"...a"_s, u" "_s, u"案内.wav"_s}) {
    EXPECT_TRUE(IsPlainFileName(name)) << name.toStdString();
  }
  for (const QString& name :
       {QString(), u"."_s, u".."_s, u"../a.wav"_s, u"/a.wav"_s, u"a\\b"_s, QString(u"a\0b"_s)}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name.toStdString();
  }
  EXPECT_EQ(JoinPath(u"/cards"_s, u"A01"_s), u"/cards/A01"_s);
  EXPECT_EQ(JoinPath(u"/cards//"_s, u"/A01"_s), u"/cards/A01"_s);
}

}  // namespace
}  // namespace parlatone
