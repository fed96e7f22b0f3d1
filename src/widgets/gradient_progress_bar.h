// GradientProgressBar is a progress bar painted as a band of colour steps
// running from a start colour to an end colour, optionally with the
// percentage written over it. The drawing rule is in gradientSteps() and
// percentageText(), which need no window.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

namespace vossik {

/// One rectangle of the gradient, full bar height, from `left` up to but
/// not including `right`.
struct GradientStep {
  int left = 0;
  int right = 0;
  QColor colour;
};

/// How many colour steps the gradient has: the largest difference between
/// the two colours in red, green or blue, and at least 1.
int GradientStepCount(const QColor& start, const QColor& end);

/// The steps painted for `position` on a bar `width` pixels wide, left to
/// right. Drawing stops after the first step whose right edge passes the
/// filled width (position / maximum of the width), so at position 0 one
/// step is still drawn; the bar right of the last step is background.
/// Empty when the position lies outside [minimum, maximum].
std::vector<GradientStep> GradientSteps(const QColor& start, const QColor& end, int width,
                                        int position, int minimum, int maximum);

/// The text over the bar: the position as a whole percentage of the
/// maximum, such as "37%"; "0%" for a maximum of 0.
QString PercentageText(int position, int maximum);

class GradientProgressBar : public QWidget {
  Q_OBJECT

 public:
  /// Range 0 to 100, position 0, step 10, red to blue on the button face
  /// colour, white text, no percentage.
  explicit GradientProgressBar(QWidget* parent = nullptr);

  void SetRange(int minimum, int maximum);
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }

  void SetPosition(int position);
  int Position() const { return position_; }

  void SetStep(int step) { step_ = step; }
  int step() const { return step_; }
  /// Advances the position by the step; past the maximum it starts again
  /// from the minimum.
  void StepIt();

  void SetGradientColours(const QColor& start, const QColor& end);
  QColor StartColour() const { return start_colour_; }
  QColor EndColour() const { return end_colour_; }

  void SetBackgroundColour(const QColor& colour);
  QColor BackgroundColour() const { return background_colour_; }

  void SetTextColour(const QColor& colour);
  QColor TextColour() const { return text_colour_; }

  void SetShowPercentage(bool on);
  bool ShowPercentage() const { return show_percentage_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
  int step_ = 10;
  QColor start_colour_{255, 0, 0};
  QColor end_colour_{0, 0, 255};
  QColor background_colour_;
  QColor text_colour_{255, 255, 255};
  bool show_percentage_ = false;
};

}  // namespace vossik
