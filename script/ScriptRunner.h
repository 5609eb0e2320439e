#pragma once
// Replaying a script on a Session. Effect steps select their entry in the session's
// EffectSettings (stored values on the sliders), filled cells move the sliders and are stored
// back, and the effect runs through the session like "Draw!"; picture operations change the
// panels directly and record what they changed in the history, so undo works after a script.
//
// The runner does not run effects itself: Advance() performs operations until an effect must
// run and says so, the front end runs the session's selected effect its own way (the desktop
// program on its worker, waiting for the run's outcome; the command line on the spot) and
// hands the outcome to EffectFinished(). Both use the session's one random generator, so the
// same script from the same generator state gives the same bytes everywhere.
//
// While a script runs, "Add frame", "Add text" and "Texture" are off so the steps run without
// them; "Soften edges" applies on every step. If any of the three was on, one frame-only run
// at the end finishes the final result with them. Afterwards the left panel gets the source
// back (recorded, so the source mean and the history stay true) and the three choices are
// restored, however the run ended.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "imaging/Bitmap.h"
#include "pipeline/Session.h"
#include "script/Script.h"

namespace brumeleaf {

enum ScriptCode : int {
  kScriptResizeLeft = 101,
  kScriptAutoContrast = 102,
  kScriptRotateLeft = 103,
  kScriptRotateRight = 104,
  kScriptStoreLeft = 105,
  kScriptStoreRight = 106,
  kScriptRetrieveLeft = 107,
  kScriptRetrieveRight = 108,
  kScriptResizeRight = 109,
  kScriptSwap = 110,
  kScriptRestoreSource = 111,
  kScriptInvert = 112,
};

// The entry an unknown operation code (100 upward) selects; nothing else happens for it.
inline constexpr int kUnknownOperationEntry = 33;

// What a row will do.
struct PlannedStep {
  enum class Action {
    Effect,            // select `listIndex`, set the filled sliders, run
    Operation,         // a picture operation of the table
    UnknownOperation,  // selects entry 33 and runs nothing
    Skipped,           // `note` says why
  };
  int row = 0;
  int code = 0;
  Action action = Action::Skipped;
  int listIndex = -1;
  std::array<std::optional<int>, 5> values{};
  std::string label;  // column 0
  std::string note;
};

// The rows that run (1 onward, code filled), in order. A resize beyond the picture limits is
// a ScriptError naming its row: it is refused before anything runs.
std::vector<PlannedStep> PlanScript(const Script& script);

// The caption an operation's row gets in column 0 ("" for an unknown code), in English.
std::string OperationLabel(int code);

// The script's automatic-contrast step (ScriptAutomaticContrast of the source tools: exponent
// 0.23, strength 25, no saturation boost), not the menu command's.
void AutomaticContrastStep(Bitmap& picture);

class ScriptRunner {
 public:
  enum class Next { RunEffect, Finished };

  // Plans the script (ScriptError for one that cannot run) and keeps a copy of the left panel
  // as the script source. `stored` is the image the store and retrieve steps share; it
  // outlives a run. `sourceName` is recorded with the source states the script changes.
  ScriptRunner(Session& session, const Script& script, std::optional<Bitmap>& stored, std::string sourceName);
  ~ScriptRunner();
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Performs steps until the session's selected effect must run (RunEffect) or the script is
  // over (Finished; the source is back on the left and the choices are restored).
  // An operation that fails throws; the runner has then ended and restored as after a stop.
  Next Advance();
  // The outcome of the run Advance() asked for. A stopped or failed run ends the script: the
  // choices are restored and the next Advance() reports Finished.
  void EffectFinished(const JobOutcome& outcome);
  // Ends the script where it is (a stop between steps), restoring the choices.
  void Stop();

  // The row being performed, 0 before the first and after the last.
  int CurrentRow() const { return currentRow_; }
  bool Ended() const { return ended_; }
  // Whether every step ran and the finishing run completed.
  bool Completed() const { return completed_; }
  const JobOutcome& Outcome() const { return outcome_; }

 private:
  enum class Phase { Steps, Finishing, Done };
  void RunOperation(const PlannedStep& step);
  void Resize(Bitmap& panel, int panelNumber, int width, int height);
  void Record(int panel);
  void End(bool restoreSource);

  Session& session_;
  std::optional<Bitmap>& stored_;
  std::string sourceName_;
  std::vector<PlannedStep> plan_;
  std::size_t next_ = 0;
  Bitmap scriptSource_;
  bool hadFrame_ = false;
  bool hadText_ = false;
  bool hadTexture_ = false;
  Phase phase_ = Phase::Steps;
  bool waiting_ = false;
  int currentRow_ = 0;
  bool ended_ = false;
  bool completed_ = false;
  JobOutcome outcome_;
};

// Runs a whole script on this thread: every effect step with the session's generator, `sink`
// for progress and `stop` (may be null) to stop it. Returns the outcome: Completed, Stopped
// (a step or the user stopped) or Failed (a step's message).
JobOutcome RunScript(Session& session, const Script& script, std::optional<Bitmap>& stored,
                     const std::string& sourceName, ProgressSink* sink = nullptr,
                     std::atomic<bool>* stop = nullptr);

}  // namespace brumeleaf
