// The settings file: its 43 lines, the reading rules and where the file is kept.

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>

#include "AppTests.h"
#include "settings/SettingsFile.h"

using namespace brumeleaf;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

AppSettings Changed() {
  AppSettings s;
  s.style = 2;
  s.language = "Deutsch";
  s.openFolder = "/home/ana/Pictures/Trips 2025";
  s.brushFolder = "/home/ana/brushes";
  s.frame.style = 3;
  s.frame.tintRed = 12;
  s.frame.fillColour = 0x123456;
  s.frame.marginText = "25";
  s.caption.text = "Sunset at the lake";
  s.caption.position = 2;
  s.caption.x = 140;
  s.caption.y = 90;
  s.caption.fontName = "DejaVu Serif";
  s.caption.fontSize = 28;
  s.caption.bold = true;
  s.caption.strikeout = true;
  s.caption.colour = 255;
  s.textureNumber = 4;
  s.textureStrength = 2;
  s.updateCheck = false;
  s.examplePictures = false;
  s.saveParametersInName = true;
  return s;
}

}  // namespace

class SettingsFileTest : public QObject {
  Q_OBJECT

 private slots:
  void writesTheFortyThreeLinesInOrder() {
    const std::string text = FormatSettings(Changed(), {10, 20, 800, 600});
    const std::vector<std::string> lines = Lines(text);
    QCOMPARE(lines.size(), std::size_t{43});
    QCOMPARE(lines[0], std::string("[Skin number]"));
    QCOMPARE(lines[1], std::string("2"));
    QCOMPARE(lines[5], std::string("800"));
    QCOMPARE(lines[24], std::string("Unchecked"));
    QCOMPARE(lines[32], std::string("Bold Strikeout "));
    QCOMPARE(lines[37], std::string("[Update]"));
    QCOMPARE(lines[38], std::string("False"));
    QCOMPARE(lines[42], std::string("True"));
  }

  void roundTrip() {
    const AppSettings written = Changed();
    AppSettings read;
    QCOMPARE(ParseSettings(FormatSettings(written, {10, 20, 800, 600}), read),
             SettingsReadResult::Complete);
    AppSettings expected = written;
    expected.placement = {10, 20, 800, 600};
    expected.placementRead = true;
    QVERIFY(read == expected);
  }

  void maximisedWindow() {
    const std::string text = FormatSettings(AppSettings{}, {0, 0, -1, -1});
    const std::vector<std::string> lines = Lines(text);
    QCOMPARE(lines[3], std::string("0"));
    QCOMPARE(lines[4], std::string("0"));
    QCOMPARE(lines[5], std::string("-1"));
    QCOMPARE(lines[6], std::string("-1"));
    AppSettings read;
    ParseSettings(text, read);
    QVERIFY(read.placement.Maximised());
    QVERIFY(CorrectPlacement(read.placement, 1920, 1080).Maximised());
  }

  void placementOffTheDesktopIsPulledBack() {
    const WindowPlacement p = CorrectPlacement({1500, 100, 800, 600}, 1920, 1080);
    QCOMPARE(p.left, 0);
    QCOMPARE(p.width, 1920);
    QCOMPARE(p.top, 100);
    QCOMPARE(p.height, 600);
    const WindowPlacement q = CorrectPlacement({100, 700, 800, 600}, 1920, 1080);
    QCOMPARE(q.top, 0);
    QCOMPARE(q.height, 1080);
    QCOMPARE(DefaultPlacement(1920, 1080), (WindowPlacement{48, 27, 1824, 1026}));
  }

  void onlyExactTrueTurnsAnOptionOn() {
    std::string text = FormatSettings(AppSettings{}, {0, 0, 800, 600});
    const std::size_t at = text.find("[Update]\r\nTrue");
    QVERIFY(at != std::string::npos);
    text.replace(at, 14, "[Update]\r\ntrue");
    AppSettings read;
    QCOMPARE(ParseSettings(text, read), SettingsReadResult::Complete);
    QVERIFY(!read.updateCheck);
    QVERIFY(read.examplePictures);
  }

  void missingOrShortFilesKeepTheFrameDefaults() {
    AppSettings read;
    std::string text = FormatSettings(Changed(), {10, 20, 800, 600});
    text.resize(text.find("[Frames]"));
    QCOMPARE(ParseSettings(text, read), SettingsReadResult::StoppedEarly);
    QCOMPARE(read.frame.Margin(), 150);
    QCOMPARE(read.frame.Spacing(), 75);
    QCOMPARE(read.frame.realisticFrame, 1);
    QCOMPARE(read.frame.colouredFrame, 1);
    QCOMPARE(read.frame.fillColour, 0);
    QCOMPARE(read.frame.lineColour, 0xFFFFFF);
    QCOMPARE(read.caption.Position(), 9);
    QCOMPARE(read.caption.FontSize(), 12);
    QCOMPARE(read.caption.Colour(), 0xFFFFFF);
  }

  void readingStopsAtTheFirstLineThatDoesNotFit() {
    // A header that does not match: the sections from there on keep their defaults.
    std::string text = FormatSettings(Changed(), {10, 20, 800, 600});
    text.replace(text.find("[Texture]"), 9, "[Textures]");
    AppSettings read;
    QCOMPARE(ParseSettings(text, read), SettingsReadResult::StoppedEarly);
    QCOMPARE(read.caption.text, std::string("Sunset at the lake"));
    QCOMPARE(read.textureNumber, -1);
    QVERIFY(read.updateCheck);
    // A value that is not a number stops at that line; what was read stays.
    std::string bad = FormatSettings(Changed(), {10, 20, 800, 600});
    bad.replace(bad.find("\r\n800\r\n"), 7, "\r\n8x0\r\n");
    AppSettings partial;
    QCOMPARE(ParseSettings(bad, partial), SettingsReadResult::StoppedEarly);
    QCOMPARE(partial.style, 2);
    QVERIFY(!partial.placementRead);
    QCOMPARE(partial.language, std::string("void"));
    // An unknown style keeps the default and reading goes on; a short file keeps the rest.
    AppSettings shortFile;
    ParseSettings("[Skin number]\r\n7\r\n[Main window size and position]\r\n1\r\n2\r\n", shortFile);
    QCOMPARE(shortFile.style, 3);
    QVERIFY(!shortFile.placementRead);
    AppSettings wrongFirst;
    QCOMPARE(ParseSettings("[Skin]\r\n1\r\n", wrongFirst), SettingsReadResult::StoppedEarly);
    QCOMPARE(wrongFirst.style, 3);
  }

  void placementsNoScreenCouldShowKeepTheDefault() {
    constexpr int kHuge = 2147483647;
    constexpr int kMost = -2147483647 - 1;
    for (const WindowPlacement& hostile :
         {WindowPlacement{0, 0, kHuge, kHuge}, WindowPlacement{kHuge, kHuge, kHuge, kHuge},
          WindowPlacement{kMost, kMost, kMost, kMost}, WindowPlacement{10, 20, kMost, 600},
          WindowPlacement{10, 20, 0, 600}, WindowPlacement{10, 20, 800, 3},
          WindowPlacement{kHuge, 20, 800, 600}, WindowPlacement{10, kMost, 800, 600}}) {
      AppSettings read;
      QCOMPARE(ParseSettings(FormatSettings(Changed(), hostile), read), SettingsReadResult::Complete);
      QVERIFY(!read.placementRead);
      QCOMPARE(read.language, std::string("Deutsch"));  // reading went on
    }
    // Whatever reaches the fitting, the result lies on the desktop, without overflow.
    const auto inside = [](const WindowPlacement& p, int l, int t, int w, int h) {
      return p.left >= l && p.top >= t && std::int64_t{p.left} + p.width <= std::int64_t{l} + w &&
             std::int64_t{p.top} + p.height <= std::int64_t{t} + h && p.width > 0 && p.height > 0;
    };
    for (const WindowPlacement& p :
         {WindowPlacement{kHuge, kHuge, kHuge, kHuge}, WindowPlacement{0, 0, kHuge, 500},
          WindowPlacement{-50, -50, 800, 600}, WindowPlacement{kMost, 5, 800, 600},
          WindowPlacement{10, 10, -7, -7}, WindowPlacement{1500, 100, 800, 600}}) {
      QVERIFY(inside(FitPlacement(p, 0, 0, 1920, 1080), 0, 0, 1920, 1080));
      QVERIFY(inside(FitPlacement(p, 1920, -200, 1280, 1024), 1920, -200, 1280, 1024));
      QVERIFY(inside(CorrectPlacement(p, 1920, 1080), 0, 0, 1920, 1080));
    }
    // A window on a second screen to the right stays where it was.
    QCOMPARE(FitPlacement({2000, 100, 800, 600}, 1920, 0, 1920, 1080),
             (WindowPlacement{2000, 100, 800, 600}));
  }

  void numbersOutsideTheirControlsRangeKeepTheDefault() {
    AppSettings hostile = Changed();
    hostile.frame.style = 6;
    hostile.frame.realisticFrame = 13;
    hostile.frame.colouredFrame = -1;
    hostile.frame.upDown4 = 2147483647;
    hostile.frame.tintRed = -256;
    hostile.frame.tintBlue = 255;  // the end of the range is fine
    hostile.frame.fillColour = 0x1000000;
    hostile.frame.lineColour = -2147483647 - 1;
    hostile.frame.marginText = "99999";
    hostile.frame.spacingText = "-5";
    hostile.caption.position = 10;
    hostile.caption.x = -2;
    hostile.caption.y = 15001;
    hostile.caption.fontSize = 0;
    hostile.caption.colour = -2;
    hostile.textureNumber = 10;
    hostile.textureStrength = 3;
    AppSettings read;
    QCOMPARE(ParseSettings(FormatSettings(hostile, {10, 20, 800, 600}), read), SettingsReadResult::Complete);
    const AppSettings d;
    QCOMPARE(read.frame.style, d.frame.style);
    QCOMPARE(read.frame.realisticFrame, d.frame.realisticFrame);
    QCOMPARE(read.frame.colouredFrame, d.frame.colouredFrame);
    QCOMPARE(read.frame.upDown4, d.frame.upDown4);
    QCOMPARE(read.frame.tintRed, d.frame.tintRed);
    QCOMPARE(read.frame.tintBlue, 255);
    QCOMPARE(read.frame.fillColour, d.frame.fillColour);
    QCOMPARE(read.frame.lineColour, d.frame.lineColour);
    QCOMPARE(read.frame.marginText, d.frame.marginText);
    QCOMPARE(read.frame.spacingText, d.frame.spacingText);
    QCOMPARE(read.caption.position, -1);
    QCOMPARE(read.caption.x, -1);
    QCOMPARE(read.caption.y, -1);
    QCOMPARE(read.caption.fontSize, -1);
    QCOMPARE(read.caption.colour, -1);
    QCOMPARE(read.textureNumber, -1);
    QCOMPARE(read.textureStrength, -1);
    // What is in range is kept, and written back unchanged.
    QCOMPARE(read.caption.text, std::string("Sunset at the lake"));
    QCOMPARE(read.placement, (WindowPlacement{10, 20, 800, 600}));
    AppSettings again;
    ParseSettings(FormatSettings(Changed(), {10, 20, 800, 600}), again);
    QVERIFY(again.frame.marginText == "25" && again.caption.fontSize == 28 && again.textureStrength == 2);
    const std::string written = FormatSettings(read, read.placement);
    for (const char* number : {"99999", "2147483647", "-2147483648", "16777216", "-256", "15001"})
      QVERIFY2(written.find(std::string("\r\n") + number + "\r\n") == std::string::npos, number);
  }

  void aHugeFileIsRefusedUnread() {
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath(QStringLiteral("Brumeleaf.ini")).toStdString();
    std::ofstream(file, std::ios::binary) << FormatSettings(Changed(), {10, 20, 800, 600})
                                          << std::string(10 << 20, '\n');
    AppSettings read;
    std::string message;
    QCOMPARE(LoadSettingsFile(file, read, &message), SettingsReadResult::Refused);
    QVERIFY(read == AppSettings{});
    QVERIFY(message.find(file.string()) != std::string::npos);
    QVERIFY(message.find("larger than") != std::string::npos);
  }

  void fileRoundTripAndFallbackFolder() {
    QTemporaryDir dir;
    const std::filesystem::path programFolder = dir.filePath(QStringLiteral("program")).toStdString();
    const std::filesystem::path config = dir.filePath(QStringLiteral("config")).toStdString();
    std::filesystem::create_directories(programFolder);
    QCOMPARE(SettingsFilePath(programFolder, config), programFolder / "Brumeleaf.ini");
    QVERIFY(SaveSettingsFile(programFolder / "Brumeleaf.ini", Changed(), {0, 0, -1, -1}));
    QVERIFY(!std::filesystem::exists(programFolder / "Brumeleaf.ini.tmp"));
    AppSettings read;
    QCOMPARE(LoadSettingsFile(programFolder / "Brumeleaf.ini", read), SettingsReadResult::Complete);
    QCOMPARE(read.openFolder, std::string("/home/ana/Pictures/Trips 2025"));
    QVERIFY(read.placement.Maximised());
    AppSettings missing;
    QCOMPARE(LoadSettingsFile(programFolder / "none.ini", missing), SettingsReadResult::Missing);
    // A program folder that cannot be written sends the file to the configuration folder.
    if (::geteuid() != 0) {
      ::chmod(programFolder.c_str(), 0555);
      QCOMPARE(SettingsFilePath(programFolder, config), config / "Brumeleaf" / "Brumeleaf.ini");
      ::chmod(programFolder.c_str(), 0755);
    }
    QCOMPARE(SettingsFilePath("/nonexistent-folder-for-brumeleaf", config),
             config / "Brumeleaf" / "Brumeleaf.ini");
    QVERIFY(SaveSettingsFile(config / "Brumeleaf" / "Brumeleaf.ini", Changed(), {1, 2, 300, 200}));
    QVERIFY(!SaveSettingsFile("/proc/brumeleaf-cannot-write/Brumeleaf.ini", Changed(), {1, 2, 3, 4}));
  }
};

BRUMELEAF_APP_TEST(SettingsFileTest)
#include "SettingsFileTest.moc"
