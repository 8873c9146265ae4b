#pragma once

namespace quorvane::app {

// Makes the window's font families available: "Tahoma" and a stand-in for "MS Sans Serif".
// Safe to call more than once; only the first call does the work.
void registerWindowFonts();

} // namespace quorvane::app
