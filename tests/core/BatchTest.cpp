// Batch processing: names, the rules that keep files safe, per-file outcomes, stops and shards.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>

#include "batch/Batch.h"
#include "effects/Catalogue.h"
#include "imaging/Colour.h"
#include "io/FileBytes.h"
#include "tests/core/SyntheticPhoto.h"
#include "tests/core/TestPictures.h"

using namespace brumeleaf;
using brumeleaf::testing::ScratchFolder;
using brumeleaf::testing::SyntheticPhoto;
namespace fs = std::filesystem;

namespace {

BatchWork PencilWork() {
  BatchWork work;
  work.settings.SelectEntry(ListIndexOfCode(0));
  work.seed = 77;
  return work;
}

// Pictures of different sizes, so that a result cannot come from the wrong input.
std::vector<fs::path> WritePhotos(const ScratchFolder& dir, int count, const std::string& ext = ".png") {
  std::vector<fs::path> paths;
  for (int i = 0; i < count; ++i) {
    const std::string path = dir.File("in" + std::to_string(i) + ext);
    SavePicture(SyntheticPhoto(21 + i, 13 + 2 * i), path);
    paths.emplace_back(path);
  }
  return paths;
}

std::vector<std::uint8_t> Bytes(const fs::path& p) { return ReadFileBytes(p.string()); }

struct StopOnFile : BatchObserver, ProgressSink {
  std::atomic<bool>* stop = nullptr;
  int stopAt = 0;
  int current = 0;
  std::vector<std::string> started;
  void FileStarted(int ordinal, int total, const BatchEntry& entry) override {
    current = ordinal;
    started.push_back("[" + std::to_string(ordinal) + "/" + std::to_string(total) + "] " +
                      entry.input.filename().string());
  }
  ProgressSink* Progress(const BatchEntry&) override { return this; }
  void ShowProgress(int, int, int, int) override {
    if (current == stopAt) stop->store(true);
  }
};

}  // namespace

TEST(BatchNames, SuffixBeforeTheLastExtensionAndFormatByExtension) {
  EXPECT_EQ(BatchOutputName("/x/photo.jpg"), fs::path("photo_Brumeleaf.jpg"));
  EXPECT_EQ(BatchOutputName("PHOTO.JPG"), fs::path("PHOTO_Brumeleaf.JPG"));
  EXPECT_EQ(BatchOutputName("a/photo.jpeg"), fs::path("photo_Brumeleaf.jpeg"));
  EXPECT_EQ(BatchOutputName("scan.bmp"), fs::path("scan_Brumeleaf.bmp"));
  EXPECT_EQ(BatchOutputName("my.trip.png"), fs::path("my.trip_Brumeleaf.png"));
  EXPECT_EQ(BatchOutputName("noextension"), fs::path("noextension_Brumeleaf"));
  EXPECT_EQ(BatchOutputFormat("PHOTO_Brumeleaf.JPG"), PictureFormat::Jpeg);
  EXPECT_EQ(BatchOutputFormat("p_Brumeleaf.jpeg"), PictureFormat::Jpeg);
  EXPECT_EQ(BatchOutputFormat("p_Brumeleaf.Png"), PictureFormat::Png);
  EXPECT_EQ(BatchOutputFormat("scan_Brumeleaf.bmp"), PictureFormat::Bmp);
  EXPECT_EQ(BatchOutputFormat("scan_Brumeleaf.gif"), PictureFormat::Bmp);
  EXPECT_EQ(BatchOutputFormat("scan_Brumeleaf"), PictureFormat::Bmp);
}

TEST(BatchNames, FolderAndNameAreJoinedAsPaths) {
  EXPECT_EQ(BatchOutputPath("out", "/in/a.jpg"), fs::path("out/a_Brumeleaf.jpg"));
  EXPECT_EQ(BatchOutputPath("out/", "/in/a.jpg"), fs::path("out/a_Brumeleaf.jpg"));
  EXPECT_THROW(BatchOutputPath("", "/in/a.jpg"), BatchError);
  EXPECT_THROW(PlanBatch({"a.jpg"}, ""), BatchError);
}

TEST(BatchNames, Shards) {
  const Shard s = ParseShard("2/3");
  EXPECT_EQ(s.index, 2);
  EXPECT_EQ(s.count, 3);
  EXPECT_TRUE(s.Holds(1));
  EXPECT_TRUE(s.Holds(4));
  EXPECT_FALSE(s.Holds(0));
  for (const char* bad : {"0/3", "4/3", "3", "a/b", "1/0", "-1/2", "1/3x", ""}) EXPECT_THROW(ParseShard(bad), BatchError) << bad;
}

TEST(BatchPlan, NeverOverwritesItsOwnResultsOrItsInputs) {
  ScratchFolder dir("batch-plan");
  fs::create_directories(dir.File("one"));
  fs::create_directories(dir.File("two"));
  const fs::path out = dir.File("out");
  const std::vector<fs::path> inputs = {dir.File("one/a.jpg"), dir.File("two/a.jpg"), dir.File("out/b_Brumeleaf.jpg"),
                                        dir.File("one/../out/b.jpg"), dir.File("one/a.jpg")};
  const auto plan = PlanBatch(inputs, out);
  ASSERT_EQ(plan.size(), 5u);
  EXPECT_TRUE(plan[0].conflict.empty());
  EXPECT_NE(plan[1].conflict.find("already the result of"), std::string::npos);
  EXPECT_TRUE(plan[2].conflict.empty());
  EXPECT_NE(plan[3].conflict.find("on the list"), std::string::npos);
  EXPECT_FALSE(plan[4].conflict.empty());
}

TEST(BatchRun, WritesEachFileWithItsFormatAndDensity) {
  ScratchFolder dir("batch-run");
  std::vector<fs::path> inputs = WritePhotos(dir, 2);
  const std::string jpeg = dir.File("PHOTO.JPG");
  SavePicture(SyntheticPhoto(30, 20), jpeg, SaveOptions{95, 118});
  inputs.emplace_back(jpeg);
  const std::string bmp = dir.File("scan.bmp");
  SavePicture(SyntheticPhoto(10, 31), bmp);
  inputs.emplace_back(bmp);

  BatchOptions options;
  options.folder = dir.File("results");  // created when missing
  std::atomic<bool> stop{false};
  const BatchSummary summary = RunBatch(inputs, PencilWork(), options, stop);
  EXPECT_EQ(summary.written, 4);
  EXPECT_TRUE(summary.Succeeded());
  EXPECT_EQ(SummaryLine(summary), "4 written, 0 skipped, 0 failed");

  const fs::path jpegOut = options.folder / "PHOTO_Brumeleaf.JPG";
  const auto jpegBytes = Bytes(jpegOut);
  EXPECT_EQ(SniffFormat(jpegBytes), PictureFormat::Jpeg);
  PictureInfo info;
  const Bitmap back = LoadPicture(jpegOut.string(), &info);
  EXPECT_EQ(info.dpi, 118);
  EXPECT_EQ(back.Width(), 30);
  EXPECT_EQ(SniffFormat(Bytes(options.folder / "scan_Brumeleaf.bmp")), PictureFormat::Bmp);
  EXPECT_EQ(SniffFormat(Bytes(options.folder / "in1_Brumeleaf.png")), PictureFormat::Png);
  EXPECT_EQ(LoadPicture((options.folder / "in1_Brumeleaf.png").string()).Height(), 15);
}

TEST(BatchRun, OverwriteOffKeepsBytesAndTimeStampAndOnReplaces) {
  ScratchFolder dir("batch-overwrite");
  const auto inputs = WritePhotos(dir, 2);
  BatchOptions options;
  options.folder = dir.File("out");
  fs::create_directories(options.folder);
  const fs::path existing = options.folder / "in0_Brumeleaf.png";
  { std::ofstream(existing) << "keep me"; }
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
  fs::last_write_time(existing, old);

  std::atomic<bool> stop{false};
  BatchSummary summary = RunBatch(inputs, PencilWork(), options, stop);
  EXPECT_EQ(summary.written, 1);
  EXPECT_EQ(summary.skipped, 1);
  EXPECT_EQ(summary.files[0].kind, FileOutcome::Kind::Skipped);
  EXPECT_FALSE(summary.files[0].message.empty());
  const auto kept = Bytes(existing);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep me");
  EXPECT_EQ(fs::last_write_time(existing), old);

  options.overwrite = true;
  summary = RunBatch(inputs, PencilWork(), options, stop);
  EXPECT_EQ(summary.written, 2);
  EXPECT_EQ(SniffFormat(Bytes(existing)), PictureFormat::Png);

  // Writing without overwrite refuses a name that exists by now, whoever made it.
  EXPECT_FALSE(WriteBatchResult(SyntheticPhoto(3, 3), existing, 300, false));
  EXPECT_TRUE(WriteBatchResult(SyntheticPhoto(3, 3), options.folder / "fresh.bmp", 300, false));
  EXPECT_EQ(LoadPicture((options.folder / "fresh.bmp").string()), SyntheticPhoto(3, 3));
  int leftovers = 0;
  for (const auto& e : fs::directory_iterator(options.folder))
    if (e.path().filename().string().find(".png.") != std::string::npos) ++leftovers;
  EXPECT_EQ(leftovers, 0);
}

TEST(BatchRun, AnUndecodableFileIsReportedAndTheBatchGoesOn) {
  ScratchFolder dir("batch-bad");
  std::vector<fs::path> inputs = WritePhotos(dir, 3);
  { std::ofstream(inputs[1], std::ios::binary | std::ios::trunc) << "not a picture"; }
  inputs.insert(inputs.begin() + 2, dir.File("missing.jpg"));
  BatchOptions options;
  options.folder = dir.File("out");
  std::atomic<bool> stop{false};
  const BatchSummary summary = RunBatch(inputs, PencilWork(), options, stop);
  EXPECT_EQ(summary.written, 2);
  EXPECT_EQ(summary.failed, 2);
  EXPECT_FALSE(summary.Succeeded());
  EXPECT_EQ(summary.files[1].kind, FileOutcome::Kind::Failed);
  EXPECT_FALSE(summary.files[1].message.empty());
  EXPECT_FALSE(fs::exists(options.folder / "in1_Brumeleaf.png"));
  EXPECT_TRUE(fs::exists(options.folder / "in2_Brumeleaf.png"));
}

TEST(BatchRun, CancelDuringTheSecondFileWritesNothingMore) {
  ScratchFolder dir("batch-cancel");
  const auto inputs = WritePhotos(dir, 4);
  BatchOptions options;
  options.folder = dir.File("out");
  std::atomic<bool> stop{false};
  StopOnFile observer;
  observer.stop = &stop;
  observer.stopAt = 2;
  const BatchSummary summary = RunBatch(inputs, PencilWork(), options, stop, &observer);
  EXPECT_EQ(summary.written, 1);
  EXPECT_EQ(summary.cancelled, 3);
  EXPECT_EQ(summary.files[1].kind, FileOutcome::Kind::Cancelled);
  EXPECT_TRUE(fs::exists(options.folder / "in0_Brumeleaf.png"));
  EXPECT_FALSE(fs::exists(options.folder / "in1_Brumeleaf.png"));
  EXPECT_FALSE(fs::exists(options.folder / "in2_Brumeleaf.png"));
  ASSERT_EQ(observer.started.size(), 2u);
  EXPECT_EQ(observer.started[0], "[1/4] in0.png");
  EXPECT_NE(SummaryLine(summary).find("3 not done"), std::string::npos);
}

TEST(BatchRun, ShardsTogetherWriteExactlyTheFilesOfOneRunWithTheSameBytes) {
  ScratchFolder dir("batch-shards");
  std::vector<fs::path> inputs = WritePhotos(dir, 7);
  fs::create_directories(dir.File("other"));
  const std::string twin = dir.File("other/in3.png");  // same result name as in3.png
  SavePicture(SyntheticPhoto(5, 5), twin);
  inputs.insert(inputs.begin() + 4, twin);
  std::atomic<bool> stop{false};

  BatchOptions whole;
  whole.folder = dir.File("whole");
  const BatchSummary one = RunBatch(inputs, PencilWork(), whole, stop);
  EXPECT_EQ(one.written, 7);
  EXPECT_EQ(one.skipped, 1);

  BatchOptions sharded;
  sharded.folder = dir.File("sharded");
  int written = 0;
  for (int k = 1; k <= 3; ++k) {
    sharded.shard = Shard{k, 3};
    sharded.jobs = k;  // parallel jobs change nothing either
    written += RunBatch(inputs, PencilWork(), sharded, stop).written;
  }
  EXPECT_EQ(written, 7);
  std::set<std::string> a, b;
  for (const auto& e : fs::directory_iterator(whole.folder)) a.insert(e.path().filename().string());
  for (const auto& e : fs::directory_iterator(sharded.folder)) b.insert(e.path().filename().string());
  EXPECT_EQ(a, b);
  for (const std::string& name : a)
    EXPECT_EQ(Bytes(whole.folder / name), Bytes(sharded.folder / name)) << name;
}

TEST(BatchRun, AScriptRunsOnEveryPicture) {
  ScratchFolder dir("batch-script");
  const auto inputs = WritePhotos(dir, 2);
  BatchWork work = PencilWork();
  Script script;
  script.Row(1) = {"Invert colors", "", "", "", "", "", "112"};
  work.script = script;
  BatchOptions options;
  options.folder = dir.File("out");
  std::atomic<bool> stop{false};
  ASSERT_EQ(RunBatch(inputs, work, options, stop).written, 2);
  Bitmap expected = LoadPicture(inputs[1].string());
  InvertColours(expected);
  EXPECT_EQ(LoadPicture((options.folder / "in1_Brumeleaf.png").string()), expected);
}
