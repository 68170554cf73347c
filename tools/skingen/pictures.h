#pragma once
// The pictures of the skin set that are not window sheets.
#include <QImage>

namespace skingen {

// "Vela.png": the lighting preview's mouse, 270 x 369, opaque except the
// wheel slot inside (115, 93)-(145, 146) and the logo inside
// (116, 288)-(149, 317), through which the zone colours glow.
QImage lightingMouse();
// "Mouse_settings_vela.png": the buttons page's mouse with buttons 1-7
// numbered, transparent around it.
QImage buttonsMouse();
// "0.bmp" ... "100.bmp": the surface picture for a quality of `percent`.
QImage surfacePicture(int percent);
// "TQA2-1.bmp" ... "TQA2-3.bmp": frame `frame` (0-2) of the analysis animation.
QImage analysisFrame(int frame);

enum class Thumb { Normal, Disabled, Numbered };
// Slider thumbs, 15 x 21 with alpha; `number` 1-5 for the numbered ones.
QImage sliderThumb(Thumb kind, int number = 0);
// Scroll-bar images, 23 x 222: state 0 the track, 1 the pressed arrows and
// thumb ("Over"), 2 their normal look ("Down").
QImage scrollImage(int state);

QImage colourSlider();  // "Color_slider.png"
QImage colourPalette(); // "ColorPalete.png"
QImage colourPanel();   // "ColorPanel.bmp"

} // namespace skingen
