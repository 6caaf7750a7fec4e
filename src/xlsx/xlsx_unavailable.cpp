// The workbook writer of a build without libxlsxwriter (the Windows
// command-line build): every workbook is refused before a log is read, with
// the reason said, as an output the CLI cannot write.
#include "common/errors.h"
#include "xlsx/xlsx_writer.h"

namespace trovlin {

struct XlsxWriter::Workbook {};

XlsxWriter::XlsxWriter(const std::string& path, OutputRules rules) : path_(path), rules_(rules) {
  throw OutputError(path_, IoOperation::WriteWorkbook, IoReason::NoWorkbooks);
}

XlsxWriter::~XlsxWriter() = default;

void XlsxWriter::WriteHeader(const ItemTable&) {}
void XlsxWriter::WriteRow(RecordBuffer&) {}
void XlsxWriter::AddReportSheet(const SheetRows&) {}
void XlsxWriter::Finish() {}

}  // namespace trovlin
