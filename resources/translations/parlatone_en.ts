<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>Audition</name>
    <message>
        <source>%1秒 </source>
        <translation>%1 s </translation>
    </message>
    <message>
        <source>%1バイト </source>
        <translation>%1 bytes </translation>
    </message>
    <message>
        <source>試聴</source>
        <translation>play</translation>
    </message>
</context>
<context>
    <name>CardInfo</name>
    <message>
        <source>作成フォルダ名にはフォルダの区切り文字（\ /）や「.」「..」は使用できません。<byte value="xd"/>
</source>
        <translation>The folder name cannot contain folder separators (\ /), &quot;.&quot; or &quot;..&quot;.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>CardMaker</name>
    <message>
        <source>次のSoundファイルを読み込めないため、カードデータを作成できませんでした。&#x3000;&#x3000;<byte value="xd"/>
%1</source>
        <translation>The card data could not be made because the following sound files cannot be read.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>次のファイルを作成フォルダにコピーできませんでした。カードデータは完成していません。&#x3000;&#x3000;<byte value="xd"/>
%1<byte value="xd"/>
%2</source>
        <translation>The following files could not be copied to the card data folder. The card data are not complete.<byte value="xd"/>
%1<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>ParlatoneEditorファイル(*.%1)</source>
        <translation>Parlatone Editor files (*.%1)</translation>
    </message>
    <message>
        <source>カードデータを作成</source>
        <translation>make the card data</translation>
    </message>
</context>
<context>
    <name>CardVolume</name>
    <message>
        <source>FAT16ではありません（%1）</source>
        <translation>Not FAT16 (%1)</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>読み取り専用です</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>空き容量が足りません</source>
        <translation>Not enough free space</translation>
    </message>
    <message>
        <source>udisksctl が見つかりません。</source>
        <translation>udisksctl was not found.</translation>
    </message>
</context>
<context>
    <name>CardWriter</name>
    <message>
        <source>カードデータフォルダがありません: %1</source>
        <translation>The card data folder does not exist: %1</translation>
    </message>
    <message>
        <source>カードデータフォルダにコントロールファイルがありません。</source>
        <translation>The card data folder holds no control file.</translation>
    </message>
    <message>
        <source>カードデータフォルダにコントロールファイルが複数あります: %1</source>
        <translation>The card data folder holds more than one control file: %1</translation>
    </message>
    <message>
        <source>コントロールファイルを読めません: %1</source>
        <translation>Cannot read the control file: %1</translation>
    </message>
    <message>
        <source>コントロールファイルにあるファイルがありません: %1</source>
        <translation>A file named in the control file is missing: %1</translation>
    </message>
    <message>
        <source>カードデータ以外のファイルがあります: %1</source>
        <translation>A file that is not card data is in the folder: %1</translation>
    </message>
    <message>
        <source>カード上のファイルが元と一致しません: %1</source>
        <translation>A file on the card does not match the original: %1</translation>
    </message>
    <message>
        <source>カード上のファイルを読めません: %1</source>
        <translation>Cannot read a file on the card: %1</translation>
    </message>
    <message>
        <source>確認中: %1</source>
        <translation>Verifying: %1</translation>
    </message>
    <message>
        <source>カードに余分なファイルがあります: %1</source>
        <translation>An extra file is on the card: %1</translation>
    </message>
    <message>
        <source>カード上のファイルの並びが名前順ではありません: %1</source>
        <translation>The files on the card are not in name order: %1</translation>
    </message>
    <message>
        <source>書込み中: %1</source>
        <translation>Writing: %1</translation>
    </message>
    <message>
        <source>カードが取り外されたため、書込みを中止しました。<byte value="xd"/>
カードを差し込み直して、もう一度書き込んでください。<byte value="xd"/>
※書込みと確認が終わるまで、カードを抜かないでください。</source>
        <translation>The card was removed, so writing was stopped.<byte value="xd"/>
Insert the card again and write once more.<byte value="xd"/>
Do not remove the card until writing and verifying are done.</translation>
    </message>
    <message>
        <source>書き込んだファイル: %1</source>
        <translation>Files written: %1</translation>
    </message>
    <message>
        <source>カードにないファイル: %1</source>
        <translation>Files missing from the card: %1</translation>
    </message>
    <message>
        <source>カードの内容は確認していません。</source>
        <translation>The card&apos;s contents were not verified.</translation>
    </message>
    <message>
        <source>書込み先がありません: %1</source>
        <translation>The target does not exist: %1</translation>
    </message>
    <message>
        <source>このカードのフォーマット形式は [%1] です。<byte value="xd"/>
※使用できるフォーマット形式は[FAT16]のみです。[FAT32][NTFS] 形式は使用できません。<byte value="xd"/>
Flash Cardは必ず、PC上で[FAT16]にフォーマット（初期化）してからご使用下さい。</source>
        <translation>This card&apos;s format is [%1].<byte value="xd"/>
Only the [FAT16] format can be used. [FAT32] and [NTFS] cannot be used.<byte value="xd"/>
Always format (initialize) the Flash Card as [FAT16] on a PC before use.</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>書込み先に書き込めません（読み取り専用）: %1</source>
        <translation>Cannot write to the target (read-only): %1</translation>
    </message>
    <message>
        <source>カードの空き容量が足りません。<byte value="xd"/>
必要な容量: %1<byte value="xd"/>
空き容量: %2</source>
        <translation>Not enough free space on the card.<byte value="xd"/>
Required: %1<byte value="xd"/>
Free: %2</translation>
    </message>
    <message>
        <source>カードのルートフォルダに入るファイルの数を超えています（%1 / %2 項目）。</source>
        <translation>Too many files for the card&apos;s root folder (%1 / %2 entries).</translation>
    </message>
    <message>
        <source>カードには既に %1 個のファイルがあります。削除して書き込んでよろしいですか？<byte value="xd"/>
（フォルダは削除しません）</source>
        <translation>The card already holds %1 file(s). Delete them and write?<byte value="xd"/>
(Folders are not deleted.)</translation>
    </message>
    <message>
        <source>カードには何も書き込みませんでした。</source>
        <translation>Nothing was written to the card.</translation>
    </message>
    <message>
        <source>カード上のファイルを削除できません: %1</source>
        <translation>Cannot delete a file on the card: %1</translation>
    </message>
    <message>
        <source>書込みを中止しました。</source>
        <translation>Writing was stopped.</translation>
    </message>
    <message>
        <source>書込みに失敗しました: %1</source>
        <translation>Writing failed: %1</translation>
    </message>
    <message>
        <source>カードへの書込みを確定できません。</source>
        <translation>Cannot complete writing to the card.</translation>
    </message>
    <message>
        <source>確認中</source>
        <translation>Verifying</translation>
    </message>
    <message>
        <source>確認するカードがありません: %1</source>
        <translation>No card to verify: %1</translation>
    </message>
    <message>
        <source>カードへの書込みと確認が完了しました（%1 ファイル）。</source>
        <translation>Writing to the card and verifying are done (files: %1).</translation>
    </message>
    <message>
        <source>カードの内容はカードデータと一致しています（%1 ファイル）。</source>
        <translation>The card&apos;s contents match the card data (files: %1).</translation>
    </message>
    <message>
        <source>カードへの書込みは完了していません。このカードは使用できません。</source>
        <translation>Writing to the card is not complete. This card cannot be used.</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>Usage: parlatone [global options] COMMAND [arguments]

Prepares the flash-card data of Parlatone voice-announcement players.
Reads the editor&apos;s settings file and never writes it.

Global options (before or after the command; they last for this run only):
</source>
        <translation>Usage: parlatone [global options] COMMAND [arguments]

Prepares the flash-card data of Parlatone voice-announcement players.
Reads the editor&apos;s settings file and never writes it.

Global options (before or after the command; they last for this run only):
</translation>
    </message>
    <message>
        <source>
Commands:
</source>
        <translation>
Commands:
</translation>
    </message>
    <message>
        <source>
Exit status: 0 done, 1 the work failed, 2 wrong usage.
</source>
        <translation>
Exit status: 0 done, 1 the work failed, 2 wrong usage.
</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>unknown command %1</translation>
    </message>
</context>
<context>
    <name>Command</name>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>unknown option</source>
        <translation>unknown option</translation>
    </message>
</context>
<context>
    <name>ControlFileLoader</name>
    <message>
        <source>数値でない値「%1」</source>
        <translation>Value &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>このシリーズのチャンネル数（%1）を超える %2 チャンネルと %3 個のSoundは読み込みませんでした。</source>
        <translation>%2 channel(s) and %3 voice(s) beyond this series&apos; channel count (%1) were not loaded.</translation>
    </message>
    <message>
        <source>このシリーズのチャンネル数（%1）を超える %2 チャンネルは読み込みませんでした。</source>
        <translation>%2 channel(s) beyond this series&apos; channel count (%1) were not loaded.</translation>
    </message>
    <message>
        <source>このシリーズのチャンネル数（%1）を超える %2 個のSoundは読み込みませんでした。</source>
        <translation>%2 voice(s) beyond this series&apos; channel count (%1) were not loaded.</translation>
    </message>
    <message>
        <source>Soundのないコメント行</source>
        <translation>Comment line without a voice</translation>
    </message>
    <message>
        <source>Soundファイル名のない行</source>
        <translation>Line without a sound file name</translation>
    </message>
    <message>
        <source>範囲外のSound番号 %1</source>
        <translation>Voice number %1 out of range</translation>
    </message>
    <message>
        <source>Soundファイル名でない名前「%1」</source>
        <translation>Name &quot;%1&quot; is not a sound file name</translation>
    </message>
    <message>
        <source>Sound番号 %1 の前の欠番</source>
        <translation>Missing number before voice number %1</translation>
    </message>
    <message>
        <source>範囲外のチャンネル番号 %1</source>
        <translation>Channel number %1 out of range</translation>
    </message>
    <message>
        <source>%1 個を超えるSound</source>
        <translation>More than %1 voices</translation>
    </message>
    <message>
        <source>登録のないSound番号 %1</source>
        <translation>Voice number %1 is not registered</translation>
    </message>
    <message>
        <source>次のSoundファイルが見つかりません。<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
探した場所：<byte value="xd"/>
%2<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>The following sound files were not found.<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
Searched in:<byte value="xd"/>
%2<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>見つからないSoundファイルを、ファイルなしのまま残してプロジェクトを開きますか？<byte value="xd"/>
残したSoundはSound登録の一覧に赤で示されます。差し替えるか削除するまで、カードデータの作成、Sound登録情報の印刷、そのSoundの試聴はできません。<byte value="xd"/>
「いいえ」を選ぶと読込みを中止し、編集中の内容はそのまま残ります。</source>
        <translation>Open the project and keep the missing sound files without their files?<byte value="xd"/>
Kept voices are shown in red in the voice registration list. Until they are replaced or deleted, you cannot make card data, print the voice registration or play those voices.<byte value="xd"/>
Choosing &quot;No&quot; stops loading and keeps the current edits.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
%1 行目：%2</source>
        <translation><byte value="xd"/>
Line %1: %2</translation>
    </message>
    <message>
        <source>%1で読み込めるのは、拡張子が %2 と %3 のファイルです。</source>
        <translation>%1 opens files with the extensions %2 and %3.</translation>
    </message>
    <message>
        <source>ファイルを開けません（%1）</source>
        <translation>Cannot open the file (%1)</translation>
    </message>
    <message>
        <source>ファイルを読み取れません（%1）</source>
        <translation>Cannot read the file (%1)</translation>
    </message>
    <message>
        <source>ファイルが空です</source>
        <translation>The file is empty</translation>
    </message>
    <message>
        <source>コントロールファイルの区切り行（#0～#3、#S）がありません</source>
        <translation>The control file has no section lines (#0 to #3, #S)</translation>
    </message>
    <message>
        <source>次のSoundファイルは見つからないまま、名前だけを読み込みました。Sound登録で差し替えるか、削除してください。<byte value="xd"/>
%1</source>
        <translation>The following sound files were not found; only their names were loaded. Replace or delete them in voice registration.<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>CopiesRegistration</name>
    <message>
        <source>変換したファイルは次のフォルダに保存します。<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Converted files are saved in the following folder.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>このフォルダに保存</source>
        <translation>Save in this folder</translation>
    </message>
    <message>
        <source>別のフォルダを選ぶ...</source>
        <translation>Choose another folder...</translation>
    </message>
</context>
<context>
    <name>EditorCommandLine</name>
    <message>
        <source>a project file (.wpj, .zpx, .wpg or .mpi) to open at start</source>
        <translation>a project file (.wpj, .zpx, .wpg or .mpi) to open at start</translation>
    </message>
    <message>
        <source>Parlatone Editor prepares the flash-card data of Parlatone voice-announcement players:
it registers WAVE or MP3 files checked against the device series, builds the channel
program table, auditions channels, fills in the card information, prints, and writes
the control file with a copy of every sound file into one folder to copy to the card.
The interface speaks Japanese, or English when chosen in the settings or on an English
system. Only one editor runs per user: a second start hands its file to the running one.</source>
        <translation>Parlatone Editor prepares the flash-card data of Parlatone voice-announcement players:
it registers WAVE or MP3 files checked against the device series, builds the channel
program table, auditions channels, fills in the card information, prints, and writes
the control file with a copy of every sound file into one folder to copy to the card.
The interface speaks Japanese, or English when chosen in the settings or on an English
system. Only one editor runs per user: a second start hands its file to the running one.</translation>
    </message>
</context>
<context>
    <name>Element</name>
    <message>
        <source>ＭＤ</source>
        <translation>MD</translation>
    </message>
    <message>
        <source>ＤＡＴ</source>
        <translation>DAT</translation>
    </message>
    <message>
        <source>カセット</source>
        <translation>Cassette</translation>
    </message>
    <message>
        <source>他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>49000バイトまで</source>
        <translation>Up to 49000 bytes</translation>
    </message>
    <message>
        <source>99000バイトまで</source>
        <translation>Up to 99000 bytes</translation>
    </message>
    <message>
        <source>199000バイトまで</source>
        <translation>Up to 199000 bytes</translation>
    </message>
    <message>
        <source>制限なし</source>
        <translation>No limit</translation>
    </message>
</context>
<context>
    <name>FitCommand</name>
    <message>
        <source>not written: %1</source>
        <translation>not written: %1</translation>
    </message>
    <message>
        <source>, mono</source>
        <translation>, mono</translation>
    </message>
    <message>
        <source>, stereo</source>
        <translation>, stereo</translation>
    </message>
    <message>
        <source>, gain %1 dB</source>
        <translation>, gain %1 dB</translation>
    </message>
    <message>
        <source> (held down by the peak limit)</source>
        <translation> (held down by the peak limit)</translation>
    </message>
    <message>
        <source> comment %1</source>
        <translation> comment %1</translation>
    </message>
    <message>
        <source>convert any sound file into one the current series registers</source>
        <translation>convert any sound file into one the current series registers</translation>
    </message>
    <message>
        <source>Reads WAVE (any PCM depth, float, extensible), FLAC, Ogg Vorbis, AIFF or MP3 files
and writes into OUTDIR (created when missing) files that the series (--series,
--stereo) registers: for the WAVE series mono PCM (stereo kept when the stereo
option is on) at the source&apos;s rate when the series takes it, else the nearest
rate below, 8 or 16 bits with dither; for the MP3 series constant bit rate MP3 at
44100 Hz (22050 with --rate 22050), --bitrate kbit/s (128 unless given).
--normalize brings the loudness to LUFS with the peak at most -1 dBFS; a file
whose peak allows less stays below the target, and its report says what it
reached and that the peak held it (loudnessLufs, limitedByPeak). --trim
cuts silence below -50 dBFS from both ends. Names are made to pass the name rules
(the source&apos;s name becomes the comment when it had to change). --yes replaces
existing outputs; without it they are kept. Exit status 0 when every file was
written, 1 when any was not (the others are written), 2 on wrong usage.
</source>
        <translation>Reads WAVE (any PCM depth, float, extensible), FLAC, Ogg Vorbis, AIFF or MP3 files
and writes into OUTDIR (created when missing) files that the series (--series,
--stereo) registers: for the WAVE series mono PCM (stereo kept when the stereo
option is on) at the source&apos;s rate when the series takes it, else the nearest
rate below, 8 or 16 bits with dither; for the MP3 series constant bit rate MP3 at
44100 Hz (22050 with --rate 22050), --bitrate kbit/s (128 unless given).
--normalize brings the loudness to LUFS with the peak at most -1 dBFS; a file
whose peak allows less stays below the target, and its report says what it
reached and that the peak held it (loudnessLufs, limitedByPeak). --trim
cuts silence below -50 dBFS from both ends. Names are made to pass the name rules
(the source&apos;s name becomes the comment when it had to change). --yes replaces
existing outputs; without it they are kept. Exit status 0 when every file was
written, 1 when any was not (the others are written), 2 on wrong usage.
</translation>
    </message>
    <message>
        <source>give an output folder and at least one file</source>
        <translation>give an output folder and at least one file</translation>
    </message>
    <message>
        <source>bad option</source>
        <translation>bad option</translation>
    </message>
</context>
<context>
    <name>FitRules</name>
    <message>
        <source>ピーク制限のため %1</source>
        <translation>%1 due to the peak limit</translation>
    </message>
    <message>
        <source>%1 / %2 ファイルを変換しました。</source>
        <translation>Files converted: %1 / %2.</translation>
    </message>
    <message>
        <source>出力先は「/」から始まる完全なパスで指定してください。</source>
        <translation>Give the output as a full path starting with &quot;/&quot;.</translation>
    </message>
    <message>
        <source>変換中...</source>
        <translation>Converting...</translation>
    </message>
    <message>
        <source>読み込めない形式のファイルです。</source>
        <translation>The file&apos;s format cannot be read.</translation>
    </message>
    <message>
        <source>出力先が元のファイルと同じです。</source>
        <translation>The output is the same as the source file.</translation>
    </message>
    <message>
        <source>同じ名前のファイルがあるため書き込みませんでした。</source>
        <translation>Not written: a file with the same name exists.</translation>
    </message>
    <message>
        <source>書き込みに失敗しました。</source>
        <translation>Writing failed.</translation>
    </message>
    <message>
        <source>長すぎるため変換できません。</source>
        <translation>Too long to convert.</translation>
    </message>
    <message>
        <source>無音のため切り詰めていません。</source>
        <translation>Silent, so not trimmed.</translation>
    </message>
    <message>
        <source>無音のため音量は変えていません。</source>
        <translation>Silent, so the volume was not changed.</translation>
    </message>
    <message>
        <source>中断しました。</source>
        <translation>Stopped.</translation>
    </message>
    <message>
        <source>出力フォルダを作成できません。</source>
        <translation>Cannot create the output folder.</translation>
    </message>
</context>
<context>
    <name>GlobalOptions</name>
    <message>
        <source>device series 0 to 7 instead of the one in the settings</source>
        <translation>device series 0 to 7 instead of the one in the settings</translation>
    </message>
    <message>
        <source>--series takes a series number from 0 to 7</source>
        <translation>--series takes a series number from 0 to 7</translation>
    </message>
    <message>
        <source>accept stereo sound files or not</source>
        <translation>accept stereo sound files or not</translation>
    </message>
    <message>
        <source>--stereo takes on or off</source>
        <translation>--stereo takes on or off</translation>
    </message>
    <message>
        <source>registration capacity index of the MP3 series</source>
        <translation>registration capacity index of the MP3 series</translation>
    </message>
    <message>
        <source>--capacity takes a capacity index (0, 1, 2, or 3 for no limit)</source>
        <translation>--capacity takes a capacity index (0, 1, 2, or 3 for no limit)</translation>
    </message>
    <message>
        <source>folder of the sound files</source>
        <translation>folder of the sound files</translation>
    </message>
    <message>
        <source>--wave-path takes a folder</source>
        <translation>--wave-path takes a folder</translation>
    </message>
    <message>
        <source>folder in which card data folders are made</source>
        <translation>folder in which card data folders are made</translation>
    </message>
    <message>
        <source>--card-path takes a folder</source>
        <translation>--card-path takes a folder</translation>
    </message>
    <message>
        <source>show this help, or a command&apos;s with COMMAND --help</source>
        <translation>show this help, or a command&apos;s with COMMAND --help</translation>
    </message>
    <message>
        <source>show the version</source>
        <translation>show the version</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>language of the texts instead of the settings&apos; or the system&apos;s</source>
        <translation>language of the texts instead of the settings&apos; or the system&apos;s</translation>
    </message>
    <message>
        <source>--lang takes ja or en</source>
        <translation>--lang takes ja or en</translation>
    </message>
</context>
<context>
    <name>GuiOperator</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
</context>
<context>
    <name>InfoCommand</name>
    <message>
        <source>read sound files as the series registers them: format, length, voice texts</source>
        <translation>read sound files as the series registers them: format, length, voice texts</translation>
    </message>
    <message>
        <source>Reads each file as the current series does (WAVE, or MP3 in series 7) and shows
its format, playing length, size, the voice texts a registration would give it
and whether the series takes it. A refused file shows the message that refuses it.
Exit status 0 when every file is accepted, 1 otherwise.
</source>
        <translation>Reads each file as the current series does (WAVE, or MP3 in series 7) and shows
its format, playing length, size, the voice texts a registration would give it
and whether the series takes it. A refused file shows the message that refuses it.
Exit status 0 when every file is accepted, 1 otherwise.
</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>no file given</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>accepted</source>
        <translation>accepted</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>refused</translation>
    </message>
</context>
<context>
    <name>LevelsCommand</name>
    <message>
        <source>measure sound files: peak, loudness (EBU R128), leading and trailing silence</source>
        <translation>measure sound files: peak, loudness (EBU R128), leading and trailing silence</translation>
    </message>
    <message>
        <source>Reads each file (WAVE of any depth, FLAC, Ogg, AIFF, MP3) and shows its length,
sample peak in dBFS, integrated loudness in LUFS (EBU R128) and the silence
below -50 dBFS at its start and end. Loudness is null for a sound too short or
too quiet to measure, the peak null for digital silence. Results are kept in the
cache folder until a file changes. Exit status 0 when every file was read.
</source>
        <translation>Reads each file (WAVE of any depth, FLAC, Ogg, AIFF, MP3) and shows its length,
sample peak in dBFS, integrated loudness in LUFS (EBU R128) and the silence
below -50 dBFS at its start and end. Loudness is null for a sound too short or
too quiet to measure, the peak null for digital silence. Results are kept in the
cache folder until a file changes. Exit status 0 when every file was read.
</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>no file given</translation>
    </message>
    <message>
        <source>, silence %1 ms / %2 ms, length %3 ms</source>
        <translation>, silence %1 ms / %2 ms, length %3 ms</translation>
    </message>
    <message>
        <source>, clipped</source>
        <translation>, clipped</translation>
    </message>
    <message>
        <source>cannot be read as sound</source>
        <translation>cannot be read as sound</translation>
    </message>
</context>
<context>
    <name>MakeCardCommand</name>
    <message>
        <source>make the card data folder of a control file below the card data folder</source>
        <translation>make the card data folder of a control file below the card data folder</translation>
    </message>
    <message>
        <source>Loads the control file as `show` does and makes its card data below the card
data folder (the CardPath setting or --card-path): the control file and a copy of
every sound file in the folder the card information names, after the same checks
as the card data window. --yes replaces an existing card data folder; without it
the answer is No. Exit status 0 when the card data were made completely.
</source>
        <translation>Loads the control file as `show` does and makes its card data below the card
data folder (the CardPath setting or --card-path): the control file and a copy of
every sound file in the folder the card information names, after the same checks
as the card data window. --yes replaces an existing card data folder; without it
the answer is No. Exit status 0 when the card data were made completely.
</translation>
    </message>
    <message>
        <source>give exactly one control file</source>
        <translation>give exactly one control file</translation>
    </message>
    <message>
        <source>series %1 opens only .%2 and .%3 files
</source>
        <translation>series %1 opens only .%2 and .%3 files
</translation>
    </message>
    <message>
        <source>カードへの書込みと確認: parlatone write-card &lt;このフォルダ&gt; &lt;カード&gt;</source>
        <translation>Write to a card and verify: parlatone write-card &lt;this folder&gt; &lt;card&gt;</translation>
    </message>
</context>
<context>
    <name>Media</name>
    <message>
        <source>コマンドに不明なキーワードがあります。</source>
        <translation>The command has an unknown keyword.</translation>
    </message>
    <message>
        <source>不明なコマンドです。</source>
        <translation>Unknown command.</translation>
    </message>
    <message>
        <source>指定されたデバイスは開かれていません。</source>
        <translation>The given device is not open.</translation>
    </message>
    <message>
        <source>コマンドに必要なパラメータがありません。</source>
        <translation>The command lacks a required parameter.</translation>
    </message>
    <message>
        <source>指定されたファイルが見つかりません。</source>
        <translation>The given file was not found.</translation>
    </message>
    <message>
        <source>不明なデバイスの種類です。</source>
        <translation>Unknown device type.</translation>
    </message>
    <message>
        <source>その別名は既に使用されています。</source>
        <translation>That alias is already in use.</translation>
    </message>
    <message>
        <source>引用符が閉じられていません。</source>
        <translation>A quotation mark is not closed.</translation>
    </message>
    <message>
        <source>このデバイスでは再生できないファイルです。</source>
        <translation>This device cannot play the file.</translation>
    </message>
    <message>
        <source>音声出力デバイスを開けません。</source>
        <translation>Cannot open the audio output device.</translation>
    </message>
    <message>
        <source>ファイルを最後まで読み込めません。</source>
        <translation>Cannot read the file to its end.</translation>
    </message>
    <message>
        <source>不明なエラーです（%1）。</source>
        <translation>Unknown error (%1).</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Parlatone Editor 3J</source>
        <translation>Parlatone Editor 3J</translation>
    </message>
    <message>
        <source>カードデータ作成</source>
        <translation>Make card data</translation>
    </message>
    <message>
        <source>使用許諾契約書</source>
        <translation>License agreement</translation>
    </message>
    <message>
        <source>更新履歴</source>
        <translation>Change history</translation>
    </message>
    <message>
        <source>Sound登録</source>
        <translation>Voice registration</translation>
    </message>
    <message>
        <source>試聴</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>詳細設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>SP／出力系統</source>
        <translation>SP / output line</translation>
    </message>
    <message>
        <source>RP／リピート再生回数</source>
        <translation>RP / repeat count</translation>
    </message>
    <message>
        <source>ソフトウェアは既に起動しています。</source>
        <translation>The software is already running.</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Caution</translation>
    </message>
    <message>
        <source>1～250</source>
        <translation>1-250</translation>
    </message>
    <message>
        <source>251～500</source>
        <translation>251-500</translation>
    </message>
    <message>
        <source>501～750</source>
        <translation>501-750</translation>
    </message>
    <message>
        <source>751～1000</source>
        <translation>751-1000</translation>
    </message>
    <message>
        <source>1～255</source>
        <translation>1-255</translation>
    </message>
    <message>
        <source>秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>バイト</source>
        <translation> bytes</translation>
    </message>
    <message>
        <source>編集内容がクリアされますがよろしいですか？&#x3000;<byte value="xd"/>
</source>
        <translation>The edits will be cleared. Continue?<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>ファイルの移動は出来ません。&#x3000;&#x3000;</source>
        <translation>The file cannot be moved.</translation>
    </message>
    <message>
        <source>プログラム登録内容を全て上書きします。&#x3000;&#x3000;
よろしいですか？&#x3000;&#x3000;</source>
        <translation>All program assignments will be overwritten.
Continue?</translation>
    </message>
    <message>
        <source>Flash Cardのフォーマット（初期化）のご注意</source>
        <translation>Caution on formatting (initializing) the Flash Card</translation>
    </message>
    <message>
        <source>エディタ情報が変更されています。保存しますか？&#x3000;&#x3000;
「はい」&#x3000;&#x3000;：&#x3000;保存して終了
「いいえ」&#x3000;：&#x3000;保存せずに終了</source>
        <translation>The editor information has changed. Save it?
&quot;Yes&quot;: save and quit
&quot;No&quot;: quit without saving</translation>
    </message>
    <message>
        <source>アプリケーションを終了してもよろしいですか？&#x3000;&#x3000;</source>
        <translation>Quit the application?</translation>
    </message>
    <message>
        <source>音声情報が変更されています。保存せずに終了してもよろしいですか？&#x3000;&#x3000;</source>
        <translation>The voice information has changed. Quit without saving?</translation>
    </message>
    <message>
        <source>コントロールデータ作成中....</source>
        <translation>Making control data....</translation>
    </message>
    <message>
        <source>削除してもよろしいですか？&#x3000;&#x3000;</source>
        <translation>Delete?</translation>
    </message>
    <message>
        <source>すべて削除してよろしいですか？&#x3000;&#x3000;</source>
        <translation>Delete all?</translation>
    </message>
    <message>
        <source>「デジタルカメラ」のフォーマットではご使用できません。<byte value="xd"/>
Flash Cardは必ず、PC上でフォーマット（初期化）してからご使用下さい。<byte value="xd"/>
※使用できるフォーマット形式は[FAT16]のみです。[FAT32][NTFS] 形式は使用できません。</source>
        <translation>Cards formatted by a &quot;digital camera&quot; cannot be used.<byte value="xd"/>
Always format (initialize) the Flash Card on a PC before use.<byte value="xd"/>
Only the [FAT16] format can be used. [FAT32] and [NTFS] cannot be used.</translation>
    </message>
    <message>
        <source>既に同じフォルダが存在します。現在のファイルと置き換えてよろしいですか？</source>
        <translation>A folder of the same name exists. Replace its files?</translation>
    </message>
    <message>
        <source>初期化中....</source>
        <translation>Initializing....</translation>
    </message>
    <message>
        <source>データファイルをコピーしています....</source>
        <translation>Copying data files....</translation>
    </message>
    <message>
        <source>コントロールファイル [ .Wpj ] とWAVEファイルをFlashCardにコピーしてご使用ください。<byte value="xd"/>
推奨メーカー・形式のFlashCardをご使用ください。それ以外のFlashCardでは正常に動作しない場合があります。</source>
        <translation>Copy the control file [ .Wpj ] and the WAVE files to the Flash Card to use them.<byte value="xd"/>
Use a Flash Card of a recommended make and type. Other Flash Cards may not work correctly.</translation>
    </message>
    <message>
        <source>コントロールファイルとWAVEファイルのご使用上のご注意</source>
        <translation>Notes on using the control file and WAVE files</translation>
    </message>
    <message>
        <source>カードデータを作成しています。</source>
        <translation>Making the card data.</translation>
    </message>
    <message>
        <source>ファイル読込みを中止します。</source>
        <translation>Loading the file is stopped.</translation>
    </message>
    <message>
        <source>Voiceデータ追加</source>
        <translation>Add voice data</translation>
    </message>
    <message>
        <source> は既に登録されています。&#x3000;&#x3000;</source>
        <translation> is already registered.</translation>
    </message>
    <message>
        <source>カードデータファイル名を入力してください。&#x3000;&#x3000;</source>
        <translation>Enter the card data file name.</translation>
    </message>
    <message>
        <source>カードデータを保存するフォルダを指定してください。&#x3000;&#x3000;</source>
        <translation>Give the folder to save the card data in.</translation>
    </message>
    <message>
        <source>指定されたフォルダは存在しません。&#x3000;&#x3000;</source>
        <translation>The given folder does not exist.</translation>
    </message>
    <message>
        <source>フォルダを作成しますか？&#x3000;&#x3000;</source>
        <translation>Create the folder?</translation>
    </message>
    <message>
        <source>フォルダの作成に失敗しました。&#x3000;&#x3000;</source>
        <translation>Could not create the folder.</translation>
    </message>
    <message>
        <source>モードが変更されました。現在編集中の内容が破棄されますが、よろしいですか？</source>
        <translation>The mode has changed. The current edits will be discarded. Continue?</translation>
    </message>
    <message>
        <source>拡張子はwpjにして下さい。</source>
        <translation>The extension must be wpj.</translation>
    </message>
    <message>
        <source>一時保存ファイルを作成しました。&#x3000;&#x3000;</source>
        <translation>The temporary save file was created.</translation>
    </message>
    <message>
        <source>エディタ情報を初期化してよろしいですか？</source>
        <translation>Reset the editor information?</translation>
    </message>
    <message>
        <source>コントロールファイル [ .zpx ] とmp3ファイルをFlashCardにコピーしてご使用ください。<byte value="xd"/>
推奨メーカー・形式のFlashCardをご使用ください。それ以外のFlashCardでは正常に動作しない場合があります。</source>
        <translation>Copy the control file [ .zpx ] and the mp3 files to the Flash Card to use them.<byte value="xd"/>
Use a Flash Card of a recommended make and type. Other Flash Cards may not work correctly.</translation>
    </message>
    <message>
        <source>コントロールファイルとmp3ファイルのご使用上のご注意</source>
        <translation>Notes on using the control file and mp3 files</translation>
    </message>
    <message>
        <source>確認して下さい。</source>
        <translation>Please check.</translation>
    </message>
    <message>
        <source>カードデータファイル名を入力して下さい。<byte value="xd"/>
</source>
        <translation>Enter the card data file name.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>入力できる文字数は半角8文字です。<byte value="xd"/>
</source>
        <translation>At most 8 half-width characters can be entered.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>全角文字は使用できません。<byte value="xd"/>
</source>
        <translation>Full-width characters cannot be used.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>カードデータファイル名には<byte value="xd"/>
</source>
        <translation>In the card data file name,<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>は使用できません。<byte value="xd"/>
</source>
        <translation> cannot be used.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>作成フォルダ名を入力してください。<byte value="xd"/>
</source>
        <translation>Enter the folder name.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>入力できる文字数は全角20文字です。<byte value="xd"/>
</source>
        <translation>At most 20 full-width characters can be entered.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>入力できる文字数は全角１0文字です。<byte value="xd"/>
</source>
        <translation>At most 10 full-width characters can be entered.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>カード容量を入力してください。<byte value="xd"/>
</source>
        <translation>Enter the card capacity.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>カードデータ作成会社を入力してください。<byte value="xd"/>
</source>
        <translation>Enter the card data company.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>カードデータ作成者を入力してください。<byte value="xd"/>
</source>
        <translation>Enter the card data author.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>入力できる文字数は全角14文字です。<byte value="xd"/>
</source>
        <translation>At most 14 full-width characters can be entered.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>入力できる文字数は全角100文字です。<byte value="xd"/>
</source>
        <translation>At most 100 full-width characters can be entered.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>詳細情報が変更されています。
保存せずに終了してもよろしいですか？</source>
        <translation>The detailed information has changed.
Quit without saving?</translation>
    </message>
    <message>
        <source> が含まれるWAVEファイル</source>
        <translation> (WAVE file)</translation>
    </message>
    <message>
        <source>ファイル名が半角13文字以上のファイルは登録できません。</source>
        <translation>Files whose names are 13 or more half-width characters cannot be registered.</translation>
    </message>
    <message>
        <source>ファイル名に </source>
        <translation>File name contains </translation>
    </message>
    <message>
        <source> が含まれるmp3ファイル</source>
        <translation> (mp3 file)</translation>
    </message>
    <message>
        <source>入力された値が不正です。確認してください。</source>
        <translation>The value entered is invalid. Please check it.</translation>
    </message>
    <message>
        <source>エディタ情報が入力されていません。確認してください。</source>
        <translation>The editor information is not entered. Please check it.</translation>
    </message>
    <message>
        <source>現在、詳細設定で指定されているカードデータフォルダは存在しません。&#x3000;&#x3000;<byte value="xd"/>
正しいフォルダを指定してください。</source>
        <translation>The card data folder given in Settings does not exist.<byte value="xd"/>
Give a valid folder.</translation>
    </message>
    <message>
        <source>使用機種を入力して下さい。</source>
        <translation>Enter the device model.</translation>
    </message>
    <message>
        <source>カードデータ作成日を入力してください。<byte value="xd"/>
</source>
        <translation>Enter the card data date.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>ステレオ形式のファイルは扱えません。</source>
        <translation>Stereo files cannot be used.</translation>
    </message>
    <message>
        <source>16Ｂｉｔサンプリングのファイルは扱えません。</source>
        <translation>16-bit sampled files cannot be used.</translation>
    </message>
    <message>
        <source>使用できる周波数は8KHz,11.025KHz,12.8KHz,16.0KHz,22.05KHz,32.0KHz,44.1KHz,48.0KHz です。</source>
        <translation>Usable sampling rates are 8 kHz, 11.025 kHz, 12.8 kHz, 16.0 kHz, 22.05 kHz, 32.0 kHz, 44.1 kHz, 48.0 kHz.</translation>
    </message>
    <message>
        <source>使用できる周波数は 22.05KHz,44.1KHzです。</source>
        <translation>Usable sampling rates are 22.05 kHz, 44.1 kHz.</translation>
    </message>
    <message>
        <source>使用できる周波数は8KHz,11.025KHz,12.8KHz,16.0KHz,22.05KHz,32.0KHz,44.1KHz です。</source>
        <translation>Usable sampling rates are 8 kHz, 11.025 kHz, 12.8 kHz, 16.0 kHz, 22.05 kHz, 32.0 kHz, 44.1 kHz.</translation>
    </message>
    <message>
        <source>本シリーズの製品では次のWAVEファイルは使用できません。<byte value="xd"/>
48/44.1KHz 16/8Bit<byte value="xd"/>
32/22.05KHz 16/8Bit にコンバート後登録して下さい。</source>
        <translation>The following WAVE files cannot be used with products of this series.<byte value="xd"/>
48/44.1KHz 16/8Bit<byte value="xd"/>
Convert them to 32/22.05KHz 16/8Bit and register them.</translation>
    </message>
    <message>
        <source>LYRシリーズ用<byte value="xd"/>
（8bitデータ専用）</source>
        <translation>LYR series<byte value="xd"/>
(8-bit data only)</translation>
    </message>
    <message>
        <source>QDXシリーズ 255CH用</source>
        <translation>QDX series, 255 ch</translation>
    </message>
    <message>
        <source>LYR500シリーズ用</source>
        <translation>LYR500 series</translation>
    </message>
    <message>
        <source>LYRシリーズ拡張用</source>
        <translation>LYR series, extended</translation>
    </message>
    <message>
        <source>QDXシリーズ 1000CH用</source>
        <translation>QDX series, 1000 ch</translation>
    </message>
    <message>
        <source>LYR-5シリーズ用</source>
        <translation>LYR-5 series</translation>
    </message>
    <message>
        <source>LYR-4シリーズ用</source>
        <translation>LYR-4 series</translation>
    </message>
    <message>
        <source>ZPXシリーズ用</source>
        <translation>ZPX series</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
44.1/22.05KHz 16/8Bit mono</source>
        <translation>WAVE files<byte value="xd"/>
44.1/22.05KHz 16/8Bit mono</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
44.1/22.05KHz 16/8Bit mono/stereo</source>
        <translation>WAVE files<byte value="xd"/>
44.1/22.05KHz 16/8Bit mono/stereo</translation>
    </message>
    <message>
        <source>印刷する情報を選択してください。</source>
        <translation>Choose what to print.</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 8Bit mono</source>
        <translation>WAVE files<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 8Bit mono</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 16/8Bit mono</source>
        <translation>WAVE files<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 16/8Bit mono</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 8Bit mono/stereo</source>
        <translation>WAVE files<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 8Bit mono/stereo</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 16/8Bit mono/stereo</source>
        <translation>WAVE files<byte value="xd"/>
44.1/32/22.05/16/12.8/11.025/8KHz 16/8Bit mono/stereo</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
32/22.05/16/12.8/11.025/8KHz 16/8Bit mono</source>
        <translation>WAVE files<byte value="xd"/>
32/22.05/16/12.8/11.025/8KHz 16/8Bit mono</translation>
    </message>
    <message>
        <source>WAVE ファイル<byte value="xd"/>
32/22.05/16/12.8/11.025/8KHz 16/8Bit mono/stereo</source>
        <translation>WAVE files<byte value="xd"/>
32/22.05/16/12.8/11.025/8KHz 16/8Bit mono/stereo</translation>
    </message>
    <message>
        <source>MP3 ファイル<byte value="xd"/>
128Kbit 64Kbit mono</source>
        <translation>MP3 files<byte value="xd"/>
128Kbit 64Kbit mono</translation>
    </message>
    <message>
        <source>MP3 ファイル<byte value="xd"/>
128Kbit 64Kbit mono/stereo</source>
        <translation>MP3 files<byte value="xd"/>
128Kbit 64Kbit mono/stereo</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>音声ファイルが登録されていません。</source>
        <translation>No sound files are registered.</translation>
    </message>
    <message>
        <source>WAVEファイルが登録されていないため</source>
        <translation>No WAVE files are registered, so</translation>
    </message>
    <message>
        <source>カードデータが作成出来ません。</source>
        <translation>the card data cannot be made.</translation>
    </message>
    <message>
        <source>コントロールデータファイルの作成に失敗しました。</source>
        <translation>Could not create the control data file.</translation>
    </message>
    <message>
        <source>コントロールファイルの読込みに失敗しました。</source>
        <translation>Could not load the control file.</translation>
    </message>
    <message>
        <source>一時保存データファイルの作成に失敗しました。</source>
        <translation>Could not create the temporary save file.</translation>
    </message>
    <message>
        <source>Parlatone Editorでは使用できないWAVEファイルです。</source>
        <translation>This WAVE file cannot be used with Parlatone Editor.</translation>
    </message>
    <message>
        <source>WAVEファイルの登録可能最大容量値を超えました。</source>
        <translation>The maximum registrable size of WAVE files is exceeded.</translation>
    </message>
    <message>
        <source>設定した登録容量オーバーで登録できません。</source>
        <translation>Cannot register: over the registration capacity set.</translation>
    </message>
    <message>
        <source>mp3ファイルが登録されていないため</source>
        <translation>No mp3 files are registered, so</translation>
    </message>
    <message>
        <source>設定した登録容量制限以上のmp3ファイルは読込みできません。</source>
        <translation>Mp3 files over the registration capacity limit set cannot be loaded.</translation>
    </message>
    <message>
        <source>ファイルの読込に失敗しました。</source>
        <translation>Could not read the file.</translation>
    </message>
    <message>
        <source>ＲＩＦＦがないかＷＡＶフォーマットではありません。</source>
        <translation>No RIFF, or not in WAV format.</translation>
    </message>
    <message>
        <source>チャンクが見つかりません。</source>
        <translation>A chunk was not found.</translation>
    </message>
    <message>
        <source>サポートしていないファイルフォーマットです。</source>
        <translation>Unsupported file format.</translation>
    </message>
    <message>
        <source>再生するファイルを確認し再度登録して下さい。</source>
        <translation>Check the file to play and register it again.</translation>
    </message>
    <message>
        <source>使用するSoundデータ（WAVEファイル）を登録します</source>
        <translation>Registers the voices (WAVE files) to use</translation>
    </message>
    <message>
        <source>使用するSoundデータ（mp3ファイル）を登録します</source>
        <translation>Registers the voices (mp3 files) to use</translation>
    </message>
    <message>
        <source>カードデータファイル名（拡張子wpj）</source>
        <translation>Card data file name (extension wpj)</translation>
    </message>
    <message>
        <source>カードデータファイル名（拡張子zpx）</source>
        <translation>Card data file name (extension zpx)</translation>
    </message>
    <message>
        <source>WAVE情報</source>
        <translation>WAVE information</translation>
    </message>
    <message>
        <source>mp3情報</source>
        <translation>mp3 information</translation>
    </message>
    <message>
        <source>WAVE記録媒体名</source>
        <translation>WAVE recording medium</translation>
    </message>
    <message>
        <source>mp3記録媒体名</source>
        <translation>mp3 recording medium</translation>
    </message>
</context>
<context>
    <name>PlayCommand</name>
    <message>
        <source>play one sound file to its end</source>
        <translation>play one sound file to its end</translation>
    </message>
    <message>
        <source>Plays the file on the default audio output as the series&apos; device type plays it
(WAVE, or MP3 in series 7). Exit status 1 when it cannot be opened.
</source>
        <translation>Plays the file on the default audio output as the series&apos; device type plays it
(WAVE, or MP3 in series 7). Exit status 1 when it cannot be opened.
</translation>
    </message>
    <message>
        <source>give exactly one file</source>
        <translation>give exactly one file</translation>
    </message>
</context>
<context>
    <name>Player</name>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 バイト</source>
        <translation>%1 bytes</translation>
    </message>
</context>
<context>
    <name>PrintCommand</name>
    <message>
        <source>give exactly one control file</source>
        <translation>give exactly one control file</translation>
    </message>
    <message>
        <source>give the PDF file to write with --pdf OUT</source>
        <translation>give the PDF file to write with --pdf OUT</translation>
    </message>
    <message>
        <source>--sheets takes voice, control and editor, separated by commas</source>
        <translation>--sheets takes voice, control and editor, separated by commas</translation>
    </message>
    <message>
        <source>series %1 opens only .%2 and .%3 files
</source>
        <translation>series %1 opens only .%2 and .%3 files
</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>%1 (%2 pages)</source>
        <translation>%1 (%2 pages)</translation>
    </message>
    <message>
        <source>write the printed sheets of a control file to a PDF file</source>
        <translation>write the printed sheets of a control file to a PDF file</translation>
    </message>
    <message>
        <source>Loads the control file as `show` does and writes the sheets the print window
prints into the PDF file OUT (A4): the editor sheet (editor), the control data
sheet (control) and the voice sheet (voice), in that order. --sheets names the
sheets to write; without it all three are written. The editor sheet lists every
channel of the series, or with --page N only the channels of tab N (from 1;
in series 4, --page 2 gives channels 251 to 500).
Exit status 1 when the load failed or the file cannot be written.
</source>
        <translation>Loads the control file as `show` does and writes the sheets the print window
prints into the PDF file OUT (A4): the editor sheet (editor), the control data
sheet (control) and the voice sheet (voice), in that order. --sheets names the
sheets to write; without it all three are written. The editor sheet lists every
channel of the series, or with --page N only the channels of tab N (from 1;
in series 4, --page 2 gives channels 251 to 500).
Exit status 1 when the load failed or the file cannot be written.
</translation>
    </message>
    <message>
        <source>cannot start %1</source>
        <translation>cannot start %1</translation>
    </message>
    <message>
        <source>%1 ended abnormally</source>
        <translation>%1 ended abnormally</translation>
    </message>
    <message>
        <source>--page takes a tab from 1 to %1 in series %2</source>
        <translation>--page takes a tab from 1 to %1 in series %2</translation>
    </message>
</context>
<context>
    <name>PrintSheets</name>
    <message>
        <source>Sound登録情報</source>
        <translation>Voice registration</translation>
    </message>
    <message>
        <source>コントロールデータ作成情報</source>
        <translation>Control data</translation>
    </message>
    <message>
        <source>エディタ情報</source>
        <translation>Editor information</translation>
    </message>
    <message>
        <source>印刷される順：
%1</source>
        <translation>Print order:
%1</translation>
    </message>
    <message>
        <source> → </source>
        <translation> → </translation>
    </message>
    <message>
        <source>時間(秒)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>チャンネル %1～%2&#x3000;&#x3000;ボイス %3～%4</source>
        <translation>Channels %1-%2  Voices %3-%4</translation>
    </message>
    <message>
        <source>%1バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>カードデータ</source>
        <translation>Card data</translation>
    </message>
    <message>
        <source>カードデータファイル名</source>
        <translation>Card data file name</translation>
    </message>
    <message>
        <source>作成フォルダ名</source>
        <translation>Folder name</translation>
    </message>
    <message>
        <source>使用機種</source>
        <translation>Device model</translation>
    </message>
    <message>
        <source>使用カード容量</source>
        <translation>Card capacity used</translation>
    </message>
    <message>
        <source>積算カード容量</source>
        <translation>Total card capacity</translation>
    </message>
    <message>
        <source>積算メモリ容量</source>
        <translation>Total memory capacity</translation>
    </message>
    <message>
        <source>作成枚数</source>
        <translation>Copies</translation>
    </message>
    <message>
        <source>%1 枚</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>録音情報</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>録音スタジオ</source>
        <translation>Recording studio</translation>
    </message>
    <message>
        <source>アナウンサー</source>
        <translation>Announcer</translation>
    </message>
    <message>
        <source>録音日</source>
        <translation>Recording date</translation>
    </message>
    <message>
        <source>録音環境</source>
        <translation>Recording setup</translation>
    </message>
    <message>
        <source>%1制作会社</source>
        <translation>%1 production company</translation>
    </message>
    <message>
        <source>%1作成者</source>
        <translation>%1 author</translation>
    </message>
    <message>
        <source>%1作成日</source>
        <translation>%1 date</translation>
    </message>
    <message>
        <source>%1作成環境</source>
        <translation>%1 setup</translation>
    </message>
    <message>
        <source>カードデータ作成情報</source>
        <translation>Card data production</translation>
    </message>
    <message>
        <source>カードデータ作成会社</source>
        <translation>Card data company</translation>
    </message>
    <message>
        <source>カードデータ作成者</source>
        <translation>Card data author</translation>
    </message>
    <message>
        <source>カードデータ作成日</source>
        <translation>Card data date</translation>
    </message>
    <message>
        <source>カードデータ作成環境</source>
        <translation>Card data setup</translation>
    </message>
    <message>
        <source>記録媒体</source>
        <translation>Recording medium</translation>
    </message>
    <message>
        <source>テープ・ＭＤ種類</source>
        <translation>Tape/MD type</translation>
    </message>
    <message>
        <source>テープ・ＭＤ名</source>
        <translation>Tape/MD name</translation>
    </message>
    <message>
        <source>%1記録媒体種類</source>
        <translation>%1 medium type</translation>
    </message>
    <message>
        <source>%1記録媒体名</source>
        <translation>%1 medium name</translation>
    </message>
    <message>
        <source>カードデータ記録媒体種類</source>
        <translation>Card data medium type</translation>
    </message>
    <message>
        <source>カードデータ記録媒体名</source>
        <translation>Card data medium name</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>コメント①</source>
        <translation>Comment 1</translation>
    </message>
    <message>
        <source>コメント②</source>
        <translation>Comment 2</translation>
    </message>
    <message>
        <source>コメント③</source>
        <translation>Comment 3</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>周波数</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>ビットレート</source>
        <translation>Bit rate</translation>
    </message>
    <message>
        <source>タイプ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>ビット</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>バイト数</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>合計（%1 ファイル）</source>
        <translation>Total (files: %1)</translation>
    </message>
    <message>
        <source>Sound登録情報を印刷</source>
        <translation>print the voice registration</translation>
    </message>
</context>
<context>
    <name>Project</name>
    <message>
        <source>%1できません。次のSoundファイルが見つかりません。<byte value="xd"/>
%2<byte value="xd"/>
<byte value="xd"/>
Sound登録でファイルを差し替えるか、削除してください。</source>
        <translation>Cannot %1. The following sound files were not found.<byte value="xd"/>
%2<byte value="xd"/>
<byte value="xd"/>
Replace or delete the files in voice registration.</translation>
    </message>
</context>
<context>
    <name>RecordCommand</name>
    <message>
        <source>record a voice from an input device into a file the series registers</source>
        <translation>record a voice from an input device into a file the series registers</translation>
    </message>
    <message>
        <source>Records from the system&apos;s default input, or from --device NAME (see
--list-devices), until Ctrl+C or for --seconds N. The take is recorded at the
highest rate the series takes that the device gives, 16-bit, mono (stereo only
with the stereo option and a two-channel device), and streamed into a temporary
file beside OUTFILE that stays readable should the recording be killed. It is then
written to OUTFILE in the series&apos; format (MP3 for the MP3 series): --trim cuts
silence below -50 dBFS keeping 100 ms on each side, --normalize brings the
loudness to LUFS with the peak at most -1 dBFS. An existing OUTFILE is replaced
only with --yes. Samples the computer could not keep up with are counted as
overruns. Exit status 0 when the file was written, 1 when not, 2 on wrong usage.
</source>
        <translation>Records from the system&apos;s default input, or from --device NAME (see
--list-devices), until Ctrl+C or for --seconds N. The take is recorded at the
highest rate the series takes that the device gives, 16-bit, mono (stereo only
with the stereo option and a two-channel device), and streamed into a temporary
file beside OUTFILE that stays readable should the recording be killed. It is then
written to OUTFILE in the series&apos; format (MP3 for the MP3 series): --trim cuts
silence below -50 dBFS keeping 100 ms on each side, --normalize brings the
loudness to LUFS with the peak at most -1 dBFS. An existing OUTFILE is replaced
only with --yes. Samples the computer could not keep up with are counted as
overruns. Exit status 0 when the file was written, 1 when not, 2 on wrong usage.
</translation>
    </message>
    <message>
        <source>give one output file</source>
        <translation>give one output file</translation>
    </message>
    <message>
        <source>exists (--yes replaces it)</source>
        <translation>exists (--yes replaces it)</translation>
    </message>
    <message>
        <source>cannot make the folder</source>
        <translation>cannot make the folder</translation>
    </message>
    <message>
        <source>Recording; Ctrl+C ends the take.</source>
        <translation>Recording; Ctrl+C ends the take.</translation>
    </message>
    <message>
        <source>the take could not be written further; what it holds is kept</source>
        <translation>the take could not be written further; what it holds is kept</translation>
    </message>
    <message>
        <source>not written: %1; the take is kept in %2</source>
        <translation>not written: %1; the take is kept in %2</translation>
    </message>
    <message>
        <source>, %1 samples at %2 Hz</source>
        <translation>, %1 samples at %2 Hz</translation>
    </message>
    <message>
        <source>, peak %1 dBFS</source>
        <translation>, peak %1 dBFS</translation>
    </message>
    <message>
        <source>, %1 overruns (%2 samples dropped)</source>
        <translation>, %1 overruns (%2 samples dropped)</translation>
    </message>
    <message>
        <source>bad option</source>
        <translation>bad option</translation>
    </message>
    <message>
        <source>no input device</source>
        <translation>no input device</translation>
    </message>
</context>
<context>
    <name>RegisterCommand</name>
    <message>
        <source>register sound files into an empty voice list as the editor does</source>
        <translation>register sound files into an empty voice list as the editor does</translation>
    </message>
    <message>
        <source>Registers the files, in the order given, into an empty voice list of the current
series with every check the editor makes, and prints the voices and the messages
shown. Exit status 0 when every file was registered, 1 otherwise.
</source>
        <translation>Registers the files, in the order given, into an empty voice list of the current
series with every check the editor makes, and prints the voices and the messages
shown. Exit status 0 when every file was registered, 1 otherwise.
</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>no file given</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1 of %2 registered
</source>
        <translation>%1 of %2 registered
</translation>
    </message>
</context>
<context>
    <name>Registration</name>
    <message>
        <source>次の %1 ファイルは登録できませんでした。<byte value="xd"/>
</source>
        <translation>The following %1 file(s) could not be registered.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>ほか %1 件</source>
        <translation>%1 more</translation>
    </message>
    <message>
        <source>指定のファイル%1 は既に存在します。</source>
        <translation>The file %1 already exists.</translation>
    </message>
    <message>
        <source>登録出来るVoiceデータは最大%1です。</source>
        <translation>At most %1 voices can be registered.</translation>
    </message>
    <message>
        <source>形式または名前が合わないファイルは、本シリーズで使える形式に変換して登録できます。</source>
        <translation>Files whose format or name does not fit can be converted to a format this series uses and registered.</translation>
    </message>
    <message>
        <source>変換して登録</source>
        <translation>Convert and register</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>登録容量の上限に達したため登録していません。</source>
        <translation>Not registered: the registration capacity limit was reached.</translation>
    </message>
    <message>
        <source>登録を中止したため登録していません。</source>
        <translation>Not registered: registration was stopped.</translation>
    </message>
</context>
<context>
    <name>RegistrationSession</name>
    <message>
        <source><byte value="xd"/>
No.%1（%2）のコメント</source>
        <translation><byte value="xd"/>
Comment of No.%1 (%2)</translation>
    </message>
</context>
<context>
    <name>Series</name>
    <message>
        <source>ParlatoneEditorファイル(%1)</source>
        <translation>Parlatone Editor files (%1)</translation>
    </message>
</context>
<context>
    <name>SettingsCommand</name>
    <message>
        <source>takes no arguments</source>
        <translation>takes no arguments</translation>
    </message>
</context>
<context>
    <name>SettingsSession</name>
    <message>
        <source>カードデータを保存するフォルダは、「%1」から始まるフルパスで指定してください。&#x3000;&#x3000;</source>
        <translation>Give the folder to save card data in as a full path starting with &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>設定ファイルに保存できませんでした。<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
変更した設定はこのまま使えますが、次回の起動時には元に戻ります。</source>
        <translation>Could not save to the settings file.<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
The changed settings stay in use now but revert at the next start.</translation>
    </message>
</context>
<context>
    <name>SheetPainter</name>
    <message>
        <source>印刷日 %1&#x3000;&#x3000;時刻 %2</source>
        <translation>Printed %1  Time %2</translation>
    </message>
    <message>
        <source>コントロールファイル：</source>
        <translation>Control file: </translation>
    </message>
    <message>
        <source>■ %1</source>
        <translation>■ %1</translation>
    </message>
</context>
<context>
    <name>ShowCommand</name>
    <message>
        <source>load a control file as the editor does and print it</source>
        <translation>load a control file as the editor does and print it</translation>
    </message>
    <message>
        <source>Loads the control file (.wpj/.zpx) or temporary save file (.wpg/.mpi) in the
current series, reading every sound file it names, and prints the voices, the
channels that differ from a reset channel, the card information and what the
load left out (channels beyond the series, voices whose file is missing).
Exit status 1 when the load failed.
</source>
        <translation>Loads the control file (.wpj/.zpx) or temporary save file (.wpg/.mpi) in the
current series, reading every sound file it names, and prints the voices, the
channels that differ from a reset channel, the card information and what the
load left out (channels beyond the series, voices whose file is missing).
Exit status 1 when the load failed.
</translation>
    </message>
    <message>
        <source>give exactly one control file</source>
        <translation>give exactly one control file</translation>
    </message>
    <message>
        <source>series %1 opens only .%2 and .%3 files
</source>
        <translation>series %1 opens only .%2 and .%3 files
</translation>
    </message>
    <message>
        <source>series %1</source>
        <translation>series %1</translation>
    </message>
    <message>
        <source>voices (%1)</source>
        <translation>voices (%1)</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>channels (%1)</source>
        <translation>channels (%1)</translation>
    </message>
    <message>
        <source>card</source>
        <translation>card</translation>
    </message>
    <message>
        <source>warnings</source>
        <translation>warnings</translation>
    </message>
</context>
<context>
    <name>SilenceCommand</name>
    <message>
        <source>give one output file and --seconds from 1 to 3659</source>
        <translation>give one output file and --seconds from 1 to 3659</translation>
    </message>
    <message>
        <source>write a silent mono WAVE file</source>
        <translation>write a silent mono WAVE file</translation>
    </message>
    <message>
        <source>Writes a silent mono PCM WAVE file of S seconds (1 to 3659: at most 60 minutes and
59 seconds), 16 bits and 22050 Hz unless told otherwise; &quot;.wav&quot; is added to an
OUT that does not end so. --yes overwrites an existing file; without it the
answer is No.
</source>
        <translation>Writes a silent mono PCM WAVE file of S seconds (1 to 3659: at most 60 minutes and
59 seconds), 16 bits and 22050 Hz unless told otherwise; &quot;.wav&quot; is added to an
OUT that does not end so. --yes overwrites an existing file; without it the
answer is No.
</translation>
    </message>
    <message>
        <source>bad option</source>
        <translation>bad option</translation>
    </message>
</context>
<context>
    <name>Splash</name>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>ToMonoCommand</name>
    <message>
        <source>convert stereo WAVE files to mono</source>
        <translation>convert stereo WAVE files to mono</translation>
    </message>
    <message>
        <source>Makes mono copies of stereo PCM WAVE files (the left channel of 16-bit files, the
right channel of 8-bit files) with the checks of the sound tools window. In folder
mode mono files, and files of other depths or forms (which fit converts), are
skipped. --yes overwrites an existing output file and creates a missing output
folder; without it the answer is No. Ctrl+C stops the run and leaves no
unfinished file. Exit status 0 when every stereo file was converted.
</source>
        <translation>Makes mono copies of stereo PCM WAVE files (the left channel of 16-bit files, the
right channel of 8-bit files) with the checks of the sound tools window. In folder
mode mono files, and files of other depths or forms (which fit converts), are
skipped. --yes overwrites an existing output file and creates a missing output
folder; without it the answer is No. Ctrl+C stops the run and leaves no
unfinished file. Exit status 0 when every stereo file was converted.
</translation>
    </message>
    <message>
        <source>give a source and an output</source>
        <translation>give a source and an output</translation>
    </message>
    <message>
        <source>%1 converted, %2 skipped
</source>
        <translation>%1 converted, %2 skipped
</translation>
    </message>
</context>
<context>
    <name>ToolRuns</name>
    <message>
        <source>（%1bit）</source>
        <translation> (%1 bit)</translation>
    </message>
    <message>
        <source>%1%2 はこのページでは変換できません。<byte value="xd"/>
「シリーズに合わせて変換」のページで変換できます。</source>
        <translation>%1%2 cannot be converted on this page.<byte value="xd"/>
It can be converted on the &quot;Convert for the series&quot; page.</translation>
    </message>
    <message>
        <source>変換対象のファイルが指定されていません。</source>
        <translation>No file to convert is given.</translation>
    </message>
    <message>
        <source>指定されたファイルが存在しません。</source>
        <translation>The given file does not exist.</translation>
    </message>
    <message>
        <source>出力ファイル名が指定されていません。</source>
        <translation>No output file name is given.</translation>
    </message>
    <message>
        <source>変換するファイルと出力ファイル名が同じです。<byte value="xd"/>
出力ファイル名は異なる場所または名前を指定してください。&#x3000;&#x3000;</source>
        <translation>The file to convert and the output file name are the same.<byte value="xd"/>
Give a different place or name for the output file.</translation>
    </message>
    <message>
        <source>出力ファイル名が正しくありません。</source>
        <translation>The output file name is not valid.</translation>
    </message>
    <message>
        <source>変換対象のフォルダが指定されていません。</source>
        <translation>No folder to convert is given.</translation>
    </message>
    <message>
        <source>指定されたフォルダが存在しません。</source>
        <translation>The given folder does not exist.</translation>
    </message>
    <message>
        <source>出力フォルダが指定されていません。</source>
        <translation>No output folder is given.</translation>
    </message>
    <message>
        <source>変換対象フォルダと出力先フォルダが同じです。<byte value="xd"/>
出力先フォルダは異なる場所を指定してください。&#x3000;&#x3000;</source>
        <translation>The source folder and the output folder are the same.<byte value="xd"/>
Give a different place for the output folder.</translation>
    </message>
    <message>
        <source>フォルダ内に変換できるファイルがありません。</source>
        <translation>The folder holds no file that can be converted.</translation>
    </message>
    <message>
        <source>情報の取得に失敗しました。処理を中止します。</source>
        <translation>Could not get the information. Processing is stopped.</translation>
    </message>
    <message>
        <source>変換対象のファイルが見つかりません。処理を終了します。&#x3000;</source>
        <translation>The file to convert was not found. Processing ends.</translation>
    </message>
    <message>
        <source>０秒以上の時間を指定してください。</source>
        <translation>Give a time of 0 seconds or more.</translation>
    </message>
    <message>
        <source>ユーザーにより処理を中断しました。</source>
        <translation>Processing was stopped by the user.</translation>
    </message>
    <message>
        <source>変換処理中に異常が発生しました。処理を中止します。</source>
        <translation>An error occurred while converting. Processing is stopped.</translation>
    </message>
    <message>
        <source>処理を中止してよろしいですか？</source>
        <translation>Stop processing?</translation>
    </message>
    <message>
        <source>%1 はステレオではありません。</source>
        <translation>%1 is not stereo.</translation>
    </message>
    <message>
        <source>このファイルをスキップして処理を続けますか？&#x3000;&#x3000;</source>
        <translation>Skip this file and go on?</translation>
    </message>
    <message>
        <source>出力ファイルは既に存在します。上書きしてもよろしいですか？</source>
        <translation>The output file already exists. Overwrite it?</translation>
    </message>
</context>
<context>
    <name>ToolsSession</name>
    <message>
        <source>変換実行</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>変換停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>VerifyCardCommand</name>
    <message>
        <source>compare a card with its card data folder</source>
        <translation>compare a card with its card data folder</translation>
    </message>
    <message>
        <source>Reads every file of the card at TARGET back and compares it with CARDFOLDER, checks
that the directory order is name order and that nothing else is on the card&apos;s top
level. Exit status 0 when the card matches, 1 when it does not, 2 on wrong usage.
</source>
        <translation>Reads every file of the card at TARGET back and compares it with CARDFOLDER, checks
that the directory order is name order and that nothing else is on the card&apos;s top
level. Exit status 0 when the card matches, 1 when it does not, 2 on wrong usage.
</translation>
    </message>
    <message>
        <source>give a card data folder and a target</source>
        <translation>give a card data folder and a target</translation>
    </message>
</context>
<context>
    <name>WaveReader</name>
    <message>
        <source>Soundファイルが途中で切れています。ファイルを確認して下さい。</source>
        <translation>The sound file is cut short. Please check the file.</translation>
    </message>
</context>
<context>
    <name>WriteCardCommand</name>
    <message>
        <source>write a card data folder onto a card and verify it</source>
        <translation>write a card data folder onto a card and verify it</translation>
    </message>
    <message>
        <source>Checks that CARDFOLDER holds one control file and exactly the sound files it names,
that TARGET (the card&apos;s mount folder) is FAT16, writable and large enough, then
writes the files in name order, each flushed, syncs, and reads every file back to
compare it, with the directory order. Files already on the card are removed only
with --yes (folders never). --any-filesystem lifts the FAT16 requirement, for a
folder that is not a card. Ctrl+C stops between two blocks. Exit status 0 when
written and verified, 1 otherwise, 2 on wrong usage.
</source>
        <translation>Checks that CARDFOLDER holds one control file and exactly the sound files it names,
that TARGET (the card&apos;s mount folder) is FAT16, writable and large enough, then
writes the files in name order, each flushed, syncs, and reads every file back to
compare it, with the directory order. Files already on the card are removed only
with --yes (folders never). --any-filesystem lifts the FAT16 requirement, for a
folder that is not a card. Ctrl+C stops between two blocks. Exit status 0 when
written and verified, 1 otherwise, 2 on wrong usage.
</translation>
    </message>
    <message>
        <source>give a card data folder and a target</source>
        <translation>give a card data folder and a target</translation>
    </message>
</context>
<context>
    <name>WriteCommand</name>
    <message>
        <source>give --from PROJECT.json and one output file</source>
        <translation>give --from PROJECT.json and one output file</translation>
    </message>
    <message>
        <source>write a control file from a project in JSON</source>
        <translation>write a control file from a project in JSON</translation>
    </message>
    <message>
        <source>Writes the control file OUT from a JSON object of the form `show --json` prints
(missing keys are empty; &quot;programs&quot; lists the channels to set). The series is
the object&apos;s &quot;series&quot; when it has one, else the current series. The owner details
come from the settings file. Exit status 1 when the file cannot be written.
</source>
        <translation>Writes the control file OUT from a JSON object of the form `show --json` prints
(missing keys are empty; &quot;programs&quot; lists the channels to set). The series is
the object&apos;s &quot;series&quot; when it has one, else the current series. The owner details
come from the settings file. Exit status 1 when the file cannot be written.
</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>cannot read %1</translation>
    </message>
    <message>
        <source>%1 is not a JSON object: %2</source>
        <translation>%1 is not a JSON object: %2</translation>
    </message>
    <message>
        <source>&quot;series&quot; must be 0 to 7</source>
        <translation>&quot;series&quot; must be 0 to 7</translation>
    </message>
</context>
<context>
    <name>parlatone::ChannelTimeline</name>
    <message>
        <source>チャンネルを選ぶと、再生の流れがここに表示されます。</source>
        <translation>Select a channel to see its playback flow here.</translation>
    </message>
    <message>
        <source>CH %1 ・ 音声 %2 個 ・ RP %3 回 ・ 時間 %4 秒</source>
        <translation>CH %1 · Voices: %2 · RP: %3 · Time: %4 s</translation>
    </message>
    <message>
        <source>RP が 0 のため、時間は 0 秒です。</source>
        <translation>RP is 0, so the time is 0 s.</translation>
    </message>
    <message>
        <source>%1 回目から %2 回目（同じ並びの繰り返し）</source>
        <translation>Rounds %1 to %2 (the same sequence repeated)</translation>
    </message>
    <message>
        <source>未登録</source>
        <translation>Not registered</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1&#x3000;%2（%3 回目）</source>
        <translation>%1 %2 (round %3)</translation>
    </message>
</context>
<context>
    <name>parlatone::FitPage</name>
    <message>
        <source>%1：書き込みませんでした。%2</source>
        <translation>%1: not written. %2</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>%1&#x3000;%2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>どんな音声ファイルも、%1で登録できる形式と名前に変換します。</source>
        <translation>Converts any sound file into a format and name for the %1.</translation>
    </message>
    <message>
        <source>変換するファイル</source>
        <translation>Files to convert</translation>
    </message>
    <message>
        <source>ファイル追加...</source>
        <translation>Add files...</translation>
    </message>
    <message>
        <source>フォルダ追加...</source>
        <translation>Add folder...</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>変換の設定</source>
        <translation>Conversion settings</translation>
    </message>
    <message>
        <source>自動（元の周波数に近いもの）</source>
        <translation>Auto (nearest to the source rate)</translation>
    </message>
    <message>
        <source>周波数(&amp;R)</source>
        <translation>&amp;Rate</translation>
    </message>
    <message>
        <source>ビットレート(&amp;B)</source>
        <translation>&amp;Bit rate</translation>
    </message>
    <message>
        <source>音量をそろえる(&amp;L)</source>
        <translation>Normalize &amp;loudness</translation>
    </message>
    <message>
        <source>前後の無音を取り除く(&amp;T)</source>
        <translation>&amp;Trim silence at both ends</translation>
    </message>
    <message>
        <source>出力フォルダ(&amp;O)</source>
        <translation>&amp;Output folder</translation>
    </message>
    <message>
        <source>参照...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>変換実行</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>音声ファイル</source>
        <translation>Sound files</translation>
    </message>
    <message>
        <source>変換するフォルダ</source>
        <translation>Folder to convert</translation>
    </message>
    <message>
        <source>出力フォルダ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>変換停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>変換するファイルを追加してください。</source>
        <translation>Add the files to convert.</translation>
    </message>
    <message>
        <source>出力フォルダを指定してください。</source>
        <translation>Give the output folder.</translation>
    </message>
    <message>
        <source>LYRシリーズ（8bitデータ専用）</source>
        <translation>LYR series (8-bit data only)</translation>
    </message>
    <message>
        <source>QDXシリーズ 255CH</source>
        <translation>QDX series (255 ch)</translation>
    </message>
    <message>
        <source>LYR500シリーズ</source>
        <translation>LYR500 series</translation>
    </message>
    <message>
        <source>LYRシリーズ拡張</source>
        <translation>LYR series (extended)</translation>
    </message>
    <message>
        <source>QDXシリーズ 1000CH</source>
        <translation>QDX series (1000 ch)</translation>
    </message>
    <message>
        <source>LYR-5シリーズ</source>
        <translation>LYR-5 series</translation>
    </message>
    <message>
        <source>LYR-4シリーズ</source>
        <translation>LYR-4 series</translation>
    </message>
    <message>
        <source>ZPXシリーズ</source>
        <translation>ZPX series</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmCardMake</name>
    <message>
        <source>半角8文字以内</source>
        <translation>Up to 8 half-width chars</translation>
    </message>
    <message>
        <source>全角%1文字以内</source>
        <translation>Up to %1 full-width chars</translation>
    </message>
    <message>
        <source>%1（必須）</source>
        <translation>%1 (required)</translation>
    </message>
    <message>
        <source>基本情報</source>
        <translation>Basic</translation>
    </message>
    <message>
        <source>作成情報</source>
        <translation>Production</translation>
    </message>
    <message>
        <source>媒体・コメント</source>
        <translation>Media/comments</translation>
    </message>
    <message>
        <source>カードデータファイル名</source>
        <translation>Card data file name</translation>
    </message>
    <message>
        <source>作成フォルダ名</source>
        <translation>Folder name</translation>
    </message>
    <message>
        <source>使用機種</source>
        <translation>Device model</translation>
    </message>
    <message>
        <source>作成枚数</source>
        <translation>Copies</translation>
    </message>
    <message>
        <source>枚&#x3000;（コピー枚数含）</source>
        <translation>copies (incl. duplicates)</translation>
    </message>
    <message>
        <source>使用カード容量</source>
        <translation>Card capacity used</translation>
    </message>
    <message>
        <source>積算カード容量</source>
        <translation>Total card capacity</translation>
    </message>
    <message>
        <source>積算メモリ容量</source>
        <translation>Total memory capacity</translation>
    </message>
    <message>
        <source>カードデータ情報</source>
        <translation>Card data information</translation>
    </message>
    <message>
        <source>作成会社</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>作成者</source>
        <translation>Author</translation>
    </message>
    <message>
        <source>作成日</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>作成環境</source>
        <translation>Setup</translation>
    </message>
    <message>
        <source>録音スタジオ</source>
        <translation>Recording studio</translation>
    </message>
    <message>
        <source>アナウンサー</source>
        <translation>Announcer</translation>
    </message>
    <message>
        <source>録音日</source>
        <translation>Recording date</translation>
    </message>
    <message>
        <source>録音環境</source>
        <translation>Recording setup</translation>
    </message>
    <message>
        <source>制作会社</source>
        <translation>Production company</translation>
    </message>
    <message>
        <source>テープ・ＭＤ名</source>
        <translation>Tape/MD name</translation>
    </message>
    <message>
        <source>カードデータ記録媒体名</source>
        <translation>Card data medium name</translation>
    </message>
    <message>
        <source>コメント①</source>
        <translation>Comment 1</translation>
    </message>
    <message>
        <source>コメント②</source>
        <translation>Comment 2</translation>
    </message>
    <message>
        <source>コメント③</source>
        <translation>Comment 3</translation>
    </message>
    <message>
        <source>一時保存(&amp;S)</source>
        <translation>Temporary &amp;save</translation>
    </message>
    <message>
        <source>作成(&amp;M)</source>
        <translation>&amp;Make</translation>
    </message>
    <message>
        <source>カードへ書込み(&amp;W)</source>
        <translation>&amp;Write to card</translation>
    </message>
    <message>
        <source>作成したカードデータをカードに書き込み、読み戻して確認します。</source>
        <translation>Writes the card data made to a card, reads it back and verifies it.</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>%1バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>一時保存ファイルの保存</source>
        <translation>Save temporary save file</translation>
    </message>
    <message>
        <source>カードへの書込みは、この画面の［カードへ書込み］ボタンで行えます。</source>
        <translation>To write to a card, use the [Write to card] button in this window.</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmCardWrite</name>
    <message>
        <source>カードへ書込み</source>
        <translation>Write to card</translation>
    </message>
    <message>
        <source>書き込むカードデータ: %1<byte value="xd"/>
書き込むカードを選んでください。使えるのは[FAT16]でフォーマットしたカードだけです。</source>
        <translation>Card data to write: %1<byte value="xd"/>
Choose the card to write to. Only cards formatted as [FAT16] can be used.</translation>
    </message>
    <message>
        <source>カード</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>場所</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>容量 / 空き</source>
        <translation>Size / free</translation>
    </message>
    <message>
        <source>形式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>更新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>フォルダを指定...(&amp;F)</source>
        <translation>&amp;Folder...</translation>
    </message>
    <message>
        <source>書込み(&amp;W)</source>
        <translation>&amp;Write</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>取り外し(&amp;E)</source>
        <translation>&amp;Eject</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>書き込むカードのフォルダ</source>
        <translation>Folder of the card to write to</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>書込みできます</source>
        <translation>Ready to write</translation>
    </message>
    <message>
        <source>カードが見つかりません。カードを差し込んでから［更新］を押してください。</source>
        <translation>No card found. Insert a card and press [Refresh].</translation>
    </message>
    <message>
        <source>カードを取り外せます。</source>
        <translation>The card can be removed.</translation>
    </message>
    <message>
        <source>カードを取り外せませんでした。<byte value="xd"/>
%1</source>
        <translation>Could not eject the card.<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmGuide</name>
    <message>
        <source>ユーザーガイド</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>ユーザーガイドを開けませんでした。<byte value="xd"/>
%1</source>
        <translation>Could not open the user guide.<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmMain</name>
    <message>
        <source>ファイル読込</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>コントロールファイルか一時保存ファイルを読み込みます</source>
        <translation>Loads a control file or a temporary save file</translation>
    </message>
    <message>
        <source>データ初期化</source>
        <translation>Reset data</translation>
    </message>
    <message>
        <source>編集中のSound、チャンネル、カード情報をすべて消去します</source>
        <translation>Clears all voices, channels and card information being edited</translation>
    </message>
    <message>
        <source>Sound登録</source>
        <translation>Voices</translation>
    </message>
    <message>
        <source>使用するSoundファイルを登録・削除します</source>
        <translation>Registers and deletes the sound files to use</translation>
    </message>
    <message>
        <source>詳細設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>シリーズ、ステレオの可否、カードデータの保存先を設定します</source>
        <translation>Sets the series, whether stereo is accepted and where card data are saved</translation>
    </message>
    <message>
        <source> ｶｰﾄﾞﾃﾞｰﾀ作成 </source>
        <translation> Card data </translation>
    </message>
    <message>
        <source>カード情報を入力し、一時保存やカードデータの作成をします</source>
        <translation>Enters the card information, makes a temporary save or the card data</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>編集情報・コントロールデータ情報・Sound登録情報を印刷します</source>
        <translation>Prints the editor, control data and voice registration sheets</translation>
    </message>
    <message>
        <source>編集画面を閉じる</source>
        <translation>Close editor</translation>
    </message>
    <message>
        <source>エディタを終了します</source>
        <translation>Quits the editor</translation>
    </message>
    <message>
        <source>試聴</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>上移動</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下移動</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>左移動</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右移動</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>全試聴</source>
        <translation>Play all</translation>
    </message>
    <message>
        <source>一括登録</source>
        <translation>Assign all</translation>
    </message>
    <message>
        <source>全削除</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>選択したチャンネルを試聴します</source>
        <translation>Plays the selected channel</translation>
    </message>
    <message>
        <source>選択したSoundを前のチャンネルの同じ列へ移します</source>
        <translation>Moves the selected voice to the same column of the previous channel</translation>
    </message>
    <message>
        <source>選択したSoundを次のチャンネルの同じ列へ移します</source>
        <translation>Moves the selected voice to the same column of the next channel</translation>
    </message>
    <message>
        <source>選択したSoundを同じチャンネルの左へ移します</source>
        <translation>Moves the selected voice to the left in the same channel</translation>
    </message>
    <message>
        <source>選択したSoundを同じチャンネルの右へ移します</source>
        <translation>Moves the selected voice to the right in the same channel</translation>
    </message>
    <message>
        <source>選択したSoundをチャンネルから外します（No.・SP・RP・時間の列では、そのチャンネルのSoundをすべて）</source>
        <translation>Removes the selected voice from the channel (in the No., SP, RP and time columns, all voices of that channel)</translation>
    </message>
    <message>
        <source>すべてのチャンネルを順に試聴します</source>
        <translation>Plays all channels in turn</translation>
    </message>
    <message>
        <source>登録したSoundを1チャンネルに1つずつ順に割り当てます</source>
        <translation>Assigns the registered voices in turn, one per channel</translation>
    </message>
    <message>
        <source>すべてのチャンネルの割り当てを消去します</source>
        <translation>Clears the assignments of all channels</translation>
    </message>
    <message>
        <source>全試聴を一時停止・再開します</source>
        <translation>Pauses or resumes Play all</translation>
    </message>
    <message>
        <source>一時保存...</source>
        <translation>Temporary save...</translation>
    </message>
    <message>
        <source>編集中の内容を一時保存ファイルに保存します</source>
        <translation>Saves the current edits to a temporary save file</translation>
    </message>
    <message>
        <source>PDF保存...</source>
        <translation>Save PDF...</translation>
    </message>
    <message>
        <source>印刷する帳票をPDFファイルに保存します</source>
        <translation>Saves the sheets to print as a PDF file</translation>
    </message>
    <message>
        <source>元に戻す:</source>
        <translation>Undo:</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>チャンネルの最後の変更を取り消します</source>
        <translation>Undoes the last change to the channels</translation>
    </message>
    <message>
        <source>やり直し:</source>
        <translation>Redo:</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>取り消した変更をやり直します</source>
        <translation>Redoes the undone change</translation>
    </message>
    <message>
        <source>変換ツール</source>
        <translation>Conversion tools</translation>
    </message>
    <message>
        <source>ステレオ/モノラル変換と無音データの作成をします</source>
        <translation>Converts stereo to mono and makes silent data</translation>
    </message>
    <message>
        <source>ユーザーガイド</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>ユーザーガイドを開きます</source>
        <translation>Opens the user guide</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>バージョン、使用許諾契約書、更新履歴を表示します</source>
        <translation>Shows the version, license agreement and change history</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>最近使ったファイル</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>このファイルは見つかりません。最近使ったファイルの一覧から外します。<byte value="xd"/>
%1</source>
        <translation>This file was not found. It is removed from the recent files list.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>復元した編集内容（未保存）</source>
        <translation>Restored edits (unsaved)</translation>
    </message>
    <message>
        <source>%1（復元した編集内容・未保存）</source>
        <translation>%1 (restored edits, unsaved)</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>ファイルを開く</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>編集中の作業があるため、次のファイルは読み込みませんでした。<byte value="xd"/>
%1</source>
        <translation>Work is being edited, so the following file was not loaded.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>前回保存されずに終了した編集内容がありますが、復元用のファイルが壊れているため復元できません。<byte value="xd"/>
%1</source>
        <translation>Edits from last time were not saved, but the recovery file is damaged and they cannot be restored.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>前回保存されずに終了した編集内容がありますが、%1のものです。このシリーズには読み込めません。<byte value="xd"/>
詳細設定でそのシリーズに切り替えて起動し直すと、復元できます。</source>
        <translation>Edits from last time were not saved, but they belong to %1 and cannot be loaded into this series.<byte value="xd"/>
Switch to that series in Settings and restart to restore them.</translation>
    </message>
    <message>
        <source>前回保存されずに終了した編集内容があります。復元しますか？<byte value="xd"/>
「いいえ」を選ぶと、その内容は破棄されます。</source>
        <translation>Edits from last time were not saved. Restore them?<byte value="xd"/>
Choosing &quot;No&quot; discards them.</translation>
    </message>
    <message>
        <source>登録されていないSoundの削除</source>
        <translation>Delete unregistered voices</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>チャンネルの削除</source>
        <translation>Delete channel</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmPlay</name>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmPrint</name>
    <message>
        <source>印刷する情報を選択してください</source>
        <translation>Choose what to print</translation>
    </message>
    <message>
        <source>選択シート</source>
        <translation>Selected sheet</translation>
    </message>
    <message>
        <source>すべてのシート</source>
        <translation>All sheets</translation>
    </message>
    <message>
        <source>印刷(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>PDF保存</source>
        <translation>Save PDF</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>PDFファイル(*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>PDFファイルの保存</source>
        <translation>Save PDF file</translation>
    </message>
    <message>
        <source>PDFファイルを保存できませんでした。<byte value="xd"/>
%1</source>
        <translation>Could not save the PDF file.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>PDFファイルを保存しました。<byte value="xd"/>
%1</source>
        <translation>The PDF file was saved.<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmProgress</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmRecord</name>
    <message>
        <source>録音できる入力デバイスがありません。マイクをつなぎ、サウンドの設定で入力を有効にしてください。</source>
        <translation>No input device to record from. Connect a microphone and enable input in the sound settings.</translation>
    </message>
    <message>
        <source>録音</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>既定の入力デバイス</source>
        <translation>Default input device</translation>
    </message>
    <message>
        <source>入力デバイス</source>
        <translation>Input device</translation>
    </message>
    <message>
        <source>ピーク</source>
        <translation>Peak</translation>
    </message>
    <message>
        <source>クリップ</source>
        <translation>Clip</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>撮り直し</source>
        <translation>Retake</translation>
    </message>
    <message>
        <source>試聴</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>前後の無音を削除</source>
        <translation>Trim silence</translation>
    </message>
    <message>
        <source>音量をそろえる</source>
        <translation>Normalize loudness</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>登録</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>終了していない録音が残っています。<byte value="xd"/>
%1（%2 秒）<byte value="xd"/>
<byte value="xd"/>
この録音を残しますか？（いいえ を選ぶと削除します）</source>
        <translation>An unfinished recording is left.<byte value="xd"/>
%1 (%2 s)<byte value="xd"/>
<byte value="xd"/>
Keep this recording? (No deletes it)</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>録音を始められません。<byte value="xd"/>
%1</source>
        <translation>Cannot start recording.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>録音を書き込めなくなりました。そこまでの録音は残っています。</source>
        <translation>The recording can no longer be written. What was recorded so far is kept.</translation>
    </message>
    <message>
        <source>処理が追いつかず、録音の一部（%1 サンプル）が失われました。</source>
        <translation>Processing fell behind and part of the recording (%1 samples) was lost.</translation>
    </message>
    <message>
        <source>%1<byte value="xd"/>
は既にあります。置き換えますか？</source>
        <translation>%1<byte value="xd"/>
already exists. Replace it?</translation>
    </message>
    <message>
        <source>録音は登録されていません。破棄して閉じますか？</source>
        <translation>The recording is not registered. Discard it and close?</translation>
    </message>
    <message>
        <source>−∞ LUFS</source>
        <translation>−∞ LUFS</translation>
    </message>
    <message>
        <source>カード情報の録音日が空欄です。今日の日付（%1）を入れますか？</source>
        <translation>The recording date in the card information is empty. Enter today&apos;s date (%1)?</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmSeting</name>
    <message>
        <source>表示言語（Language）</source>
        <translation>Language (表示言語)</translation>
    </message>
    <message>
        <source>システムに合わせる</source>
        <translation>Same as the system</translation>
    </message>
    <message>
        <source>次回の起動から有効になります</source>
        <translation>Takes effect at the next start</translation>
    </message>
    <message>
        <source>システム</source>
        <translation>System</translation>
    </message>
    <message>
        <source>モード</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>補助機能</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>バージョン</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>カードデータ保存フォルダ</source>
        <translation>Card data folder</translation>
    </message>
    <message>
        <source>参照...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>（半角8文字以内）</source>
        <translation>(up to 8 half-width chars)</translation>
    </message>
    <message>
        <source>ステレオのSoundデータを登録できるようにする機能です。
ステレオのデータを再生できる機種でのみ使用してください。</source>
        <translation>Allows stereo sound data to be registered.
Use it only with devices that can play stereo data.</translation>
    </message>
    <message>
        <source>使用しない（モノラルデータのみ登録できます）</source>
        <translation>Off (mono data only)</translation>
    </message>
    <message>
        <source>使用する（ステレオデータも登録できます）</source>
        <translation>On (stereo data too)</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;%1&quot;&gt;ユーザーガイド（%2）&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;%1&quot;&gt;User guide (%2)&lt;/a&gt;</translation>
    </message>
    <message>
        <source>インストールされているユーザーガイドを開きます</source>
        <translation>Opens the installed user guide</translation>
    </message>
    <message>
        <source>カードデータを保存するフォルダを選択してください</source>
        <translation>Choose the folder to save card data in</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmText</name>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmTools</name>
    <message>
        <source>変換するファイル</source>
        <translation>File to convert</translation>
    </message>
    <message>
        <source>出力ファイル名</source>
        <translation>Output file name</translation>
    </message>
    <message>
        <source>変換対象フォルダ</source>
        <translation>Folder to convert</translation>
    </message>
    <message>
        <source>出力フォルダ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>変換ﾂｰﾙ</source>
        <translation>Conversion tools</translation>
    </message>
    <message>
        <source>ステレオ/モノラル変換</source>
        <translation>Stereo to mono</translation>
    </message>
    <message>
        <source>無音データの作成</source>
        <translation>Silent data</translation>
    </message>
    <message>
        <source>シリーズに合わせて変換</source>
        <translation>Convert for the series</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>ステレオからモノラルへ変換します。</source>
        <translation>Converts stereo to mono.</translation>
    </message>
    <message>
        <source>対象のファイルまたはフォルダを選択してください</source>
        <translation>Choose the file or folder to convert</translation>
    </message>
    <message>
        <source>ファイル単位で変換する</source>
        <translation>Convert a file</translation>
    </message>
    <message>
        <source>フォルダ単位で変換する</source>
        <translation>Convert a folder</translation>
    </message>
    <message>
        <source>参照...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>①時間指定</source>
        <translation>1. Length</translation>
    </message>
    <message>
        <source>分（0～60）</source>
        <translation>min (0-60)</translation>
    </message>
    <message>
        <source>秒（0～59）</source>
        <translation>s (0-59)</translation>
    </message>
    <message>
        <source>②ＢＩＴ／サンプリングレートの指定</source>
        <translation>2. Bits / sampling rate</translation>
    </message>
    <message>
        <source>③作成するファイル名の指定</source>
        <translation>3. Name of the file to make</translation>
    </message>
    <message>
        <source>WAVE ファイル</source>
        <translation>WAVE files</translation>
    </message>
    <message>
        <source>ファイルを開く</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>%1 個のファイルをモノラルに変換しました。</source>
        <translation>Converted %1 file(s) to mono.</translation>
    </message>
    <message>
        <source>%1 個のファイルはステレオではないため変換しませんでした。</source>
        <translation>Not converted because not stereo: %1 file(s).</translation>
    </message>
    <message>
        <source>%1 個のファイルは「シリーズに合わせて変換」のページで変換してください。</source>
        <translation>Convert %1 file(s) on the &quot;Convert for the series&quot; page.</translation>
    </message>
    <message>
        <source>%1<byte value="xd"/>
<byte value="xd"/>
出力先：<byte value="xd"/>
%2</source>
        <translation>%1<byte value="xd"/>
<byte value="xd"/>
Output:<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>無音データを作成しました。<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Silent data was made.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>parlatone::FrmWaveAdd</name>
    <message>
        <source>ファイル選択</source>
        <translation>Select files</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>全削除</source>
        <translation>Delete all</translation>
    </message>
    <message>
        <source>試聴</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>全試聴</source>
        <translation>Play all</translation>
    </message>
    <message>
        <source>上へ移動</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>下へ移動</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>フォルダ選択</source>
        <translation>Select folder</translation>
    </message>
    <message>
        <source>mp3変換</source>
        <translation>MP3 conversion</translation>
    </message>
    <message>
        <source>Wave変換</source>
        <translation>WAVE conversion</translation>
    </message>
    <message>
        <source>各種音声ファイルからmp3ファイルへの変換等</source>
        <translation>Converts various sound files to mp3 files, etc.</translation>
    </message>
    <message>
        <source>ステレオ/モノラル変換、無音データの作成等</source>
        <translation>Stereo/mono conversion, silent data, etc.</translation>
    </message>
    <message>
        <source>変換ﾂｰﾙ</source>
        <translation>Conversion tools</translation>
    </message>
    <message>
        <source>録音</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>マイクから録音して登録します</source>
        <translation>Records from a microphone and registers it</translation>
    </message>
    <message>
        <source>登録容量制限</source>
        <translation>Capacity limit</translation>
    </message>
    <message>
        <source>積算時間 ：</source>
        <translation>Total time:</translation>
    </message>
    <message>
        <source>積算容量 ：</source>
        <translation>Total size:</translation>
    </message>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>変換したファイルの保存先</source>
        <translation>Folder for converted files</translation>
    </message>
    <message>
        <source>音声ファイル</source>
        <translation>Sound files</translation>
    </message>
</context>
<context>
    <name>parlatone::ProgramTableModel</name>
    <message>
        <source>セルの変更</source>
        <translation>Change cell</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>SP</source>
        <translation>SP</translation>
    </message>
    <message>
        <source>RP</source>
        <translation>RP</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>VOICE</source>
        <translation>VOICE</translation>
    </message>
</context>
<context>
    <name>parlatone::VoiceListModel</name>
    <message>
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>COMENTS</source>
        <translation>COMMENTS</translation>
    </message>
    <message>
        <source>SampleRate</source>
        <translation>SampleRate</translation>
    </message>
    <message>
        <source>BitRate</source>
        <translation>BitRate</translation>
    </message>
    <message>
        <source>TYPE</source>
        <translation>TYPE</translation>
    </message>
    <message>
        <source>SEC</source>
        <translation>SEC</translation>
    </message>
    <message>
        <source>BYTES</source>
        <translation>BYTES</translation>
    </message>
    <message>
        <source>波形</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>MPEG</source>
        <translation>MPEG</translation>
    </message>
    <message>
        <source>Layer</source>
        <translation>Layer</translation>
    </message>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>ピークがフルスケールに達しています（音割れのおそれがあります）。</source>
        <translation>The peak reaches full scale (it may distort).</translation>
    </message>
    <message>
        <source>登録した音声の中央値（%1 LUFS）より %2 LU 大きい音量です。</source>
        <translation>%2 LU louder than the median of the registered voices (%1 LUFS).</translation>
    </message>
    <message>
        <source>登録した音声の中央値（%1 LUFS）より %2 LU 小さい音量です。</source>
        <translation>%2 LU quieter than the median of the registered voices (%1 LUFS).</translation>
    </message>
    <message>
        <source>ファイルが見つかりません
探した場所：
%1
ファイルを登録し直すか、削除してください。</source>
        <translation>File not found
Searched in:
%1
Register the file again or delete it.</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>読めません</source>
        <translation>Unreadable</translation>
    </message>
    <message>
        <source>%1
無音：先頭 %2 ms、末尾 %3 ms</source>
        <translation>%1
Silence: start %2 ms, end %3 ms</translation>
    </message>
</context>
<context>
    <name>parlatone::WaveformView</name>
    <message>
        <source>クリックした位置から再生します。</source>
        <translation>Click to play from that point.</translation>
    </message>
    <message>
        <source>波形を読み込み中…</source>
        <translation>Loading waveform…</translation>
    </message>
</context>
</TS>
