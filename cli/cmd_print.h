// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command.h"

namespace parlatone::cli {

// What `print` is called and how it is used. Painting sheets needs Qt Gui,
// which with its libraries would cost every other command of the tool a
// slower start; so `parlatone print` hands its whole command line to the
// print helper (parlatone-print), which runs the same tool with the real
// command. Both say the same in --help.
class PrintCommandText : public Command {
  Q_DECLARE_TR_FUNCTIONS(PrintCommand)

 public:
  QString Name() const override { return QStringLiteral("print"); }
  QString Summary() const override {
    return tr("write the printed sheets of a control file to a PDF file");
  }
  Synopsis Forms() const override {
    return {{QStringLiteral("CONTROLFILE"), Required(pdf_), sheets_, page_}};
  }
  QString Description() const override {
    return tr(
        "Loads the control file as `show` does and writes the sheets the print window\n"
        "prints into the PDF file OUT (A4): the editor sheet (editor), the control data\n"
        "sheet (control) and the voice sheet (voice), in that order. --sheets names the\n"
        "sheets to write; without it all three are written. The editor sheet lists every\n"
        "channel of the series, or with --page N only the channels of tab N (from 1;\n"
        "in series 4, --page 2 gives channels 251 to 500).\n"
        "Exit status 1 when the load failed or the file cannot be written.\n");
  }

 protected:
  const QCommandLineOption pdf_{QStringLiteral("pdf"), {}, QStringLiteral("OUT")};
  const QCommandLineOption sheets_{
      QStringLiteral("sheets"), {}, QStringLiteral("voice,control,editor")};
  const QCommandLineOption page_{QStringLiteral("page"), {}, QStringLiteral("N")};
};

}  // namespace parlatone::cli
