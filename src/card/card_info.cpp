#include "card/card_info.h"

#include <QFileInfo>

#include <array>

#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/series.h"
#include "core/text.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// A folder name is one plain folder: the card data are written into it and
// whatever files it held are deleted, so it must not lead anywhere else.
bool IsPlainFolderName(const QString& name) {
  return !name.trimmed().isEmpty() && IsPlainFileName(name);
}

// One field's rule: which control, on which page, what length, which message.
struct LengthRule {
  QString CardInfo::*field;
  const char* control;
  int page;
  int max_bytes;
  int message;
};

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
  const auto fail = [&](int page, const char* control, int number) {
    ShowMessage(op, number, msg::kTitleConfirm, MessageIcon::kExclamation);
    if (failure != nullptr) {
      *failure = {page, QString::fromLatin1(control)};
    }
    return false;
  };
  const auto too_long = [](const QString& text, int max_bytes) {
    return AnsiByteLength(text) > max_bytes;
  };

  if (form.CardName.isEmpty())
    return fail(1, "TxtCardName", 2060);
  if (too_long(form.CardName, 8))
    return fail(1, "TxtCardName", 2061);
  if (HasFullWidth(form.CardName))
    return fail(1, "TxtCardName", 2062);
  if (HasForbiddenChar(form.CardName)) {
    ShowText(op, GetMessage(2063) + ForbiddenCharList() + GetMessage(2064), msg::kTitleConfirm,
             MessageIcon::kExclamation);
    if (failure != nullptr) {
      *failure = {1, u"TxtCardName"_s};
    }
    return false;
  }
  if (form.Forder.isEmpty())
    return fail(1, "TxtForder", 2065);
  if (too_long(form.Forder, 40))
    return fail(1, "TxtForder", 2066);
  if (!IsPlainFolderName(form.Forder)) {
    ShowText(op,
             u"作成フォルダ名にはフォルダの区切り文字（\\ /）や「.」「..」は使用できません。\r\n"_s,
             msg::kTitleConfirm, MessageIcon::kExclamation);
    if (failure != nullptr) {
      *failure = {1, u"TxtForder"_s};
    }
    return false;
  }
  if (form.Model.isEmpty())
    return fail(1, "TxtModel", 2083);
  if (too_long(form.Model, 40))
    return fail(1, "TxtModel", 2066);
  if (too_long(form.Maisuu, 20))
    return fail(1, "TxtMaisuu", 2067);
  bool chosen = false;
  const int card_size = form.CardSize.toInt(&chosen);
  if (!chosen || card_size < 0)
    return fail(1, "CmbCardSize", 2069);
  if (form.CardCom.isEmpty())
    return fail(1, "TxtCardCom", 2070);
  if (too_long(form.CardCom, 40))
    return fail(1, "TxtCardCom", 2066);
  if (form.CardPerson.isEmpty())
    return fail(1, "TxtCardPerson", 2071);
  if (too_long(form.CardPerson, 40))
    return fail(1, "TxtCardPerson", 2066);
  if (form.CardDate.isEmpty())
    return fail(1, "TxtCardDate", 2097);

  const LengthRule rules[] = {
      {&CardInfo::CardDate, "TxtCardDate", 1, 20, 2067},
      {&CardInfo::CardKankyou, "TxtCardKankyou", 1, 40, 2066},
      {&CardInfo::RecStdio, "TxtRecStdio", 2, 40, 2066},
      {&CardInfo::RecAna, "TxtRecAna", 2, 40, 2066},
      {&CardInfo::RecDate, "TxtRecDate", 2, 20, 2067},
      {&CardInfo::RecKankyou, "TxtRecKankyou", 2, 40, 2066},
      {&CardInfo::WaveCom, "TxtWaveCom", 2, 40, 2066},
      {&CardInfo::WavePerson, "TxtWavePerson", 2, 40, 2066},
      {&CardInfo::WaveDate, "TxtWaveDate", 2, 20, 2067},
      {&CardInfo::WaveKankyou, "TxtWaveKankyou", 2, 40, 2066},
      {&CardInfo::TpMdName, "TxtTpMd", 3, 28, 2072},
      {&CardInfo::WaveBaitai, "TxtWaveBaitai", 3, 28, 2072},
      {&CardInfo::CardBaitaiName, "TxtCardBaitai", 3, 28, 2072},
  };
  for (const LengthRule& rule : rules) {
    if (too_long(form.*rule.field, rule.max_bytes)) {
      return fail(rule.page, rule.control, rule.message);
    }
  }
  const char* const memo_controls[] = {"TxtMemo1", "TxtMemo2", "TxtMemo3"};
  for (size_t i = 0; i < form.Memo.size(); ++i) {
    if (too_long(form.Memo[i], 200)) {
      return fail(3, memo_controls[i], 2073);
    }
  }
  return true;
}

}  // namespace parlatone
