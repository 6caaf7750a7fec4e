// What the fuzz targets share: a scratch folder in memory-backed storage and
// the properties every CSV this system writes must have.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trovlin::fuzz {

// A folder for this process's scratch files, made once.
const std::string& ScratchDir();
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// Aborts unless csv is a header and rows, each row ending in CR LF, every
// field in double quotes with no double quote inside, every row with the
// header's number of fields. Returns the number of fields.
std::size_t CheckCsvShape(std::string_view csv);

// Aborts unless bytes are valid UTF-8.
void CheckValidUtf8(std::string_view bytes);

// The ways one input is given to the readers: as it is, with every CR
// removed (so that LF ends its lines), or as UTF-16 of either byte order
// (the input's bytes taken as code units, after a byte-order mark).
enum class Variant { AsIs, LfOnly, Utf16Le, Utf16Be };
std::string Shape(std::string_view input, Variant variant);

[[noreturn]] void Fail(const char* what);

}  // namespace trovlin::fuzz
