#pragma once
// A script: a grid of text cells, 7 columns by RowCount rows. Row 0 is the header; every later
// row is a step when its code cell (column 6) is filled. Columns 1..5 hold slider values in the
// on-screen order of the five sliders (an empty cell leaves that slider alone), column 0 a label
// that is only shown, never interpreted.
//
// The .bfs file: the column count, the row count, then every cell column by column (all rows
// of column 0, then all rows of column 1, ...), one line each, CR LF after every line. The
// header row is written and read like any other row, so a 50-row script is 2 + 7 * 50 = 352
// lines.

#include <array>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace brumeleaf {

// A script file that cannot be read or does not hold a valid script; the message says where.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kScriptColumns = 7;
inline constexpr int kScriptCodeColumn = 6;
inline constexpr int kScriptDefaultRows = 50;
inline constexpr int kScriptMaxRows = 10000;

using ScriptRow = std::array<std::string, kScriptColumns>;

class Script {
 public:
  // `rows` rows (1..10000), the header filled with `actionHeader`, "1".."5" and an empty code.
  explicit Script(int rows = kScriptDefaultRows, const std::string& actionHeader = "Action");

  int RowCount() const { return static_cast<int>(rows_.size()); }
  const ScriptRow& Row(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  ScriptRow& Row(int row) { return rows_.at(static_cast<std::size_t>(row)); }
  const std::string& Cell(int column, int row) const { return Row(row).at(static_cast<std::size_t>(column)); }
  void SetCell(int column, int row, std::string text) { Row(row).at(static_cast<std::size_t>(column)) = std::move(text); }

  // The editing commands of the grid. InsertLine grows the grid by one row (refused beyond
  // the maximum); DeleteLine pulls the rows below up and empties the last one; Clear empties
  // every step row.
  void InsertLine(int row);
  void DeleteLine(int row);
  void Clear();

  bool operator==(const Script&) const = default;

 private:
  explicit Script(std::vector<ScriptRow> rows) : rows_(std::move(rows)) {}
  friend Script ParseScript(std::string_view text);
  std::vector<ScriptRow> rows_;
};

// What a step row holds, read from its cells. `code` is empty for a row that does not run.
struct StepCells {
  std::optional<int> code;
  std::array<std::optional<int>, 5> values{};
};

// Reads a row's code and value cells. ScriptError (naming the row) for a filled cell of a
// running row that is not a whole number within 32 bits.
StepCells ReadStepCells(const Script& script, int row);

// Parses the text of a .bfs file (CR LF or LF line ends). Requires 7 columns, 1..10000 rows,
// every cell line present, and whole numbers in the code and value cells of every step row;
// anything else is a ScriptError and nothing is returned, so a caller replaces its grid only
// with a script read whole.
Script ParseScript(std::string_view text);
// The file text, CR LF after every line.
std::string FormatScript(const Script& script);

// File reading and writing; FileError/ScriptError name the file. Writing replaces the file
// whole (a failure leaves the old one).
Script LoadScriptFile(const std::filesystem::path& path);
void SaveScriptFile(const std::filesystem::path& path, const Script& script);

// The name a save dialog's choice gets: ".bfs" added when it has no extension.
std::filesystem::path ScriptFilePath(const std::filesystem::path& chosen);

}  // namespace brumeleaf
