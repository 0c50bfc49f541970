// TDBGrid: the headword grid. It shows the dataset's record window as rows
// of one column, under a title row and beside an indicator column whose
// arrow marks the current record, and it moves the dataset's cursor on
// mouse presses, keys, the mouse wheel (one record per wheel step) and its
// vertical scroll bar.
//
// The grid asks its data link for as many rows as whole data rows fit below
// the title row; as the largest request, that number becomes the dataset's
// window size, and a change of the grid's height asks again. On every notice
// of the dataset the grid re-reads the texts of the shown records, the
// current row and the scroll bar's values; painting only draws what was
// read. It never edits: it is read-only and has no editor.
//
// The notice handlers run inside dataset operations and let their errors go
// back out through them; the handlers the toolkit calls (mouse, keys, wheel,
// scroll bar, resizing) report theirs through the application-wide error
// report (handler_guard.h).
//
// The parts live in db_grid.cpp (settings, metrics, rows), db_grid_paint.cpp,
// db_grid_input.cpp (mouse, keys, wheel) and db_grid_scroll.cpp (scroll
// bars). Owned by its parent widget; the grid owns its data link and its
// scroll bars, not the data source.
#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QString>
#include <QStringList>
#include <string>

#include "dataset/host/data_source.h"

class QScrollBar;

namespace dorvem {

class TDataSet;

// Grid options; a set of them is a bit mask of (1 << option).
enum TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect,
};
using TDBGridOptions = unsigned;
constexpr TDBGridOptions GridOption(TDBGridOption o) {
  return 1u << o;
}

// The grid's one column.
struct TColumn {
  std::string fieldName;
  int width = 64;
  Qt::Alignment alignment = Qt::AlignLeft;
  QString titleCaption;
  Qt::Alignment titleAlignment = Qt::AlignLeft;
  QColor titleColor;  // background of the title cell
  QFont titleFont;
  QColor titleFontColor;
};

// A scroll bar's values as the grid sets them: positions min .. max - page
// + 1 can be reached, the thumb stands for `page` of them.
struct TScrollInfo {
  int min = 0;
  int max = 0;
  int page = 0;
  int pos = 0;
  bool operator==(const TScrollInfo&) const = default;
};

class TDBGrid : public QFrame {
  Q_OBJECT

 public:
  explicit TDBGrid(QWidget* parent = nullptr);
  ~TDBGrid() override;

  TDataSource* DataSource() const { return link_.DataSource(); }
  // Links the grid to `source` and asks it for the grid's rows.
  void SetDataSource(TDataSource* source);
  const TDataLink& DataLink() const { return link_; }

  // The column's settings; after changing its width or the title font while
  // the grid is shown, call LayoutChanged.
  TColumn& Column() { return column_; }
  const TColumn& Column() const { return column_; }
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions options) { options_ = options; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  // Background of the data cells.
  QColor Color() const { return color_; }
  void SetColor(const QColor& c) { color_ = c; }
  // Background of the indicator column.
  QColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(const QColor& c) { fixedColor_ = c; }
  int IndicatorWidth() const { return 11; }
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& c) { fontColor_ = c; }

  // Height of the title row and of a data row, grid line included: the
  // height of "Wg" in the title font or the grid's font, plus 4 pixels.
  int TitleRowHeight() const;
  int DataRowHeight() const;
  // The number of whole data rows that fit below the title row (at least
  // 1): the rows the grid asks its data link for.
  int VisibleDataRows() const;
  // Lays out the scroll bars again and asks for the rows that now fit.
  void LayoutChanged();

  // --- What the grid shows, as read at the last notice ---------------------
  // Data rows drawn: one per record in the window, and one blank row when
  // the dataset is closed or empty.
  int RowCount() const { return rows_.isEmpty() ? 1 : static_cast<int>(rows_.size()); }
  // The current record's row (0 = the top data row).
  int Row() const { return row_; }
  // The text of data row `row` (empty for the blank row).
  QString RowText(int row) const { return row < rows_.size() ? rows_[row] : QString(); }
  QStringList RowTexts() const { return rows_; }
  // True when the indicator shows the arrow: whenever the dataset is open.
  bool ShowsIndicatorArrow() const { return link_.Active(); }
  // The cells' area within the grid, between the border and the scroll bars.
  QRect CellsArea() const { return cellsArea_; }
  // The rectangle of data row `row`'s data cell (row -1: the title cell), in
  // grid coordinates; the grid line below and right of it is not included.
  QRect CellRect(int row) const;
  QRect IndicatorRect(int row) const;
  // The vertical scroll bar's values: 1 .. visible records + N - 1, page N,
  // position the current sequence number (all 0 while closed). The bar is
  // shown only while its range does not fit within one page, that is while
  // more than one record is visible.
  const TScrollInfo& VertScrollInfo() const { return vertInfo_; }
  QScrollBar* VerticalScrollBar() const;
  QScrollBar* HorizontalScrollBar() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  class ScrollBar;

  class Link : public TDataLink {
   public:
    explicit Link(TDBGrid& grid) : grid_(grid) {}

   protected:
    void ActiveChanged() override { grid_.LinkActiveChanged(); }
    void DataSetChanged() override { grid_.LinkDataChanged(); }
    void DataSetScrolled(int distance) override {
      (void)distance;
      grid_.LinkDataChanged();
    }

   private:
    TDBGrid& grid_;
  };

  // Notices, called by the data link inside dataset operations.
  void LinkActiveChanged();
  void LinkDataChanged();
  // Re-reads the shown records' texts and the current row.
  void ReadRows();
  // Asks the link for VisibleDataRows() rows; re-reads when the window
  // changed under the grid.
  void RequestRows();
  // The open dataset, or null while the link is inactive.
  TDataSet* OpenDataSet() const;
  // Schedules a repaint of the cells' area.
  void UpdateCells();
  int CellsWidth() const;

  // Input (db_grid_input.cpp). KeyDown returns whether the key is the
  // grid's own (moving or refused editing key).
  bool KeyDown(int key, Qt::KeyboardModifiers shift);
  void MouseDownAt(QPoint pos);
  void WheelSteps(int steps);

  // Scroll bars (db_grid_scroll.cpp).
  void CreateScrollBars();
  void LayoutScrollBars();
  void UpdateScrollBar();
  void ApplyScrollInfo();
  void VertScrollAction(int action);
  void ThumbReleasedAt(int position);

  Link link_{*this};
  TColumn column_;
  TDBGridOptions options_ = 0;
  bool readOnly_ = false;
  QColor color_;
  QColor fixedColor_;
  QColor fontColor_ = Qt::black;

  QStringList rows_;
  int row_ = 0;
  QRect cellsArea_;
  int xOffset_ = 0;  // horizontal scroll of the data column, in pixels
  int wheelRemainder_ = 0;
  TScrollInfo vertInfo_;
  bool applyingScrollInfo_ = false;
  bool vbarShown_ = true;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
};

}  // namespace dorvem
