// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

#include "core/project.h"
#include "core/series.h"
#include "support/sound_fixtures.h"

namespace parlatone::testing {

// The project in series `mode`, with that series' limits.
inline void UseSeries(Project& project, int mode) {
  project.settings.Mode = mode;
  DeriveSeriesLimits(project);
}

// The channel's slots hold these names, from the first on.
inline void FillChannel(Project& project, int channel, const QStringList& names) {
  for (qsizetype s = 0; s < names.size(); ++s) {
    project.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(s)] = names[s];
  }
}

// A card information form that passes every check.
inline CardInfo GoodCardForm() {
  CardInfo form;
  form.CardName = QStringLiteral("ANN01");
  form.Forder = QStringLiteral("駅構内放送");
  form.Model = QStringLiteral("QDX-255");
  form.CardSize = QStringLiteral("0");
  form.CardCom = QStringLiteral("株式会社パーラトーン");
  form.CardPerson = QStringLiteral("山田");
  form.CardDate = QStringLiteral("2026/12/06");
  return form;
}

// A project a card can be made from, in series `mode`: the card folder
// ROOT/cards made, the sounds written to ROOT/sounds and registered, the
// first channel playing the first of them, and a form that passes every
// check. False when a folder or file could not be made.
inline bool MakeCardReady(Project& project, const QString& root, int mode, const QStringList& names,
                          int milliseconds = 100) {
  UseSeries(project, mode);
  project.settings.CardPath = root + QStringLiteral("/cards");
  project.voices.clear();
  for (const QString& name : names) {
    VoiceRecord voice;
    voice.NAME = name;
    voice.FilePath = root + QStringLiteral("/sounds/") + name;
    voice.SEC = QString::number(milliseconds / 1000.0, 'f', 3);
    if (!WriteBytes(voice.FilePath, WaveOfLength(22050, 1, 16, milliseconds))) {
      return false;
    }
    project.voices.append(voice);
  }
  project.VoicesRegistered = true;
  project.programs[0].Voice[0] = names.first();
  project.card = GoodCardForm();
  return QDir().mkpath(project.settings.CardPath);
}

// Registered voices v0.wav, v1.wav... with no files behind them, for lists
// and tables that only show them.
inline void AddVoices(Project& project, int count, const QString& sec, const QString& bytes) {
  for (int v = 0; v < count; ++v) {
    VoiceRecord voice;
    voice.NAME = QStringLiteral("v%1.wav").arg(v);
    voice.SEC = sec;
    voice.BYTES = bytes;
    project.voices.append(voice);
  }
  project.VoicesRegistered = count > 0;
}

}  // namespace parlatone::testing
