#pragma once
// Full-size window sheets, drawn from the shared layout tables.
#include "app/skin_layout.h"

#include <QImage>

namespace skingen {

// The sheet of `window` for look `state` (0-3): the window's own art with
// every control drawn in that look at the rectangle its images are cut from.
QImage renderSheet(const vela::skin::Window &window, int state);

// A page's separate background image (Color and Macro Settings): the art with
// the controls that are always shown, each in its normal look where it sits.
QImage renderBackground(const vela::skin::Window &window);

} // namespace skingen
