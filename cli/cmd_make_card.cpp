// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QFileInfo>

#include "card/card_info.h"
#include "card/card_maker.h"
#include "command.h"
#include "controlfile/control_file_loader.h"
#include "core/series.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Makes the card data of a control file as the card data window does.
class MakeCardCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(MakeCardCommand)

 public:
  QString Name() const override { return u"make-card"_s; }
  QString Summary() const override {
    return tr("make the card data folder of a control file below the card data folder");
  }
  Synopsis Forms() const override { return {{yes_, u"CONTROLFILE"_s}}; }
  QString Description() const override {
    return tr(
        "Loads the control file as `show` does and makes its card data below the card\n"
        "data folder (the CardPath setting or --card-path): the control file and a copy of\n"
        "every sound file in the folder the card information names, after the same checks\n"
        "as the card data window. --yes replaces an existing card data folder; without it\n"
        "the answer is No. Exit status 0 when the card data were made completely.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give exactly one control file"))) {
      return kExitUsage;
    }
    const bool yes = parser.isSet(yes_);
    context.op.AnswerQuestionsWith(
        [yes](const MessageRequest&) { return yes ? MessageAnswer::kYes : MessageAnswer::kNo; });
    Project& project = context.project;
    const QString path = QFileInfo(parser.positionalArguments().front()).absoluteFilePath();
    if (!LoadWpjFile(project, path, context.op)) {
      if (!SoundFolderFor(project, path)) {
        context.err << u"parlatone make-card: "_s
                    << tr("series %1 opens only .%2 and .%3 files\n")
                           .arg(QString::number(project.Mode()),
                                ControlFileExtension(project.Mode()),
                                TemporaryFileExtension(project.Mode()));
      }
      return kExitFailure;
    }
    // The card data window fills its fields from the project and stores
    // them back before it makes the card.
    project.card = CardFormFromProject(project);
    const CardMakeResult result =
        MakeCardData(project, context.paths.work_folder, context.op,
                     tr("カードへの書込みと確認: parlatone write-card <このフォルダ> <カード>"));
    if (result.outcome != CardMakeOutcome::kMade) {
      return kExitFailure;
    }
    context.out << result.target_folder << '\n';
    return kExitOk;
  }

 private:
  const QCommandLineOption yes_{u"yes"_s};
};

}  // namespace

std::unique_ptr<Command> MakeMakeCardCommand() {
  return std::make_unique<MakeCardCommand>();
}

}  // namespace parlatone::cli
