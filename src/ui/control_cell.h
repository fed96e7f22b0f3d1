// ControlCell is the window of one setting control: a borderless container
// on the page that holds the control's label and inputs, places them inside
// itself, registers the hint as their tooltip, and turns keys and edits in
// its inputs into the control's actions and change reports.
//
// The common geometry, inside a cell of width W and height H: the label at
// left 0, top 4, 140 x (H - 4); the main input from left 148 to the right
// edge, full height. A control type derives from ControlCell when it has
// more pieces or another value form, overriding LayoutChildren(), SetText()
// and GetText(). The cell belongs to its SettingControl. Every input gets an
// objectName: the main input the control's uid, the others uid + "/" + a
// suffix, the label uid + "/label", the cell itself uid + "/cell".
#pragma once

#include <QWidget>
#include <string>
#include <string_view>

#include "ui/page_layout.h"

class QLabel;

namespace vossik {

class SettingControl;

constexpr int kLabelWidth = 140;
constexpr int kLabelTop = 4;
constexpr int kInputLeft = 148;
constexpr int kRowHeight = 22;
constexpr int kLineHeight = 16;

class ControlCell : public QWidget {
  Q_OBJECT

 public:
  /// Creates the cell on `parent` (the page) for `control`; the cell names
  /// itself after the control's uid. No label until CreateLabel().
  ControlCell(SettingControl& control, QWidget* parent);
  ~ControlCell() override;

  SettingControl& Control() const { return control_; }

  /// 22, or 16 per line when the control has `lines` of 2 or more.
  virtual int PreferredHeight() const;

  /// Moves the cell to `rect`, places the children, and returns the height
  /// the cell took (its rectangle's unless the type needs more).
  virtual int Place(const Rect& rect);

  /// Shows `text` in the main input without reporting a change.
  virtual void SetText(const std::string& text);
  /// The main input's text. False when the cell refuses to give a value
  /// (then nothing is saved).
  virtual bool GetText(std::string* text) const;

  /// The label (nullptr before CreateLabel()) and the main input.
  QLabel* Label() const { return label_; }
  QWidget* MainInput() const { return main_input_; }

  /// Adds the static label with `text` (the control's LabelText() when
  /// null), tooltip the hint.
  QLabel* CreateLabel(const std::string* text = nullptr);
  /// Makes `input` the main input: named after the uid, tooltip the hint,
  /// its keys watched. The cell takes it as a child.
  void SetMainInput(QWidget* input);
  /// Registers a further input or piece, named uid + "/" + `suffix`, with
  /// the hint as its tooltip and its keys watched.
  void AddInput(QWidget* input, std::string_view suffix);

  /// How many child windows the cell made (each stands for one child-window
  /// identifier on the page).
  int ChildWindowCount() const { return child_windows_; }

  /// Reports a change unless the control is loading.
  void ReportChange();

 protected:
  /// Places the children in a cell of `width` x `height`.
  virtual void LayoutChildren(int width, int height);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QWidget* input);

  SettingControl& control_;
  QLabel* label_ = nullptr;
  QWidget* main_input_ = nullptr;
  int child_windows_ = 0;
};

/// Text conversions between the store's single-byte texts and Qt.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

/// `text` with every "&" doubled, so that a label or caption shows it as
/// written instead of taking it for a mnemonic mark.
std::string EscapeMnemonics(std::string_view text);

}  // namespace vossik
