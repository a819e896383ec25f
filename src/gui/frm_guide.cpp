// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_guide.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/operator.h"

namespace parlatone {

namespace {

QString HeadingAnchor(const QString& heading) {
  QString anchor;
  for (const QChar c : heading.toLower()) {
    if (c.isLetterOrNumber() || c == u'-' || c == u'_') {
      anchor += c;
    } else if (c == u' ') {
      anchor += u'-';
    }
  }
  return anchor;
}

}  // namespace

void FrmGuide::PrepareDocument(QTextDocument& document, int width) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() > 0 && !block.text().isEmpty()) {
      QTextCursor cursor(block);
      cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      QTextCharFormat format;
      format.setAnchor(true);
      format.setAnchorNames({HeadingAnchor(block.text())});
      cursor.mergeCharFormat(format);
      continue;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isImageFormat()) {
        continue;
      }
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      const QImage picture =
          document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
      if (picture.width() > width) {
        image.setWidth(width);
        image.setHeight(picture.height() * width / picture.width());
        QTextCursor cursor(&document);
        cursor.setPosition(fragment.position());
        cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        cursor.setCharFormat(image);
      }
    }
  }
}

QString FrmGuide::JoinJapaneseLines(const QString& markdown) {
  const auto japanese = [](QChar c) { return c.unicode() >= 0x2E80; };
  QStringList lines = markdown.split(u'\n');
  QString joined;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    joined += lines[i];
    if (i + 1 == lines.size()) {
      break;
    }
    const QString next = lines[i + 1].trimmed();
    if (!lines[i].isEmpty() && japanese(lines[i].back()) && !next.isEmpty() &&
        japanese(next.front())) {
      lines[i + 1] = next;
    } else {
      joined += u'\n';
    }
  }
  return joined;
}

namespace {

// Reads the guide's Markdown through JoinJapaneseLines, the other language's
// guide included when its link is followed.
class GuideBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override {
    if (type == QTextDocument::MarkdownResource) {
      QFile file(name.toLocalFile());
      if (!file.open(QIODevice::ReadOnly)) {
        return {};
      }
      return FrmGuide::JoinJapaneseLines(QString::fromUtf8(file.readAll()));
    }
    return QTextBrowser::loadResource(type, name);
  }
};

}  // namespace

FrmGuide::FrmGuide(const QString& guide_file, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmGuide"));
  setWindowTitle(tr("ユーザーガイド"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(820, 680);

  text_ = new GuideBrowser(this);
  text_->setObjectName(QStringLiteral("TxtGuide"));
  // Links to the web leave the program; links inside the guide (its table of
  // contents, the other language) stay in this window.
  text_->setOpenExternalLinks(true);
  text_->setSearchPaths({QFileInfo(guide_file).absolutePath()});
  connect(text_, &QTextBrowser::sourceChanged, this,
          [this] { PrepareDocument(*text_->document(), 720); });
  if (QFileInfo(guide_file).isReadable()) {
    text_->setSource(QUrl::fromLocalFile(guide_file), QTextDocument::MarkdownResource);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(tr("閉じる(&C)"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto* back = new QShortcut(QKeySequence::Back, this);
  connect(back, &QShortcut::activated, text_, &QTextBrowser::backward);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
}

bool FrmGuide::Loaded() const {
  return !text_->document()->isEmpty();
}

void ShowGuide(const QString& guide_file, Operator& op, QWidget* parent) {
  static QPointer<FrmGuide> open_guide;
  if (open_guide.isNull()) {
    auto* guide = new FrmGuide(guide_file, parent);
    if (!guide->Loaded()) {
      delete guide;
      ShowText(op, FrmGuide::tr("ユーザーガイドを開けませんでした。\r\n%1").arg(guide_file),
               msg::kTitleConfirm, MessageIcon::kExclamation);
      return;
    }
    open_guide = guide;
  }
  open_guide->show();
  open_guide->raise();
  open_guide->activateWindow();
}

}  // namespace parlatone
