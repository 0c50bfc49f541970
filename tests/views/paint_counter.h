// PaintCounter: counts the paint events of the widgets it is installed on,
// for tests of what repaints and what does not.
#pragma once

#include <QEvent>
#include <QObject>

namespace dorvem::testing {

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
};

}  // namespace dorvem::testing
