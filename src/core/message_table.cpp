// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/message_table.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

namespace parlatone::detail {

namespace {

// The numbered messages, one a line, in ascending order. The texts are the
// translators' source: full-width blanks, trailing blanks and line breaks
// are part of them.
// clang-format off
constexpr MessageEntry kMessages[] = {
    {1000, QT_TRANSLATE_NOOP("Messages", "Parlatone Editor 3J")},
    {1001, QT_TRANSLATE_NOOP("Messages", "カードデータ作成")},
    {1002, QT_TRANSLATE_NOOP("Messages", "使用許諾契約書")},
    {1003, QT_TRANSLATE_NOOP("Messages", "更新履歴")},
    {1004, QT_TRANSLATE_NOOP("Messages", "Sound登録")},
    {1005, QT_TRANSLATE_NOOP("Messages", "試聴")},
    {1006, QT_TRANSLATE_NOOP("Messages", "詳細設定")},
    {1008, QT_TRANSLATE_NOOP("Messages", "印刷")},
    {1010, QT_TRANSLATE_NOOP("Messages", "SP／出力系統")},
    {1011, QT_TRANSLATE_NOOP("Messages", "RP／リピート再生回数")},
    {2000, QT_TRANSLATE_NOOP("Messages", "ソフトウェアは既に起動しています。")},
    {2002, QT_TRANSLATE_NOOP("Messages", "確認")},
    {2003, QT_TRANSLATE_NOOP("Messages", "注意")},
    {2011, QT_TRANSLATE_NOOP("Messages", "1～250")},
    {2012, QT_TRANSLATE_NOOP("Messages", "251～500")},
    {2013, QT_TRANSLATE_NOOP("Messages", "501～750")},
    {2014, QT_TRANSLATE_NOOP("Messages", "751～1000")},
    {2015, QT_TRANSLATE_NOOP("Messages", "1～255")},
    {2016, QT_TRANSLATE_NOOP("Messages", "秒")},
    {2017, QT_TRANSLATE_NOOP("Messages", "バイト")},
    {2020, QT_TRANSLATE_NOOP("Messages", "編集内容がクリアされますがよろしいですか？　\r\n")},
    {2021, QT_TRANSLATE_NOOP("Messages", "ファイルの移動は出来ません。　　")},
    {2022, QT_TRANSLATE_NOOP("Messages", "プログラム登録内容を全て上書きします。　　\nよろしいですか？　　")},
    {2023, QT_TRANSLATE_NOOP("Messages", "Flash Cardのフォーマット（初期化）のご注意")},
    {2024, QT_TRANSLATE_NOOP("Messages", "エディタ情報が変更されています。保存しますか？　　\n「はい」　　：　保存して終了\n「いいえ」　：　保存せずに終了")},
    {2025, QT_TRANSLATE_NOOP("Messages", "アプリケーションを終了してもよろしいですか？　　")},
    {2026, QT_TRANSLATE_NOOP("Messages", "音声情報が変更されています。保存せずに終了してもよろしいですか？　　")},
    {2027, QT_TRANSLATE_NOOP("Messages", "コントロールデータ作成中....")},
    {2028, QT_TRANSLATE_NOOP("Messages", "削除してもよろしいですか？　　")},
    {2029, QT_TRANSLATE_NOOP("Messages", "すべて削除してよろしいですか？　　")},
    {2030, QT_TRANSLATE_NOOP("Messages", "「デジタルカメラ」のフォーマットではご使用できません。\r\nFlash Cardは必ず、PC上でフォーマット（初期化）してからご使用下さい。\r\n※使用できるフォーマット形式は[FAT16]のみです。[FAT32][NTFS] 形式は使用できません。")},
    {2031, QT_TRANSLATE_NOOP("Messages", "既に同じフォルダが存在します。現在のファイルと置き換えてよろしいですか？")},
    {2033, QT_TRANSLATE_NOOP("Messages", "初期化中....")},
    {2034, QT_TRANSLATE_NOOP("Messages", "データファイルをコピーしています....")},
    {2035, QT_TRANSLATE_NOOP("Messages", "コントロールファイル [ .Wpj ] とWAVEファイルをFlashCardにコピーしてご使用ください。\r\n推奨メーカー・形式のFlashCardをご使用ください。それ以外のFlashCardでは正常に動作しない場合があります。")},
    {2037, QT_TRANSLATE_NOOP("Messages", "コントロールファイルとWAVEファイルのご使用上のご注意")},
    {2038, QT_TRANSLATE_NOOP("Messages", "カードデータを作成しています。")},
    {2039, QT_TRANSLATE_NOOP("Messages", "ファイル読込みを中止します。")},
    {2040, QT_TRANSLATE_NOOP("Messages", "Voiceデータ追加")},
    {2042, QT_TRANSLATE_NOOP("Messages", " は既に登録されています。　　")},
    {2043, QT_TRANSLATE_NOOP("Messages", "カードデータファイル名を入力してください。　　")},
    {2044, QT_TRANSLATE_NOOP("Messages", "カードデータを保存するフォルダを指定してください。　　")},
    {2045, QT_TRANSLATE_NOOP("Messages", "指定されたフォルダは存在しません。　　")},
    {2046, QT_TRANSLATE_NOOP("Messages", "フォルダを作成しますか？　　")},
    {2047, QT_TRANSLATE_NOOP("Messages", "フォルダの作成に失敗しました。　　")},
    {2048, QT_TRANSLATE_NOOP("Messages", "モードが変更されました。現在編集中の内容が破棄されますが、よろしいですか？")},
    {2050, QT_TRANSLATE_NOOP("Messages", "拡張子はwpjにして下さい。")},
    {2051, QT_TRANSLATE_NOOP("Messages", "一時保存ファイルを作成しました。　　")},
    {2052, QT_TRANSLATE_NOOP("Messages", "エディタ情報を初期化してよろしいですか？")},
    {2053, QT_TRANSLATE_NOOP("Messages", "コントロールファイル [ .zpx ] とmp3ファイルをFlashCardにコピーしてご使用ください。\r\n推奨メーカー・形式のFlashCardをご使用ください。それ以外のFlashCardでは正常に動作しない場合があります。")},
    {2054, QT_TRANSLATE_NOOP("Messages", "コントロールファイルとmp3ファイルのご使用上のご注意")},
    {2059, QT_TRANSLATE_NOOP("Messages", "確認して下さい。")},
    {2060, QT_TRANSLATE_NOOP("Messages", "カードデータファイル名を入力して下さい。\r\n")},
    {2061, QT_TRANSLATE_NOOP("Messages", "入力できる文字数は半角8文字です。\r\n")},
    {2062, QT_TRANSLATE_NOOP("Messages", "全角文字は使用できません。\r\n")},
    {2063, QT_TRANSLATE_NOOP("Messages", "カードデータファイル名には\r\n")},
    {2064, QT_TRANSLATE_NOOP("Messages", "は使用できません。\r\n")},
    {2065, QT_TRANSLATE_NOOP("Messages", "作成フォルダ名を入力してください。\r\n")},
    {2066, QT_TRANSLATE_NOOP("Messages", "入力できる文字数は全角20文字です。\r\n")},
    {2067, QT_TRANSLATE_NOOP("Messages", "入力できる文字数は全角１0文字です。\r\n")},
    {2069, QT_TRANSLATE_NOOP("Messages", "カード容量を入力してください。\r\n")},
    {2070, QT_TRANSLATE_NOOP("Messages", "カードデータ作成会社を入力してください。\r\n")},
    {2071, QT_TRANSLATE_NOOP("Messages", "カードデータ作成者を入力してください。\r\n")},
    {2072, QT_TRANSLATE_NOOP("Messages", "入力できる文字数は全角14文字です。\r\n")},
    {2073, QT_TRANSLATE_NOOP("Messages", "入力できる文字数は全角100文字です。\r\n")},
    {2074, QT_TRANSLATE_NOOP("Messages", "詳細情報が変更されています。\n保存せずに終了してもよろしいですか？")},
    {2075, QT_TRANSLATE_NOOP("Messages", " が含まれるWAVEファイル")},
    {2076, QT_TRANSLATE_NOOP("Messages", "ファイル名が半角13文字以上のファイルは登録できません。")},
    {2077, QT_TRANSLATE_NOOP("Messages", "ファイル名に ")},
    {2078, QT_TRANSLATE_NOOP("Messages", " が含まれるmp3ファイル")},
    {2080, QT_TRANSLATE_NOOP("Messages", "入力された値が不正です。確認してください。")},
    {2081, QT_TRANSLATE_NOOP("Messages", "エディタ情報が入力されていません。確認してください。")},
    {2082, QT_TRANSLATE_NOOP("Messages", "現在、詳細設定で指定されているカードデータフォルダは存在しません。　　\r\n正しいフォルダを指定してください。")},
    {2083, QT_TRANSLATE_NOOP("Messages", "使用機種を入力して下さい。")},
    {2097, QT_TRANSLATE_NOOP("Messages", "カードデータ作成日を入力してください。\r\n")},
    {2100, QT_TRANSLATE_NOOP("Messages", "ステレオ形式のファイルは扱えません。")},
    {2101, QT_TRANSLATE_NOOP("Messages", "16Ｂｉｔサンプリングのファイルは扱えません。")},
    {2102, QT_TRANSLATE_NOOP("Messages", "使用できる周波数は8KHz,11.025KHz,12.8KHz,16.0KHz,22.05KHz,32.0KHz,44.1KHz,48.0KHz です。")},
    {2103, QT_TRANSLATE_NOOP("Messages", "使用できる周波数は 22.05KHz,44.1KHzです。")},
    {2104, QT_TRANSLATE_NOOP("Messages", "使用できる周波数は8KHz,11.025KHz,12.8KHz,16.0KHz,22.05KHz,32.0KHz,44.1KHz です。")},
    {2105, QT_TRANSLATE_NOOP("Messages", "本シリーズの製品では次のWAVEファイルは使用できません。\r\n48/44.1KHz 16/8Bit\r\n32/22.05KHz 16/8Bit にコンバート後登録して下さい。")},
    {2110, QT_TRANSLATE_NOOP("Messages", "LYRシリーズ用\r\n（8bitデータ専用）")},
    {2111, QT_TRANSLATE_NOOP("Messages", "QDXシリーズ 255CH用")},
    {2112, QT_TRANSLATE_NOOP("Messages", "LYR500シリーズ用")},
    {2113, QT_TRANSLATE_NOOP("Messages", "LYRシリーズ拡張用")},
    {2114, QT_TRANSLATE_NOOP("Messages", "QDXシリーズ 1000CH用")},
    {2115, QT_TRANSLATE_NOOP("Messages", "LYR-5シリーズ用")},
    {2116, QT_TRANSLATE_NOOP("Messages", "LYR-4シリーズ用")},
    {2117, QT_TRANSLATE_NOOP("Messages", "ZPXシリーズ用")},
    {2122, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n44.1/22.05KHz 16/8Bit mono")},
    {2124, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n44.1/22.05KHz 16/8Bit mono/stereo")},
    {2131, QT_TRANSLATE_NOOP("Messages", "印刷する情報を選択してください。")},
    {2150, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n44.1/32/22.05/16/12.8/11.025/8KHz 8Bit mono")},
    {2151, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n44.1/32/22.05/16/12.8/11.025/8KHz 16/8Bit mono")},
    {2152, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n44.1/32/22.05/16/12.8/11.025/8KHz 8Bit mono/stereo")},
    {2153, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n44.1/32/22.05/16/12.8/11.025/8KHz 16/8Bit mono/stereo")},
    {2154, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n32/22.05/16/12.8/11.025/8KHz 16/8Bit mono")},
    {2155, QT_TRANSLATE_NOOP("Messages", "WAVE ファイル\r\n32/22.05/16/12.8/11.025/8KHz 16/8Bit mono/stereo")},
    {2156, QT_TRANSLATE_NOOP("Messages", "MP3 ファイル\r\n128Kbit 64Kbit mono")},
    {2157, QT_TRANSLATE_NOOP("Messages", "MP3 ファイル\r\n128Kbit 64Kbit mono/stereo")},
    {2500, QT_TRANSLATE_NOOP("Messages", "エラー")},
    {2501, QT_TRANSLATE_NOOP("Messages", "音声ファイルが登録されていません。")},
    {2503, QT_TRANSLATE_NOOP("Messages", "WAVEファイルが登録されていないため")},
    {2504, QT_TRANSLATE_NOOP("Messages", "カードデータが作成出来ません。")},
    {2505, QT_TRANSLATE_NOOP("Messages", "コントロールデータファイルの作成に失敗しました。")},
    {2507, QT_TRANSLATE_NOOP("Messages", "コントロールファイルの読込みに失敗しました。")},
    {2511, QT_TRANSLATE_NOOP("Messages", "一時保存データファイルの作成に失敗しました。")},
    {2512, QT_TRANSLATE_NOOP("Messages", "Parlatone Editorでは使用できないWAVEファイルです。")},
    {2513, QT_TRANSLATE_NOOP("Messages", "WAVEファイルの登録可能最大容量値を超えました。")},
    {2514, QT_TRANSLATE_NOOP("Messages", "設定した登録容量オーバーで登録できません。")},
    {2516, QT_TRANSLATE_NOOP("Messages", "mp3ファイルが登録されていないため")},
    {2517, QT_TRANSLATE_NOOP("Messages", "設定した登録容量制限以上のmp3ファイルは読込みできません。")},
    {2600, QT_TRANSLATE_NOOP("Messages", "ファイルの読込に失敗しました。")},
    {2601, QT_TRANSLATE_NOOP("Messages", "ＲＩＦＦがないかＷＡＶフォーマットではありません。")},
    {2602, QT_TRANSLATE_NOOP("Messages", "チャンクが見つかりません。")},
    {2603, QT_TRANSLATE_NOOP("Messages", "サポートしていないファイルフォーマットです。")},
    {2604, QT_TRANSLATE_NOOP("Messages", "再生するファイルを確認し再度登録して下さい。")},
    {3000, QT_TRANSLATE_NOOP("Messages", "使用するSoundデータ（WAVEファイル）を登録します")},
    {3001, QT_TRANSLATE_NOOP("Messages", "使用するSoundデータ（mp3ファイル）を登録します")},
    {3002, QT_TRANSLATE_NOOP("Messages", "カードデータファイル名（拡張子wpj）")},
    {3003, QT_TRANSLATE_NOOP("Messages", "カードデータファイル名（拡張子zpx）")},
    {3004, QT_TRANSLATE_NOOP("Messages", "WAVE情報")},
    {3005, QT_TRANSLATE_NOOP("Messages", "mp3情報")},
    {3006, QT_TRANSLATE_NOOP("Messages", "WAVE記録媒体名")},
    {3007, QT_TRANSLATE_NOOP("Messages", "mp3記録媒体名")},
};
// clang-format on

// The lookup searches by halves.
static_assert(std::is_sorted(std::begin(kMessages), std::end(kMessages),
                             [](const MessageEntry& a, const MessageEntry& b) {
                               return a.number < b.number;
                             }));

}  // namespace

std::span<const MessageEntry> MessageEntries() {
  return kMessages;
}

}  // namespace parlatone::detail
