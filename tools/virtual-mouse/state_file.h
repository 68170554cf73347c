#pragma once
// The --state file of vela-virtual-mouse: slot images, active slot and versions in
// a small text form, one item per line.
#include "tools/virtual-mouse/virtual_mouse.h"

#include <string>

namespace vela::vmouse {

// False when the file is missing or not a state file; state is then
// untouched. Lines it does not understand are skipped, so a damaged file
// loses only what is damaged.
bool loadState(const std::string &path, PersistentState &state);
// Atomic: a temporary file in the same folder renamed over the old one.
bool saveState(const std::string &path, const PersistentState &state);

} // namespace vela::vmouse
