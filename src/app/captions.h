// The window's fixed texts: captions, menu entries and the messages it shows.
//
// Half-width katakana (as in "ﾌｧｲﾙ") and full-width characters are meant
// exactly as written; "&" marks the access key; message lines are separated
// by a lone CR.
#pragma once

#include <cerrno>
#include <string_view>

#include "common/errors.h"

namespace trovlin::app::captions {

inline constexpr std::u16string_view kAppTitle = u"Trovlin";
inline constexpr std::u16string_view kWindow = u"検索結果Trovlin";

inline constexpr std::u16string_view kConvertButton = u"変換&C";
inline constexpr std::u16string_view kLoadButton = u"読込&O";
inline constexpr std::u16string_view kCodeLabel = u"項目名";
inline constexpr std::u16string_view kLayoutLabel = u"回答様式";
inline constexpr std::u16string_view kDatabaseFrame = u"Data Base";
// Shown in the answer-layout label before the layout character.
inline constexpr std::u16string_view kLayoutPrefix = u"回答様式　";

inline constexpr std::u16string_view kFileMenu = u"ﾌｧｲﾙ&F";
inline constexpr std::u16string_view kLoadEntry = u"読込&O";
inline constexpr std::u16string_view kPasteEntry = u"貼付&P";
inline constexpr std::u16string_view kConvertEntry = u"変換&C";
inline constexpr std::u16string_view kReportEntry = u"変換レポート&R...";
inline constexpr std::u16string_view kExitEntry = u"終了&E";
// The window's own additions to the ﾌｧｲﾙ menu: the logs loaded last ("&n"
// numbers them), and the CSV the last run wrote.
inline constexpr std::u16string_view kRecentMenu = u"最近使ったログ&L";
inline constexpr std::u16string_view kRecentEntry = u"&%1 %2";
inline constexpr std::u16string_view kOpenCsvEntry = u"CSVを開く&V";
inline constexpr std::u16string_view kOpenCsvFolderEntry = u"CSVのフォルダを開く&D";
inline constexpr std::u16string_view kEditMenu = u"項目編集&E";
inline constexpr std::u16string_view kInsertRow = u"追加&I";
inline constexpr std::u16string_view kPasteRow = u"貼付&P";
inline constexpr std::u16string_view kDeleteRow = u"削除&D";
inline constexpr std::u16string_view kCutRow = u"切抜&X";
inline constexpr std::u16string_view kLoadList = u"項目リスト読込&L...";
inline constexpr std::u16string_view kSaveList = u"項目リスト保存&S...";
inline constexpr std::u16string_view kUndo = u"元に戻す&U";
inline constexpr std::u16string_view kRedo = u"やり直し&R";
inline constexpr std::u16string_view kSettingsMenu = u"設定&S";
inline constexpr std::u16string_view kRemoveStars = u"STNで***を削除";
inline constexpr std::u16string_view kHalfWidth = u"全角を半角に変換";
inline constexpr std::u16string_view kCsvEncodingMenu = u"CSVの文字コード&K";
inline constexpr std::u16string_view kCsvCp932 = u"Shift_JIS（コードページ932）";
inline constexpr std::u16string_view kCsvUtf8 = u"UTF-8";
inline constexpr std::u16string_view kCsvUtf8Bom = u"UTF-8（BOM付き）";
inline constexpr std::u16string_view kDoubleQuotes = u"値の\"を\"\"と書く（RFC 4180）";
inline constexpr std::u16string_view kSkipEmptyRows = u"項目のない行を出力しない";
inline constexpr std::u16string_view kProtectFormulas = u"数式と読まれる値の前に'を付ける";
inline constexpr std::u16string_view kFirstAnswer = u"最初の回答から項目を読む";
inline constexpr std::u16string_view kAboutEntry = u"About";

// %1: the version of this build.
inline constexpr std::u16string_view kAboutText = u"検索結果Trovlinプログラム\r ver %1";
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
// unreported: each names the file on its next line and why on the line after.
inline constexpr std::u16string_view kLoadFailed = u"ログファイルを読み込めません";
inline constexpr std::u16string_view kConvertFailed = u"変換できませんでした";
inline constexpr std::u16string_view kPasteFailed = u"貼付ファイルを作成できません";
inline constexpr std::u16string_view kItemsLoadFailed = u"項目リストを読み込めません";
inline constexpr std::u16string_view kItemsSaveFailed = u"項目リストを保存できません";
inline constexpr std::u16string_view kRecentMissing = u"ログファイルが見つかりません";
// Under kRecentMissing and the log's name.
inline constexpr std::u16string_view kRecentRemoved = u"最近使ったログの一覧から外しました。";

// Why a file could not be used, on the line under its name. "%1" is the
// reason's number (a line, a count, the errno value), "%2" its limit, "%3"
// the first line an item list must have. A system error met often has its
// own words in kErrnoCaptions.
constexpr std::u16string_view ReasonCaption(IoReason reason) {
  switch (reason) {
    case IoReason::System:
      return u"システムエラー（errno %1）";
    case IoReason::Folder:
      return u"フォルダです";
    case IoReason::BlockDevice:
      return u"ブロックデバイスです";
    case IoReason::NotFileOrStream:
      return u"ファイル・キャラクタデバイス・FIFO・ソケットのどれでもありません";
    case IoReason::NotCsv:
      return u"CSVファイルではないファイルがすでにあります";
    case IoReason::OtherNames:
      return u"ほかの名前（ハードリンク）があります";
    case IoReason::OtherNamesSeparated:
      return u"ほかに %1 個の名前（ハードリンク）があり、置き換えるとそれらと切り離されます";
    case IoReason::ReadOnly:
      return u"読み取り専用です";
    case IoReason::SymbolicLink:
      return u"シンボリックリンクです";
    case IoReason::NotOrdinaryFile:
      return u"通常のファイルではありません";
    case IoReason::OtherOwner:
      return u"ほかのユーザーのファイルです";
    case IoReason::NotAFolder:
      return u"フォルダではないか、存在しません";
    case IoReason::LineTooLong:
      return u"%1 行目が上限の %2 MiB より長くなっています";
    case IoReason::NotAnItemList:
      return u"%1 行目：Trovlinの項目リストではありません（1行目は「%3」でなければなりません）";
    case IoReason::NoTab:
      return u"%1 行目：「項目、タブ、行連結の印」の形になっていません";
    case IoReason::EmptyCode:
      return u"%1 行目：項目が空です";
    case IoReason::BadJoinMark:
      return u"%1 行目：行連結の印は「*」か空でなければなりません";
    case IoReason::NoItem:
      return u"項目が1つもありません";
    case IoReason::TooManyItems:
      return u"項目が %1 個あります（変換できるのは %2 個までです）";
    case IoReason::NoWorkbooks:
      return u"この版のTrovlinはブック（.xlsx）を書けません。CSVファイルに変換してください";
  }
  return {};  // not reached: every reason has its case
}

// The system's reasons met most often; any other is ReasonCaption(IoReason::System).
struct ErrnoCaption {
  int error;
  std::u16string_view text;
};
inline constexpr ErrnoCaption kErrnoCaptions[] = {
    {ENOENT, u"ファイルまたはフォルダがありません"},
    {EACCES, u"アクセスが許可されていません"},
    {EPERM, u"この操作は許可されていません"},
    {EISDIR, u"フォルダです"},
    {ENOTDIR, u"パスの途中にフォルダでないものがあります"},
    {ENOSPC, u"ディスクの空き容量が足りません"},
    {EFBIG, u"ファイルが大きすぎます"},
    {EROFS, u"読み取り専用のファイルシステムです"},
    {EIO, u"入出力エラーが起きました"},
    {ENAMETOOLONG, u"ファイル名が長すぎます"},
    {ELOOP, u"シンボリックリンクをたどりきれません（多すぎるか、循環しています）"},
    {EEXIST, u"同じ名前のファイルがすでにあります"},
    {EXDEV, u"別のファイルシステムへは移せません"},
    {EMFILE, u"開いているファイルが多すぎます"},
    {EBUSY, u"使用中です"},
    {ETXTBSY, u"実行中のプログラムのファイルです"},
    {EDQUOT, u"ディスク使用量の上限（クォータ）を超えています"},
};
// A failure the program did not foresee; its own words follow in brackets.
inline constexpr std::u16string_view kUnexpectedError = u"予期しないエラーが起きました（%1）";

inline constexpr std::u16string_view kStopRunQuestion = u"変換中です。\r変換を中止して終了しますか";

// Questions that offer another try (OK) or the end of the program (Cancel).
inline constexpr std::u16string_view kBadFileName = u"ﾌｧｲﾙ名が不適当です";
inline constexpr std::u16string_view kSameFile = u"読み込むﾌｧｲﾙと同じﾌｧｲﾙは指定できません";
inline constexpr std::u16string_view kNotALog = u"検索結果ログファイルを指定してください";

// The file dialog shared by the log and the CSV file.
inline constexpr std::u16string_view kOpenLogTitle = u"ファイルを開く";
inline constexpr std::u16string_view kOpenLogFilter = u"LOG File (*.LOG)|*.LOG|All Files (*.*)|*.*|";
inline constexpr std::u16string_view kOpenLogDefaultExt = u"LOG";
inline constexpr std::u16string_view kSaveCsvTitle = u"書き込むファイル";
inline constexpr std::u16string_view kSaveCsvFilter =
    u"CSV File (*.CSV)|*.CSV|All Files (*.*)|*.*|Excel ﾌﾞｯｸ (*.xlsx)|*.xlsx|";
inline constexpr std::u16string_view kSaveCsvDefaultExt = u"CSV";

// Warnings; "%1", "%2", "%3" are filled in with numbers, names or codes.
inline constexpr std::u16string_view kPasteUnencodable =
    u"貼り付けたテキストのうち %1 文字はコードページ932で表せないため、「?」に置き換えて読み込みます。";
inline constexpr std::u16string_view kTooManyItems =
    u"最初の回答の項目は%1を超えています。\r先頭から%1項目を表に載せました（載せていない項目: %2）。";
inline constexpr std::u16string_view kItemsMissing =
    u"このログの最初の回答にない項目があります: %1\rこれらの項目は表に残し、CSVの列は空になります。";
// %4: how the bytes were written (kWrittenAsTheyAre or kWrittenAsReplacement).
inline constexpr std::u16string_view kInvalidBytes =
    u"ログの %1 バイトは%2の文字ではないため、%4CSVに書き込みました（最初は %3 行目）。";
inline constexpr std::u16string_view kWrittenAsTheyAre = u"そのまま";
inline constexpr std::u16string_view kWrittenAsReplacement = u"U+FFFD（�）として";
inline constexpr std::u16string_view kCp932Name = u"コードページ932";
inline constexpr std::u16string_view kUtf8Name = u"UTF-8";
inline constexpr std::u16string_view kUtf16Name = u"UTF-16";
// Why a log was not recognised, under its name below the "not a log" message.
inline constexpr std::u16string_view kRefusedEmpty = u"ファイルが空です。";
inline constexpr std::u16string_view kRefusedUtf16 = u"バイト順マーク（BOM）のないUTF-16のファイルです。";
inline constexpr std::u16string_view kRefusedNul = u"NULバイトを含むため、テキストのログではありません。";
inline constexpr std::u16string_view kRefusedOnlyLine =
    u"STN・DIALOG・JOIS・PATOLISの目印がありません（1行だけのログの行は調べません）。";
inline constexpr std::u16string_view kRefusedLines = u"STN・DIALOG・JOIS・PATOLISの目印が先頭の %1 行にありません。";
// A short first line ended the search before any line was examined.
inline constexpr std::u16string_view kRefusedNowhere = u"STN・DIALOG・JOIS・PATOLISの目印がありません。";
inline constexpr std::u16string_view kRefusedShortLine = u"（%1 行目が4文字以下のため、そこで探すのをやめました）";
inline constexpr std::u16string_view kUnencodable =
    u"コードページ932で表せない %1 文字を「?」としてCSVに書き込みました。";
// A PATOLIS log with nothing to convert, under kConvertFailed and the log's name.
inline constexpr std::u16string_view kNoAnswerHeader =
    u"PATOLISの回答見出し（「＊＊検索回答」と「様式」）がありません。";
inline constexpr std::u16string_view kLayoutNotConvertible = u"回答様式が「%1」です。変換できるのは様式1～4だけです。";
// After the reason of a PATOLIS run that converted nothing.
inline constexpr std::u16string_view kNoFileMade = u"ﾌｧｲﾙは作成していません。";
// In the status bar after loading, when the items were read from a first
// block that opens no answer.
inline constexpr std::u16string_view kNoAnswerInFirstBlock =
    u"先頭ﾌﾞﾛｯｸ（%1行目）に回答見出しがありません: 設定 > 最初の回答から項目を読む で読み直せます";

// The report of the last conversion: its summary in the status bar, its
// page in a dialog, and the grid's tooltips of the item counts. Parts of the
// summary are separated by two spaces.
inline constexpr std::u16string_view kSummaryRows = u"%1行出力";
// Before the summary, which begins with the rows: the CSV written (%1) and
// the seconds the run took.
inline constexpr std::u16string_view kRunWritten = u"%1 に出力（%2秒）";
// The window's title while a log is loaded: %1 is the log's file name.
inline constexpr std::u16string_view kWindowWithLog = u"%1 - 検索結果Trovlin";
inline constexpr std::u16string_view kSummaryAnswers = u"回答 %1/%2件";
inline constexpr std::u16string_view kSummaryMissing = u"欠番 %1";
inline constexpr std::u16string_view kSummaryRepeated = u"重複 %1";
inline constexpr std::u16string_view kSummaryWarnings = u"警告 %1件";
// Of the warnings, the ones that say the CSV or workbook holds less than the
// log: records the log's end cut short, values cut to a workbook cell.
inline constexpr std::u16string_view kSummaryCutShort = u"（途中で切れた記録 %1件）";
inline constexpr std::u16string_view kSummaryCellCut = u"（セルの上限で切った値 %1件）";
inline constexpr std::u16string_view kItemRowsTip = u"ﾚｺｰﾄﾞ %2件のうち %1件に値があります";
inline constexpr std::u16string_view kReportTitle = u"変換レポート";
inline constexpr std::u16string_view kReportGaps = u"■ 欠番・重複";
inline constexpr std::u16string_view kReportNoGaps = u"欠番・重複はありません";
inline constexpr std::u16string_view kReportNoneAnnounced = u"（回答数の表示なし）";
// %1: a number or range, %2: a line.
inline constexpr std::u16string_view kReportMissingBefore = u"欠番 %1（%2行目の回答の前）";
inline constexpr std::u16string_view kReportMissingAfter = u"欠番 %1（%2行目の回答の後）";
inline constexpr std::u16string_view kReportRepeated = u"重複 %1（%2行目）";
inline constexpr std::u16string_view kReportWarnings = u"■ 警告";
inline constexpr std::u16string_view kReportWarningLine = u"%1行目: ";
inline constexpr std::u16string_view kReportWarningsLeftOut = u"（ほかに警告 %1件）";
inline constexpr std::u16string_view kWarnInvalidBytes = u"ﾛｸﾞの文字ｺｰﾄﾞで読めないﾊﾞｲﾄが %1 個あります";
inline constexpr std::u16string_view kWarnItemsLeftOut =
    u"最初の回答の項目のうち %1 個は上限の %2 列を超えるため出力していません";
inline constexpr std::u16string_view kWarnRecordCutShort =
    u"ﾛｸﾞの終わりでPATOLISのﾚｺｰﾄﾞが途切れています（読めた分を出力しました）";
inline constexpr std::u16string_view kWarnUnencodable = u"ｺｰﾄﾞﾍﾟｰｼﾞ932で表せない文字 %1 個を「?」として書き込みました";
inline constexpr std::u16string_view kWarnItemNotShown = u"項目「%1」は最初の回答にありません（列は空になります）";
inline constexpr std::u16string_view kWarnCellCut = u"%1 文字の値をﾌﾞｯｸのｾﾙの上限 %2 文字で切りました";
inline constexpr std::u16string_view kReportLog = u"■ ﾛｸﾞ: %1";
inline constexpr std::u16string_view kReportService = u"ｻｰﾋﾞｽ: %1（%2で読込）";
inline constexpr std::u16string_view kReportCounts = u"行数 %1  ﾊﾞｲﾄ数 %2  ﾚｺｰﾄﾞ %3  出力行 %4";
// %2: the first lines, %3: "…" when more are not listed.
inline constexpr std::u16string_view kReportEmptyRows = u"項目のないﾚｺｰﾄﾞ %1件（%2行目%3）";
inline constexpr std::u16string_view kReportEmptyRowsSkipped = u"項目のないﾚｺｰﾄﾞ %1件を出力しませんでした（%2行目%3）";
inline constexpr std::u16string_view kReportItems = u"■ 項目（値のある行数）";

// A PATOLIS log that cannot be converted, said when it is loaded: the log's
// name and the reason follow on their own lines, and the status bar keeps
// the reason.
inline constexpr std::u16string_view kPatolisNotConvertible = u"このPATOLISログは変換できません";

// The item list ends at its first empty code: %1 is that row, %2 the codes
// below it that are not converted.
inline constexpr std::u16string_view kUnreadItems = u"%1行目が空のため、その下の %2 項目は変換されません";
// The status bar's note in full, as its tooltip.
inline constexpr std::u16string_view kUnreadItemsTip =
    u"項目の一覧は、項目が空の最初の行で終わります。空の行を削除するか項目名を入力すると、その下の項目も変換されます。";
inline constexpr std::u16string_view kReportUnreadItems = u"%1行目の項目が空のため、その下の %2 項目は変換していません";
inline constexpr std::u16string_view kNoItemsToConvert =
    u"1行目の項目が空のため、変換する項目がありません。\r項目名を入力するか、空の行を削除してください。";

// A run under way: the 中止 button, what the status bar says, and how a
// stopped run ends.
inline constexpr std::u16string_view kStopButton = u"中止";
inline constexpr std::u16string_view kReading = u"変換中… %1%";
inline constexpr std::u16string_view kFinishingBook = u"ブックを書き出し中…";
inline constexpr std::u16string_view kRunStopped = u"変換を中止しました（ファイルは作成していません）。";

// The window before any log is loaded.
inline constexpr std::u16string_view kDropHint =
    u"ここに検索結果のログファイルをドロップするか、［読込］ボタンで開いてください。";

// The desktop has no program for the CSV or its folder: %1 is the path.
inline constexpr std::u16string_view kNoOpener = u"このファイルを開くプログラムが見つかりません。\r%1";
inline constexpr std::u16string_view kNoFolderOpener = u"このフォルダを開くプログラムが見つかりません。\r%1";

// The help menu and the manual it opens.
inline constexpr std::u16string_view kHelpMenu = u"ヘルプ(&H)";
inline constexpr std::u16string_view kManualEntry = u"マニュアル(&M)";
inline constexpr std::u16string_view kNoManual = u"マニュアルが見つかりません。\r%1";

// The report dialog's button that copies the whole page.
inline constexpr std::u16string_view kCopyReport = u"コピー(&C)";

// The title of a PATOLIS converter's own failure message.
inline constexpr std::u16string_view kPatolisFailureTitle = u"PATOLISデータ変換";

}  // namespace trovlin::app::captions
