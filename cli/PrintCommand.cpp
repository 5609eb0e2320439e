// brumeleaf-cli print IN --pdf OUT.pdf: the picture laid out on an A4 page as the print
// preview would print it, written as a PDF at 600 dpi.

#include <cstdio>

#include <QGuiApplication>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "io/PictureFile.h"
#include "output/PrintPage.h"

namespace brumeleaf::cli {

namespace {

const Option kPdf{"--pdf", nullptr, "FILE", false, 0, 0, nullptr, nullptr, "the PDF file to write"};
const Option kScale{"--scale", nullptr, "N[%]", false, 0, 0, nullptr, "100%",
                    "print at N percent (5-1000) of the picture's screen size"};
const Option kFullPage{"--full-page", nullptr, nullptr, false, 0, 0, nullptr, "off",
                       "the largest scale at which the picture fits the page"};
const Option kLandscape{"--landscape", nullptr, nullptr, false, 0, 0, nullptr,
                        "landscape for a picture wider than tall", "landscape page"};
const Option kPortrait{"--portrait", nullptr, nullptr, false, 0, 0, nullptr, nullptr, "portrait page"};
const Option kOffsetX{"--offset-x", nullptr, "N", true, -200, 200, nullptr, "0",
                      "move the picture right by N pixels of the preview page"};
const Option kOffsetY{"--offset-y", nullptr, "N", true, -200, 200, nullptr, "0",
                      "move the picture down by N pixels of the preview page"};
const Option kScreenDpi{"--screen-dpi", nullptr, "N", true, 1, 10000, nullptr, "96",
                        "the screen density the picture's size is measured in"};

const Option* const kPrintOptions[] = {&kPdf,     &kScale,   &kFullPage, &kLandscape,
                                       &kPortrait, &kOffsetX, &kOffsetY,  &kScreenDpi};

}  // namespace

OptionList PrintCommandOptions() { return kPrintOptions; }

int RunPrint(const Arguments& args) {
  const ParsedOptions parsed = ParseOptions(args, kPrintOptions);
  if (parsed.Positional().size() != 1) throw UsageError("print needs exactly one input picture");
  if (!parsed.Has(kPdf)) throw UsageError("print needs a PDF file to write (--pdf OUT.pdf)");
  if (parsed.Has(kScale) && parsed.Has(kFullPage)) throw UsageError("--scale and --full-page exclude each other");
  if (parsed.Has(kLandscape) && parsed.Has(kPortrait)) throw UsageError("--landscape and --portrait exclude each other");

  PrintRequest request;
  if (const auto scale = parsed.TextIf(kScale)) {
    const std::optional<int> value = ParseScale(*scale);
    if (!value) throw UsageError("--scale needs a number, such as 150 or 150%");
    request.placement.scale = *value;
  }
  request.fullPage = parsed.Has(kFullPage);
  request.placement.offsetX = static_cast<int>(parsed.IntegerIf(kOffsetX).value_or(0));
  request.placement.offsetY = static_cast<int>(parsed.IntegerIf(kOffsetY).value_or(0));
  request.screenDpi = static_cast<int>(parsed.IntegerIf(kScreenDpi).value_or(kScreenDpiDefault));

  const Bitmap picture = LoadPicture(parsed.Positional()[0]);
  request.orientation = parsed.Has(kLandscape)  ? PageOrientation::Landscape
                        : parsed.Has(kPortrait) ? PageOrientation::Portrait
                                                : OrientationFor(picture.Width(), picture.Height());

  // QPdfWriter paints text and images through the GUI module; no window is opened.
  if (!qgetenv("QT_QPA_PLATFORM").size()) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "brumeleaf-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  const PrintOutcome outcome = PrintToPdf(picture, parsed.Text(kPdf), request);
  if (!outcome.printed) throw std::runtime_error(outcome.message);
  if (!outcome.message.empty()) std::fprintf(stderr, "brumeleaf-cli: %s\n", outcome.message.c_str());
  const PrintRect& r = outcome.rect;
  std::printf("page %dx%d at %d dpi, %s; picture %dx%d at (%d, %d), factor %d\n", outcome.page.width,
              outcome.page.height, outcome.page.dpiX,
              request.orientation == PageOrientation::Landscape ? "landscape" : "portrait", r.width, r.height,
              r.left, r.top, r.kx);
  return kExitOk;
}

}  // namespace brumeleaf::cli
