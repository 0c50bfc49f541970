#include "app/accessible_views.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include "app/main_window.h"
#include "media/media_player.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_navigator.h"

namespace dorvem {

namespace {

// One row of the grid, read live from the grid: it names the headword the
// row shows now. Invalid once the grid is gone or shows fewer rows.
class GridRowAccessible : public QAccessibleInterface {
 public:
  GridRowAccessible(TDBGrid* grid, int row) : grid_(grid), row_(row) {}

  bool isValid() const override { return grid_ && row_ < grid_->RowTexts().size(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && isValid() ? grid_->RowText(row_) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    const QRect cell = grid_->CellRect(row_);
    return {grid_->mapToGlobal(cell.topLeft()), cell.size()};
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    s.readOnly = true;
    s.selectable = true;
    s.focusable = true;
    s.invisible = !grid_->isVisible();
    if (row_ == grid_->Row()) {
      s.selected = true;
      s.focused = grid_->hasFocus();
    }
    return s;
  }

 private:
  QPointer<TDBGrid> grid_;
  int row_;
};

class GridAccessible : public QAccessibleWidget {
 public:
  explicit GridAccessible(TDBGrid* grid) : QAccessibleWidget(grid, QAccessible::List) {}
  ~GridAccessible() override {
    for (QAccessible::Id id : std::as_const(rows_)) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return static_cast<int>(Grid()->RowTexts().size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    auto found = rows_.constFind(index);
    if (found == rows_.constEnd())
      found = rows_.insert(
          index, QAccessible::registerAccessibleInterface(new GridRowAccessible(Grid(), index)));
    return QAccessible::accessibleInterface(*found);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    for (auto it = rows_.constBegin(); it != rows_.constEnd(); ++it)
      if (it.value() == id) return it.key() < childCount() ? it.key() : -1;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = 0; i < childCount(); ++i)
      if (QAccessibleInterface* row = child(i); row->rect().contains(x, y)) return row;
    return nullptr;
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }

 private:
  TDBGrid* Grid() const { return static_cast<TDBGrid*>(widget()); }

  mutable QHash<int, QAccessible::Id> rows_;
};

template <class View>
bool Is(const QString& key) {
  return key == QLatin1String(View::staticMetaObject.className());
}

QAccessibleInterface* ViewsFactory(const QString& key, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (Is<TDBGrid>(key)) return new GridAccessible(static_cast<TDBGrid*>(widget));
  if (Is<TDBNavigator>(key)) return new QAccessibleWidget(widget, QAccessible::ToolBar);
  if (Is<TDBImage>(key)) return new QAccessibleWidget(widget, QAccessible::Graphic);
  if (Is<TMediaPlayer>(key)) return new QAccessibleWidget(widget, QAccessible::Sound);
  if (Is<TfrmMain>(key)) return new QAccessibleWidget(widget, QAccessible::Window);
  return nullptr;
}

}  // namespace

void InstallAccessibleViews() {
  static const bool installed = (QAccessible::installFactory(ViewsFactory), true);
  (void)installed;
}

std::vector<TAccessibleNotice> GridCurrentRowNotices(const TDBGrid* grid) {
  if (!grid || grid->RowTexts().isEmpty()) return {};
  std::vector<TAccessibleNotice> notices = {{QAccessible::Selection, grid->Row()}};
  if (grid->hasFocus()) notices.push_back({QAccessible::Focus, grid->Row()});
  return notices;
}

void NotifyGridCurrentRow(TDBGrid* grid) {
  if (!QAccessible::isActive()) return;
  for (const TAccessibleNotice& notice : GridCurrentRowNotices(grid)) {
    QAccessibleEvent event(grid, notice.type);
    event.setChild(notice.child);
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace dorvem
