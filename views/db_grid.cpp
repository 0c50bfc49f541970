// The grid's settings, metrics and rows: how many rows it asks for, and what
// it reads from the record window on each notice.
#include <QEvent>
#include <QFontMetrics>
#include <QScrollBar>

#include "dataset/host/dataset.h"
#include "dataset/host/fields.h"
#include "dataset/host/handler_guard.h"
#include "dataset/locale/code_page.h"
#include "views/db_grid.h"

namespace dorvem {

namespace {

// The headword bytes are text in the dataset's code page (windows-1250 for
// the dictionary, as the cell font's character set declares).
QString DecodeHeadword(const std::string& bytes, std::uint32_t codePage) {
  const locale::CodePage& cp = locale::CodePage::Get(codePage);
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char b : bytes) text.append(QChar(cp.Decode(static_cast<unsigned char>(b))));
  return text;
}

}  // namespace

TDBGrid::TDBGrid(QWidget* parent) : QFrame(parent) {
  // A single border drawn as a sunken three-dimensional edge.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  // The border, the cells, the corner between the bars and the bars
  // themselves cover every pixel, so nothing beneath the grid need be
  // painted when it repaints.
  setAttribute(Qt::WA_OpaquePaintEvent);
  CreateScrollBars();
  LayoutScrollBars();
}

TDBGrid::~TDBGrid() = default;

void TDBGrid::SetDataSource(TDataSource* source) {
  link_.SetDataSource(source);
  RequestRows();
}

int TDBGrid::TitleRowHeight() const {
  return QFontMetrics(column_.titleFont).height() + 4;
}

int TDBGrid::DataRowHeight() const {
  return QFontMetrics(font()).height() + 4;
}

int TDBGrid::CellsWidth() const {
  // Indicator and column, each followed by its grid line.
  return IndicatorWidth() + 1 + column_.width + 1;
}

int TDBGrid::VisibleDataRows() const {
  const int rows = (cellsArea_.height() - TitleRowHeight()) / DataRowHeight();
  return rows < 1 ? 1 : rows;
}

QRect TDBGrid::CellRect(int row) const {
  const int left = cellsArea_.left() + IndicatorWidth() + 1 - xOffset_;
  if (row < 0) return QRect(left, cellsArea_.top(), column_.width, TitleRowHeight() - 1);
  return QRect(left, cellsArea_.top() + TitleRowHeight() + row * DataRowHeight(), column_.width,
               DataRowHeight() - 1);
}

QRect TDBGrid::IndicatorRect(int row) const {
  const QRect cell = CellRect(row);
  return QRect(cellsArea_.left(), cell.top(), IndicatorWidth(), cell.height());
}

void TDBGrid::LayoutChanged() {
  LayoutScrollBars();
  // Asking for rows may read records, which may fail; this runs outside
  // any dataset operation, so the error goes to the report.
  GuardHandler([this] { RequestRows(); });
  update();
}

void TDBGrid::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  LayoutChanged();
}

void TDBGrid::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::FontChange) LayoutChanged();
}

void TDBGrid::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  UpdateCells();  // the current row is highlighted only while focused
}

void TDBGrid::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  UpdateCells();
}

void TDBGrid::UpdateCells() {
  // Not the whole grid: its scroll bars repaint themselves when their
  // values change, and the border never changes.
  update(cellsArea_);
}

TDataSet* TDBGrid::OpenDataSet() const {
  return link_.Active() ? link_.DataSet() : nullptr;
}

void TDBGrid::RequestRows() {
  const int rows = VisibleDataRows();
  if (rows == link_.BufferCount()) return;
  // While the dataset is open this resizes its window at once, without a
  // notice; the grid then reads the new window itself.
  link_.SetBufferCount(rows);
  if (link_.Active()) LinkDataChanged();
}

void TDBGrid::LinkActiveChanged() {
  if (link_.Active()) {
    LayoutScrollBars();
    const int rows = VisibleDataRows();
    if (rows != link_.BufferCount()) link_.SetBufferCount(rows);
  }
  LinkDataChanged();
}

void TDBGrid::LinkDataChanged() {
  ReadRows();
  UpdateScrollBar();
  UpdateCells();
}

void TDBGrid::ReadRows() {
  rows_.clear();
  row_ = 0;
  TDataSet* ds = OpenDataSet();
  if (!ds) return;
  const int count = link_.RecordCount();
  TField* field = column_.fieldName.empty() ? nullptr : ds->FindField(column_.fieldName);
  for (int i = 0; i < count; ++i) {
    const TDataSet::ActiveSlotScope slot(*ds, link_.FirstRecord() + i);
    rows_.append(field ? DecodeHeadword(field->AsString(), ds->TextCodePage()) : QString());
  }
  if (count > 0) row_ = link_.ActiveRecord();
}

}  // namespace dorvem
