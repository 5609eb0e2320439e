// The main window's frames and text windows.

#include <QPoint>

#include "app/FramesWindow.h"
#include "app/MainWindow.h"
#include "app/TextWindow.h"
#include "pipeline/Caption.h"

namespace brumeleaf {

void MainWindow::ShowFramesWindow() {
  if (!framesWindow_) framesWindow_ = std::make_unique<FramesWindow>(this);
  FinishingOptions& finishing = session_.Settings().MutableFinishing();
  finishing.frame = framesWindow_->Edit(finishing.frame, source_);
  settings_.frame = finishing.frame;
}

void MainWindow::ShowTextWindow() {
  if (flags_.Processing) return;
  if (!textWindow_) {
    textWindow_ = std::make_unique<TextWindow>(this);
    textWindow_->result = [this]() -> const Bitmap& { return result_; };
    // Anchored captions keep clear of a frame the result carries.
    textWindow_->frameOffsets = [this] {
      if (!session_.Settings().Finishing().addFrame) return std::pair<int, int>(0, 0);
      return std::pair<int, int>(std::max(0, (result_.Width() - source_.Width()) / 2),
                                 std::max(0, (result_.Height() - source_.Height()) / 2));
    };
    textWindow_->showPatch = [this](const CaptionPatch* patch) {
      scrollBox2_->SetOverlay(patch ? &patch->pixels : nullptr, patch ? QPoint(patch->x, patch->y) : QPoint());
    };
    textWindow_->stamp = [this](const CaptionOptions& caption) {
      if (flags_.Processing || result_.Empty()) return;
      const auto [fx, fy] = textWindow_->frameOffsets();
      try {
        const std::string notice = DrawCaption(result_, caption, fx, fy);
        if (!notice.empty() && ShowMessage) ShowMessage(QString::fromStdString(notice));
      } catch (const std::exception& error) {
        Fail(error);
        return;
      }
      scrollBox2_->SetPicture(&result_);
      SaveToHistory(kResultPanel);
    };
    textWindow_->store = [this](const CaptionOptions& caption) {
      session_.Settings().MutableFinishing().caption = caption;
      settings_.caption = caption;
    };
  }
  textWindow_->Open(session_.Settings().Finishing().caption);
}

}  // namespace brumeleaf
