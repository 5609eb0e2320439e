#pragma once
// Batch processing: one effect (or one script) applied to a list of pictures, each result
// written under a derived name into an output folder.
//
// Names: "_Brumeleaf" goes before the last extension (photo.jpg gives photo_Brumeleaf.jpg,
// PHOTO.JPG gives PHOTO_Brumeleaf.JPG); the format follows the output's lower-cased extension:
// JPEG quality 95, PNG level 3 opaque, anything else BMP. Each result keeps its input's density.
//
// Safety: the whole list is planned before anything runs. A result that would land on a file
// of the input list, or on the result of an earlier entry of the same batch, is never written
// (the entry is reported as a conflict), overwrite or not. Without overwrite an existing file is
// kept, and the check happens again when writing (the file is created only if it still does not
// exist), so another process writing the same name meanwhile wins instead of being replaced.
//
// A file that cannot be read, or whose run fails, is reported and the batch goes on; a stopped
// or failed run is never saved. Each picture starts from the same seed, so a result depends on
// its input alone: shards and parallel jobs give the bytes one sequential run gives.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "effects/EffectSettings.h"
#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"
#include "io/PictureFile.h"
#include "script/Script.h"

namespace brumeleaf {

class BatchError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kBatchSuffix = "_Brumeleaf";

// The result's file name for an input path: "_Brumeleaf" before the last extension.
std::filesystem::path BatchOutputName(const std::filesystem::path& input);
// How a result is written: Jpeg, Png, or Bmp for every other extension.
PictureFormat BatchOutputFormat(const std::filesystem::path& output);
// The folder joined with the result's name as paths. BatchError for an empty folder (results
// never go to wherever the program happens to run).
std::filesystem::path BatchOutputPath(const std::filesystem::path& folder, const std::filesystem::path& input);

// "K/N" with 1 <= K <= N <= 100000; BatchError otherwise.
struct Shard {
  int index = 1;  // K
  int count = 1;  // N
  // Entry i (0-based, in list order) belongs to shard K when i mod N = K - 1: every entry
  // belongs to exactly one shard, and shards are balanced within one entry.
  bool Holds(std::size_t entry) const { return static_cast<int>(entry % static_cast<std::size_t>(count)) == index - 1; }
};
Shard ParseShard(const std::string& text);

struct BatchEntry {
  std::size_t index = 0;  // place in the list
  std::filesystem::path input;
  std::filesystem::path output;
  std::string conflict;   // why the entry must not be written; empty when it may
};

// Plans the list against the folder (BatchError for an empty folder).
std::vector<BatchEntry> PlanBatch(const std::vector<std::filesystem::path>& inputs,
                                  const std::filesystem::path& folder);

// Writes a result. With `overwrite` an existing file is replaced whole; without it the file is
// created only if none exists, and false says it existed (nothing written). FileError for a
// write that fails (no partial file remains).
bool WriteBatchResult(const Bitmap& result, const std::filesystem::path& output, int dpi, bool overwrite,
                      int jpegQuality = 95);

// What each picture gets: the effect and finishing choices, or a script run with them.
struct BatchWork {
  EffectSettings settings;
  std::optional<Script> script;
  std::uint32_t seed = 1;
};

struct BatchOptions {
  std::filesystem::path folder;
  bool overwrite = false;
  int jobs = 1;
  Shard shard;
  int jpegQuality = 95;
};

struct FileOutcome {
  enum class Kind { Written, Skipped, Failed, Cancelled };
  std::size_t index = 0;
  std::filesystem::path input;
  std::filesystem::path output;
  Kind kind = Kind::Cancelled;
  std::string message;  // why skipped or failed
};

struct BatchSummary {
  int written = 0;
  int skipped = 0;
  int failed = 0;
  int cancelled = 0;  // not processed because the batch was stopped
  std::vector<FileOutcome> files;  // in list order
  bool Succeeded() const { return failed == 0 && cancelled == 0; }
};

// Hears about each file; calls come from the worker threads, one at a time.
class BatchObserver {
 public:
  virtual ~BatchObserver() = default;
  // `ordinal` counts started files from 1 up to `total` (the files of this shard).
  virtual void FileStarted(int /*ordinal*/, int /*total*/, const BatchEntry& /*entry*/) {}
  virtual void FileDone(const FileOutcome& /*outcome*/) {}
  // Progress of a picture's runs; null for none. Used by one thread at a time.
  virtual ProgressSink* Progress(const BatchEntry& /*entry*/) { return nullptr; }
};

// Draws one planned entry with `work` and writes it. Never throws for the file's own faults.
FileOutcome ProcessBatchEntry(const BatchEntry& entry, const BatchWork& work, const BatchOptions& options,
                              std::atomic<bool>& stop, ProgressSink* progress = nullptr);

// The whole batch: plans, keeps the shard's entries, runs them `options.jobs` at a time.
// Raising `stop` stops the pictures being drawn (nothing is written for them) and starts no
// more. BatchError before anything runs for an empty folder or one that cannot be created.
BatchSummary RunBatch(const std::vector<std::filesystem::path>& inputs, const BatchWork& work,
                      const BatchOptions& options, std::atomic<bool>& stop, BatchObserver* observer = nullptr);

// The summary in a line: "3 written, 1 skipped, 0 failed" (and the cancelled ones if any).
std::string SummaryLine(const BatchSummary& summary);

}  // namespace brumeleaf
