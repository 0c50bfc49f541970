// Music shapes drawn with a painter: staff lines, a treble clef, note heads
// with stems, in units of the staff's line spacing.
#pragma once

#include <QPainter>
#include <QPointF>

namespace assetgen {

// Five staff lines from x0 to x1; `top` is the top line's y.
void DrawStaff(QPainter& p, qreal x0, qreal x1, qreal top, qreal space);

// A treble clef whose spiral centres on the G line at `gLine`.
void DrawTrebleClef(QPainter& p, QPointF gLine, qreal space);

// A filled note head at `centre` with a stem up (or down) of 3.5 spaces;
// returns the stem's free end.
QPointF DrawNote(QPainter& p, QPointF centre, qreal space, bool stemUp = true);

}  // namespace assetgen
