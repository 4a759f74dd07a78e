#pragma once
// The progress dialogs' animation: a sheet of paper travelling from one folder to another,
// drawn in the palette's colours, running once a clip is played.

#include <QTimer>
#include <QWidget>

namespace tessary::gui {

class AnimationWidget : public QWidget {
 public:
  explicit AnimationWidget(QWidget* parent = nullptr);

  void Play();
  void Stop();
  bool Playing() const { return timer_.isActive(); }
  // The frame now drawn, 0 to kFrames - 1.
  int Frame() const { return frame_; }
  static constexpr int kFrames = 48;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace tessary::gui
