#include "xlsx_writer.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "common/errors.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

constexpr double kColumnWidth = 18;
constexpr double kWideColumnWidth = 50;
constexpr std::size_t kCopyBlock = 1 << 20;

// Titles whose values are long text get the wide columns.
bool LongText(std::u16string_view code) {
  return code == u"TI" || code == u"AB" || code == u"RE" || code == u"TI-" || code == u"AB-" || code == u"名称" ||
         code == u"要約";
}

[[noreturn]] void Fail(const std::string& path, int error) {
  throw OutputError(path, IoOperation::WriteWorkbook, IoReason::System, error);
}

}  // namespace

// The workbook is built in a scratch file (platform/file_system.h), which
// has no name anywhere where the system allows; the sheets' rows go to
// temporary files libxlsxwriter unlinks as it makes them. A run killed at any
// point leaves nothing in the temporary folder.
struct XlsxWriter::Workbook {
  std::unique_ptr<OutputFile> out;
  platform::ScratchFile scratch;
  lxw_workbook* book = nullptr;
  lxw_worksheet* sheet = nullptr;
  lxw_format* bold = nullptr;
  lxw_format* wrap = nullptr;
  std::string tmpdir;

  ~Workbook() {
    // An unfinished workbook is only freed: nothing of it is kept.
    if (book != nullptr) lxw_workbook_free(book);
  }
};

namespace {

std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? std::string(tmp) : std::string("/tmp");
}

}  // namespace

XlsxWriter::XlsxWriter(const std::string& path, OutputRules rules) : path_(path), rules_(rules) {
  rules_.chosenExtension = ".xlsx";
  // The target is opened now, and only now: a refused name fails before any
  // work, and a FIFO's reader meets one writer that writes the whole book.
  book_ = std::make_unique<Workbook>();
  book_->out = std::make_unique<OutputFile>(path_, IoOperation::WriteWorkbook, rules_);
  book_->tmpdir = TemporaryFolder();
  if (const int error = book_->scratch.Open()) Fail(path_, error);
  lxw_workbook_options options = {LXW_TRUE, book_->tmpdir.data(), LXW_TRUE};
  book_->book = workbook_new_opt(book_->scratch.path().c_str(), &options);
  if (book_->book == nullptr) Fail(path_, ENOMEM);
  book_->bold = workbook_add_format(book_->book);
  format_set_bold(book_->bold);
  format_set_num_format(book_->bold, "@");
  book_->wrap = workbook_add_format(book_->book);
  format_set_text_wrap(book_->wrap);
  format_set_num_format(book_->wrap, "@");
}

XlsxWriter::~XlsxWriter() = default;

void XlsxWriter::StartSheet() {
  ++sheets_;
  const std::string name =
      sheets_ == 1 ? std::string(kFirstSheetName) : std::string(kFirstSheetName) + " " + std::to_string(sheets_);
  book_->sheet = workbook_add_worksheet(book_->book, name.c_str());
  for (std::size_t i = 0; i < header_.codes.size(); ++i) {
    const auto column = static_cast<lxw_col_t>(i);
    worksheet_set_column(book_->sheet, column, column, LongText(header_.codes[i]) ? kWideColumnWidth : kColumnWidth,
                         nullptr);
  }
  worksheet_freeze_panes(book_->sheet, 1, 0);
  for (std::size_t i = 0; i < header_.codes.size(); ++i) {
    WriteCell(0, static_cast<std::uint16_t>(i), header_.codes[i], true);
  }
  sheetRow_ = 0;
}

void XlsxWriter::WriteCell(std::uint32_t row, std::uint16_t column, std::u16string_view value, bool header) {
  utf8_.clear();
  replaced_ += EncodeValidUtf8(value, utf8_);
  lxw_format* format = header ? book_->bold : (value.find(u'\n') != std::u16string_view::npos ? book_->wrap : nullptr);
  if (worksheet_write_string(book_->sheet, row, column, utf8_.c_str(), format) != LXW_NO_ERROR) Fail(path_, EIO);
}

void XlsxWriter::WriteHeader(const ItemTable& items) {
  header_ = items;
  StartSheet();
}

void XlsxWriter::WriteRow(RecordBuffer& record) {
  if (sheetRow_ == kMaxSheetRows) StartSheet();
  ++sheetRow_;
  for (std::size_t i = 0; i < record.values.size(); ++i) {
    std::u16string_view value = record.values[i];
    if (value.size() > kMaxCellChars) {
      std::size_t n = kMaxCellChars;
      if (value[n - 1] >= 0xD800 && value[n - 1] <= 0xDBFF) --n;  // not half a surrogate pair
      value = value.substr(0, n);
      ++cut_;
    }
    if (!value.empty()) WriteCell(sheetRow_, static_cast<std::uint16_t>(i), value, false);
    record.values[i].clear();
  }
  ++rows_;
}

void XlsxWriter::AddReportSheet(const SheetRows& rows) {
  lxw_worksheet* sheet = workbook_add_worksheet(book_->book, "レポート");
  worksheet_set_column(sheet, 0, 0, 30, nullptr);
  worksheet_set_column(sheet, 1, 8, kColumnWidth, nullptr);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const SheetCell& cell = rows[r][c];
      const auto row = static_cast<lxw_row_t>(r);
      const auto column = static_cast<lxw_col_t>(c);
      if (cell.number) {
        worksheet_write_number(sheet, row, column, std::strtod(cell.text.c_str(), nullptr), nullptr);
      } else {
        worksheet_write_string(sheet, row, column, cell.text.c_str(), nullptr);
      }
    }
  }
}

void XlsxWriter::Finish() {
  lxw_workbook* book = std::exchange(book_->book, nullptr);
  if (workbook_close(book) != LXW_NO_ERROR) Fail(path_, EIO);
  // libxlsxwriter wrote through a descriptor of its own: this one still
  // stands at the start.
  std::string block(kCopyBlock, '\0');
  for (;;) {
    std::size_t got = 0;
    if (const int error = platform::ReadSome(book_->scratch.fd(), block.data(), block.size(), &got)) {
      Fail(path_, error);
    }
    if (got == 0) break;
    book_->out->Write(std::string_view(block.data(), got));
  }
  book_->out->Commit();
  book_.reset();
}

}  // namespace trovlin
