#include "app/skinned_controls.h"

#include "app/skin_catalogue.h"

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

QImage WholeSkinImage(int id)
{
    const SkinSource source = skinSource(id, 0);
    if ((source.kind == SkinKind::Copy || source.kind == SkinKind::Shared) && SkinImagePresent(id))
        return skinCatalogue().image(source.file);
    return SkinLookup(id, 0);
}

bool SkinImagePresent(int id)
{
    SkinCatalogue &skins = skinCatalogue();
    skins.load();
    const SkinSource source = skinSource(id, 0);
    return source.kind != SkinKind::Invalid && !skins.image(source.file).isNull();
}

} // namespace vela
