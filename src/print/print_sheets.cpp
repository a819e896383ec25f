// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/print_sheets.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

#include "core/card_data.h"
#include "core/card_size.h"
#include "core/element_lists.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct SheetText {
  Q_DECLARE_TR_FUNCTIONS(PrintSheets)
};

namespace geo = sheet_geometry;

constexpr int kSlotsPerPass = 8;

// Editor sheet: channel, SP, RP, time, then eight voice slots sharing the rest.
constexpr double kChannelWidth = 11.0;
constexpr double kSpWidth = 9.0;
constexpr double kRpWidth = 9.0;
constexpr double kTimeWidth = 14.0;
constexpr double kEditRowHeight = 4.5;  // 51 rows: the 255 channels fill five pages exactly
constexpr double kEditFontPoints = 7.5;

constexpr double kVoiceRowHeight = 5.0;
constexpr double kVoiceFontPoints = 7.5;

constexpr double kFieldCaptionWidth = 52.0;
constexpr double kFieldRowHeight = 5.5;
constexpr double kFieldFontPoints = 9.0;
constexpr int kMemoLines = 3;  // 200 bytes wrap into three lines of the value column

QString PageTitle() {
  return u"Parlatone Editor"_s;
}

SheetPage NewPage(SheetKind kind, const QString& sheet_title, const SheetInputs& inputs) {
  SheetPage page;
  page.kind = kind;
  page.title = PageTitle();
  page.date = inputs.printed_at.date().toString(u"yyyy/MM/dd"_s);
  page.time = inputs.printed_at.time().toString(u"HH:mm:ss"_s);
  page.sheet_title = sheet_title;
  return page;
}

void NumberPages(std::vector<SheetPage>& pages) {
  const int count = static_cast<int>(pages.size());
  for (int i = 0; i < count; ++i) {
    pages[static_cast<size_t>(i)].page_number = i + 1;
    pages[static_cast<size_t>(i)].page_count = count;
  }
}

// The entry a stored list index (from 0) names; blank for "-1", an empty
// text or an index the list does not reach.
QString ListText(const QStringList& texts, const QString& index) {
  bool ok = false;
  const int k = index.trimmed().toInt(&ok);
  return ok && k >= 0 && k < texts.size() ? texts.at(k) : QString();
}

qint64 MillisecondsOf(const QString& seconds) {
  bool ok = false;
  const double value = QLocale::c().toDouble(seconds.trimmed(), &ok);
  return ok ? static_cast<qint64>(std::llround(value * 1000)) : 0;
}

qint64 BytesOf(const QString& bytes) {
  bool ok = false;
  const qint64 value = bytes.trimmed().toLongLong(&ok);
  return ok ? value : 0;
}

// Milliseconds as seconds with exactly three decimals, without the
// rounding noise of binary fractions.
QString ThreeDecimals(qint64 milliseconds) {
  const QString sign = milliseconds < 0 ? u"-"_s : QString();
  const qint64 magnitude = milliseconds < 0 ? -milliseconds : milliseconds;
  return sign + QString::number(magnitude / 1000) + u'.' +
         u"%1"_s.arg(magnitude % 1000, 3, 10, QChar(u'0'));
}

SheetTable FieldTable(const QString& title) {
  SheetTable table;
  table.title = title;
  table.headings = false;
  table.caption_column = true;
  table.row_height = kFieldRowHeight;
  table.font_points = kFieldFontPoints;
  table.columns = {{QString(), kFieldCaptionWidth, CellAlign::kLeft},
                   {QString(), geo::kContentWidth - kFieldCaptionWidth, CellAlign::kLeft}};
  return table;
}

void AddField(SheetTable& table, const QString& caption, const QString& value, int lines = 1) {
  table.rows.push_back({{caption, value}, lines});
}

// Breaks the rows of a table into pages; the totals go with the last rows
// when they fit there, else onto a page of their own. A table without rows
// still gets one page, so its headings and totals are printed.
std::vector<SheetTable> Paginate(const SheetTable& whole) {
  const int per_page = std::max(1, RowsPerPage(whole));
  std::vector<SheetTable> tables;
  const int row_count = static_cast<int>(whole.rows.size());
  for (int first = 0; first < row_count || tables.empty(); first += per_page) {
    SheetTable table = whole;
    table.totals.clear();
    const int last = std::min(row_count, first + per_page);
    table.rows.assign(whole.rows.begin() + first, whole.rows.begin() + last);
    tables.push_back(std::move(table));
  }
  if (!whole.totals.empty()) {
    SheetTable& last = tables.back();
    last.totals = whole.totals;
    if (last.Height() > geo::kBodyHeight + 1e-9) {
      last.totals.clear();
      SheetTable totals_only = whole;
      totals_only.rows.clear();
      tables.push_back(std::move(totals_only));
    }
  }
  return tables;
}

}  // namespace

QString SheetName(SheetKind kind) {
  switch (kind) {
    case SheetKind::kEditSheet:
      return u"ArEditSheet"_s;
    case SheetKind::kControlDataSheet:
      return u"ArControlDataSheet"_s;
    case SheetKind::kVoiceSheet:
      return u"ArVoiceSheet"_s;
    case SheetKind::kMpegVoiceSheet:
      return u"ArMpegVoiceSheet"_s;
  }
  return {};
}

QString SheetChoiceCaption(SheetChoice choice) {
  switch (choice) {
    case SheetChoice::kVoice:
      return SheetText::tr("Sound登録情報");
    case SheetChoice::kControlData:
      return SheetText::tr("コントロールデータ作成情報");
    case SheetChoice::kEditor:
      return SheetText::tr("エディタ情報");
  }
  return {};
}

QString PrintOrderNote() {
  QStringList captions;
  for (SheetChoice choice : kPrintOrder) {
    captions << SheetChoiceCaption(choice);
  }
  return SheetText::tr("印刷される順：\n%1").arg(captions.join(SheetText::tr(" → ")));
}

QString PdfFileName(const Project& project) {
  const QString name =
      project.card.CardName.isEmpty() ? project.settings.CardName : project.card.CardName;
  return IsPlainFileName(name) ? name + u".pdf"_s : QString();
}

SheetChoices ParsePrtSheet(const QString& text) {
  SheetChoices choices{};
  const QStringList entries = text.split(u',');
  for (int i = 0; i < kSheetChoiceCount && i < entries.size(); ++i) {
    choices[static_cast<size_t>(i)] = ParseIntegerSetting(entries.at(i)) == 1;
  }
  return choices;
}

QString PrtSheetText(const SheetChoices& choices) {
  QStringList entries;
  for (bool chosen : choices) {
    entries << (chosen ? u"1"_s : u"0"_s);
  }
  return entries.join(u',');
}

bool AnyChosen(const SheetChoices& choices) {
  return std::any_of(choices.begin(), choices.end(), [](bool chosen) { return chosen; });
}

ChannelRange PrintRange(const Project& project, bool all_channels) {
  const int channel_count = std::clamp(project.ChannelCount, 0, kProgramRecordCount);
  if (all_channels) {
    return {0, channel_count};
  }
  const int per_page = std::max(1, project.ChannelsPerPage);
  const int first = std::clamp(project.CurrentPage * per_page, 0, channel_count);
  return {first, std::min(per_page, channel_count - first)};
}

double SheetTable::Height() const {
  auto lines = [](const std::vector<TableRow>& rows) {
    int sum = 0;
    for (const TableRow& row : rows) {
      sum += row.lines;
    }
    return sum;
  };
  double height = title.isEmpty() ? 0 : geo::kTableTitleHeight;
  if (headings) {
    height += geo::kHeadingRowHeight;
  }
  height += lines(rows) * row_height;
  if (!totals.empty()) {
    height += geo::kFooterGap + lines(totals) * row_height;
  }
  return height;
}

QString SheetPage::FooterText() const {
  return u"%1 / %2"_s.arg(page_number).arg(page_count);
}

int RowsPerPage(const SheetTable& table) {
  SheetTable empty = table;
  empty.rows.clear();
  empty.totals.clear();
  return static_cast<int>(
      std::floor((geo::kBodyHeight - empty.Height()) / table.row_height + 1e-9));
}

ElementLists ReadPrintLists(const QString& element_file) {
  ElementLists lists;
  lists.sp = DisplayedElementList(element_file, u"Sp"_s);
  lists.repeat = DisplayedElementList(element_file, u"Repeat"_s);
  lists.card = DisplayedElementList(element_file, u"Card"_s);
  lists.tape = DisplayedElementList(element_file, u"Tape"_s);
  lists.baitai = DisplayedElementList(element_file, u"Baitai"_s);
  return lists;
}

SheetInputs MakeSheetInputs(const Project& project, const QString& element_file,
                            const QDateTime& printed_at) {
  SheetInputs inputs;
  inputs.printed_at = printed_at;
  inputs.lists = ReadPrintLists(element_file);
  inputs.sound_bytes = TotalSoundSize(project).bytes;
  return inputs;
}

std::vector<SheetPage> BuildEditSheet(const Project& project, const ChannelRange& range,
                                      const SheetInputs& inputs) {
  const int slot_count = MaxVoiceIndex(project.Mode()) + 1;
  const int passes = std::max(1, slot_count / kSlotsPerPass);
  const int first = std::clamp(range.first, 0, kProgramRecordCount);
  const int count = std::clamp(range.count, 0, kProgramRecordCount - first);
  // The control file the card data window makes; blank until both names are given.
  const bool named = !project.card.Forder.isEmpty() && !project.card.CardName.isEmpty();
  const QString path = named ? ControlFilePath(project) : QString();
  std::vector<SheetPage> pages;
  for (int pass = 0; pass < passes; ++pass) {
    const int first_slot = pass * kSlotsPerPass;
    SheetTable table;
    table.row_height = kEditRowHeight;
    table.font_points = kEditFontPoints;
    table.columns = {{u"CH"_s, kChannelWidth, CellAlign::kCenter},
                     {u"SP"_s, kSpWidth, CellAlign::kCenter},
                     {u"RP"_s, kRpWidth, CellAlign::kCenter},
                     {SheetText::tr("時間(秒)"), kTimeWidth, CellAlign::kRight}};
    const double slot_width =
        (geo::kContentWidth - kChannelWidth - kSpWidth - kRpWidth - kTimeWidth) / kSlotsPerPass;
    for (int s = 0; s < kSlotsPerPass; ++s) {
      table.columns.push_back({QString::number(first_slot + s + 1), slot_width, CellAlign::kLeft});
    }
    for (int channel = first; channel < first + count; ++channel) {
      const ProgramRecord& record = project.programs[static_cast<size_t>(channel)];
      QStringList cells{ChannelNumberText(channel), ItemText(inputs.lists.sp, record.SP),
                        ItemText(inputs.lists.repeat, record.RP),
                        ChannelTenths{SecondsTextToTenths(record.Time)}.OneDecimalText()};
      for (int s = 0; s < kSlotsPerPass; ++s) {
        const QString& name = record.Voice[static_cast<size_t>(first_slot + s)];
        cells << (IsEmptyVoice(name) ? QString() : name);
      }
      table.rows.push_back({cells, 1});
    }
    const QString subtitle =
        SheetText::tr("チャンネル %1～%2　　ボイス %3～%4")
            .arg(ChannelNumberText(first), ChannelNumberText(first + std::max(count, 1) - 1),
                 QString::number(first_slot + 1), QString::number(first_slot + kSlotsPerPass));
    for (SheetTable& part : Paginate(table)) {
      SheetPage page =
          NewPage(SheetKind::kEditSheet, SheetChoiceCaption(SheetChoice::kEditor), inputs);
      page.subtitle = subtitle;
      page.has_path_line = true;
      page.path = path;
      page.tables.push_back(std::move(part));
      pages.push_back(std::move(page));
    }
  }
  NumberPages(pages);
  return pages;
}

std::vector<SheetPage> BuildControlDataSheet(const Project& project, const SheetInputs& inputs) {
  const CardInfo& card = project.card;
  const ElementLists& lists = inputs.lists;
  const bool mp3 = IsMp3Series(project.Mode());
  const QString sound = mp3 ? u"mp3"_s : u"WAVE"_s;
  const QString memory =
      inputs.sound_bytes == 0 ? QString() : SheetText::tr("%1バイト").arg(inputs.sound_bytes);

  SheetPage page =
      NewPage(SheetKind::kControlDataSheet, SheetChoiceCaption(SheetChoice::kControlData), inputs);
  SheetTable base = FieldTable(SheetText::tr("カードデータ"));
  AddField(base, SheetText::tr("カードデータファイル名"), card.CardName);
  AddField(base, SheetText::tr("作成フォルダ名"), card.Forder);
  AddField(base, SheetText::tr("使用機種"), card.Model);
  AddField(base, SheetText::tr("使用カード容量"), ListText(lists.card, card.CardSize));
  AddField(base, SheetText::tr("積算カード容量"),
           SizeClassOf(inputs.sound_bytes, project.Mode()).text);
  AddField(base, SheetText::tr("積算メモリ容量"), memory);
  AddField(base, SheetText::tr("作成枚数"),
           card.Maisuu.isEmpty() ? QString() : SheetText::tr("%1 枚").arg(card.Maisuu));
  page.tables.push_back(std::move(base));

  SheetTable recording = FieldTable(SheetText::tr("録音情報"));
  AddField(recording, SheetText::tr("録音スタジオ"), card.RecStdio);
  AddField(recording, SheetText::tr("アナウンサー"), card.RecAna);
  AddField(recording, SheetText::tr("録音日"), card.RecDate);
  AddField(recording, SheetText::tr("録音環境"), card.RecKankyou);
  page.tables.push_back(std::move(recording));

  SheetTable sound_data =
      FieldTable(GetMessage(SeriesMessage(SeriesText::kCardInfoFrame, project.Mode())));
  AddField(sound_data, SheetText::tr("%1制作会社").arg(sound), card.WaveCom);
  AddField(sound_data, SheetText::tr("%1作成者").arg(sound), card.WavePerson);
  AddField(sound_data, SheetText::tr("%1作成日").arg(sound), card.WaveDate);
  AddField(sound_data, SheetText::tr("%1作成環境").arg(sound), card.WaveKankyou);
  page.tables.push_back(std::move(sound_data));

  SheetTable card_data = FieldTable(SheetText::tr("カードデータ作成情報"));
  AddField(card_data, SheetText::tr("カードデータ作成会社"), card.CardCom);
  AddField(card_data, SheetText::tr("カードデータ作成者"), card.CardPerson);
  AddField(card_data, SheetText::tr("カードデータ作成日"), card.CardDate);
  AddField(card_data, SheetText::tr("カードデータ作成環境"), card.CardKankyou);
  page.tables.push_back(std::move(card_data));

  SheetTable media = FieldTable(SheetText::tr("記録媒体"));
  AddField(media, SheetText::tr("テープ・ＭＤ種類"), ListText(lists.tape, card.TpMd));
  AddField(media, SheetText::tr("テープ・ＭＤ名"), card.TpMdName);
  AddField(media, SheetText::tr("%1記録媒体種類").arg(sound),
           ListText(lists.baitai, card.RecBaitai));
  AddField(media, SheetText::tr("%1記録媒体名").arg(sound), card.WaveBaitai);
  AddField(media, SheetText::tr("カードデータ記録媒体種類"),
           ListText(lists.baitai, card.CardBaitai));
  AddField(media, SheetText::tr("カードデータ記録媒体名"), card.CardBaitaiName);
  page.tables.push_back(std::move(media));

  SheetTable comments = FieldTable(SheetText::tr("コメント"));
  AddField(comments, SheetText::tr("コメント①"), card.Memo[0], kMemoLines);
  AddField(comments, SheetText::tr("コメント②"), card.Memo[1], kMemoLines);
  AddField(comments, SheetText::tr("コメント③"), card.Memo[2], kMemoLines);
  page.tables.push_back(std::move(comments));

  std::vector<SheetPage> pages{std::move(page)};
  NumberPages(pages);
  return pages;
}

std::vector<SheetPage> BuildVoiceSheet(const Project& project, const SheetInputs& inputs) {
  const bool mp3 = IsMp3Series(project.Mode());
  SheetTable table;
  table.row_height = kVoiceRowHeight;
  table.font_points = kVoiceFontPoints;
  table.columns = {{u"No."_s, 9, CellAlign::kCenter},
                   {SheetText::tr("ファイル名"), 25, CellAlign::kLeft},
                   {SheetText::tr("周波数"), 17, CellAlign::kRight}};
  if (mp3) {
    table.columns.push_back({SheetText::tr("ビットレート"), 17, CellAlign::kRight});
    table.columns.push_back({SheetText::tr("タイプ"), 13, CellAlign::kCenter});
    table.columns.push_back({u"MPEG"_s, 11, CellAlign::kCenter});
    table.columns.push_back({u"Layer"_s, 10, CellAlign::kCenter});
  } else {
    table.columns.push_back({SheetText::tr("ビット"), 12, CellAlign::kRight});
    table.columns.push_back({SheetText::tr("タイプ"), 13, CellAlign::kCenter});
  }
  table.columns.push_back({SheetText::tr("時間(秒)"), 16, CellAlign::kRight});
  table.columns.push_back({SheetText::tr("バイト数"), 19, CellAlign::kRight});
  double used = 0;
  for (const TableColumn& column : table.columns) {
    used += column.width;
  }
  table.columns.push_back({SheetText::tr("コメント"), geo::kContentWidth - used, CellAlign::kLeft});

  qint64 milliseconds = 0;
  qint64 bytes = 0;
  for (int v = 0; v < project.voices.size(); ++v) {
    const VoiceRecord& voice = project.voices.at(v);
    QStringList cells{u"%1"_s.arg(v + 1, 3, 10, QChar(u'0')), voice.NAME, voice.SampleRate,
                      voice.BitRate, voice.TYPE};
    if (mp3) {
      cells << voice.MPEG << voice.Layer;
    }
    cells << voice.SEC << voice.BYTES << voice.COMENTS;
    table.rows.push_back({cells, 1});
    milliseconds += MillisecondsOf(voice.SEC);
    bytes += BytesOf(voice.BYTES);
  }
  // The totals stand under the time and size columns, captioned by one cell
  // across the columns before them.
  const int time_column = static_cast<int>(table.columns.size()) - 3;
  table.totals.push_back({{SheetText::tr("合計（%1 ファイル）").arg(project.voices.size()),
                           ThreeDecimals(milliseconds), QString::number(bytes), QString()},
                          1,
                          {time_column, 1, 1, 1}});

  const SheetKind kind = mp3 ? SheetKind::kMpegVoiceSheet : SheetKind::kVoiceSheet;
  std::vector<SheetPage> pages;
  for (SheetTable& part : Paginate(table)) {
    SheetPage page = NewPage(kind, SheetChoiceCaption(SheetChoice::kVoice), inputs);
    page.tables.push_back(std::move(part));
    pages.push_back(std::move(page));
  }
  NumberPages(pages);
  return pages;
}

bool MayBuildSheets(const Project& project, const SheetChoices& choices, Operator& op) {
  return !choices[static_cast<size_t>(SheetChoice::kVoice)] ||
         !RefuseMissingVoices(MissingVoiceNames(project), SheetText::tr("Sound登録情報を印刷"), op);
}

PrintDocument BuildPrintDocument(const Project& project, const SheetChoices& choices,
                                 bool all_channels, const SheetInputs& inputs) {
  PrintDocument document;
  document.title = GetMessage(1000);
  auto append = [&document](std::vector<SheetPage> pages) {
    for (SheetPage& page : pages) {
      document.pages.push_back(std::move(page));
    }
  };
  for (SheetChoice choice : kPrintOrder) {
    if (!choices[static_cast<size_t>(choice)]) {
      continue;
    }
    switch (choice) {
      case SheetChoice::kEditor:
        append(BuildEditSheet(project, PrintRange(project, all_channels), inputs));
        break;
      case SheetChoice::kControlData:
        append(BuildControlDataSheet(project, inputs));
        break;
      case SheetChoice::kVoice:
        append(BuildVoiceSheet(project, inputs));
        break;
    }
  }
  return document;
}

}  // namespace parlatone
