#pragma once

// The cue that marks the control the pointer last crossed. The frame lies inside the
// control's bounds, so a control that shows it gives up this many pixels of its content area
// on every side.

class QWidget;

namespace quorvane {

inline constexpr int HoverFrameWidth = 2;

// Paints the frame over the outermost pixels of the widget, from its paint event or right
// after it: a lowered outer edge and a raised inner one, one pixel each, in flat colours
// taken from the widget's palette.
void paintHoverFrame(QWidget& widget);

} // namespace quorvane
