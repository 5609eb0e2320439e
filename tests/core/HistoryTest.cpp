#include <gtest/gtest.h>

#include "history/History.h"
#include "history/SourceMean.h"
#include "history/StoredPicture.h"

using namespace brumeleaf;

namespace {

// A picture with a pattern that no lossy coding would keep exactly.
Bitmap Pattern(int width, int height, int seed) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < width * 3; ++x)
      p[x] = static_cast<std::uint8_t>((x * 7 + y * 13 + seed * 31 + (x * y) % 11) & 0xFF);
  }
  return b;
}

// Start-up: both panels recorded.
History StartedHistory(const Bitmap& source, const Bitmap& result) {
  History h;
  h.SaveToHistory(kSourcePanel, source, "Brumeleaf image");
  h.SaveToHistory(kResultPanel, result, "");
  return h;
}

}  // namespace

TEST(StoredPicture, RestoresTheExactPictureAndCompresses) {
  const Bitmap picture = Pattern(123, 45, 3);
  const StoredPicture stored(picture);
  EXPECT_EQ(stored.Restore(), picture);
  Bitmap flat(400, 300);
  const StoredPicture small(flat);
  EXPECT_LT(small.CompressedBytes(), flat.ByteSize() / 50);
  EXPECT_EQ(StoredPicture(Bitmap()).Restore().Width(), 0);
}

TEST(SourceMean, TruncatedChannelMeansAndEmptyPictures) {
  Bitmap b(2, 1);
  b.SetPixel(0, 0, MakeColour(10, 20, 31));
  b.SetPixel(1, 0, MakeColour(11, 21, 30));
  const SourceMean m = ComputeSourceMean(b);
  EXPECT_EQ(m.red, 10);
  EXPECT_EQ(m.green, 20);
  EXPECT_EQ(m.blue, 30);
  // No division by zero: an empty picture keeps the previous mean.
  const SourceMean kept = ComputeSourceMean(Bitmap(), m);
  EXPECT_EQ(kept.red, 10);
  EXPECT_EQ(ComputeSourceMean(Bitmap(0, 5)).green, 149);
}

TEST(History, StartUpAndOneRun) {
  const Bitmap source = Pattern(40, 30, 1);
  History h = StartedHistory(source, source);
  EXPECT_EQ(h.Count(), 2);
  EXPECT_FALSE(h.UndoEnabled());
  EXPECT_FALSE(h.RedoEnabled());
  EXPECT_EQ(h.Mean().red, ComputeSourceMean(source).red);

  const Bitmap drawn = Pattern(40, 30, 2);
  h.SaveToHistory(kResultPanel, drawn, "Pencil sketch 1");
  EXPECT_TRUE(h.UndoEnabled());

  const auto restored = h.Undo();
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->panel, kResultPanel);
  EXPECT_EQ(restored->picture, source);  // exactly, not an approximation
  EXPECT_FALSE(h.UndoEnabled());
  EXPECT_TRUE(h.RedoEnabled());

  const auto again = h.Redo();
  ASSERT_TRUE(again);
  EXPECT_EQ(again->picture, drawn);
  EXPECT_EQ(again->name, "Pencil sketch 1");
  EXPECT_TRUE(h.UndoEnabled());
  EXPECT_FALSE(h.RedoEnabled());
}

TEST(History, OpenTwoRunsUndoTwiceRedoTwice) {
  History h = StartedHistory(Pattern(8, 8, 0), Pattern(8, 8, 0));
  const Bitmap opened = Pattern(20, 10, 5);
  h.SaveToHistory(kSourcePanel, opened, "beach.jpg");
  h.SaveToHistory(kResultPanel, opened, "");
  h.SaveToHistory(kResultPanel, Pattern(20, 10, 6), "Cartoon 1");
  h.SaveToHistory(kResultPanel, Pattern(20, 10, 7), "Painting 2 (brushstrokes)");
  EXPECT_EQ(h.Mean().red, ComputeSourceMean(opened).red);

  EXPECT_EQ(h.Undo()->name, "Cartoon 1");
  const auto copy = h.Undo();
  EXPECT_EQ(copy->picture, opened);
  EXPECT_EQ(copy->name, "");
  EXPECT_TRUE(h.UndoEnabled());  // the opening itself can still be undone

  h.Redo();
  const auto second = h.Redo();
  EXPECT_EQ(second->picture, Pattern(20, 10, 7));
  EXPECT_EQ(second->name, "Painting 2 (brushstrokes)");
  EXPECT_FALSE(h.RedoEnabled());

  // Back to the start: the source state before the opening, its name and mean come back.
  h.Undo();
  h.Undo();
  h.Undo();
  const auto first = h.Undo();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->panel, kSourcePanel);
  EXPECT_EQ(first->name, "Brumeleaf image");
  EXPECT_EQ(h.Mean().red, ComputeSourceMean(Pattern(8, 8, 0)).red);
  EXPECT_EQ(h.Count(), 2);
  EXPECT_FALSE(h.UndoEnabled());
}

TEST(History, RecordingAfterUndoEndsRedo) {
  History h = StartedHistory(Pattern(8, 8, 0), Pattern(8, 8, 0));
  h.SaveToHistory(kResultPanel, Pattern(8, 8, 1), "a");
  h.SaveToHistory(kResultPanel, Pattern(8, 8, 2), "b");
  h.Undo();
  EXPECT_TRUE(h.RedoEnabled());
  h.SaveToHistory(kResultPanel, Pattern(8, 8, 3), "c");
  EXPECT_FALSE(h.RedoEnabled());
  EXPECT_EQ(h.LogSlot(h.Count() + 1), 0);
  EXPECT_EQ(h.StateCount(kResultPanel), 3);  // the undone "b" is gone
  EXPECT_FALSE(h.Redo());
  EXPECT_EQ(h.Undo()->name, "a");
  EXPECT_THROW(h.SaveToHistory(3, Pattern(2, 2, 0), ""), HistoryError);
}

TEST(History, FullLogDropsTheOldestStep) {
  History h = StartedHistory(Pattern(4, 4, 0), Pattern(4, 4, 0));
  for (int i = 3; i <= 510; ++i) h.SaveToHistory(kResultPanel, Pattern(4, 4, i), std::to_string(i));
  EXPECT_EQ(h.Count(), 510);
  EXPECT_EQ(h.StateCount(kSourcePanel), 1);
  h.SaveToHistory(kResultPanel, Pattern(4, 4, 511), "511");
  EXPECT_EQ(h.Count(), 510);
  EXPECT_EQ(h.StateCount(kSourcePanel), 0);  // the start-up source state was the oldest
  EXPECT_EQ(h.LogSlot(1), kResultPanel);
  EXPECT_EQ(h.StateCount(kResultPanel), 510);

  int undone = 0;
  while (h.UndoEnabled() && undone < 600) {
    h.Undo();
    ++undone;
  }
  EXPECT_EQ(undone, 508);
  EXPECT_EQ(h.Count(), 2);
}

TEST(History, UndoAtTheFirstStateRepeatsItWithoutOfferingRedo) {
  History h = StartedHistory(Pattern(4, 4, 0), Pattern(4, 4, 0));
  for (int i = 3; i <= 511; ++i) h.SaveToHistory(kResultPanel, Pattern(4, 4, i), "r");
  // The source's start-up state has been dropped; a new source step is now its first state.
  h.SaveToHistory(kSourcePanel, Pattern(6, 6, 9), "new.jpg");
  const auto shown = h.Undo();
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->name, "new.jpg");
  EXPECT_FALSE(h.UndoEnabled());
  EXPECT_FALSE(h.RedoEnabled());
  EXPECT_FALSE(h.Redo());
  const int count = h.Count();
  h.SaveToHistory(kResultPanel, Pattern(4, 4, 1), "after");
  EXPECT_EQ(h.Count(), count + (count >= 510 ? 0 : 1));
  EXPECT_NE(h.LogSlot(h.Count() - 1), 0);  // no hole in the log
}

TEST(History, SmallHelpers) {
  EXPECT_EQ(ResultStateName(false, true, "Pixelation"), "Pixelation");
  EXPECT_EQ(ResultStateName(true, true, "Pixelation"), "");
  EXPECT_EQ(ResultStateName(false, false, "Pixelation"), "");
  EXPECT_EQ(PreviewCropOrigin(200), 0);
  EXPECT_EQ(PreviewCropOrigin(201), 0);
  EXPECT_EQ(PreviewCropOrigin(1000), 400);
  History h;
  EXPECT_FALSE(h.Undo());
  EXPECT_FALSE(h.Redo());
  EXPECT_EQ(h.Mean().red, 116);
}
