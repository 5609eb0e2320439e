#include "batch/Batch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "effects/FrameSteps.h"
#include "io/FileBytes.h"
#include "pipeline/Session.h"
#include "script/ScriptRunner.h"

namespace brumeleaf {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// One spelling per file, so that "a/../b.jpg" and "b.jpg" are found to be the same file.
std::string PathKey(const fs::path& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  if (ec) absolute = path;
  fs::path canonical = fs::weakly_canonical(absolute, ec);
  if (ec) canonical = absolute.lexically_normal();
  return canonical.string();
}

int ParsePart(const std::string& text, const std::string& whole) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    throw BatchError("--shard takes K/N with whole numbers, not \"" + whole + "\"");
  return value;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

[[noreturn]] void WriteFailed(const fs::path& path, int error) {
  throw FileError(path.string() + ": cannot write the file (" + std::strerror(error) + ")");
}

// Creates `path` with the bytes only if no file of that name exists. The bytes go to a
// temporary file first and are linked in under the final name, so the name never shows half a
// file and an existing file is never replaced. Returns false when the name exists.
bool WriteNew(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::string temporary = path.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) WriteFailed(path, errno);
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = written ? 0 : errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    WriteFailed(path, error);
  }
  if (::link(temporary.c_str(), path.c_str()) == 0) {
    ::unlink(temporary.c_str());
    return true;
  }
  error = errno;
  ::unlink(temporary.c_str());
  if (error == EEXIST) return false;
  if (error != EPERM && error != ENOTSUP && error != ENOSYS) WriteFailed(path, error);
  // A file system without hard links: exclusive creation still never replaces a file.
  const int direct = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (direct < 0) {
    if (errno == EEXIST) return false;
    WriteFailed(path, errno);
  }
  const bool ok = WriteAll(direct, bytes);
  error = ok ? 0 : errno;
  if (::close(direct) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(path.c_str());
    WriteFailed(path, error);
  }
  return true;
}

}  // namespace

fs::path BatchOutputName(const fs::path& input) {
  const fs::path name = input.filename();
  return fs::path(name.stem().string() + kBatchSuffix + name.extension().string());
}

PictureFormat BatchOutputFormat(const fs::path& output) {
  const std::string extension = Lower(output.extension().string());
  if (extension == ".jpg" || extension == ".jpeg") return PictureFormat::Jpeg;
  if (extension == ".png") return PictureFormat::Png;
  return PictureFormat::Bmp;
}

fs::path BatchOutputPath(const fs::path& folder, const fs::path& input) {
  if (folder.empty()) throw BatchError("no output folder was chosen");
  if (input.filename().empty()) {
    std::string message = "\"";
    message += input.string();
    message += "\" names no file";
    throw BatchError(message);
  }
  return folder / BatchOutputName(input);
}

Shard ParseShard(const std::string& text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) throw BatchError("--shard takes K/N, such as 2/8, not \"" + text + "\"");
  Shard shard;
  shard.index = ParsePart(text.substr(0, slash), text);
  shard.count = ParsePart(text.substr(slash + 1), text);
  if (shard.count < 1 || shard.count > 100000 || shard.index < 1 || shard.index > shard.count)
    throw BatchError("--shard " + text + ": K must lie within 1..N and N within 1..100000");
  return shard;
}

std::vector<BatchEntry> PlanBatch(const std::vector<fs::path>& inputs, const fs::path& folder) {
  std::map<std::string, std::size_t> inputKeys;  // first place of each input file
  for (std::size_t i = 0; i < inputs.size(); ++i) inputKeys.emplace(PathKey(inputs[i]), i);
  std::map<std::string, std::size_t> outputKeys;
  std::vector<BatchEntry> plan;
  plan.reserve(inputs.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    BatchEntry entry;
    entry.index = i;
    entry.input = inputs[i];
    try {
      entry.output = BatchOutputPath(folder, inputs[i]);
    } catch (const BatchError& e) {
      if (folder.empty()) throw;
      entry.conflict = e.what();
      plan.push_back(std::move(entry));
      continue;
    }
    const std::string key = PathKey(entry.output);
    if (const auto input = inputKeys.find(key); input != inputKeys.end()) {
      entry.conflict = "its result would replace " + inputs[input->second].string() + ", which is on the list";
    } else if (const auto earlier = outputKeys.find(key); earlier != outputKeys.end()) {
      entry.conflict = "its result " + entry.output.string() + " is already the result of " +
                       inputs[earlier->second].string();
    } else {
      outputKeys.emplace(key, i);
    }
    plan.push_back(std::move(entry));
  }
  return plan;
}

bool WriteBatchResult(const Bitmap& result, const fs::path& output, int dpi, bool overwrite, int jpegQuality) {
  SaveOptions save;
  save.jpegQuality = jpegQuality;
  save.dpi = dpi;
  const std::vector<std::uint8_t> bytes = EncodePicture(result, BatchOutputFormat(output), save);
  if (overwrite) {
    WriteFileReplacing(output.string(), bytes);
    return true;
  }
  return WriteNew(output, bytes);
}

FileOutcome ProcessBatchEntry(const BatchEntry& entry, const BatchWork& work, const BatchOptions& options,
                              std::atomic<bool>& stop, ProgressSink* progress) {
  FileOutcome outcome;
  outcome.index = entry.index;
  outcome.input = entry.input;
  outcome.output = entry.output;
  auto finish = [&outcome](FileOutcome::Kind kind, std::string message) {
    outcome.kind = kind;
    outcome.message = std::move(message);
    return outcome;
  };
  if (!entry.conflict.empty()) return finish(FileOutcome::Kind::Skipped, entry.conflict);
  if (stop.load()) return finish(FileOutcome::Kind::Cancelled, "the batch was stopped");
  std::error_code ec;
  if (!options.overwrite && fs::exists(entry.output, ec))
    return finish(FileOutcome::Kind::Skipped, "a file of that name exists");
  try {
    PictureInfo info;
    Session session(work.seed);
    session.Settings() = work.settings;
    session.OpenPicture(LoadPicture(entry.input.string(), &info), entry.input.string());
    JobOutcome run;
    if (work.script) {
      std::optional<Bitmap> stored;
      run = RunScript(session, *work.script, stored, entry.input.string(), progress, &stop);
    } else {
      run = session.Run(progress, &stop);
    }
    if (run.Failed()) return finish(FileOutcome::Kind::Failed, run.message);
    if (!run.Completed() || stop.load()) return finish(FileOutcome::Kind::Cancelled, "stopped while drawing");
    if (!WriteBatchResult(session.Result(), entry.output, info.dpi, options.overwrite, options.jpegQuality))
      return finish(FileOutcome::Kind::Skipped, "a file of that name appeared meanwhile");
    return finish(FileOutcome::Kind::Written, {});
  } catch (const std::bad_alloc&) {
    return finish(FileOutcome::Kind::Failed, kNotEnoughMemoryMessage);
  } catch (const std::exception& e) {
    return finish(FileOutcome::Kind::Failed, e.what());
  }
}

BatchSummary RunBatch(const std::vector<fs::path>& inputs, const BatchWork& work, const BatchOptions& options,
                      std::atomic<bool>& stop, BatchObserver* observer) {
  const std::vector<BatchEntry> plan = PlanBatch(inputs, options.folder);
  std::error_code ec;
  fs::create_directories(options.folder, ec);
  if (!fs::is_directory(options.folder, ec))
    throw BatchError(options.folder.string() + ": cannot create the output folder");

  std::vector<const BatchEntry*> mine;
  for (const BatchEntry& entry : plan)
    if (options.shard.Holds(entry.index)) mine.push_back(&entry);

  BatchSummary summary;
  summary.files.resize(mine.size());
  std::mutex lock;
  std::size_t next = 0;
  int started = 0;
  const int total = static_cast<int>(mine.size());
  auto worker = [&] {
    while (true) {
      std::size_t slot;
      {
        std::lock_guard<std::mutex> guard(lock);
        if (next >= mine.size()) return;
        slot = next++;
        if (observer && !stop.load()) observer->FileStarted(++started, total, *mine[slot]);
      }
      ProgressSink* progress = observer && options.jobs == 1 ? observer->Progress(*mine[slot]) : nullptr;
      FileOutcome outcome = ProcessBatchEntry(*mine[slot], work, options, stop, progress);
      std::lock_guard<std::mutex> guard(lock);
      if (observer) observer->FileDone(outcome);
      summary.files[slot] = std::move(outcome);
    }
  };
  const int jobs = std::max(1, std::min(options.jobs, total));
  std::vector<std::thread> threads;
  for (int j = 1; j < jobs; ++j) threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads) thread.join();

  for (const FileOutcome& file : summary.files) {
    switch (file.kind) {
      case FileOutcome::Kind::Written: ++summary.written; break;
      case FileOutcome::Kind::Skipped: ++summary.skipped; break;
      case FileOutcome::Kind::Failed: ++summary.failed; break;
      case FileOutcome::Kind::Cancelled: ++summary.cancelled; break;
    }
  }
  return summary;
}

std::string SummaryLine(const BatchSummary& summary) {
  std::string line = std::to_string(summary.written) + " written, " + std::to_string(summary.skipped) + " skipped, " +
                     std::to_string(summary.failed) + " failed";
  if (summary.cancelled) line += ", " + std::to_string(summary.cancelled) + " not done (stopped)";
  return line;
}

}  // namespace brumeleaf
