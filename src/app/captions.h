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
inline constexpr std::u16string_view kStnMenu = u"設定&S";
inline constexpr std::u16string_view kDelHit = u"STNで***を削除";
inline constexpr std::u16string_view kConH = u"全角を半角に変換";
inline constexpr std::u16string_view kAbout = u"About";

inline constexpr std::u16string_view kAboutText = u"検索結果Trovlinプログラム\r ver 1.23\r2005/12/17";
inline constexpr std::u16string_view kDone = u"変換完了\r終了しますか";

// Messages of this window's own, for what the rest of the program leaves
// unreported: each names the file and the system's reason on its next line.
inline constexpr std::u16string_view kLoadFailed = u"ログファイルを読み込めません";
inline constexpr std::u16string_view kConvertFailed = u"変換できませんでした";
inline constexpr std::u16string_view kPasteFailed = u"貼付ファイルを作成できません";
inline constexpr std::u16string_view kStopRunQuestion = u"変換中です。\r変換を中止して終了しますか";

}  // namespace trovlin::app::captions
