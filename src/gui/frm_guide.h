// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QTextBrowser;
class QTextDocument;

namespace parlatone {

class Operator;

// The user guide, read inside the program: the guide is Markdown with
// pictures beside it, which a desktop may open as bare text or not at all.
// The window stays open beside the main window while the operator works.
class FrmGuide : public QDialog {
  Q_OBJECT

 public:
  explicit FrmGuide(const QString& guide_file, QWidget* parent = nullptr);

  // Whether the guide could be read; the caller says so when it could not.
  bool Loaded() const;

  // Names each heading of `document` as the anchor the guide's own table of
  // contents links to ("#音声ファイルの登録sound登録": lower case, letters,
  // digits, '-' and '_' kept, blanks made '-', anything else dropped), and
  // shows pictures wider than `width` pixels at that width.
  static void PrepareDocument(QTextDocument& document, int width);

  // A Markdown paragraph's line breaks become blanks; between two Japanese
  // characters a blank is a visible fault, so such breaks are joined.
  static QString JoinJapaneseLines(const QString& markdown);

 private:
  QTextBrowser* text_ = nullptr;
};

// Opens the guide beside `parent`, or raises it if it is already open; tells
// the operator when the guide cannot be read.
void ShowGuide(const QString& guide_file, Operator& op, QWidget* parent);

}  // namespace parlatone
