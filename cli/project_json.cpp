// SPDX-License-Identifier: GPL-3.0-or-later
#include "project_json.h"

#include <QJsonArray>

#include <algorithm>

#include "core/series.h"

namespace parlatone::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr const char16_t* kCardFieldNames[CardInfo::kFieldCount] = {
    u"CardName",    u"Forder",   u"UseSize",    u"Model",      u"Maisuu",      u"RecStdio",
    u"RecAna",      u"RecDate",  u"RecKankyou", u"WaveCom",    u"WavePerson",  u"WaveDate",
    u"WaveKankyou", u"CardCom",  u"CardPerson", u"CardDate",   u"CardKankyou", u"CardSize",
    u"TpMd",        u"TpMdName", u"RecBaitai",  u"WaveBaitai", u"CardBaitai",  u"CardBaitaiName",
    u"Memo1",       u"Memo2",    u"Memo3"};

using VoiceField = QString VoiceRecord::*;
// In the order a JSON object keeps its keys (by code unit), so that a
// report written field by field reads as a document would.
const std::pair<const char*, VoiceField> kVoiceFields[] = {{"BYTES", &VoiceRecord::BYTES},
                                                           {"BitRate", &VoiceRecord::BitRate},
                                                           {"COMENTS", &VoiceRecord::COMENTS},
                                                           {"FilePath", &VoiceRecord::FilePath},
                                                           {"Layer", &VoiceRecord::Layer},
                                                           {"MPEG", &VoiceRecord::MPEG},
                                                           {"NAME", &VoiceRecord::NAME},
                                                           {"SEC", &VoiceRecord::SEC},
                                                           {"SampleRate", &VoiceRecord::SampleRate},
                                                           {"TYPE", &VoiceRecord::TYPE}};

}  // namespace

QString CardFieldName(int index) {
  return QString::fromUtf16(kCardFieldNames[index]);
}

QJsonObject VoiceJson(const VoiceRecord& voice) {
  QJsonObject json;
  for (const auto& [name, field] : kVoiceFields) {
    json.insert(QLatin1StringView(name), voice.*field);
  }
  return json;
}

void WriteVoiceJson(JsonWriter& writer, const VoiceRecord& voice) {
  writer.BeginObject();
  for (const auto& [name, field] : kVoiceFields) {
    writer.Key(QLatin1StringView(name));
    writer.Value(voice.*field);
  }
  writer.EndObject();
}

VoiceRecord VoiceFromJson(const QJsonObject& json) {
  VoiceRecord voice;
  for (const auto& [name, field] : kVoiceFields) {
    voice.*field = json.value(QLatin1StringView(name)).toString();
  }
  return voice;
}

QJsonObject ProjectJson(const Project& project) {
  QJsonArray voices;
  for (const VoiceRecord& voice : project.voices) {
    voices.append(VoiceJson(voice));
  }
  QJsonArray programs;
  const ProgramRecord reset;
  for (int channel = 0; channel < project.ChannelCount; ++channel) {
    const ProgramRecord& record = project.programs[static_cast<size_t>(channel)];
    if (record == reset) {
      continue;
    }
    // Up to the last voice, with the empty slots before it: each voice has
    // its place (a program whose first slot is empty does not play).
    const auto last = std::find_if(record.Voice.rbegin(), record.Voice.rend(),
                                   [](const QString& name) { return !name.isEmpty(); });
    QJsonArray slots;
    for (auto slot = record.Voice.begin(); slot != last.base(); ++slot) {
      slots.append(*slot);
    }
    programs.append(QJsonObject{{u"channel"_s, channel},
                                {u"SP"_s, record.SP},
                                {u"RP"_s, record.RP},
                                {u"Time"_s, record.Time},
                                {u"Voice"_s, slots}});
  }
  QJsonObject card;
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    card.insert(CardFieldName(i), project.card.Field(i));
  }
  return {{u"series"_s, project.Mode()},
          {u"voices"_s, voices},
          {u"programs"_s, programs},
          {u"card"_s, card}};
}

bool ProjectFromJson(const QJsonObject& json, Project& project, QString& error) {
  for (const QJsonValue& value : json.value(u"voices"_s).toArray()) {
    if (!value.isObject()) {
      error = u"every entry of \"voices\" must be an object"_s;
      return false;
    }
    project.voices.append(VoiceFromJson(value.toObject()));
  }
  project.VoicesRegistered = !project.voices.isEmpty();
  for (const QJsonValue& value : json.value(u"programs"_s).toArray()) {
    const QJsonObject program = value.toObject();
    const int channel = program.value(u"channel"_s).toInt(-1);
    if (channel < 0 || channel >= project.ChannelCount) {
      error = u"a program's \"channel\" must be a channel index from 0 to %1"_s.arg(
          project.ChannelCount - 1);
      return false;
    }
    ProgramRecord& record = project.programs[static_cast<size_t>(channel)];
    record.SP = program.value(u"SP"_s).toString(record.SP);
    record.RP = program.value(u"RP"_s).toString(record.RP);
    record.Time = program.value(u"Time"_s).toString(record.Time);
    const QJsonArray slots = program.value(u"Voice"_s).toArray();
    if (slots.size() > kVoiceSlotCount) {
      error = u"a program holds at most %1 voices"_s.arg(kVoiceSlotCount);
      return false;
    }
    for (qsizetype slot = 0; slot < slots.size(); ++slot) {
      record.Voice[static_cast<size_t>(slot)] = slots.at(slot).toString();
    }
  }
  const QJsonObject card = json.value(u"card"_s).toObject();
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    project.card.Field(i) = card.value(CardFieldName(i)).toString();
  }
  return true;
}

}  // namespace parlatone::cli
