// The window's fixed texts: captions, menu entries and the messages it shows.
//
// Half-width katakana (as in "ﾌｧｲﾙ") and full-width characters are meant
// exactly as written; "&" marks the access key; message lines are separated
// by a lone CR.
#pragma once

#include <string_view>

namespace trovlin::app::captions {

inline constexpr std::u16string_view kAppTitle = u"Trovlin";
inline constexpr std::u16string_view kWindow = u"検索結果Trovlin";

inline constexpr std::u16string_view kConv = u"変換&C";
inline constexpr std::u16string_view kFileopen = u"読込&O";
inline constexpr std::u16string_view kLabel1 = u"項目名";
inline constexpr std::u16string_view kLabel2 = u"回答様式";
inline constexpr std::u16string_view kFrame1 = u"Data Base";
// Shown in the answer-layout label before the layout character.
inline constexpr std::u16string_view kLayoutPrefix = u"回答様式　";

inline constexpr std::u16string_view kFileMenu = u"ﾌｧｲﾙ&F";
inline constexpr std::u16string_view kFopen = u"読込&O";
inline constexpr std::u16string_view kFpaste = u"貼付&P";
inline constexpr std::u16string_view kMconv = u"変換&C";
inline constexpr std::u16string_view kPend = u"終了&E";
inline constexpr std::u16string_view kEditMenu = u"項目編集&E";
inline constexpr std::u16string_view kInsertCsv = u"追加&I";
inline constexpr std::u16string_view kPastCsv = u"貼付&P";
inline constexpr std::u16string_view kDelCsv = u"削除&D";
inline constexpr std::u16string_view kCutCsv = u"切抜&X";
inline constexpr std::u16string_view kLoadItems = u"項目リスト読込&L...";
inline constexpr std::u16string_view kSaveItems = u"項目リスト保存&S...";
inline constexpr std::u16string_view kStnMenu = u"設定&S";
inline constexpr std::u16string_view kDelHit = u"STNで***を削除";
inline constexpr std::u16string_view kConH = u"全角を半角に変換";
inline constexpr std::u16string_view kCsvEncodingMenu = u"CSVの文字コード&K";
inline constexpr std::u16string_view kCsvCp932 = u"Shift_JIS（コードページ932）";
inline constexpr std::u16string_view kCsvUtf8 = u"UTF-8";
inline constexpr std::u16string_view kCsvUtf8Bom = u"UTF-8（BOM付き）";
inline constexpr std::u16string_view kRfcQuotes = u"値の\"を\"\"と書く（RFC 4180）";
inline constexpr std::u16string_view kAbout = u"About";

inline constexpr std::u16string_view kAboutText = u"検索結果Trovlinプログラム\r ver 1.23\r2005/12/17";
inline constexpr std::u16string_view kDone = u"変換完了\r終了しますか";

// The file dialogs of the item lists.
inline constexpr std::u16string_view kLoadItemsTitle = u"項目リストを開く";
inline constexpr std::u16string_view kSaveItemsTitle = u"項目リストを保存";
inline constexpr std::u16string_view kItemsFilter = u"Item List (*.txt)|*.txt|All Files (*.*)|*.*|";
inline constexpr std::u16string_view kItemsDefaultExt = u"txt";

// Below the design's client area: the CSV preview of a tagged log, and in
// the status bar the encoding the loaded log was read in.
inline constexpr std::u16string_view kPreviewLabel = u"CSVプレビュー（先頭5件）";
inline constexpr std::u16string_view kLogCp932 = u"ログの文字コード：Shift_JIS";
inline constexpr std::u16string_view kLogUtf8 = u"ログの文字コード：UTF-8";
inline constexpr std::u16string_view kLogUtf16 = u"ログの文字コード：UTF-16";
// Stands for a line feed inside a field, so that each CSV row keeps one line
// of the preview.
inline constexpr std::u16string_view kPreviewLineFeed = u"↵";
inline constexpr std::u16string_view kPreviewFailed = u"プレビューできません：";

// Messages of this window's own, for what the rest of the program leaves
// unreported: each names the file and the system's reason on its next line.
inline constexpr std::u16string_view kLoadFailed = u"ログファイルを読み込めません";
inline constexpr std::u16string_view kConvertFailed = u"変換できませんでした";
inline constexpr std::u16string_view kPasteFailed = u"貼付ファイルを作成できません";
inline constexpr std::u16string_view kItemsLoadFailed = u"項目リストを読み込めません";
inline constexpr std::u16string_view kItemsSaveFailed = u"項目リストを保存できません";
// Why a log was not recognised, under its name below the "not a log" message.
inline constexpr std::u16string_view kRefusedEmpty = u"ファイルが空です。";
inline constexpr std::u16string_view kRefusedUtf16 = u"バイト順マーク（BOM）のないUTF-16のファイルです。";
inline constexpr std::u16string_view kRefusedNul = u"NULバイトを含むため、テキストのログではありません。";
inline constexpr std::u16string_view kRefusedMarkers = u"STN・DIALOG・JOIS・PATOLISの目印";
inline constexpr std::u16string_view kRefusedOnlyLine = u"がありません（1行だけのログの行は調べません）。";
inline constexpr std::u16string_view kRefusedNowhere = u"がありません。";
// Between them: the number of lines examined.
inline constexpr std::u16string_view kRefusedLinesBefore = u"が先頭の ";
inline constexpr std::u16string_view kRefusedLinesAfter = u" 行にありません。";
// Around the number of the short line that ended the search.
inline constexpr std::u16string_view kRefusedShortBefore = u"（";
inline constexpr std::u16string_view kRefusedShortAfter = u" 行目が4文字以下のため、そこで探すのをやめました）";

inline constexpr std::u16string_view kStopRunQuestion = u"変換中です。\r変換を中止して終了しますか";

}  // namespace trovlin::app::captions
