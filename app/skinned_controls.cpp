#include "app/skinned_controls.h"

#include <cstdlib>
#include <cstdio>

namespace vela {

const skin::Control &LayoutControl(skin::WindowId window, int id)
{
    const skin::Control *control = skin::findControl(window, id);
    if (!control) {
        std::fprintf(stderr, "layout has no control %d\n", id);
        std::abort();
    }
    return *control;
}

} // namespace vela
