#pragma once

// Field data: the values of a form's fields as lines of text, and the ".kvf" file that holds
// them. For each field one marker line, the character with code 1 followed by the field's
// name, then its value lines:
//   numbers (lfoReal ... lfoPctNS)  one line, general notation, up to 15 significant digits
//   dates and times                 one line, the display text (empty for no date)
//   lfoCheckbox                     one line, "X" when checked, else a single space
//   lfoMemo                         one line per memo line (none for an empty memo)
//   every other format              one line, the display text
// Lines in memory are UTF-8; the file is Windows-1252 with CR LF after every line.

#include "KVTLabel.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kovet {

// The lines of the fields in order; read-only fields only with saveReadOnlyFields. Null
// entries are skipped. A value never produces a marker or an extra line: the character 1 is
// left out of value lines, and CR and LF inside a value (or a name) become spaces.
std::vector<std::string> SaveFieldStrings(std::span<TKVTField* const> fields, bool saveReadOnlyFields);

// Applies the lines to the fields. A line that contains the character 1 and is longer than
// one character is a marker: the rest of the line after its first character names the target
// field (compared without regard to ASCII letter case; of several fields of that name, the
// last). A line that contains the character 1 but is that character alone ends the previous
// target's value lines and selects no new one, so the lines after it are skipped up to the
// next marker. A memo target's lines are cleared at its marker. Lines before the first marker
// and after a marker naming no field are skipped. Fields the lines do not name keep their
// values. Unparsable numbers, dates and times load as 0. Texts are bounded by
// FieldTextLimit, a memo's lines together; what goes beyond is left out, and the returned
// notes name each field so cut ("Notes: the value was cut to 255 characters"). Check boxes of
// a group end as checking them one by one leaves them, in one pass over the fields.
std::vector<std::string> LoadFieldStrings(std::span<TKVTField* const> fields, std::span<const std::string> lines);

// The most characters a field's value keeps when loaded: its MaxLength when it has one, else
// kMaxFieldText for a line and kMaxMemoText for a memo, all lines together. No box shows more.
inline constexpr std::size_t kMaxFieldText = 4096;
inline constexpr std::size_t kMaxMemoText = 65536;
std::size_t FieldTextLimit(const TKVTField& field);

// Windows-1252 text as UTF-8 lines, split at CR LF, CR or LF; a last line without a line
// break counts, a final line break adds no empty line. A NUL byte is an ordinary character.
std::vector<std::string> SplitFieldDataText(std::string_view windows1252);

// The file's lines as SplitFieldDataText gives them. Throws EFileError when the file cannot
// be read.
std::vector<std::string> ReadFieldDataFile(const std::filesystem::path& file);

// The file's bytes for the lines: Windows-1252 (a character without a code becomes "?"),
// each line followed by CR LF.
std::string FieldDataText(std::span<const std::string> lines);

// Writes FieldDataText of the lines, replacing the file safely. Throws EFileError.
void WriteFieldDataFile(const std::filesystem::path& file, std::span<const std::string> lines);

} // namespace kovet
