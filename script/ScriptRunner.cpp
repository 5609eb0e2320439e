#include "script/ScriptRunner.h"

#include <utility>

#include "effects/Catalogue.h"
#include "i18n/Language.h"
#include "imaging/Colour.h"
#include "imaging/Filters.h"
#include "imaging/Geometry.h"
#include "tools/SourceTools.h"

namespace brumeleaf {

namespace {

bool IsKnownOperation(int code) { return code >= kScriptResizeLeft && code <= kScriptInvert; }

std::string WithoutAccelerator(std::string text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') plain += text[++i];
      continue;
    }
    plain += text[i];
  }
  return plain;
}

}  // namespace

std::string OperationLabel(int code) {
  TextId id;
  switch (code) {
    case kScriptResizeLeft: id = TextId::ScriptResizeLeft; break;
    case kScriptAutoContrast: id = TextId::AutomaticContrast; break;
    case kScriptRotateLeft: id = TextId::ScriptRotateLeft; break;
    case kScriptRotateRight: id = TextId::ScriptRotateRight; break;
    case kScriptStoreLeft: id = TextId::ScriptStoreLeft; break;
    case kScriptStoreRight: id = TextId::ScriptStoreRight; break;
    case kScriptRetrieveLeft: id = TextId::ScriptRetrieveLeft; break;
    case kScriptRetrieveRight: id = TextId::ScriptRetrieveRight; break;
    case kScriptResizeRight: id = TextId::ScriptResizeRight; break;
    case kScriptSwap: id = TextId::ScriptSwap; break;
    case kScriptRestoreSource: id = TextId::ScriptRestoreSource; break;
    case kScriptInvert: id = TextId::InvertColors; break;
    default: return {};
  }
  return WithoutAccelerator(Language::English().Text(id));
}

std::vector<PlannedStep> PlanScript(const Script& script) {
  std::vector<PlannedStep> plan;
  // Row 0 is the header and never runs, whatever its code cell holds.
  for (int row = 1; row < script.RowCount(); ++row) {
    const StepCells cells = ReadStepCells(script, row);
    if (!cells.code) continue;
    PlannedStep step;
    step.row = row;
    step.code = *cells.code;
    step.values = cells.values;
    step.label = script.Cell(0, row);
    if (step.code < 100) {
      if (step.code >= 0 && step.code < kEffectCount) {
        step.action = PlannedStep::Action::Effect;
        step.listIndex = ListIndexOfCode(step.code);
        step.note = EntryName(Language::English(), step.listIndex);
        step.note.erase(step.note.find_last_not_of(' ') + 1);
      } else {
        step.note = "no effect has code " + std::to_string(step.code);
      }
    } else if (!IsKnownOperation(step.code)) {
      step.action = PlannedStep::Action::UnknownOperation;
      step.listIndex = kUnknownOperationEntry;
      step.note = "unknown operation: selects entry " + std::to_string(kUnknownOperationEntry) + " only";
    } else {
      step.action = PlannedStep::Action::Operation;
      step.note = OperationLabel(step.code);
      if (step.code == kScriptResizeLeft || step.code == kScriptResizeRight) {
        const std::optional<int> w = step.values[0];
        const std::optional<int> h = step.values[1];
        if (!w || !h || *w <= 1 || *h <= 1) {
          step.action = PlannedStep::Action::Skipped;
          step.note = "resize needs a width and a height above 1";
        } else if (*w > kMaxWidth || *h > kMaxHeight) {
          throw ScriptError("row " + std::to_string(row) + ": " + std::to_string(*w) + " x " + std::to_string(*h) +
                            " is larger than the largest picture (" + std::to_string(kMaxWidth) + " x " +
                            std::to_string(kMaxHeight) + ")");
        } else {
          step.note += " to " + std::to_string(*w) + " x " + std::to_string(*h);
        }
      }
    }
    plan.push_back(std::move(step));
  }
  return plan;
}

void AutomaticContrastStep(Bitmap& picture) { ScriptAutomaticContrast(picture); }

ScriptRunner::ScriptRunner(Session& session, const Script& script, std::optional<Bitmap>& stored,
                           std::string sourceName)
    : session_(session), stored_(stored), sourceName_(std::move(sourceName)), plan_(PlanScript(script)),
      scriptSource_(session.Source()) {
  FinishingOptions& finishing = session_.Settings().MutableFinishing();
  hadFrame_ = finishing.addFrame;
  hadText_ = finishing.addText;
  hadTexture_ = finishing.texture;
  finishing.addFrame = false;
  finishing.addText = false;
  finishing.texture = false;
}

ScriptRunner::~ScriptRunner() {
  if (!ended_) End(false);
}

void ScriptRunner::Record(int panel) {
  if (panel == kSourcePanel) {
    session_.GetHistory().SaveToHistory(kSourcePanel, session_.Source(), sourceName_);
  } else {
    session_.GetHistory().SaveToHistory(kResultPanel, session_.Result(), sourceName_);
  }
}

void ScriptRunner::Resize(Bitmap& panel, int panelNumber, int width, int height) {
  panel = ResizePicture(panel, width, height);
  Record(panelNumber);
}

void ScriptRunner::RunOperation(const PlannedStep& step) {
  Bitmap& left = session_.SourcePanel();
  Bitmap& right = session_.ResultPanel();
  switch (step.code) {
    case kScriptResizeLeft: Resize(left, kSourcePanel, *step.values[0], *step.values[1]); break;
    case kScriptResizeRight: Resize(right, kResultPanel, *step.values[0], *step.values[1]); break;
    case kScriptAutoContrast:
      AutomaticContrastStep(left);
      Record(kSourcePanel);
      break;
    case kScriptRotateLeft:
    case kScriptRotateRight: {
      const int angle = step.code == kScriptRotateRight ? 90 : -90;
      // Both turned or neither: the right one is turned on a copy first.
      Bitmap turnedRight = right;
      RotateBitmap90(turnedRight, angle);
      RotateBitmap90(left, angle);
      right = std::move(turnedRight);
      Record(kSourcePanel);
      Record(kResultPanel);
      break;
    }
    case kScriptStoreLeft: stored_ = left; break;
    case kScriptStoreRight: stored_ = right; break;
    case kScriptRetrieveLeft:
      if (stored_) {
        left = *stored_;
        Record(kSourcePanel);
      }
      break;
    case kScriptRetrieveRight:
      if (stored_) {
        right = *stored_;
        Record(kResultPanel);
      }
      break;
    case kScriptSwap:
      std::swap(left, right);
      Record(kSourcePanel);
      Record(kResultPanel);
      break;
    case kScriptRestoreSource:
      left = scriptSource_;
      Record(kSourcePanel);
      break;
    case kScriptInvert:
      InvertColours(left);
      InvertColours(right);
      Record(kSourcePanel);
      Record(kResultPanel);
      break;
    default: break;
  }
}

ScriptRunner::Next ScriptRunner::Advance() {
  if (ended_) return Next::Finished;
  if (waiting_) throw ScriptError("the script is still waiting for its step's run");
  try {
    while (phase_ == Phase::Steps && next_ < plan_.size()) {
      const PlannedStep& step = plan_[next_++];
      currentRow_ = step.row;
      EffectSettings& settings = session_.Settings();
      switch (step.action) {
        case PlannedStep::Action::Skipped: break;
        case PlannedStep::Action::UnknownOperation: settings.SelectEntry(step.listIndex); break;
        case PlannedStep::Action::Operation: RunOperation(step); break;
        case PlannedStep::Action::Effect:
          settings.SelectEntry(step.listIndex);
          for (int slot = 0; slot < 5; ++slot)
            if (step.values[static_cast<std::size_t>(slot)]) settings.ChangeSlider(slot + 1, *step.values[static_cast<std::size_t>(slot)]);
          settings.FallBackFromMerge(session_.Source().Width() != session_.Result().Width());
          waiting_ = true;
          return Next::RunEffect;
      }
    }
    if (phase_ == Phase::Steps) {
      phase_ = Phase::Finishing;
      currentRow_ = 0;
      if (hadFrame_ || hadText_ || hadTexture_) {
        FinishingOptions& finishing = session_.Settings().MutableFinishing();
        finishing.addFrame = hadFrame_;
        finishing.addText = hadText_;
        finishing.texture = hadTexture_;
        // The final result goes to the left so the frame-only entry finishes it once.
        std::swap(session_.SourcePanel(), session_.ResultPanel());
        Record(kSourcePanel);
        Record(kResultPanel);
        session_.Settings().SelectEntry(kFrameOnlyEntry);
        waiting_ = true;
        return Next::RunEffect;
      }
    }
  } catch (...) {
    End(false);
    throw;
  }
  completed_ = true;
  End(true);
  return Next::Finished;
}

void ScriptRunner::EffectFinished(const JobOutcome& outcome) {
  waiting_ = false;
  if (ended_) return;
  if (!outcome.Completed()) {
    outcome_ = outcome;
    End(false);
  }
}

void ScriptRunner::Stop() {
  if (ended_) return;
  outcome_ = {JobOutcome::Kind::Stopped, {}};
  End(false);
}

void ScriptRunner::End(bool restoreSource) {
  ended_ = true;
  waiting_ = false;
  currentRow_ = 0;
  phase_ = Phase::Done;
  FinishingOptions& finishing = session_.Settings().MutableFinishing();
  finishing.addFrame = hadFrame_;
  finishing.addText = hadText_;
  finishing.texture = hadTexture_;
  if (restoreSource) {
    session_.SourcePanel() = scriptSource_;
    Record(kSourcePanel);
  }
}

JobOutcome RunScript(Session& session, const Script& script, std::optional<Bitmap>& stored,
                     const std::string& sourceName, ProgressSink* sink, std::atomic<bool>* stop) {
  ScriptRunner runner(session, script, stored, sourceName);
  while (true) {
    if (stop && stop->load()) {
      runner.Stop();
      break;
    }
    if (runner.Advance() == ScriptRunner::Next::Finished) break;
    RunJob job = session.PrepareJob();
    const JobOutcome outcome = job.Run(session.Rand(), sink, stop);
    session.Accept(job, outcome);
    runner.EffectFinished(outcome);
  }
  return runner.Outcome();
}

}  // namespace brumeleaf
