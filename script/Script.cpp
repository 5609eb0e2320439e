#include "script/Script.h"

#include <charconv>
#include <limits>

#include "io/FileBytes.h"
#include "io/PictureFile.h"
#include "io/TextLines.h"

namespace brumeleaf {

namespace {

std::vector<ScriptRow> EmptyRows(int rows) {
  if (rows < 1 || rows > kScriptMaxRows)
    throw ScriptError("a script has 1 to " + std::to_string(kScriptMaxRows) + " rows, not " + std::to_string(rows));
  return std::vector<ScriptRow>(static_cast<std::size_t>(rows));
}

std::optional<long long> WholeNumber(std::string_view text) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [next, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || next != end) return std::nullopt;
  return value;
}

std::optional<int> Int32Cell(const Script& script, int column, int row) {
  const std::string& text = script.Cell(column, row);
  if (text.empty()) return std::nullopt;
  const std::optional<long long> value = WholeNumber(text);
  if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max()) {
    throw ScriptError("row " + std::to_string(row) + ", column " + std::to_string(column) + ": \"" + text +
                      "\" is not a whole number");
  }
  return static_cast<int>(*value);
}

int CountLine(std::string_view line, const char* what, int low, int high) {
  const std::optional<long long> value = WholeNumber(line);
  if (!value) throw ScriptError(std::string("the ") + what + " \"" + std::string(line) + "\" is not a number");
  if (*value < low || *value > high) {
    throw ScriptError(std::string("the ") + what + " is " + std::to_string(*value) + "; it must be " +
                      (low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high)));
  }
  return static_cast<int>(*value);
}

}  // namespace

Script::Script(int rows, const std::string& actionHeader) : rows_(EmptyRows(rows)) {
  rows_[0] = {actionHeader, "1", "2", "3", "4", "5", ""};
}

void Script::InsertLine(int row) {
  if (row < 1 || row >= RowCount()) return;
  if (RowCount() >= kScriptMaxRows) throw ScriptError("a script has at most " + std::to_string(kScriptMaxRows) + " rows");
  rows_.insert(rows_.begin() + row, ScriptRow{});
}

void Script::DeleteLine(int row) {
  if (row < 1 || row >= RowCount()) return;
  rows_.erase(rows_.begin() + row);
  rows_.push_back(ScriptRow{});
}

void Script::Clear() {
  for (std::size_t r = 1; r < rows_.size(); ++r) rows_[r] = ScriptRow{};
}

StepCells ReadStepCells(const Script& script, int row) {
  StepCells cells;
  cells.code = Int32Cell(script, kScriptCodeColumn, row);
  if (!cells.code) return cells;
  for (int column = 1; column <= 5; ++column) cells.values[static_cast<std::size_t>(column - 1)] = Int32Cell(script, column, row);
  return cells;
}

Script ParseScript(std::string_view text) {
  const std::vector<std::string_view> lines = SplitTextLines(text);
  if (lines.size() < 2) throw ScriptError("the file ends before its column and row counts");
  CountLine(lines[0], "column count", kScriptColumns, kScriptColumns);
  const int rowCount = CountLine(lines[1], "row count", 1, kScriptMaxRows);
  const std::size_t cells = static_cast<std::size_t>(rowCount) * kScriptColumns;
  if (lines.size() < 2 + cells) {
    throw ScriptError("the file ends after " + std::to_string(lines.size() - 2) + " of its " + std::to_string(cells) +
                      " cells");
  }
  std::vector<ScriptRow> rows(static_cast<std::size_t>(rowCount));
  std::size_t line = 2;
  for (int column = 0; column < kScriptColumns; ++column)
    for (int row = 0; row < rowCount; ++row) rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::string(lines[line++]);
  Script script(std::move(rows));
  // A cell that cannot run is refused now, not halfway through a run. The header never runs.
  for (int row = 1; row < rowCount; ++row) ReadStepCells(script, row);
  return script;
}

std::string FormatScript(const Script& script) {
  std::string text = std::to_string(kScriptColumns) + "\r\n" + std::to_string(script.RowCount()) + "\r\n";
  for (int column = 0; column < kScriptColumns; ++column)
    for (int row = 0; row < script.RowCount(); ++row) text += script.Cell(column, row) + "\r\n";
  return text;
}

Script LoadScriptFile(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path.string());
  try {
    return ParseScript(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const ScriptError& e) {
    throw ScriptError(path.string() + ": " + e.what());
  }
}

void SaveScriptFile(const std::filesystem::path& path, const Script& script) {
  const std::string text = FormatScript(script);
  WriteFileReplacing(path.string(), std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::filesystem::path ScriptFilePath(const std::filesystem::path& chosen) {
  if (chosen.has_extension()) return chosen;
  return std::filesystem::path(chosen.string() + ".bfs");
}

}  // namespace brumeleaf
