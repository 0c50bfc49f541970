// TDBNavigator: the record navigator, a row of buttons linked to a data
// source that move the dataset's current record.
//
// Ten buttons exist, in TNavigateBtn order; VisibleButtons chooses which are
// shown, and the shown ones share the navigator's width equally. Each has a
// glyph with an enabled and a disabled image and a hint. The navigator is
// never a tab stop and its buttons never take the focus: it is used with the
// mouse. A button acts when the mouse button is released over it; Prior and
// Next also act while held down (400 ms after the press, then every 100 ms).
// Acting is one move of the open dataset (First, Prior, Next, Last); the
// editing buttons do nothing, since no control may edit the data. On every
// notice of the dataset the buttons are enabled anew: all disabled while it
// is closed, First and Prior while it is not at its beginning, Next and Last
// while it is not at its end.
//
// A failing move goes to the application-wide error report and ends an
// auto-repeat. The notice handlers run inside dataset operations.
//
// Owned by its parent widget; it owns its buttons and its data link, not the
// data source.
#pragma once

#include <QWidget>
#include <array>

#include "dataset/host/data_source.h"

class QToolButton;

namespace dorvem {

enum TNavigateBtn {
  nbFirst,
  nbPrior,
  nbNext,
  nbLast,
  nbInsert,
  nbDelete,
  nbEdit,
  nbPost,
  nbCancel,
  nbRefresh,
};
inline constexpr int kNavigateBtnCount = 10;
// A set of buttons is a bit mask of (1 << button).
using TNavButtonSet = unsigned;
constexpr TNavButtonSet NavButton(TNavigateBtn b) {
  return 1u << b;
}

class TDBNavigator : public QWidget {
  Q_OBJECT

 public:
  // Auto-repeat of Prior and Next: the first repeat after the press, then
  // the interval between repeats, in milliseconds.
  static constexpr int kInitRepeatPause = 400;
  static constexpr int kRepeatPause = 100;

  explicit TDBNavigator(QWidget* parent = nullptr);

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }

  TNavButtonSet VisibleButtons() const { return visible_; }
  // Shows exactly these buttons and lays them out again.
  void SetVisibleButtons(TNavButtonSet buttons);
  bool ShowHint() const { return showHint_; }
  // Turns the buttons' hints (tool tips) on or off.
  void SetShowHint(bool value);

  QToolButton* Button(TNavigateBtn b) const { return buttons_[b]; }
  // The hint of a button ("First record", ...).
  static QString Hint(TNavigateBtn b);

  // Acts as a click on `b` does: one move of the dataset when it is open.
  // Raises what the move raises.
  void BtnClick(TNavigateBtn b);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Link : public TDataLink {
   public:
    explicit Link(TDBNavigator& navigator) : navigator_(navigator) {}

   protected:
    void ActiveChanged() override { navigator_.UpdateButtons(); }
    void StateChanged() override { navigator_.UpdateButtons(); }
    void DataSetChanged() override { navigator_.UpdateButtons(); }
    void DataSetScrolled(int distance) override {
      (void)distance;
      navigator_.UpdateButtons();
    }

   private:
    TDBNavigator& navigator_;
  };

  void LayoutButtons();
  // Enables the buttons from the dataset's state and end flags.
  void UpdateButtons();
  // The toolkit's click on `b`, guarded.
  void ButtonClicked(TNavigateBtn b);

  Link link_{*this};
  std::array<QToolButton*, kNavigateBtnCount> buttons_{};
  TNavButtonSet visible_ = (1u << kNavigateBtnCount) - 1;
  bool showHint_ = false;
};

}  // namespace dorvem
