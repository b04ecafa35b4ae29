#pragma once
#include <cstdint>

// The current value (red in the low byte) of a system colour given by its
// index (the Windows COLOR_* numbering), as the desktop's palette reports it.
std::uint32_t SysColorToRgb(int index);
