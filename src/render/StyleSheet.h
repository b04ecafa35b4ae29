#pragma once
#include "platform/LineSink.h"

#include <string>
#include <vector>

// The 30 rules of css/Main.css with the current display settings spliced in.
std::vector<std::string> MainCssLines();

// Rewrites AppFolder() + "css/Main.css". A failure to create or write the file throws.
void WriteMainCss();

// The preview's style block (rules 1-29 between STYLE tags) into a document being written.
void WritePreviewStyle(LineSink& document);
