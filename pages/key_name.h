#pragma once
// Caption of a keyboard key, by Windows virtual-key code (0-255); empty for
// codes without one. A pure lookup, callable from any thread.
#include <QString>

QString KeyName(int vkCode);

// How many codes have a caption (for table checks).
int KeyNameCount();
