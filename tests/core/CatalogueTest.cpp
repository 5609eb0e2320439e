#include <gtest/gtest.h>

#include <vector>

#include "effects/Catalogue.h"
#include "effects/CustomBrush.h"
#include "app/ParameterModel.h"

using namespace brumeleaf;

namespace {

// Records what the model asks of the window around it.
class RecordingHost : public ParameterHost {
 public:
  bool visible = false;
  bool processing = false;
  bool buttonDown = false;
  int stops = 0;
  std::vector<int> armed;
  bool WindowVisible() const override { return visible; }
  bool Processing() const override { return processing; }
  bool LeftButtonDown() const override { return buttonDown; }
  void RequestStop() override { ++stops; }
  void ArmPreview(int ms) override { armed.push_back(ms); }
};

const Language& En() { return Language::English(); }

}  // namespace

TEST(Catalogue, TableOfEntriesCodesAndDefaults) {
  int headers = 0;
  for (const auto& entry : ListEntries()) headers += entry.IsHeader() ? 1 : 0;
  EXPECT_EQ(headers, 6);
  for (int h : {0, 7, 10, 21, 30, 34}) {
    EXPECT_TRUE(IsHeader(h));
    EXPECT_EQ(CodeOfListIndex(h), 14);
  }
  EXPECT_EQ(CodeOfListIndex(-1), 14);
  EXPECT_EQ(CodeOfListIndex(36), 14);
  EXPECT_EQ(CodeOfListIndex(1), 0);
  EXPECT_EQ(CodeOfListIndex(4), 16);
  EXPECT_EQ(CodeOfListIndex(29), 29);
  EXPECT_EQ(ListIndexOfCode(28), 20);
  EXPECT_EQ(EffectRowOf(9).handler, "ProcessRegionGrowing");
  EXPECT_THROW(EffectRowOf(30), CatalogueError);

  const EffectTable& d = ParameterModel::EffectDefaults();
  EXPECT_EQ(d[0], (std::array<int, 5>{25, 100, 80, 160, 25}));
  EXPECT_EQ(d[3], (std::array<int, 5>{50, 50, 90, 110, 0}));
  EXPECT_EQ(d[14], (std::array<int, 5>{200, 10, 60, 160, 70}));
  EXPECT_EQ(d[26], (std::array<int, 5>{12, 45, 100, 0, 0}));
  EXPECT_EQ(d[29], (std::array<int, 5>{150, 15, 55, 127, 127}));
  EXPECT_EQ(d[30], (std::array<int, 5>{0, 0, 0, 0, 0}));

  EXPECT_EQ(EntryName(En(), 14), "Painting 4 (recursive median filter)");
  EXPECT_EQ(EntryName(En(), 0), "Pencil sketch effects");
  EXPECT_THROW(EntryName(En(), 36), CatalogueError);
  EXPECT_EQ(ListItemText(En(), 0), "Pencil sketch effects");
  EXPECT_EQ(ListItemText(En(), 22), "     >  Pixelation");
  EXPECT_EQ(ExamplePictureNumber(1), 0);
  EXPECT_EQ(ExamplePictureNumber(8), 6);
  EXPECT_EQ(ExamplePictureNumber(35), 29);
  EXPECT_THROW(ExamplePictureNumber(7), CatalogueError);
}

TEST(Catalogue, CaptionsRangesAndVisibleRows) {
  EXPECT_EQ(SliderCaption(En(), 0, 0), "Edge threshold");
  EXPECT_EQ(SliderCaption(En(), 3, 2), "Color intensity");  // hidden, caption kept
  EXPECT_FALSE(RowVisible(3, 3));
  EXPECT_TRUE(RowVisible(3, 4));
  EXPECT_EQ(SliderCaption(En(), 13, 3), std::string(8, ' '));
  EXPECT_EQ(SliderCaption(En(), 21, 4), "");
  EXPECT_EQ(SliderCaption(En(), 28, 4), "Saturation");
  for (int row = 1; row <= 5; ++row) EXPECT_FALSE(RowVisible(14, row));
  for (int code : {1, 6, 7, 18}) EXPECT_FALSE(RowVisible(code, 5)) << code;
  for (int code : {13, 21, 26}) EXPECT_FALSE(RowVisible(code, 4)) << code;

  EXPECT_EQ(RangeOf(6, 2), (SliderRange{1, 10, 1}));
  EXPECT_EQ(RangeOf(7, 1), (SliderRange{0, 10, 1}));
  EXPECT_EQ(RangeOf(26, 2), (SliderRange{0, 360, 7}));
  EXPECT_EQ(RangeOf(0, 3), (SliderRange{0, 100, 5}));
  // Every default lies inside its row's range.
  for (const auto& e : EffectRows())
    for (int row = 1; row <= 5; ++row) {
      const SliderRange r = RangeOf(e.code, row);
      const int v = e.rows[static_cast<std::size_t>(row - 1)].defaultValue;
      EXPECT_EQ(r.Clamp(v), v) << e.code << " row " << row;
    }
}

TEST(Catalogue, LookupByCodeAndName) {
  EXPECT_EQ(ResolveEffect(En(), "7"), 14);
  EXPECT_EQ(ResolveEffect(En(), "pencil SKETCH 1"), 1);
  EXPECT_EQ(ResolveEffect(En(), "Frame, texture and text only"), 35);
  EXPECT_EQ(ResolveEffect(En(), "emergence 2"), 27);
  EXPECT_THROW(ResolveEffect(En(), "30"), CatalogueError);
  EXPECT_THROW(ResolveEffect(En(), "Painting effects"), CatalogueError);  // a header
  EXPECT_THROW(ResolveEffect(En(), "Sculpture"), CatalogueError);
  EXPECT_THROW(ResolveEffect(En(), ""), CatalogueError);
  EXPECT_EQ(FindEntryByName(En(), "No effect"), 34);
}

TEST(ParameterModel, StartsAtPencilSketchWithDefaults) {
  ParameterModel m;
  EXPECT_EQ(m.CurrentEffect(), 0);
  EXPECT_EQ(m.ListIndex(), 1);
  EXPECT_EQ(m.EntryText(), "Pencil sketch 1");
  EXPECT_EQ(m.EffectValues()[5], ParameterModel::EffectDefaults()[5]);
  EXPECT_EQ(m.Caption(5), "Level of contrast");
  EXPECT_EQ(m.ValueText(4), "160");
  const ParameterSnapshot s = m.Snapshot();
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(s.s, (std::array<int, 5>{25, 100, 80, 160, 25}));
}

TEST(ParameterModel, SelectionRangesAndTheSpecialSliders) {
  ParameterModel m;
  // Painting 4 -> Linear halftoning: row 1 back to 0-255 and showing its own 12.
  EXPECT_TRUE(m.ClickEntry(14));
  EXPECT_EQ(m.CurrentEffect(), 7);
  EXPECT_EQ(m.Slider(1).range, (SliderRange{0, 10, 1}));
  EXPECT_TRUE(m.ClickEntry(28));
  EXPECT_EQ(m.Slider(1).range, (SliderRange{0, 255, 5}));
  EXPECT_EQ(m.Slider(1).position, 12);
  EXPECT_EQ(m.Slider(2).range, (SliderRange{0, 360, 7}));
  EXPECT_EQ(m.Slider(2).position, 45);

  // Painting 3 always comes back with its brush size at 5.
  m.ClickEntry(13);
  m.ChangeSlider(2, 9);
  EXPECT_EQ(m.EffectValues()[6][1], 9);
  m.ClickEntry(1);
  m.ClickEntry(13);
  EXPECT_EQ(m.Slider(2).position, 5);
  EXPECT_EQ(m.EffectValues()[6][1], 5);

  // An angle above 255 does not leak into the next effect's row 2 when the range shrinks.
  m.ClickEntry(28);
  m.ChangeSlider(2, 300);
  EXPECT_EQ(m.EffectValues()[26][1], 300);
  m.ClickEntry(2);
  EXPECT_EQ(m.Slider(2).position, 127);
  EXPECT_EQ(m.EffectValues()[1][1], 127);
  m.ClickEntry(28);
  EXPECT_EQ(m.Slider(2).position, 300);
}

TEST(ParameterModel, SliderChangesClampAndKeepMinimumBelowMaximum) {
  ParameterModel m;
  m.ChangeSlider(1, 300);
  EXPECT_EQ(m.ValueText(1), "255");
  EXPECT_EQ(m.EffectValues()[0][0], 255);
  m.ChangeSlider(3, -4);
  EXPECT_EQ(m.EffectValues()[0][2], 0);

  // A stored 300 shows as 255 and 255 is then kept.
  std::array<int, 5> row = m.EffectValues()[12];
  row[1] = 300;
  m.StoreEffectRow(12, row);
  m.ClickEntry(31);
  EXPECT_EQ(m.ValueText(2), "255");
  EXPECT_EQ(m.EffectValues()[12][1], 255);

  m.ClickEntry(22);  // Pixelation: min 15, max 180
  m.ChangeSlider(5, 10);
  EXPECT_EQ(m.Slider(4).position, 10);
  EXPECT_EQ(m.EffectValues()[10][3], 10);
  m.ChangeSlider(4, 50);  // the minimum cannot pass the maximum
  EXPECT_EQ(m.Slider(4).position, 10);
  EXPECT_EQ(m.EffectValues()[10][3], 10);
  m.ChangeSlider(5, 200);
  m.ChangeSlider(4, 50);
  EXPECT_EQ(m.EffectValues()[10][3], 50);
}

TEST(ParameterModel, HeadersMergeEntryAndKeys) {
  ParameterModel m;
  m.ClickEntry(12);
  EXPECT_FALSE(m.ClickEntry(10));  // header: nothing changes
  EXPECT_EQ(m.ListIndex(), 12);
  EXPECT_EQ(m.CurrentEffect(), 5);

  m.SetPanelSizes(100, 80, 120, 80);
  EXPECT_FALSE(m.CanHighlight(33));
  EXPECT_FALSE(m.EntryEnabled(33));
  EXPECT_TRUE(m.ClickEntry(33));
  EXPECT_EQ(m.ListIndex(), 35);
  EXPECT_EQ(m.CurrentEffect(), 14);
  EXPECT_FALSE(m.RowVisible(1));

  m.KeyDown();  // already the last entry
  EXPECT_EQ(m.ListIndex(), 35);
  EXPECT_TRUE(m.ListVisible());
  m.KeyUp();  // 34 is a header: selected as such, running code 14
  EXPECT_EQ(m.ListIndex(), 34);
  EXPECT_EQ(m.CurrentEffect(), 14);
  m.KeyUp();  // 33 with unequal panels goes to 31
  EXPECT_EQ(m.ListIndex(), 31);
  m.KeyDown();
  m.KeyDown();  // 33 going down goes to 35
  EXPECT_EQ(m.ListIndex(), 35);

  m.SetPanelSizes(100, 80, 100, 80);
  m.ClickEntry(33);
  EXPECT_EQ(m.CurrentEffect(), 13);
  m.FallBackFromMerge(true);
  EXPECT_EQ(m.CurrentEffect(), 14);

  m.ClickEntry(1);
  m.KeyUp();
  EXPECT_EQ(m.ListIndex(), 1);
  m.KeyEscape();
  EXPECT_FALSE(m.ListVisible());
  m.ToggleList();
  EXPECT_TRUE(m.ListVisible());
  m.ToggleList();
  EXPECT_FALSE(m.ListVisible());
}

TEST(ParameterModel, ResetsRestoreDefaults) {
  ParameterModel m;
  m.ChangeSlider(1, 99);
  m.ChangeSlider(2, 98);
  m.ResetSlider(1);
  EXPECT_EQ(m.Slider(1).position, 25);
  EXPECT_EQ(m.Slider(2).position, 98);
  m.ClickEntry(29);
  m.ChangeSlider(5, 3);
  m.ResetAll();
  EXPECT_EQ(m.EffectValues()[29][4], 127);
  EXPECT_EQ(m.EffectValues()[0][1], 100);
  EXPECT_EQ(m.Slider(5).position, 127);
}

TEST(ParameterModel, MaxMarksExtrasAndWidth) {
  RecordingHost host;
  ParameterModel m;
  m.SetHost(&host);
  EXPECT_FALSE(m.ClickValueLabel(2));  // Pencil sketch 1 has no MAX
  m.ClickEntry(26);  // Emergence
  EXPECT_EQ(m.Extras().maxButtonRow, 2);
  EXPECT_EQ(m.MaxButtonLeft(), 469);
  host.armed.clear();
  EXPECT_TRUE(m.ClickMaxButton());
  EXPECT_EQ(m.ValueText(2), "MAX");
  EXPECT_EQ(m.Slider(2).position, 255);
  EXPECT_EQ(m.MaxButtonLeft(), 466);
  EXPECT_EQ(host.armed.back(), 200);
  EXPECT_TRUE(m.Snapshot().maxRow2);
  m.ChangeSlider(2, 200);
  EXPECT_EQ(m.ValueText(2), "200");

  m.ClickEntry(17);  // Painting 7: MAX on row 3, brush buttons, X 2
  EXPECT_TRUE(m.ClickValueLabel(3));
  EXPECT_EQ(m.Slider(3).position, 100);
  EXPECT_TRUE(m.Snapshot().maxRow3);
  EXPECT_TRUE(m.Extras().doubleRow2);
  EXPECT_TRUE(m.Extras().brushButtons);
  EXPECT_EQ(m.ClientWidth(90), 554);
  m.ClickEntry(1);
  EXPECT_EQ(m.ClientWidth(90), 525);
  EXPECT_EQ(m.ValueText(3), "80");
  EXPECT_EQ(m.Extras().maxButtonRow, 0);
  m.ClickEntry(20);
  EXPECT_TRUE(m.Extras().paintBrushButtons);
  EXPECT_TRUE(m.Extras().doubleRow1);
}

TEST(ParameterModel, PreviewRequestsFollowTheWindowState) {
  RecordingHost host;
  ParameterModel m;
  m.SetHost(&host);
  m.ClickEntry(2);  // window hidden: only the stop request
  EXPECT_EQ(host.stops, 1);
  EXPECT_TRUE(host.armed.empty());
  host.visible = true;
  m.ClickEntry(3);
  EXPECT_EQ(host.armed, std::vector<int>{100});
  host.processing = true;
  m.ClickEntry(4);
  EXPECT_EQ(host.armed.back(), 500);
  host.armed.clear();
  host.buttonDown = true;  // dragging: no restart until release
  m.ChangeSlider(1, 5);
  EXPECT_TRUE(host.armed.empty());
  host.buttonDown = false;
  m.ChangeSlider(1, 5);
  EXPECT_EQ(host.armed, std::vector<int>{500});
  // Re-choosing the shown entry does not run the selection again.
  const int stops = host.stops;
  m.ClickEntry(4);
  EXPECT_EQ(host.stops, stops);
}

TEST(ParameterModel, FinishingOptionsAndLanguageChange) {
  ParameterModel m;
  EXPECT_EQ(m.Finishing().storedTextureNumber, -1);
  EXPECT_FALSE(m.StrengthEnabled());
  m.ChooseStrength(2);
  EXPECT_TRUE(m.Finishing().texture);
  EXPECT_TRUE(m.StrengthEnabled());
  m.ClickTextureNumber(2);
  EXPECT_EQ(m.TextureLabel(), "Texture 3  ");
  EXPECT_EQ(m.Finishing().storedTextureNumber, -1);
  m.ReleaseTextureNumber();
  EXPECT_EQ(m.Finishing().storedTextureNumber, 2);
  const ParameterSnapshot s = m.Snapshot();
  EXPECT_TRUE(s.texture);
  EXPECT_EQ(s.textureNumber, 2);
  EXPECT_EQ(s.textureStrength, 2);

  ParameterModel fresh;
  fresh.Activate();
  EXPECT_EQ(fresh.Finishing().storedTextureNumber, 0);
  EXPECT_EQ(fresh.Finishing().storedStrength, 0);

  std::string table;
  for (int i = 0; i < 82; ++i) table += std::string(Language::English().Text(i)) + "\n";
  table += "Crayon 1\n";
  m.ClickEntry(5);
  m.ApplyLanguage(Language::FromText(table, "French"));
  EXPECT_EQ(m.EntryText(), "Crayon 4");
  EXPECT_EQ(m.CurrentEffect(), 23);
}

TEST(CustomBrush, CentredOnAWhiteSquare) {
  Bitmap picture(100, 50);
  picture.Fill(kBlack);
  const Bitmap brush = MakeCustomBrush(picture);
  EXPECT_EQ(brush.Width(), 142);
  EXPECT_EQ(brush.Height(), 142);
  EXPECT_EQ(brush.Pixel(21, 46), kBlack);
  EXPECT_EQ(brush.Pixel(20, 46), kWhite);
  EXPECT_EQ(brush.Pixel(21, 45), kWhite);
  EXPECT_EQ(brush.Pixel(120, 95), kBlack);
  EXPECT_EQ(brush.Pixel(121, 96), kWhite);
  EXPECT_THROW(MakeCustomBrush(Bitmap()), ImageError);
  EXPECT_THROW(MakeCustomBrush(Bitmap(12000, 10)), ImageError);
}
