#include "synthetic_log.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp932.h"

namespace trovlin::bench {

namespace {

class Random {
 public:
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(Below(static_cast<int>(v.size())))];
  }

 private:
  std::uint64_t state_ = 20240611;
};

// A record is built as text and encoded once, so every log is valid code page 932.
class LogWriter {
 public:
  explicit LogWriter(const LogSink& sink) : sink_(sink) {}
  ~LogWriter() { Flush(); }

  void Line(std::u16string_view text) {
    EncodeCp932(text, bytes_);
    bytes_ += "\r\n";
    if (bytes_.size() >= (1u << 20)) Flush();
  }
  std::uint64_t Written() const { return written_ + bytes_.size(); }

 private:
  void Flush() {
    if (bytes_.empty()) return;
    sink_(bytes_);
    written_ += bytes_.size();
    bytes_.clear();
  }

  const LogSink& sink_;
  std::string bytes_;
  std::uint64_t written_ = 0;
};

std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

std::u16string Number(std::uint64_t n, int width) {
  std::u16string s = Ascii(std::to_string(n));
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), u'0');
  return s;
}

// Full-width digits, as JOIS and PATOLIS print numbers inside Japanese text.
std::u16string Wide(std::u16string_view s) {
  std::u16string out;
  for (char16_t c : s) out.push_back(c >= u'!' && c <= u'~' ? char16_t(c - u'!' + u'！') : c);
  return out;
}

// Words joined by separator into lines of at most width characters, the
// first one opened by head and the others by indent.
void Wrapped(LogWriter& log, std::u16string_view head, std::u16string_view indent,
             const std::vector<std::u16string>& words, std::u16string_view separator, std::size_t width) {
  std::u16string line(head);
  bool empty = true;
  for (const auto& w : words) {
    if (!empty && line.size() + separator.size() + w.size() > width) {
      log.Line(line);
      line.assign(indent);
      empty = true;
    }
    if (!empty) line += separator;
    line += w;
    empty = false;
  }
  log.Line(line);
}

const std::vector<std::u16string> kEnglish = {u"catalyst",
                                              u"olefin",
                                              u"polymerization",
                                              u"supported",
                                              u"transition",
                                              u"metal",
                                              u"compound",
                                              u"process",
                                              u"producing",
                                              u"polyolefin",
                                              u"narrow",
                                              u"molecular",
                                              u"weight",
                                              u"distribution",
                                              u"powder",
                                              u"morphology",
                                              u"propylene",
                                              u"ethylene",
                                              u"copolymer",
                                              u"metallocene",
                                              u"activated",
                                              u"with",
                                              u"methylaluminoxane",
                                              u"the",
                                              u"of",
                                              u"and",
                                              u"a",
                                              u"in",
                                              u"for",
                                              u"is",
                                              u"porous",
                                              u"carrier",
                                              u"silica",
                                              u"particle",
                                              u"diameter",
                                              u"temperature",
                                              u"pressure",
                                              u"reactor",
                                              u"yield",
                                              u"high",
                                              u"activity",
                                              u"resin",
                                              u"composition",
                                              u"film",
                                              u"sheet",
                                              u"molded",
                                              u"article",
                                              u"excellent",
                                              u"transparency",
                                              u"rigidity",
                                              u"impact",
                                              u"strength",
                                              u"obtained",
                                              u"by",
                                              u"(\"good\")",
                                              u"wt.%",
                                              u"mol.",
                                              u"ratio",
                                              u"Mw/Mn",
                                              u"2.1-3.5,"};
const std::vector<std::u16string> kStarred = {u"***catalyst***", u"***polymerization***", u"***olefin***",
                                              u"***metallocene***"};
const std::vector<std::u16string> kJapanese = {
    u"オレフィン", u"重合用",         u"担持触媒",   u"の",           u"開発",
    u"と",         u"ポリオレフィン", u"粉体性状",   u"多孔質担体に", u"遷移金属化合物を",
    u"担持した",   u"触媒を",         u"用いて",     u"分子量分布",   u"が",
    u"狭い",       u"重合体を",       u"得た。",     u"ＧＰＣ測定",   u"による",
    u"プロピレン", u"エチレン",       u"共重合体",   u"メタロセン",   u"活性化",
    u"した",       u"高い",           u"活性",       u"を",           u"示す",
    u"ことが",     u"わかった。",     u"樹脂組成物", u"フィルム",     u"透明性",
    u"剛性",       u"衝撃強度",       u"に",         u"優れる",       u"成形品",
    u"「担体」",   u"（実験）",       u"、",         u"温度",         u"圧力"};
const std::vector<std::u16string> kSurnames = {u"Yamada", u"Suzuki",   u"Tanaka",    u"Sato", u"Watanabe",
                                               u"Ito",    u"Nakamura", u"Kobayashi", u"Kato", u"Yoshida"};
const std::vector<std::u16string> kGiven = {u"Taro", u"Hanako", u"Ichiro", u"Jiro", u"Yuko", u"Kenji", u"Akiko"};
const std::vector<std::u16string> kKanjiNames = {u"山田", u"鈴木", u"田中", u"佐藤", u"渡辺", u"伊藤", u"中村"};
const std::vector<std::u16string> kKanjiGiven = {u"太郎", u"花子", u"一郎", u"次郎", u"裕子", u"健二", u"明子"};
const std::vector<std::u16string> kCompanies = {u"Example Chemical Industries, Ltd., Japan",
                                                u"Sample Polymer Co., Ltd., Japan", u"Test Petrochemicals Inc., USA",
                                                u"株式会社テスト化学, Japan", u"エグザンプル樹脂工業株式会社, Japan"};

std::vector<std::u16string> Words(Random& r, const std::vector<std::u16string>& pool, int n) {
  std::vector<std::u16string> w;
  for (int i = 0; i < n; ++i) w.push_back(pool[static_cast<std::size_t>(r.Below(static_cast<int>(pool.size())))]);
  return w;
}

void StnRecord(LogWriter& log, Random& r, std::uint64_t n, bool everyField) {
  log.Line(u"L1   ANSWER " + Number(n, 0) + u" OF 999999  CAPLUS  COPYRIGHT 2006 ACS on STN");
  const std::u16string year = Number(static_cast<std::uint64_t>(r.Between(1995, 2006)), 4);
  log.Line(u"AN   " + year + u":" + Number(static_cast<std::uint64_t>(r.Below(999999)), 6) + u"  CAPLUS");
  log.Line(u"DN   " + Number(static_cast<std::uint64_t>(r.Between(120, 145)), 3) + u":" +
           Number(static_cast<std::uint64_t>(r.Below(999999)), 6));
  std::vector<std::u16string> title = Words(r, kEnglish, r.Between(6, 18));
  title[static_cast<std::size_t>(r.Below(static_cast<int>(title.size())))] = r.Pick(kStarred);
  Wrapped(log, u"TI   ", u"     ", title, u" ", 74);
  std::vector<std::u16string> names;
  for (int i = r.Between(1, 5); i > 0; --i) names.push_back(r.Pick(kSurnames) + u", " + r.Pick(kGiven) + u";");
  Wrapped(log, u"IN   ", u"     ", names, u" ", 74);
  log.Line(u"PA   " + r.Pick(kCompanies));
  log.Line(u"SO   Jpn. Kokai Tokkyo Koho, " + Number(static_cast<std::uint64_t>(r.Between(5, 60)), 0) + u" pp.");
  log.Line(u"     CODEN: JKXXAF");
  log.Line(u"DT   Patent");
  const bool japanese = r.Chance(50);
  log.Line(japanese ? u"LA   Japanese" : u"LA   English");
  log.Line(u"IC   ICM C08F004-" + Number(static_cast<std::uint64_t>(r.Between(10, 99)), 2));
  log.Line(u"     ICS C08F010-00");
  const std::u16string appl = year + u"-" + Number(static_cast<std::uint64_t>(r.Below(999999)), 6);
  log.Line(u"PI   JP 2005126543       A2      20050519   JP " + appl + u"      20031021");
  log.Line(u"PRAI JP " + appl + u"              20031021");
  std::vector<std::u16string> abstract = Words(r, kEnglish, r.Between(40, 110));
  for (int i = r.Between(0, 4); i > 0; --i) {
    abstract[static_cast<std::size_t>(r.Below(static_cast<int>(abstract.size())))] = r.Pick(kStarred);
  }
  Wrapped(log, u"AB   ", u"     ", abstract, u" ", 74);
  if (japanese || everyField) Wrapped(log, u"     ", u"     ", Words(r, kJapanese, r.Between(30, 80)), u"", 40);
  if (everyField || r.Chance(70)) Wrapped(log, u"ST   ", u"     ", Words(r, kEnglish, r.Between(8, 30)), u" ", 74);
  if (everyField || r.Chance(60)) {
    for (int i = r.Between(2, 6); i > 0; --i) {
      Wrapped(log, i % 2 ? u"IT   " : u"     ", u"        ", Words(r, kEnglish, r.Between(5, 20)), u" ", 74);
    }
  }
  const int refs = everyField ? 3 : r.Between(0, 12);
  if (refs > 0) {
    log.Line(u"RE.CNT  " + Number(static_cast<std::uint64_t>(refs), 0));
    log.Line(u"RE");
    for (int i = 1; i <= refs; ++i) {
      log.Line(std::u16string(i == 1 ? u"" : u"    ") + u"(" + Number(static_cast<std::uint64_t>(i), 0) + u") " +
               r.Pick(kSurnames) + u", " + r.Pick(kGiven).substr(0, 1) + u"; JP 2001-0" +
               Number(static_cast<std::uint64_t>(r.Below(99999)), 5) + u" A 2001");
    }
  }
  log.Line(u"");
}

void JoisRecord(LogWriter& log, Random& r, std::uint64_t n) {
  log.Line(u"JICST-EPlus  " + Number(n, 0) + u"/999999");
  log.Line(u"AN   " + Number(static_cast<std::uint64_t>(r.Between(90, 99)), 2) + u"A" +
           Number(static_cast<std::uint64_t>(r.Below(9999999)), 7));
  Wrapped(log, u"TI   ", u"     ", Words(r, kJapanese, r.Between(6, 20)), u"", 40);
  std::vector<std::u16string> authors;
  for (int i = r.Between(1, 5); i > 0; --i) {
    std::u16string a = r.Pick(kKanjiNames) + r.Pick(kKanjiGiven);
    if (r.Chance(40)) a += u"（エグザンプル化学工業）";
    authors.push_back(a + u"；");
  }
  Wrapped(log, u"AU   ", u"     ", authors, u"", 40);
  const std::u16string year = Number(static_cast<std::uint64_t>(r.Between(1995, 2006)), 4);
  log.Line(u"SO   高分子論文集，" +
           Wide(u"Vol." + Number(static_cast<std::uint64_t>(r.Between(1, 70)), 0) + u",No." +
                Number(static_cast<std::uint64_t>(r.Between(1, 12)), 0)) +
           u"，");
  log.Line(u"     " + Wide(u"Page." + Number(static_cast<std::uint64_t>(r.Between(1, 900)), 0) + u"-" +
                           Number(static_cast<std::uint64_t>(r.Between(1, 900)), 0) + u"(" + year + u")"));
  log.Line(u"PY   " + Wide(year));
  log.Line(u"LA   日本語");
  std::vector<std::u16string> keywords = Words(r, kJapanese, r.Between(4, 12));
  for (auto& k : keywords) k += u"；";
  Wrapped(log, u"KW   ", u"     ", keywords, u"", 40);
  std::vector<std::u16string> abstract = Words(r, kJapanese, r.Between(40, 120));
  for (int i = r.Between(1, 5); i > 0; --i) {
    abstract[static_cast<std::size_t>(r.Below(static_cast<int>(abstract.size())))] =
        Wide(u"Mw/Mn=" + Number(static_cast<std::uint64_t>(r.Between(1, 9)), 0) + u"." +
             Number(static_cast<std::uint64_t>(r.Below(10)), 0));
  }
  Wrapped(log, u"AB   ", u"     ", abstract, u"", 40);
  log.Line(u"");
}

std::u16string HeiseiDate(Random& r) {
  return u"H" + Number(static_cast<std::uint64_t>(r.Between(1, 17)), 2) + u"." +
         Number(static_cast<std::uint64_t>(r.Between(1, 12)), 2) + u"." +
         Number(static_cast<std::uint64_t>(r.Between(1, 28)), 2);
}

void PatolisRecord(LogWriter& log, Random& r, std::uint64_t n) {
  const std::u16string year = Number(static_cast<std::uint64_t>(r.Between(1995, 2005)), 4);
  const std::u16string number = year + u"-" + Number(static_cast<std::uint64_t>(r.Below(999999)), 6);
  const bool wide = r.Chance(50);
  log.Line(u" ----- " + Number(n, 0) + u" -----");
  log.Line(u"*** 特許出願" + (wide ? Wide(number) : number) + u" [" + (wide ? Wide(HeiseiDate(r)) : HeiseiDate(r)) +
           u"] (通常) ()");
  log.Line(u"    基準日[" + HeiseiDate(r) + u" ](出願日) 請求項の数(" +
           Number(static_cast<std::uint64_t>(r.Between(1, 30)), 0) + u") 審査(請求)");
  log.Line(u"    特開" +
           Wide(Number(static_cast<std::uint64_t>(r.Between(1995, 2006)), 4) + u"-" +
                Number(static_cast<std::uint64_t>(r.Below(999999)), 6)) +
           u"[" + HeiseiDate(r) + u"] 公告          [         ] 登録        ");
  log.Line(u"    早期審査(無) 審査請求日[" + HeiseiDate(r) + u"] 公報発行日[" + HeiseiDate(r) + u"]");
  Wrapped(log, u"名称：", u"  ", Words(r, kJapanese, r.Between(4, 14)), u"", 38);
  Wrapped(log, u"要約：【課題】", u"  ", Words(r, kJapanese, r.Between(30, 90)), u"", 38);
  log.Line(u"出願人：株式会社テスト農機");
  std::vector<std::u16string> inventors;
  for (int i = r.Between(1, 4); i > 0; --i) inventors.push_back(r.Pick(kKanjiNames) + u"　" + r.Pick(kKanjiGiven));
  Wrapped(log, u"発明者：", u"  ", inventors, u"", 10);
  log.Line(u"パリ優先権：(    )(                )[         ]");
  log.Line(u"国内優先権：(特願" + number + u"   )[" + HeiseiDate(r) + u"]");
  log.Line(u"関連出願  ：(    )(                )[         ]");
  log.Line(u"IPC：A01M  7/00    A01M 21/0" + Number(static_cast<std::uint64_t>(r.Below(10)), 0));
  log.Line(u"FI：A01M  7/00      A");
  for (int i = r.Between(0, 3); i > 0; --i) log.Line(u"  A01M 21/04      Z");
  log.Line(u"Fターム：2B121  AA11    CC02    " + Ascii("DD" + std::to_string(r.Between(10, 99))));
  Wrapped(log, u"フリーキーワード　：", u"  ", Words(r, kJapanese, r.Between(2, 8)), u"  ", 40);
  if (r.Chance(50)) {
    log.Line(u"広域分類：(A01M)(除草剤  散布)");
  } else {
    log.Line(u"広域分類：(B05B)(噴霧  ノズル");
    log.Line(u"  粒径  均一)");
  }
  log.Line(u"");
}

}  // namespace

void GenerateLog(LogKind kind, std::uint64_t targetBytes, const LogSink& sink) {
  LogWriter log(sink);
  Random r;
  std::uint64_t n = 0;
  switch (kind) {
    case LogKind::Stn:
      while (log.Written() < targetBytes) {
        ++n;
        // The first answer holds every field, so discovery finds every column.
        StnRecord(log, r, n, n == 1);
      }
      log.Line(u"=> log y");
      break;
    case LogKind::Jois:
      while (log.Written() < targetBytes) JoisRecord(log, r, ++n);
      break;
    case LogKind::PatolisLayout3:
      log.Line(u"PATOLIS オンライン検索  2004年11月02日  利用者 ＴＲＶ０１２３");
      log.Line(u"検索式  ［１］ 除草剤＊散布装置");
      log.Line(u"＊＊検索回答＊＊  （様式：   ３）  回答件数   999999件");
      log.Line(u"");
      while (log.Written() < targetBytes) PatolisRecord(log, r, ++n);
      log.Line(u"＊＊＊ 検索終了 ＊＊＊");
      break;
  }
}

std::string GenerateLog(LogKind kind, std::uint64_t targetBytes) {
  std::string bytes;
  GenerateLog(kind, targetBytes, [&](std::string_view block) { bytes.append(block); });
  return bytes;
}

}  // namespace trovlin::bench
