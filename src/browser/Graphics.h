#pragma once
// How the browsers' pictures reach the window. Chromium draws our pages in
// software; passing them on through OpenGL only loads a GL driver (with
// llvmpipe, 45 MB of LLVM in the program). So by default nothing here uses
// OpenGL. QT_QUICK_BACKEND or QSG_RHI_BACKEND set by the user choose otherwise.

// Call before the application object; later calls do nothing. Returns whether
// the windows draw through OpenGL (then the contexts must be shared).
bool ChooseBrowserGraphics();
