#include "effects/Catalogue.h"

#include <QString>
#include <charconv>

namespace brumeleaf {
namespace {

constexpr SliderSpec V(int line, int def) { return {line, def, true, false}; }
constexpr SliderSpec Hidden(int def) { return {-1, def, false, false}; }
constexpr SliderSpec HiddenCaptioned(int line, int def) { return {line, def, false, false}; }
constexpr SliderSpec Blank(int def) { return {-1, def, false, true}; }

constexpr TextRule Line(int line) { return {TextRule::Kind::Line, line, {}, {}}; }
constexpr TextRule DropLast(int line, std::string_view add) {
  return {TextRule::Kind::DropLastAppend, line, add, {}};
}
constexpr TextRule Replace(int line, std::string_view from, std::string_view to) {
  return {TextRule::Kind::ReplaceAll, line, to, from};
}
constexpr TextRule Append(int line, std::string_view add) {
  return {TextRule::Kind::Append, line, add, {}};
}

// The frame-only entry is padded so that the list draws it as wide as the longest entry.
constexpr std::string_view kFrameOnlyPadding = "                                                     ";
static_assert(kFrameOnlyPadding.size() == 53);

// Caption lines of the language table.
enum CaptionLine : int {
  kEdgeThreshold = 43, kEdgeIntensity = 44, kColorIntensity = 45, kDarkenLighten = 46,
  kLevelOfContrast = 47, kStrokeLength = 48, kColorBlending = 49, kStrengthOfEffect = 50,
  kPrecisionOfPaintbrush = 51, kSizeOfPaintbrush = 52, kContrastEnhancement = 53,
  kImageSimplification = 54, kBrushstrokesIntensity = 55, kLevelOfAbstraction = 56,
  kNumberOfSquares = 57, kMinimumSquareSize = 58, kMaximumSquareSize = 59,
  kNumberOfCircles = 60, kMinimumRadius = 61, kMaximumRadius = 62, kBlendingIntensity = 63,
  kMinimumBrushSize = 64, kMaximumBrushSize = 65, kNumberOfBrushstrokes = 66,
  kBrushstrokePrecision = 67, kMinimumStrokeSize = 68, kMaximumStrokeSize = 69,
  kNumberOfIterations = 70, kFilterPrecision = 71, kBlurStrength = 72, kOldPaperDefects = 73,
  kSepiaColoring = 74, kSaturation = 161, kLevelOfDetails = 200, kMultiplication = 228,
  kAngle = 231,
};

// clang-format off
constexpr std::array<EffectSpec, kEffectCount> kEffects{{
  {0, 1, "ProcessPencilSketch", Line(82),
   {V(kEdgeThreshold, 25), V(kEdgeIntensity, 100), V(kColorIntensity, 80), V(kDarkenLighten, 160), V(kLevelOfContrast, 25)}},
  {1, 2, "ProcessSobelFilter", Line(83),
   {V(kEdgeThreshold, 7), V(kEdgeIntensity, 127), V(kStrokeLength, 30), V(kDarkenLighten, 127), Hidden(0)}},
  {2, 3, "ProcessColourSobel", Line(84),
   {V(kEdgeThreshold, 10), V(kEdgeIntensity, 200), V(kStrokeLength, 20), V(kDarkenLighten, 50), V(kColorIntensity, 50)}},
  {3, 8, "ProcessPenandInkSketch", Line(87),
   {V(kEdgeThreshold, 50), V(kEdgeIntensity, 50), HiddenCaptioned(kColorIntensity, 90), V(kDarkenLighten, 110), Hidden(0)}},
  {4, 11, "ProcessPainting", Line(89),
   {V(kColorBlending, 90), V(kEdgeIntensity, 110), V(kStrengthOfEffect, 25), V(kDarkenLighten, 140), V(kBrushstrokesIntensity, 50)}},
  {5, 12, "ProcessPainting2", Line(90),
   {V(kStrokeLength, 127), V(kNumberOfBrushstrokes, 25), V(kLevelOfAbstraction, 25), V(kColorIntensity, 135), V(kBrushstrokesIntensity, 127)}},
  {6, 13, "ProcessPainting3", Line(91),
   {V(kColorBlending, 35), V(kSizeOfPaintbrush, 5), V(kStrengthOfEffect, 30), V(kDarkenLighten, 140), Hidden(0)}},
  {7, 14, "ProcessPainting4", Line(92),
   {V(kStrengthOfEffect, 5), V(kContrastEnhancement, 30), V(kColorIntensity, 60), V(kDarkenLighten, 140), Hidden(0)}},
  {8, 15, "ProcessRegionGrowing", Line(93),
   {V(kStrengthOfEffect, 200), V(kImageSimplification, 10), V(kColorIntensity, 60), V(kDarkenLighten, 160), V(kBrushstrokesIntensity, 70)}},
  {9, 16, "ProcessRegionGrowing", Line(94),
   {V(kStrengthOfEffect, 200), V(kImageSimplification, 10), V(kColorIntensity, 60), V(kDarkenLighten, 140), V(kBrushstrokesIntensity, 50)}},
  {10, 22, "ProcessColouredSquares", Line(97),
   {V(kLevelOfAbstraction, 65), V(kNumberOfSquares, 100), V(kColorIntensity, 55), V(kMinimumSquareSize, 15), V(kMaximumSquareSize, 180)}},
  {11, 23, "ProcessColouredCircles", Line(98),
   {V(kLevelOfAbstraction, 65), V(kNumberOfCircles, 100), V(kColorIntensity, 55), V(kMinimumRadius, 15), V(kMaximumRadius, 180)}},
  {12, 31, "ProcessVivify", Line(102),
   {V(kEdgeThreshold, 35), V(kEdgeIntensity, 100), V(kColorIntensity, 55), V(kDarkenLighten, 128), V(kLevelOfContrast, 20)}},
  {13, 33, "ProcessAlphaBlend", Line(104),
   {V(kBlendingIntensity, 127), V(kMultiplication, 0), V(kDarkenLighten, 50), Blank(0), Blank(0)}},
  {14, 35, "ProcessNoFilter", Append(106, kFrameOnlyPadding),
   {Hidden(200), Hidden(10), Hidden(60), Hidden(160), Hidden(70)}},
  {15, 17, "ProcessRandomStrokes", Line(95),
   {V(kMinimumBrushSize, 10), V(kMaximumBrushSize, 200), V(kNumberOfBrushstrokes, 50), V(kEdgeIntensity, 30), V(kBrushstrokePrecision, 190)}},
  {16, 4, "ProcessPencilStrokes", Line(85),
   {V(kMinimumStrokeSize, 0), V(kMaximumStrokeSize, 200), V(kNumberOfIterations, 20), V(kEdgeIntensity, 100), V(kFilterPrecision, 200)}},
  {17, 24, "ProcessCartoonify", Line(99),
   {V(kStrengthOfEffect, 225), V(kImageSimplification, 70), V(kDarkenLighten, 55), V(kEdgeIntensity, 220), V(kColorIntensity, 127)}},
  {18, 25, "ProcessColourInk", Line(100),
   {V(kColorBlending, 30), V(kEdgeIntensity, 30), V(kStrengthOfEffect, 10), V(kDarkenLighten, 127), Hidden(0)}},
  {19, 32, "ProcessSepia", Line(103),
   {V(kStrengthOfEffect, 255), V(kBlurStrength, 127), V(kOldPaperDefects, 50), V(kSepiaColoring, 220), V(kDarkenLighten, 140)}},
  {20, 18, "ProcessExpressivePainting", Line(199),
   {V(kMaximumBrushSize, 50), V(kNumberOfBrushstrokes, 25), V(kBrushstrokePrecision, 70), V(kLevelOfContrast, 85), V(kLevelOfDetails, 215)}},
  {21, 9, "ProcessPenandInkSketch2", DropLast(87, "2"),
   {V(kLevelOfDetails, 40), V(kDarkenLighten, 160), V(kImageSimplification, 40), Hidden(0), Hidden(0)}},
  {22, 26, "ProcessRandomPolygons", Line(206),
   {V(kLevelOfAbstraction, 100), V(kNumberOfIterations, 80), V(kLevelOfContrast, 30), V(kMinimumRadius, 25), V(kMaximumRadius, 130)}},
  {23, 5, "ProcessNewPencilSketch", DropLast(82, "4"),
   {V(kEdgeThreshold, 20), V(kNumberOfIterations, 100), V(kStrokeLength, 25), V(kLevelOfAbstraction, 10), V(kColorIntensity, 140)}},
  {24, 6, "ProcessPencilSketch5", DropLast(82, "5"),
   {V(kEdgeThreshold, 50), V(kEdgeIntensity, 150), V(kBlendingIntensity, 25), V(kDarkenLighten, 128), V(kColorIntensity, 200)}},
  {25, 27, "ProcessShadedTriangles", Append(206, " 2"),
   {V(kLevelOfAbstraction, 130), V(kNumberOfIterations, 100), V(kLevelOfContrast, 10), V(kMinimumRadius, 15), V(kMaximumRadius, 180)}},
  {26, 28, "ProcessHalfToneLines", Line(230),
   {V(kLevelOfAbstraction, 12), V(kAngle, 45), V(kColorIntensity, 100), Hidden(0), Hidden(0)}},
  {27, 19, "ProcessPainting9", Replace(89, "1", "9"),
   {V(kNumberOfIterations, 7), V(kSizeOfPaintbrush, 170), V(kPrecisionOfPaintbrush, 90), V(kEdgeIntensity, 127), V(kDarkenLighten, 10)}},
  {28, 20, "ProcessPainting10", Replace(95, "7", "10"),
   {V(kMinimumBrushSize, 50), V(kNumberOfIterations, 50), V(kLevelOfAbstraction, 50), V(kStrengthOfEffect, 130), V(kSaturation, 130)}},
  {29, 29, "ProcessAbstract", Line(237),
   {V(kMaximumRadius, 150), V(kNumberOfIterations, 15), V(kColorIntensity, 55), V(kDarkenLighten, 127), V(kLevelOfContrast, 127)}},
}};
// clang-format on

constexpr std::array<ListEntrySpec, kListEntryCount> BuildListEntries() {
  std::array<ListEntrySpec, kListEntryCount> entries{};
  for (int i = 0; i < kListEntryCount; ++i) entries[static_cast<std::size_t>(i)].listIndex = i;
  struct Header { int index; int line; };
  constexpr Header kHeaders[] = {{0, 81}, {7, 86}, {10, 88}, {21, 96}, {30, 101}, {34, 105}};
  for (const auto& h : kHeaders) entries[static_cast<std::size_t>(h.index)].text = Line(h.line);
  for (const auto& e : kEffects) {
    auto& entry = entries[static_cast<std::size_t>(e.listIndex)];
    entry.text = e.name;
    entry.code = e.code;
  }
  return entries;
}

constexpr std::array<ListEntrySpec, kListEntryCount> kListEntries = BuildListEntries();

// Every code appears exactly once and every non-header index has an effect.
constexpr bool CatalogueIsConsistent() {
  int headers = 0;
  for (const auto& entry : kListEntries) {
    if (entry.IsHeader()) ++headers;
    else if (kEffects[static_cast<std::size_t>(entry.code)].listIndex != entry.listIndex) return false;
  }
  for (int c = 0; c < kEffectCount; ++c)
    if (kEffects[static_cast<std::size_t>(c)].code != c) return false;
  return headers == 6;
}
static_assert(CatalogueIsConsistent());

// Compares two texts ignoring case (Unicode-aware) and trailing spaces.
bool SameName(std::string_view a, std::string_view b) {
  auto trim = [](std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
  };
  a = trim(a);
  b = trim(b);
  const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
  const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
  return qa.compare(qb, Qt::CaseInsensitive) == 0;
}

}  // namespace

const std::array<EffectSpec, kEffectCount>& Effects() { return kEffects; }
const std::array<ListEntrySpec, kListEntryCount>& ListEntries() { return kListEntries; }

const EffectSpec& EffectOfCode(int code) {
  if (code < 0 || code >= kEffectCount)
    throw CatalogueError("There is no effect with code " + std::to_string(code));
  return kEffects[static_cast<std::size_t>(code)];
}

bool IsHeader(int listIndex) {
  return listIndex >= 0 && listIndex < kListEntryCount &&
         kListEntries[static_cast<std::size_t>(listIndex)].IsHeader();
}

int CodeOfListIndex(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount) return kFallbackCode;
  const int code = kListEntries[static_cast<std::size_t>(listIndex)].code;
  return code < 0 ? kFallbackCode : code;
}

int ListIndexOfCode(int code) { return EffectOfCode(code).listIndex; }

SliderRange RangeOf(int code, int row) {
  switch (row) {
    case 1:
      return code == 7 ? SliderRange{0, 10, 1} : SliderRange{0, 255, 5};
    case 2:
      if (code == 6) return {1, 10, 1};
      if (code == 26) return {0, 360, 7};
      return {0, 255, 5};
    case 3:
      return {0, 100, 5};
    case 4:
    case 5:
      return {0, 255, 5};
    default:
      throw CatalogueError("There is no slider row " + std::to_string(row));
  }
}

bool RowVisible(int code, int row) {
  if (row < 1 || row > kSliderRowCount) return false;
  if (code < 0 || code >= kEffectCount) return false;
  return kEffects[static_cast<std::size_t>(code)].rows[static_cast<std::size_t>(row - 1)].visible;
}

std::string EntryName(const Language& language, int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount)
    throw CatalogueError("There is no effect list entry " + std::to_string(listIndex));
  return language.Build(kListEntries[static_cast<std::size_t>(listIndex)].text);
}

std::string ListItemText(const Language& language, int listIndex) {
  std::string text = EntryName(language, listIndex);
  if (!IsHeader(listIndex)) text.insert(0, "     >  ");
  return text;
}

std::string SliderCaption(const Language& language, int code, int slot) {
  if (code < 0 || code >= kEffectCount || slot < 0 || slot >= kSliderRowCount) return {};
  const SliderSpec& row = kEffects[static_cast<std::size_t>(code)].rows[static_cast<std::size_t>(slot)];
  if (row.blankCaption) return std::string(8, ' ');
  return row.captionLine < 0 ? std::string() : language.Text(row.captionLine);
}

std::optional<int> FindEntryByName(const Language& language, std::string_view name) {
  for (int i = 0; i < kListEntryCount; ++i)
    if (SameName(EntryName(language, i), name)) return i;
  return std::nullopt;
}

int ResolveEffect(const Language& language, std::string_view nameOrCode) {
  int code = 0;
  const char* first = nameOrCode.data();
  const char* last = first + nameOrCode.size();
  const auto [end, error] = std::from_chars(first, last, code);
  if (!nameOrCode.empty() && error == std::errc() && end == last) {
    if (code < 0 || code >= kEffectCount)
      throw CatalogueError("There is no effect with code " + std::string(nameOrCode) +
                           " (codes are 0 to 29)");
    return ListIndexOfCode(code);
  }
  const auto index = FindEntryByName(language, nameOrCode);
  if (!index || IsHeader(*index))
    throw CatalogueError("Unknown effect: \"" + std::string(nameOrCode) + "\"");
  return *index;
}

int ExamplePictureNumber(int listIndex) {
  if (listIndex < 0 || listIndex >= kListEntryCount || IsHeader(listIndex))
    throw CatalogueError("Entry " + std::to_string(listIndex) + " has no example picture");
  int headersBefore = 0;
  for (int header : {7, 10, 21, 30, 34})
    if (header < listIndex) ++headersBefore;
  return listIndex - 1 - headersBefore;
}

}  // namespace brumeleaf
