// The command line's help, manual page and bash completion: all three are built from the
// command table and the option declarations the parser reads, so these tests walk every command
// and every option rather than a few examples.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Manual.h"
#include "cli/Usage.h"
#include "effects/Catalogue.h"
#include "i18n/Language.h"
#include "tests/core/CliRunner.h"
#include "tests/core/TestPictures.h"

namespace {

using brumeleaf::cli::AllCommands;
using brumeleaf::cli::Command;
using brumeleaf::cli::Option;
using brumeleaf::testing::Cli;
using brumeleaf::testing::CliOutcome;
using brumeleaf::testing::ScratchFolder;
using brumeleaf::testing::ShellQuoted;

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The help line of `option`: it begins with its alias and name, as the parser spells them.
std::vector<std::string> LinesNaming(const std::string& help, const Option& option) {
  std::string start = "  ";
  if (option.alias) start += std::string(option.alias) + ", ";
  start += option.name;
  std::vector<std::string> found;
  for (const std::string& line : LinesOf(help)) {
    if (line.rfind(start, 0) == 0 && (line.size() == start.size() || line[start.size()] == ' ')) found.push_back(line);
  }
  return found;
}

void ExpectOptionLine(const std::string& help, const Option& option, const std::string& where) {
  const std::vector<std::string> lines = LinesNaming(help, option);
  ASSERT_EQ(lines.size(), 1u) << where << " " << option.name << "\n" << help;
  const std::string& line = lines.front();
  if (option.value) {
    EXPECT_NE(line.find(std::string(option.name) + " " + option.value), std::string::npos) << line;
  }
  EXPECT_NE(line.find(option.help), std::string::npos) << line;
  if (option.integer) {
    const std::string range = "(" + std::to_string(option.low) + ".." + std::to_string(option.high) + ")";
    EXPECT_NE(line.find(range), std::string::npos) << line;
  }
  if (option.choices) {
    EXPECT_NE(line.find(option.choices), std::string::npos) << line;
  }
  if (option.defaultText) {
    EXPECT_NE(line.find(std::string("default: ") + option.defaultText), std::string::npos) << line;
  } else {
    EXPECT_EQ(line.find("default:"), std::string::npos) << line;
  }
}

}  // namespace

TEST(CliHelp, ProgramHelpListsEveryCommandAndItsOwnOptionsOneALine) {
  ScratchFolder dir("cli-help");
  const CliOutcome help = Cli(dir, "--help");
  ASSERT_EQ(help.code, 0) << help.err;
  // The summaries start in one column however long a command's name is.
  std::set<std::size_t> summaryColumns;
  for (const Command& command : AllCommands()) {
    bool found = false;
    for (const std::string& line : LinesOf(help.out)) {
      const std::string start = std::string("  ") + command.name + " ";
      if (line.rfind(start, 0) != 0) continue;
      found = true;
      EXPECT_NE(line.find(command.summary), std::string::npos) << line;
      summaryColumns.insert(line.find(command.summary));
    }
    EXPECT_TRUE(found) << command.name << "\n" << help.out;
  }
  EXPECT_EQ(summaryColumns.size(), 1u) << help.out;
  for (const Option* option : brumeleaf::cli::ProgramOptions()) ExpectOptionLine(help.out, *option, "--help");

  // Without a command the same list goes to standard error with the usage exit code.
  const CliOutcome bare = Cli(dir, "");
  EXPECT_EQ(bare.code, 2);
  EXPECT_EQ(bare.err, help.out);

  const CliOutcome version = Cli(dir, "--version");
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, std::string("brumeleaf-cli ") + brumeleaf::cli::ProgramVersion() + "\n");
  EXPECT_NE(std::string(brumeleaf::cli::ProgramVersion()), "unknown");
}

TEST(CliHelp, EveryCommandListsEachDeclaredOptionOnceWithRangeChoicesAndDefault) {
  ScratchFolder dir("cli-command-help");
  for (const Command& command : AllCommands()) {
    const CliOutcome help = Cli(dir, std::string(command.name) + " --help");
    ASSERT_EQ(help.code, 0) << command.name << help.err;
    EXPECT_EQ(help.out.rfind(std::string("usage: brumeleaf-cli ") + command.name + " " + command.arguments, 0), 0u)
        << help.out;
    if (!command.options) {
      EXPECT_EQ(help.out.find("options:"), std::string::npos) << help.out;
      continue;
    }
    std::size_t optionLines = 0;
    for (const Option* option : command.options()) {
      ExpectOptionLine(help.out, *option, command.name);
      ++optionLines;
    }
    // Nothing but the declarations: the usage, the summary, a blank line, "options:".
    EXPECT_EQ(LinesOf(help.out).size(), optionLines + 4) << help.out;
  }
}

// Batch and render-all start every picture from seed 1; their help said "the clock" because
// they shared apply's declaration.
TEST(CliHelp, SeedDefaultIsWhatEachCommandDoes) {
  ScratchFolder dir("cli-seed-help");
  for (const char* command : {"batch", "render-all"}) {
    const CliOutcome help = Cli(dir, std::string(command) + " --help");
    const std::vector<std::string> lines = LinesNaming(help.out, brumeleaf::cli::options::kSeed);
    ASSERT_EQ(lines.size(), 1u) << help.out;
    EXPECT_NE(lines.front().find("default: 1"), std::string::npos) << command << ": " << lines.front();
  }
  for (const char* command : {"apply", "script"}) {
    const CliOutcome help = Cli(dir, std::string(command) + " --help");
    EXPECT_NE(help.out.find("default: the clock"), std::string::npos) << command;
  }
}

TEST(CliManual, PageDocumentsEveryCommandOptionAndEffect) {
  const std::string page = brumeleaf::cli::ManPage();
  // Option names appear as the page escapes them: hyphens as minus signs.
  auto roff = [](std::string text) {
    std::string out;
    for (char c : text) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
  };
  for (const Command& command : AllCommands()) {
    EXPECT_NE(page.find(".SS \"" + roff(command.name)), std::string::npos) << command.name;
    if (!command.options) continue;
    for (const Option* option : command.options()) {
      EXPECT_NE(page.find("\\fB" + roff(option->alias ? std::string(option->alias) + ", " : "") + roff(option->name) + "\\fR"),
                std::string::npos)
          << option->name;
      if (option->integer) {
        EXPECT_NE(page.find(roff(std::to_string(option->low)) + " to " + std::to_string(option->high)), std::string::npos)
            << option->name;
      }
    }
  }
  for (const std::string& name : brumeleaf::cli::DrawableEffectNames()) EXPECT_NE(page.find(roff(name)), std::string::npos) << name;

  // Every line that starts with a dot or quote is one of the requests the page means to use;
  // a text line starting so would vanish from the page.
  const std::set<std::string> requests = {"TH", "SH", "SS", "TP", "PP", "IP", "br", "B", "I", "RI", "BR", "nf", "fi"};
  for (const std::string& line : LinesOf(page)) {
    ASSERT_NE(line.rfind('\'', 0), 0u) << line;
    if (line.empty() || line[0] != '.') continue;
    const std::string request = line.substr(1, line.find(' ') == std::string::npos ? std::string::npos : line.find(' ') - 1);
    EXPECT_EQ(requests.count(request), 1u) << line;
  }
}

TEST(CliManual, EveryEffectNameOfferedIsOneTheParserAccepts) {
  const std::vector<std::string> names = brumeleaf::cli::DrawableEffectNames();
  ASSERT_EQ(names.size(), 30u);
  for (const std::string& name : names) {
    EXPECT_NO_THROW(brumeleaf::ResolveEffect(brumeleaf::Language::English(), name)) << name;
    EXPECT_EQ(name.find('\n'), std::string::npos);
    EXPECT_NE(name.back(), ' ') << '"' << name << '"';
  }
}

namespace {

// Runs the completion function as bash would for the words typed so far (the last one is the
// word being completed) and returns the candidates, one per line.
class Completion : public ::testing::Test {
 protected:
  ScratchFolder dir{"cli-completion"};
  std::string script = dir.File("brumeleaf-cli.bash");
  void SetUp() override { std::ofstream(script) << brumeleaf::cli::BashCompletion(); }

  std::vector<std::string> Complete(const std::vector<std::string>& words) {
    std::string command = "source " + ShellQuoted(script) + "\nCOMP_WORDS=(brumeleaf-cli";
    for (const std::string& word : words) command += " " + ShellQuoted(word);
    command += ")\nCOMP_CWORD=" + std::to_string(words.size()) + "\n_brumeleaf_cli\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n";
    const std::string run = dir.File("complete.sh"), out = dir.File("candidates.txt");
    std::ofstream(run) << command;
    const int status = std::system(("bash " + ShellQuoted(run) + " > " + ShellQuoted(out) + " 2>&1").c_str());
    EXPECT_EQ(status, 0);
    std::vector<std::string> lines = LinesOf(brumeleaf::testing::FileText(out));
    if (lines.size() == 1 && lines[0].empty()) lines.clear();
    return lines;
  }
};

}  // namespace

TEST_F(Completion, CommandsAndEachCommandsOwnOptions) {
  EXPECT_EQ(Complete({"ren"}), std::vector<std::string>{"render-all"});
  EXPECT_EQ(Complete({"re"}), (std::vector<std::string>{"render-all", "resize"}));
  EXPECT_EQ(Complete({"--v"}), std::vector<std::string>{"--version"});
  for (const Command& command : AllCommands()) {
    std::set<std::string> expected = {"-h", "--help"};
    if (command.options) {
      for (const Option* option : command.options()) {
        expected.insert(option->name);
        if (option->alias) expected.insert(option->alias);
      }
    }
    const std::vector<std::string> offered = Complete({command.name, "-"});
    EXPECT_EQ(std::set<std::string>(offered.begin(), offered.end()), expected) << command.name;
  }
  // --help stands alone: it is not offered after other arguments.
  const std::vector<std::string> later = Complete({"apply", "photo.jpg", "--h"});
  EXPECT_TRUE(later.empty()) << later.front();
}

TEST_F(Completion, ValuesComeFromTheDeclarations) {
  EXPECT_EQ(Complete({"apply", "x.jpg", "--strength", "n"}), std::vector<std::string>{"normal"});
  EXPECT_EQ(Complete({"apply", "x.jpg", "--text-position", "bottom-"}),
            (std::vector<std::string>{"bottom-left", "bottom-middle", "bottom-right"}));
  EXPECT_EQ(Complete({"apply", "x.jpg", "--frame", "tr"}), std::vector<std::string>{"triptych"});
  // A number is typed, not a file name.
  EXPECT_TRUE(Complete({"apply", "x.jpg", "--seed", ""}).empty());
  EXPECT_TRUE(Complete({"print", "x.jpg", "--offset-x", ""}).empty());
}

TEST_F(Completion, EffectNamesAreEscapedForTheShell) {
  EXPECT_EQ(Complete({"apply", "x.jpg", "--effect", "Pencil\\ sketch\\ 2"}),
            std::vector<std::string>{"Pencil\\ sketch\\ 2\\ \\(b\\&w\\)"});
  EXPECT_EQ(Complete({"batch", "--effect", "\"Pen & Ink sketch 1"}), std::vector<std::string>{"Pen\\ \\&\\ Ink\\ sketch\\ 1"});
  EXPECT_EQ(Complete({"apply", "x.jpg", "--effect", ""}).size(), brumeleaf::cli::DrawableEffectNames().size());
}

TEST_F(Completion, FilesAndFoldersWhereAPathIsExpected) {
  const std::string root = dir.File("tree");
  std::filesystem::create_directories(root + "/sub");
  for (const char* name : {"look.bfp", "steps.bfs", "photo.jpg"}) std::ofstream(root + "/" + name) << "x";
  auto sorted = [](std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  EXPECT_EQ(sorted(Complete({"apply", "x.jpg", "--params", root + "/"})),
            (std::vector<std::string>{root + "/look.bfp", root + "/sub"}));
  EXPECT_EQ(sorted(Complete({"batch", "x.jpg", "--script", root + "/"})),
            (std::vector<std::string>{root + "/steps.bfs", root + "/sub"}));
  EXPECT_EQ(Complete({"batch", "x.jpg", "-d", root + "/"}), std::vector<std::string>{root + "/sub"});
  EXPECT_EQ(sorted(Complete({"info", root + "/p"})), std::vector<std::string>{root + "/photo.jpg"});
  EXPECT_EQ(sorted(Complete({"apply", "x.jpg", "-o", root + "/"})).size(), 4u);
}
