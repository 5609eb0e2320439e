#include "history/History.h"

#include "history/SourceMean.h"

namespace brumeleaf {

namespace {
void CheckPanel(int panel) {
  if (panel != kSourcePanel && panel != kResultPanel)
    throw HistoryError("There is no panel " + std::to_string(panel));
}
}  // namespace

void History::Reset() { *this = History(); }

History::Stack& History::StackOf(int panel) {
  CheckPanel(panel);
  return panel == kSourcePanel ? source_ : result_;
}

const History::Stack& History::StackOf(int panel) const {
  CheckPanel(panel);
  return panel == kSourcePanel ? source_ : result_;
}

int History::LogSlot(int slot) const {
  return slot >= 0 && slot < kLogSlots ? log_[static_cast<std::size_t>(slot)] : 0;
}

int History::Top(int panel) const { return StackOf(panel).top; }

int History::StateCount(int panel) const {
  return static_cast<int>(StackOf(panel).states.size());
}

std::size_t History::MemoryBytes() const {
  std::size_t bytes = 0;
  for (const Stack* stack : {&source_, &result_})
    for (const State& state : stack->states) bytes += state.picture.CompressedBytes();
  return bytes;
}

void History::SaveToHistory(int panel, const Bitmap& picture, const std::string& name) {
  CheckPanel(panel);
  // Compress before anything moves, so that a failure leaves the history as it was.
  State state{StoredPicture(picture), name};

  if (count_ >= kCleanAt) CleanHistory();
  ++count_;
  log_[static_cast<std::size_t>(count_)] = panel;
  // A new change ends the steps that could be redone: their log slots and their states go.
  for (int slot = count_ + 1; slot < kLogSlots; ++slot) log_[static_cast<std::size_t>(slot)] = 0;
  redoEnabled_ = false;
  for (Stack* stack : {&source_, &result_})
    stack->states.resize(static_cast<std::size_t>(stack->top + 1));

  Stack& stack = StackOf(panel);
  stack.states.push_back(std::move(state));
  ++stack.top;
  if (panel == kSourcePanel) mean_ = ComputeSourceMean(picture, mean_);

  if (count_ > 2) undoEnabled_ = true;
}

RestoredState History::RestoreTop(int panel) {
  const Stack& stack = StackOf(panel);
  const State& state = stack.states[static_cast<std::size_t>(stack.top)];
  RestoredState restored{panel, state.picture.Restore(), state.name};
  if (panel == kSourcePanel) mean_ = ComputeSourceMean(restored.picture, mean_);
  return restored;
}

std::optional<RestoredState> History::Undo() {
  if (count_ < 0) return std::nullopt;
  const int panel = LogSlot(count_);
  std::optional<RestoredState> restored;
  bool stepped = false;
  if (panel == kSourcePanel || panel == kResultPanel) {
    Stack& stack = StackOf(panel);
    if (stack.top > 0) {
      --count_;
      --stack.top;
      stepped = true;
    }
    // At a stack's first state that state is shown again; the history goes no further back.
    if (stack.top >= 0) restored = RestoreTop(panel);
  }
  if (count_ <= 2 || !stepped) undoEnabled_ = false;
  // Redo is offered only when a step really lies above the count; otherwise Redo would walk
  // into an empty log slot and leave a hole that blocks every later undo.
  redoEnabled_ = LogSlot(count_ + 1) != 0;
  return restored;
}

std::optional<RestoredState> History::Redo() {
  const int panel = LogSlot(count_ + 1);
  if (panel != kSourcePanel && panel != kResultPanel) {
    redoEnabled_ = false;
    return std::nullopt;
  }
  Stack& stack = StackOf(panel);
  if (stack.top + 1 >= static_cast<int>(stack.states.size())) {
    redoEnabled_ = false;
    return std::nullopt;
  }
  ++count_;
  ++stack.top;
  RestoredState restored = RestoreTop(panel);
  if (count_ > 1) undoEnabled_ = true;
  if (LogSlot(count_ + 1) == 0) redoEnabled_ = false;
  return restored;
}

void History::CleanHistory() {
  if (count_ < 1) return;
  const int panel = log_[1];
  if (panel == kSourcePanel || panel == kResultPanel) {
    Stack& stack = StackOf(panel);
    if (!stack.states.empty()) {
      stack.states.erase(stack.states.begin());
      --stack.top;
    }
  }
  // Every later slot moves down, steps still to be redone included.
  for (int slot = 1; slot + 1 < kLogSlots; ++slot)
    log_[static_cast<std::size_t>(slot)] = log_[static_cast<std::size_t>(slot + 1)];
  log_[kLogSlots - 1] = 0;
  --count_;
}

std::string ResultStateName(bool sourceChanged, bool parametersWindowExists,
                            const std::string& entryText) {
  return sourceChanged || !parametersWindowExists ? std::string() : entryText;
}

int PreviewCropOrigin(int sourceSize) { return sourceSize <= 200 ? 0 : sourceSize / 2 - 100; }

}  // namespace brumeleaf
