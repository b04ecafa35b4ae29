#pragma once
#include <functional>

// The system's default beep.
void Beep();

// Tests count beeps; an empty handler restores the real one. Returns the previous handler.
std::function<void()> SetBeepHandler(std::function<void()> handler);
