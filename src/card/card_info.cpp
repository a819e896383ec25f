// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_info.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "core/card_data.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/series.h"
#include "core/text.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct CardInfoText {
  Q_DECLARE_TR_FUNCTIONS(CardInfo)
};

// A folder name is one plain folder: the card data are written into it and
// whatever files it held are deleted, so it must not lead anywhere else.
bool IsPlainFolderName(const QString& name) {
  return !name.trimmed().isEmpty() && IsPlainFileName(name);
}

}  // namespace

CardInfo CardFormFromProject(const Project& project) {
  CardInfo form = project.card;
  if (form.CardName.isEmpty()) {
    form.CardName = project.settings.CardName;
  }
  const SizeClass current = SizeClassOf(TotalSoundSize(project).bytes, project.Mode());
  if (form.CardSize.isEmpty()) {
    form.CardSize = current.index < 0 ? QString() : QString::number(current.index);
  }
  form.UseSize = current.text;
  return form;
}

bool CheckCardInfo(const CardInfo& form, Operator& op, CardCheckFailure* failure) {
  const auto point = [&](int page, const char* control) {
    if (failure != nullptr) {
      *failure = {page, QString::fromLatin1(control)};
    }
    return false;
  };
  const auto fail = [&](int page, const char* control, int number) {
    ShowMessage(op, number, msg::kTitleConfirm, MessageIcon::kExclamation);
    return point(page, control);
  };

  for (const CardFieldRule& rule : CardFieldRules()) {
    const QLatin1StringView control(rule.control);
    // The card capacity is chosen from a list; it is asked for between the
    // card's own fields and who made the card data.
    if (control == "TxtCardCom"_L1) {
      bool chosen = false;
      const int card_size = form.CardSize.toInt(&chosen);
      if (!chosen || card_size < 0)
        return fail(1, "CmbCardSize", 2069);
    }
    const QString& text = form.Field(rule.field);
    if (rule.empty_message != 0 && text.isEmpty())
      return fail(rule.page, rule.control, rule.empty_message);
    if (AnsiByteLength(text) > rule.max_bytes)
      return fail(rule.page, rule.control, rule.too_long_message);
    if (control == "TxtCardName"_L1) {
      if (HasFullWidth(text))
        return fail(rule.page, rule.control, 2062);
      if (HasForbiddenChar(text)) {
        ShowText(op, GetMessage(2063) + ForbiddenCharList() + GetMessage(2064), msg::kTitleConfirm,
                 MessageIcon::kExclamation);
        return point(rule.page, rule.control);
      }
    }
    if (control == "TxtForder"_L1 && !IsPlainFolderName(text)) {
      ShowText(
          op,
          CardInfoText::tr(
              "作成フォルダ名にはフォルダの区切り文字（\\ /）や「.」「..」は使用できません。\r\n"),
          msg::kTitleConfirm, MessageIcon::kExclamation);
      return point(rule.page, rule.control);
    }
  }
  return true;
}

}  // namespace parlatone
