// How big the client area must be for the window's outer size to come out
// as designed, once the window manager's frame is known.
#pragma once

#include <QMargins>
#include <QSize>

// The outer size less the frame, but never smaller than the area the
// controls need: under a very tall frame the window grows rather than cut a
// control off.
inline QSize ClientSizeForFrame(QSize outer, QMargins frame, QSize controls_extent) {
  return QSize(qMax(outer.width() - frame.left() - frame.right(), controls_extent.width()),
               qMax(outer.height() - frame.top() - frame.bottom(), controls_extent.height()));
}
