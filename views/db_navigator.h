// TDBNavigator: the record navigator, a row of buttons linked to a data
// source that move the dataset's current record.
//
// Ten buttons exist, in TNavigateBtn order; VisibleButtons chooses which are
// shown, and the shown ones share the navigator's width equally. Each has a
// hint. The navigator is never a tab stop. This class holds the buttons and
// their settings; the buttons stay disabled and do not move the dataset yet.
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

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Link : public TDataLink {};
  void LayoutButtons();

  Link link_;
  std::array<QToolButton*, kNavigateBtnCount> buttons_{};
  TNavButtonSet visible_ = (1u << kNavigateBtnCount) - 1;
  bool showHint_ = false;
};

}  // namespace dorvem
