#include "app/window_text.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace trovlin::app {
namespace {

// Why a file could not be used, in the window's words: every reason kind,
// and the system's reasons by their errno value.
TEST(FailureReason, EveryKindHasItsJapaneseWords) {
  const struct {
    IoReason reason;
    std::uint64_t number, limit;
    std::u16string_view text;
  } cases[] = {
      {IoReason::System, ENOENT, 0, u"ファイルまたはフォルダがありません"},
      {IoReason::System, EDQUOT, 0, u"ディスク使用量の上限（クォータ）を超えています"},
      {IoReason::System, 200, 0, u"システムエラー（errno 200）"},
      {IoReason::Folder, 0, 0, u"フォルダです"},
      {IoReason::BlockDevice, 0, 0, u"ブロックデバイスです"},
      {IoReason::NotFileOrStream, 0, 0, u"ファイル・キャラクタデバイス・FIFO・ソケットのどれでもありません"},
      {IoReason::NotCsv, 0, 0, u"CSVファイルではないファイルがすでにあります"},
      {IoReason::OtherNames, 0, 0, u"ほかの名前（ハードリンク）があります"},
      {IoReason::OtherNamesSeparated, 2, 0,
       u"ほかに 2 個の名前（ハードリンク）があり、置き換えるとそれらと切り離されます"},
      {IoReason::ReadOnly, 0, 0, u"読み取り専用です"},
      {IoReason::SymbolicLink, 0, 0, u"シンボリックリンクです"},
      {IoReason::NotOrdinaryFile, 0, 0, u"通常のファイルではありません"},
      {IoReason::OtherOwner, 0, 0, u"ほかのユーザーのファイルです"},
      {IoReason::NotAFolder, 0, 0, u"フォルダではないか、存在しません"},
      {IoReason::LineTooLong, 7, 64, u"7 行目が上限の 64 MiB より長くなっています"},
      {IoReason::NotAnItemList, 1, 0,
       u"1 行目：Trovlinの項目リストではありません（1行目は「trovlin-items 1」でなければなりません）"},
      {IoReason::NoTab, 3, 0, u"3 行目：「項目、タブ、行連結の印」の形になっていません"},
      {IoReason::EmptyCode, 4, 0, u"4 行目：項目が空です"},
      {IoReason::BadJoinMark, 5, 0, u"5 行目：行連結の印は「*」か空でなければなりません"},
      {IoReason::NoItem, 0, 0, u"項目が1つもありません"},
      {IoReason::TooManyItems, 52, 51, u"項目が 52 個あります（変換できるのは 51 個までです）"},
  };
  for (const auto& c : cases) {
    const IoError error("f", IoOperation::LoadItemList, c.reason, c.number, c.limit);
    EXPECT_EQ(FailureReason(error), c.text) << static_cast<int>(c.reason) << " " << c.number;
  }
}

}  // namespace
}  // namespace trovlin::app
