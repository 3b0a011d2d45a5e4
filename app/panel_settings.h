// The panel settings file "PanelSettings.cfg" (beside the program, or in the user's
// configuration folder, see app/locations.h): window, file paths, identification,
// recent servers, communication settings, row colours.
#pragma once

constexpr int PANEL_ID_LIMIT = 99;     // characters of the identification text
constexpr int PATH_LIMIT = 259;        // characters of a stored path
constexpr int HOST_LIMIT = 255;        // characters of the server field
constexpr int PORT_TEXT_LIMIT = 31;    // characters of the TCP port field

// Everything except the communication settings (start-up).
void ReadPanelSettings();
// The COMMUNICATION SETTINGS section into SensorLink and the connection page.
void ReadCommunicationSettings();
// The whole file anew; a failed write leaves the old file as it was and is reported
// on standard error with the path.
void WritePanelSettings();
// Shows PanelId wherever the program shows it.
void ShowPanelId();
