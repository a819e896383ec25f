// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON project that `write --from` reads, on arbitrary bytes: read as
// the command reads it, then written out as a control file's text. A
// project that was read comes back unchanged through its own JSON form, so
// what `show` prints, `write` takes back as it was.
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>

#include "controlfile/control_file_writer.h"
#include "core/project.h"
#include "core/series.h"
#include "project_json.h"

namespace {

// The series as `write` takes it; false for a value it refuses.
bool ReadProject(const QJsonObject& json, parlatone::Project& project) {
  if (json.contains(QStringLiteral("series"))) {
    const int series = json.value(QStringLiteral("series")).toInt(-1);
    if (series < 0 || series >= parlatone::kSeriesCount) {
      return false;
    }
    project.settings.Mode = series;
    parlatone::DeriveSeriesLimits(project);
  }
  QString error;
  return parlatone::cli::ProjectFromJson(json, project, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  if (!document.isObject()) {
    return 0;
  }
  parlatone::Project project;
  if (!ReadProject(document.object(), project)) {
    return 0;
  }
  const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
  (void)parlatone::ControlFileText(project, parlatone::AnyChannelInUse(project), now);
  (void)parlatone::ControlFileText(project, true, now, true);

  parlatone::Project again;
  if (!ReadProject(parlatone::cli::ProjectJson(project), again)) {
    __builtin_trap();
  }
  if (again.Mode() != project.Mode() || again.voices != project.voices ||
      again.VoicesRegistered != project.VoicesRegistered || !(again.card == project.card)) {
    __builtin_trap();
  }
  for (int channel = 0; channel < project.ChannelCount; ++channel) {
    if (!(again.programs[static_cast<size_t>(channel)] ==
          project.programs[static_cast<size_t>(channel)])) {
      __builtin_trap();
    }
  }
  return 0;
}
