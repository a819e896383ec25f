// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

#include "tools/conversion_engine.h"

namespace parlatone {

class Operator;

// The field a failed check points at, for the window to select and focus.
enum class ToolField { kNone, kSource, kOutput, kMinutes, kSeconds, kSilentFile };

// Stereo-to-mono conversion of one file or of every WAVE file of a folder.
struct ConversionRequest {
  bool folder_unit = false;
  QString source;  // file or folder
  QString output;  // file name or folder
};

// A silent file as the tools window asks for it: the two time boxes as
// typed, 8 or 16 bits, 22050 or 44100 Hz, and the file to make.
struct SilentFileRequest {
  QString minutes;
  QString seconds;
  int bits = 16;
  int sample_rate = 22050;
  QString output;
};

struct ToolRunResult {
  bool checked = false;  // the check passed and the work started
  ToolField field = ToolField::kNone;
  int converted = 0;
  int skipped = 0;              // mono files left out in folder unit
  int for_fit_page = 0;         // files only the fit page converts, left out in folder unit
  bool stereo_missing = false;  // nothing to convert
  bool cancelled = false;
  bool failed = false;
};

// Called with the field a check failed on before its message shows (after
// the question when a question was answered No), so that the window can
// select the field's text and give it the focus first.
using FieldFocus = std::function<void(ToolField)>;

// The checks of the tools window, in its order, with its messages (title
// "確認"). Questions (overwrite, create the folder) go to the operator.
bool CheckConversion(const ConversionRequest& request, Operator& op, ToolField* field = nullptr,
                     const FieldFocus& focus = {});
bool CheckSilentFile(const SilentFileRequest& request, Operator& op, ToolField* field = nullptr,
                     const FieldFocus& focus = {});

// The file a silent file run writes: the name as typed, with ".wav" added
// when it does not end so (registration takes WAVE files by that ending).
QString SilentFilePath(const QString& typed);

// Where a run shows itself beside its messages, for a window with a bar and
// controls of its own. Each one left empty goes to the operator: the bar to
// its progress, busy to its pointer, the engine's points between two blocks
// of work to its pending events.
struct RunView {
  std::function<void(int value, int maximum)> bar;
  std::function<void(bool busy)> busy;
  std::function<void()> between_blocks;
};

// The runs: the check, then the engine file by file with the bar (0 to 100),
// the busy state, the stop request in progress.Cancel, and the window's
// closing steps.
ToolRunResult RunConversion(const ConversionRequest& request, Operator& op,
                            ConversionProgress& progress, const FieldFocus& focus = {},
                            const RunView& view = {});
ToolRunResult RunSilentFile(const SilentFileRequest& request, Operator& op,
                            ConversionProgress& progress, const FieldFocus& focus = {},
                            const RunView& view = {});

// The texts the window shows, named once.
namespace tool_text {
inline constexpr char kCancelled[] =
    QT_TRANSLATE_NOOP("ToolRuns", "ユーザーにより処理を中断しました。");
inline constexpr char kEngineFailed[] =
    QT_TRANSLATE_NOOP("ToolRuns", "変換処理中に異常が発生しました。処理を中止します。");
inline constexpr char kStopQuestion[] =
    QT_TRANSLATE_NOOP("ToolRuns", "処理を中止してよろしいですか？");
inline constexpr char kNotStereo[] = QT_TRANSLATE_NOOP("ToolRuns", "%1 はステレオではありません。");
inline constexpr char kSkipQuestion[] =
    QT_TRANSLATE_NOOP("ToolRuns", "このファイルをスキップして処理を続けますか？　　");
inline constexpr char kOverwrite[] =
    QT_TRANSLATE_NOOP("ToolRuns", "出力ファイルは既に存在します。上書きしてもよろしいですか？");
}  // namespace tool_text

// One of the texts above in the interface language.
QString ToolText(const char* text);

}  // namespace parlatone
