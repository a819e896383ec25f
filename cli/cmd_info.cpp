// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>

#include "command.h"
#include "core/messages.h"
#include "core/series.h"
#include "json_output.h"
#include "project_json.h"
#include "sound/voice_record_text.h"
#include "voices/registration.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Reads sound files as the current series reads them at registration.
class InfoCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(InfoCommand)

 public:
  QString Name() const override { return u"info"_s; }
  QString Summary() const override {
    return tr("read sound files as the series registers them: format, length, voice texts");
  }
  Synopsis Forms() const override { return {{json_, u"FILE..."_s}}; }
  QString Description() const override {
    return tr(
        "Reads each file as the current series does (WAVE, or MP3 in series 7) and shows\n"
        "its format, playing length, size, the voice texts a registration would give it\n"
        "and whether the series takes it. A refused file shows the message that refuses it.\n"
        "Exit status 0 when every file is accepted, 1 otherwise.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("no file given"))) {
      return kExitUsage;
    }
    const bool json = parser.isSet(json_);
    const QStringList files = parser.positionalArguments();
    const int mode = context.project.Mode();
    const AcceptanceRules rules = AcceptanceRules::From(context.project);
    const QDir current = QDir::current();
    bool all_accepted = true;
    JsonWriter report;
    report.BeginArray();
    for (const QString& file : files) {
      const QString path = QDir::cleanPath(current.absoluteFilePath(file));
      // Exactly what a registration asks of a file before it takes a slot;
      // only the checks that depend on a voice list (capacity, duplicate
      // names) are left out.
      const FileExamination examined = ExamineForRegistration(path, rules);
      QStringList messages;
      if (examined.reason) {
        context.op.ShowMessage(*examined.reason);
        messages << examined.reason->text;
      }
      const bool accepted = examined.accepted();
      all_accepted &= accepted;
      const SoundInfo& info = examined.info;
      const qint64 length_ms = examined.length_ms;
      const qint64 bytes = examined.bytes;
      const VoiceRecord record = MakeVoiceRecord(path, info, length_ms, bytes, mode);
      if (json) {
        // Keys in the order a JSON object keeps them.
        report.BeginObject();
        const std::pair<const char*, qint64> format[] = {
            {"BitsPerSample", info.BitsPerSample}, {"BlockAlign", info.BlockAlign},
            {"ByteRate", info.ByteRate},           {"Channels", info.Channels},
            {"ExtraSize", info.ExtraSize},         {"FormatTag", info.FormatTag},
            {"MpegLayer", info.MpegLayer},         {"MpegVersion", info.MpegVersion},
            {"SampleRate", info.SampleRate}};
        for (const auto& [key, value] : format) {
          report.Key(QLatin1StringView(key));
          report.Value(value);
        }
        report.Key("accepted"_L1);
        report.Value(accepted);
        report.Key("bytes"_L1);
        report.Value(bytes);
        report.Key("file"_L1);
        report.Value(path);
        report.Key("lengthMs"_L1);
        report.Value(length_ms);
        report.Key("messages"_L1);
        report.Value(messages);
        report.Key("record"_L1);
        WriteVoiceJson(report, record);
        report.EndObject();
        continue;
      }
      context.out << path << '\n'
                  << u"  format tag "_s << info.FormatTag << u", channels "_s << info.Channels
                  << u", rate "_s << info.SampleRate << u" Hz, byte rate "_s << info.ByteRate
                  << u", block align "_s << info.BlockAlign << u", bits "_s << info.BitsPerSample
                  << u", extra "_s << info.ExtraSize << u", MPEG "_s << info.MpegVersion
                  << u", layer "_s << info.MpegLayer << '\n'
                  << u"  length "_s << length_ms << u" ms, "_s << bytes << u" bytes\n"_s
                  << u"  voice: "_s << record.SampleRate << u" , "_s << record.BitRate << u" , "_s
                  << record.TYPE << u" , "_s << tr("%1 秒").arg(record.SEC) << u" , "_s
                  << tr("%1 バイト").arg(record.BYTES);
      if (IsMp3Series(mode)) {
        context.out << u" , MPEG "_s << record.MPEG << u" Layer "_s << record.Layer;
      }
      context.out << '\n';
      if (accepted) {
        context.out << u"  "_s << tr("accepted") << '\n';
      } else {
        // The message that refused it, on a line of its own.
        context.out << u"  "_s << tr("refused")
                    << (messages.isEmpty() ? QString() : u": "_s + messages.front().simplified())
                    << '\n';
      }
    }
    if (json) {
      report.EndArray();
      PrintJsonBytes(context, report.bytes());
    }
    return all_accepted ? kExitOk : kExitFailure;
  }

 private:
  const QCommandLineOption json_{u"json"_s};
};

}  // namespace

std::unique_ptr<Command> MakeInfoCommand() {
  return std::make_unique<InfoCommand>();
}

}  // namespace parlatone::cli
