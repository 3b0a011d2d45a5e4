// The top band of MAINP: product title, supplier lines and logo.
#pragma once

// File name of the logo bitmap in the program's directory.
constexpr const char* LOGO_FILE = "logo.png";

// Creates the four text lines, colours the band and shows the logo.
void DrawBranding();
