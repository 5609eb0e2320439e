#pragma once
// The undo history of the two panels. Every change of the source (panel 1) or the result
// (panel 2) is recorded with its text (the picture name of a source state, the effect name of
// a result state), and a log of panel numbers keeps the order in which they happened, so that
// undo and redo step through both panels together.
//
// The log has 512 slots; slot 0 is never used, `Count()` is the slot of the latest step that
// can be undone, a slot holding 0 has no step. From 510 steps on, each new recording first
// drops the oldest step.
//
// The history knows no window: the caller raises StopRequested before Undo and Redo (a preview
// must not be running while a panel is replaced), refuses them while Processing is raised,
// shows the restored picture and its text, and reads UndoEnabled/RedoEnabled for its commands.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "history/StoredPicture.h"
#include "imaging/Bitmap.h"
#include "imaging/RunContext.h"

namespace brumeleaf {

inline constexpr int kSourcePanel = 1;
inline constexpr int kResultPanel = 2;

struct RestoredState {
  int panel = 0;      // kSourcePanel or kResultPanel
  Bitmap picture;
  std::string name;   // source: the picture name; result: the effect name
};

class History {
 public:
  static constexpr int kLogSlots = 512;
  static constexpr int kCleanAt = 510;

  History() = default;

  // Start-up state: empty log, count 0, no states, undo and redo disabled.
  void Reset();

  // Records a panel picture with its text. Throws HistoryError (and changes nothing) when the
  // picture cannot be stored, or for a panel number other than 1 and 2.
  void SaveToHistory(int panel, const Bitmap& picture, const std::string& name);
  // Steps back; returns the panel state to show, or nothing when no state applies.
  std::optional<RestoredState> Undo();
  // Steps forward again after Undo.
  std::optional<RestoredState> Redo();
  // Drops the oldest step (SaveToHistory calls it when the log is full).
  void CleanHistory();

  bool UndoEnabled() const { return undoEnabled_; }
  bool RedoEnabled() const { return redoEnabled_; }
  int Count() const { return count_; }
  int LogSlot(int slot) const;
  // Index of the current state of a panel's stack, -1 when it has none.
  int Top(int panel) const;
  int StateCount(int panel) const;
  // The mean colour of the source, recomputed whenever a source state is recorded or restored.
  const SourceMean& Mean() const { return mean_; }
  // Bytes held by the recorded pictures.
  std::size_t MemoryBytes() const;

 private:
  struct State {
    StoredPicture picture;
    std::string name;
  };
  struct Stack {
    std::vector<State> states;
    int top = -1;
  };

  Stack& StackOf(int panel);
  const Stack& StackOf(int panel) const;
  RestoredState RestoreTop(int panel);

  std::array<int, kLogSlots> log_{};
  int count_ = 0;
  Stack source_;
  Stack result_;
  SourceMean mean_{};
  bool undoEnabled_ = false;
  bool redoEnabled_ = false;
};

// The text recorded with a result state: the effect name in the parameters window, or nothing
// when the source was replaced since the last run or the window does not exist yet.
std::string ResultStateName(bool sourceChanged, bool parametersWindowExists,
                            const std::string& entryText);

// Where the live preview's crop starts after undo or redo, in one direction: the middle of the
// source, 0 for a source of 200 pixels or less.
int PreviewCropOrigin(int sourceSize);

}  // namespace brumeleaf
