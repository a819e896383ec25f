// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/project.h"

#include <QCoreApplication>
#include <QLocale>

#include <limits>

#include "core/messages.h"
#include "core/operator.h"
#include "core/series.h"
#include "core/text.h"

namespace parlatone {
namespace {

using CardField = QString CardInfo::*;

// Card information fields before the three memos, in control-file order.
constexpr std::array<CardField, CardInfo::kFieldCount - 3> kCardFieldOrder = {
    &CardInfo::CardName,    &CardInfo::Forder,     &CardInfo::UseSize,    &CardInfo::Model,
    &CardInfo::Maisuu,      &CardInfo::RecStdio,   &CardInfo::RecAna,     &CardInfo::RecDate,
    &CardInfo::RecKankyou,  &CardInfo::WaveCom,    &CardInfo::WavePerson, &CardInfo::WaveDate,
    &CardInfo::WaveKankyou, &CardInfo::CardCom,    &CardInfo::CardPerson, &CardInfo::CardDate,
    &CardInfo::CardKankyou, &CardInfo::CardSize,   &CardInfo::TpMd,       &CardInfo::TpMdName,
    &CardInfo::RecBaitai,   &CardInfo::WaveBaitai, &CardInfo::CardBaitai, &CardInfo::CardBaitaiName,
};

constexpr qint64 kSaturated = std::numeric_limits<qint64>::max() / 16;

qint64 Clamp(qint64 value) {
  if (value > kSaturated) {
    return kSaturated;
  }
  if (value < -kSaturated) {
    return -kSaturated;
  }
  return value;
}

// Plain decimal text (optional sign, digits, optional fraction) to rounded
// tenths; nothing when the text has another shape.
std::optional<qint64> PlainDecimalToTenths(const QString& text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
    negative = text.at(i) == u'-';
    ++i;
  }
  qint64 whole = 0;
  int digits = 0;
  for (; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 0x80; ++i, ++digits) {
    whole = Clamp(whole * 10 + (text.at(i).unicode() - u'0'));
  }
  int first_decimal = 0;
  int second_decimal = 0;
  if (i < text.size() && text.at(i) == u'.') {
    ++i;
    int place = 0;
    for (; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 0x80; ++i, ++place) {
      const int digit = text.at(i).unicode() - u'0';
      if (place == 0) {
        first_decimal = digit;
      } else if (place == 1) {
        second_decimal = digit;
      }
      ++digits;
    }
  }
  if (digits == 0 || i != text.size()) {
    return std::nullopt;
  }
  // Halves away from zero: the second decimal alone decides, since 0.05 and
  // above rounds the magnitude up whatever follows.
  qint64 tenths = Clamp(whole * 10 + first_decimal + (second_decimal >= 5 ? 1 : 0));
  return negative ? -tenths : tenths;
}

qint64 ParseCount(const QString& text) {
  bool ok = false;
  const qint64 value = text.trimmed().toLongLong(&ok);
  return ok ? Clamp(value) : 0;
}

}  // namespace

QString& CardInfo::Field(int index) {
  if (index >= CardInfo::kFieldCount - 3) {
    return Memo.at(static_cast<size_t>(index - (CardInfo::kFieldCount - 3)));
  }
  return this->*kCardFieldOrder.at(static_cast<size_t>(index));
}

const QString& CardInfo::Field(int index) const {
  return const_cast<CardInfo*>(this)->Field(index);
}

void CardInfo::Clear() {
  *this = CardInfo();
}

QString ChannelTenths::OneDecimalText() const {
  if (tenths <= 0) {
    return QStringLiteral("0.0");
  }
  return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString ChannelTenths::PlainText() const {
  const qint64 magnitude = tenths < 0 ? -tenths : tenths;
  QString text = QString::number(magnitude / 10);
  if (magnitude % 10 != 0) {
    text += u'.' + QString::number(magnitude % 10);
  }
  return tenths < 0 ? u'-' + text : text;
}

qint64 SecondsTextToTenths(const QString& seconds) {
  const QString text = TextOrDefault(seconds, QStringLiteral("0")).trimmed();
  if (const auto tenths = PlainDecimalToTenths(text)) {
    return *tenths;
  }
  // Other numeric shapes ("1e3") still count; written out in plain decimals
  // first so that they round by the same digit rule.
  bool ok = false;
  const double value = QLocale::c().toDouble(text, &ok);
  if (!ok || !(value > -1e15 && value < 1e15)) {
    return 0;
  }
  return PlainDecimalToTenths(QString::number(value, 'f', 6)).value_or(0);
}

Project::Project() = default;

bool Project::IsEdited() const {
  for (bool edited : PageEdited) {
    if (edited) {
      return true;
    }
  }
  return false;
}

void Project::ClearPageEdited() {
  PageEdited.fill(false);
}

void Project::ResetPrograms() {
  for (int i = 0; i < ChannelCount && i < kProgramRecordCount; ++i) {
    programs[static_cast<size_t>(i)] = ProgramRecord();
  }
}

void Project::ResetPrograms(int page) {
  const int first = page * ChannelsPerPage;
  for (int i = first; i < first + ChannelsPerPage && i < kProgramRecordCount; ++i) {
    if (i >= 0) {
      programs[static_cast<size_t>(i)] = ProgramRecord();
    }
  }
}

void Project::ClearProject() {
  card.Clear();
  voices.clear();
  VoicesRegistered = false;
  NotifyCleared();
}

void Project::ReplaceContent(Project&& loaded) {
  for (int i = 0; i < ChannelCount && i < kProgramRecordCount; ++i) {
    programs[static_cast<size_t>(i)] = std::move(loaded.programs[static_cast<size_t>(i)]);
  }
  voices = std::move(loaded.voices);
  card = std::move(loaded.card);
  VoicesRegistered = loaded.VoicesRegistered;
  NotifyCleared();
}

void Project::NotifyCleared() {
  for (const auto& [id, listener] : cleared_listeners_) {
    listener();
  }
}

int Project::AddClearedListener(std::function<void()> listener) {
  cleared_listeners_.emplace_back(next_listener_id_, std::move(listener));
  return next_listener_id_++;
}

void Project::RemoveClearedListener(int id) {
  std::erase_if(cleared_listeners_, [id](const auto& entry) { return entry.first == id; });
}

std::optional<int> Project::FindVoice(const QString& name) const {
  for (qsizetype i = 0; i < voices.size(); ++i) {
    if (voices.at(i).NAME == name) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

bool Project::ChannelInUse(int channel) const {
  if (channel < 0 || channel >= kProgramRecordCount) {
    return false;
  }
  return !programs[static_cast<size_t>(channel)].Voice[0].isEmpty();
}

ChannelTenths Project::ChannelTime(int channel) const {
  if (channel < 0 || channel >= kProgramRecordCount) {
    return {};
  }
  const ProgramRecord& record = programs[static_cast<size_t>(channel)];
  qint64 sum = 0;
  for (int slot = 0; slot <= MaxVoiceIndex(Mode()); ++slot) {
    const QString& name = record.Voice[static_cast<size_t>(slot)];
    if (name.isEmpty()) {
      continue;
    }
    if (const auto voice = FindVoice(name)) {
      sum = Clamp(sum + SecondsTextToTenths(voices.at(*voice).SEC));
    }
  }
  const qint64 repeat = ParseCount(record.RP);
  // Both factors are clamped far below the overflow point of their product's
  // range check, so compare in floating point before multiplying.
  const long double product = static_cast<long double>(sum) * static_cast<long double>(repeat);
  if (product > static_cast<long double>(kSaturated)) {
    return {kSaturated};
  }
  if (product < -static_cast<long double>(kSaturated)) {
    return {-kSaturated};
  }
  return {sum * repeat};
}

QStringList MissingVoiceNames(const Project& project) {
  QStringList names;
  for (const VoiceRecord& voice : project.voices) {
    if (voice.IsMissing()) {
      names << voice.NAME;
    }
  }
  return names;
}

bool RefuseMissingVoices(const QStringList& missing, const QString& action, Operator& op) {
  if (missing.isEmpty()) {
    return false;
  }
  ShowText(
      op,
      QCoreApplication::translate("Project",
                                  "%1できません。次のSoundファイルが見つかりません。\r\n%2\r\n\r\n"
                                  "Sound登録でファイルを差し替えるか、削除してください。")
          .arg(action, missing.join(QStringLiteral("\r\n"))),
      msg::kTitleConfirm, MessageIcon::kExclamation);
  return true;
}

QString ChannelNumberText(int channel) {
  return QStringLiteral("%1").arg(channel + 1, 2, 10, QChar(u'0'));
}

QString ItemText(const QStringList& texts, const QString& item) {
  bool ok = false;
  const int k = item.toInt(&ok);
  return ok && k >= 1 && k <= texts.size() ? texts.at(k - 1) : item;
}

bool IsEmptyVoice(const QString& name) {
  return name.isEmpty() || name == QStringLiteral(" ");
}

}  // namespace parlatone
