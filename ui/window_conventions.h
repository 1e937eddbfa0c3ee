#pragma once

#include <initializer_list>

class QWidget;

namespace tarnel {

// A borderless skinned window: no frame, caption or system menu of the window manager. A
// compositing window manager still draws its drop shadow where it gives frameless windows one.
// Call it before the window is first shown: changing window flags hides a visible window.
void MakeSkinnedWindow(QWidget* window);

// The user drags a borderless window by the top bandHeight pixels of its client area. Presses on
// controls that take the mouse (buttons) stay theirs; everything else in the band moves the
// window, through the window system where it can, else by following the pointer.
void DragByTopBand(QWidget* window, int bandHeight);

// Places a top-level window in the middle of the screen it is on (the primary screen before it is
// first shown), within the area panels leave free; a window larger than the screen keeps its top
// edge on it. Window managers that place windows themselves may still move it; without one
// (Xvfb, some kiosks) it would otherwise open at the corner.
void CentreOnScreen(QWidget* window);

// Whether a window can be shown at all: a display (X11 or Wayland) or a chosen Qt platform.
bool HasDisplay();

// The hand pointer over clickable pictures and labels.
void UseHandCursor(std::initializer_list<QWidget*> controls);

}  // namespace tarnel
