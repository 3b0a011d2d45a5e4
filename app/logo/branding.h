// The top band of MAINP: product title, supplier lines and logo.
#pragma once

// File name of the logo bitmap among the program's data files (ProgramDataFile).
constexpr const char* LOGO_FILE = "logo.png";

// Creates the four text lines, colours the band and shows the logo.
void DrawBranding();
