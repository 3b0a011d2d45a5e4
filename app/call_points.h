// Steps whose subsystems are still being built; each function moves to its
// subsystem when that subsystem lands.
#pragma once

void ShowRecordFilePath();        // record file path on the recorder page
void ShowPanelIdOnRecorderPage(); // identification text on the recorder page
void ApplyModeRules();            // controls, titles and limits follow the modes
void UpdateLiveGraphs();          // strip charts and graphs follow the last frame
void ShowRawValues();             // raw values on the calibration page
int WriteParameterFile();         // SEND with FILE selected
int ReadParameterFile();          // GET with FILE selected
