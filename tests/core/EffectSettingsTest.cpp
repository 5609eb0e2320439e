// The selection rules of the effect settings, as parameter files, the command line and scripts
// use them without any window.

#include <gtest/gtest.h>

#include "effects/EffectSettings.h"

using namespace brumeleaf;

namespace {

int EntryOf(int code) { return ListIndexOfCode(code); }

}  // namespace

TEST(EffectSettings, SlidersTakeTheTableRangesAtBothEnds) {
  EffectSettings s;
  s.SelectEntry(EntryOf(26));  // linear halftoning: row 2 is an angle 0..360
  s.ChangeSlider(2, 361);
  EXPECT_EQ(s.Slider(2).position, 360);
  s.ChangeSlider(2, -1);
  EXPECT_EQ(s.Slider(2).position, 0);
  s.ChangeSlider(3, 101);  // row 3 runs to 100 for every effect
  EXPECT_EQ(s.Slider(3).position, 100);
  s.ChangeSlider(5, 256);
  EXPECT_EQ(s.Slider(5).position, 255);
  EXPECT_EQ(s.Values()[26][2], 100);
  EXPECT_THROW(s.Slider(6), CatalogueError);
  EXPECT_THROW(s.SelectEntry(36), CatalogueError);
}

TEST(EffectSettings, PinnedSlidersAndClampedStoredValues) {
  EffectSettings s;
  // Painting 3's brush size (row 2, 1..10) is put to 5 on every selection.
  s.SelectEntry(EntryOf(6));
  s.ChangeSlider(2, 9);
  s.SelectEntry(EntryOf(0));
  s.SelectEntry(EntryOf(6));
  EXPECT_EQ(s.Slider(2).position, 5);
  EXPECT_EQ(s.Slider(2).range, (SliderRange{1, 10, 1}));
  // Painting 4's strength (row 1, 0..10) likewise.
  s.SelectEntry(EntryOf(7));
  EXPECT_EQ(s.Slider(1).position, 5);
  // A stored value outside the range is shown clamped and kept clamped.
  s.StoreEffectRow(5, {300, -4, 50, 50, 50});
  s.SelectEntry(EntryOf(5));
  EXPECT_EQ(s.Slider(1).position, 255);
  EXPECT_EQ(s.Slider(2).position, 0);
  EXPECT_EQ(s.Values()[5][0], 255);
}

TEST(EffectSettings, MinimumStaysBelowMaximumAndMaxMarksOnlyWhereOffered) {
  EffectSettings s;
  s.SelectEntry(EntryOf(10));  // pixelation: minimum square (row 4) <= maximum (row 5)
  s.ChangeSlider(4, 200);
  s.ChangeSlider(5, 120);
  EXPECT_EQ(s.Slider(4).position, 120);
  EXPECT_EQ(s.Values()[10][3], 120);
  EXPECT_FALSE(s.ApplyMax(2));

  s.SelectEntry(EntryOf(22));  // Emergence offers MAX on row 2
  EXPECT_TRUE(s.ApplyMax(2));
  EXPECT_EQ(s.Slider(2).position, 255);
  EXPECT_TRUE(s.Snapshot().maxRow2);
  s.ChangeSlider(2, 100);
  EXPECT_FALSE(s.Snapshot().maxRow2);
  s.SelectEntry(EntryOf(15));
  EXPECT_TRUE(s.ApplyMax(3));
  EXPECT_TRUE(s.Snapshot().maxRow3);
}

TEST(EffectSettings, SnapshotCarriesTheSelectionAndTheFinishing) {
  EffectSettings s;
  s.SelectEntry(EntryOf(24));
  s.ChangeSlider(5, 17);
  s.ChooseTextureNumber(12);
  s.ChooseStrength(2);
  s.ChooseStrength(7);  // ignored
  s.MutableFinishing().softenEdges = true;
  const ParameterSnapshot p = s.Snapshot();
  EXPECT_EQ(p.code, 24);
  EXPECT_EQ(p.s[4], 17);
  EXPECT_EQ(p.s[0], 50);
  EXPECT_TRUE(p.texture);
  EXPECT_EQ(p.textureNumber, 9);
  EXPECT_EQ(p.textureStrength, 2);
  EXPECT_TRUE(p.softenEdges);
  s.ResetAll();
  EXPECT_EQ(s.Values()[24][4], 200);
  EXPECT_EQ(s.ListIndex(), EntryOf(24));  // a reset keeps the selection
}
