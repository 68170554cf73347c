#pragma once
// Placing and skinning a window's controls from its layout table. UI thread.
#include "app/skin_layout.h"

#include <QWidget>

namespace vela {

// Moves the control to its layout rectangle and gives it the normal, hover
// and pressed looks cut from the window's sheets.
template <typename Button>
void SkinButton(Button &button, const skin::Control &control)
{
    button.setGeometry(control.rect);
    button.SetImages(skin::controlImage(control, 0), skin::controlImage(control, 1),
                     skin::controlImage(control, 2));
}

// The layout entry of control `id` of `window`; the program's own tables hold
// every id it asks for, so a missing one is a programming error (asserted).
const skin::Control &LayoutControl(skin::WindowId window, int id);

// The whole image of a background skin id without the copy a lookup makes
// (the catalogue's own, implicitly shared; SetBackground copies it once). Ids
// that are not whole images, and missing images, go through SkinLookup, which
// reports the failure.
QImage WholeSkinImage(int id);
// False when the skin id's image is missing (nothing is reported).
bool SkinImagePresent(int id);

// Creates a control of type T with its id, placed and skinned from the layout.
template <typename T>
T *MakeSkinnedButton(QWidget *parent, skin::WindowId window, int id)
{
    auto *button = new T(parent, id);
    SkinButton(*button, LayoutControl(window, id));
    return button;
}

} // namespace vela
