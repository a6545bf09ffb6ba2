#pragma once

// Registers the compiled-in resources of the static resource library
// (style images, qt.conf). Call once before the first window is built.
void InitResources();
