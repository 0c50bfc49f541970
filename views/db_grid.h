// TDBGrid: the headword grid. It is linked to a data source and shows one
// column of a field, with a title row and an indicator column.
//
// This class holds the grid's settings (column, title, fonts, colours,
// options) and draws its frame, title row and one empty data row: the
// picture of a grid whose dataset is closed. It does not read records yet.
//
// Owned by its parent widget; its data link is its own, the data source is
// not.
#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QString>
#include <string>

#include "dataset/host/data_source.h"

namespace dorvem {

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

class TDBGrid : public QFrame {
  Q_OBJECT

 public:
  explicit TDBGrid(QWidget* parent = nullptr);

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
  const TDataLink& DataLink() const { return link_; }

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

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  class Link : public TDataLink {};

  Link link_;
  TColumn column_;
  TDBGridOptions options_ = 0;
  bool readOnly_ = false;
  QColor color_;
  QColor fixedColor_;
  QColor fontColor_ = Qt::black;
};

}  // namespace dorvem
