// Steps of start-up and shutdown whose subsystems are still being built.
// Each function moves to its subsystem when that subsystem lands.
#pragma once

void InstallTableMenus();         // context menus of the tables
void ReadParametersFromPanel();   // parameter controls -> parameter set
void ShowRecordFilePath();        // record file path on the recorder page
void ShowPanelIdOnRecorderPage(); // identification text on the recorder page
void GetParameters();             // parameter set from the sensor or a file
