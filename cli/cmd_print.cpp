// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include "cmd_print.h"
#include "command.h"
#include "controlfile/control_file_loader.h"
#include "core/series.h"
#include "print/print_sheets.h"
#include "print/sheet_painter.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Loads a control file and writes the print window's sheets to a PDF file.
// Built into the print helper only: painting needs Qt Gui.
class PrintCommand : public PrintCommandText {
  Q_DECLARE_TR_FUNCTIONS(PrintCommand)

 public:
  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give exactly one control file"))) {
      return kExitUsage;
    }
    const QStringList rest = parser.positionalArguments();
    const QString pdf = parser.value(pdf_);
    if (pdf.isEmpty()) {
      return UsageError(*this, context, tr("give the PDF file to write with --pdf OUT"));
    }
    SheetChoices choices{true, true, true};
    if (parser.isSet(sheets_)) {
      choices = {};
      const QStringList names = parser.value(sheets_).split(u',');
      for (const QString& name : names) {
        const QString key = name.trimmed();
        if (key == u"voice"_s) {
          choices[static_cast<size_t>(SheetChoice::kVoice)] = true;
        } else if (key == u"control"_s) {
          choices[static_cast<size_t>(SheetChoice::kControlData)] = true;
        } else if (key == u"editor"_s) {
          choices[static_cast<size_t>(SheetChoice::kEditor)] = true;
        } else {
          return UsageError(*this, context,
                            tr("--sheets takes voice, control and editor, separated by commas"));
        }
      }
    }
    Project& project = context.project;
    const int pages = PageCount(project.Mode());
    bool all_channels = true;
    if (parser.isSet(page_)) {
      bool ok = false;
      const int tab = parser.value(page_).toInt(&ok);
      if (!ok || tab < 1 || tab > pages) {
        return UsageError(
            *this, context,
            tr("--page takes a tab from 1 to %1 in series %2").arg(pages).arg(project.Mode()));
      }
      all_channels = false;
      project.CurrentPage = tab - 1;
    }

    const QString path = QFileInfo(rest.front()).absoluteFilePath();
    const int current_page = project.CurrentPage;
    if (!LoadWpjFile(project, path, context.op)) {
      if (!SoundFolderFor(project, path)) {
        context.err << u"parlatone print: "_s
                    << tr("series %1 opens only .%2 and .%3 files\n")
                           .arg(QString::number(project.Mode()),
                                ControlFileExtension(project.Mode()),
                                TemporaryFileExtension(project.Mode()));
      }
      return kExitFailure;
    }
    project.CurrentPage = current_page;  // the load shows the first page
    if (!MayBuildSheets(project, choices, context.op)) {
      return kExitFailure;
    }
    const PrintDocument document = BuildPrintDocument(
        project, choices, all_channels,
        MakeSheetInputs(project, context.paths.element_file, QDateTime::currentDateTime()));
    const QString out = QFileInfo(pdf).absoluteFilePath();
    if (!WritePdf(document, out)) {
      context.err << u"parlatone print: "_s << tr("cannot write %1").arg(out) << '\n';
      return kExitFailure;
    }
    context.out << tr("%1 (%2 pages)").arg(out).arg(document.pages.size()) << '\n';
    return kExitOk;
  }
};

}  // namespace

std::unique_ptr<Command> MakePrintCommand() {
  return std::make_unique<PrintCommand>();
}

}  // namespace parlatone::cli
