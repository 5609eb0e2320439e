#pragma once
// The status bar below the panels. Idle, it shows the title line (Label1), the last effect
// (Label4) and the stop marker with its percentage; during a run, the progress bar and its
// percentage (Label3). The marker is dragged along the panel to stop a run at a percentage.

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace brumeleaf {

class StopMarker;

class StatusPanel : public QWidget {
 public:
  explicit StatusPanel(QWidget* parent);

  static constexpr int kHeight = 30;
  // The status panel's left edge in the window, which bounds the marker on the left.
  static constexpr int kPanelLeft = 4;

  // Idle <-> running display.
  void ShowRunning(bool running);
  bool Running() const { return running_; }
  void SetPosition(int percent);
  int Position() const;
  QString PercentText() const;

  void SetTitle(const QString& text);     // Label1
  void SetStatus(const QString& text);    // Label4
  QString Title() const;
  QString Status() const;

  int StopPercent() const { return stopPercent_; }
  // Places the marker for a stop percentage (100 = never stop).
  void SetStopPercent(int percent);
  void SetMarkerShown(bool shown);
  bool MarkerShown() const;
  int MarkerLeft() const;

  // Called by the marker while it is dragged (x in panel coordinates).
  void DragMarkerTo(int x);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void PlaceLabels();
  void PlaceMarker(int left);

  QProgressBar* progressBar1_;
  QLabel* label1_;
  QLabel* label3_;
  QLabel* label4_;
  StopMarker* stopCursor_;
  QLabel* stopPercentEdit_;
  int stopPercent_ = 100;
  bool running_ = false;
  bool markerShown_ = true;
};

}  // namespace brumeleaf
