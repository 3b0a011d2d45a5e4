// Steps of start-up and shutdown whose subsystems are still being built.
// Each function moves to its subsystem when that subsystem lands.
#pragma once

void ResetLinkFlags();            // TcpConnected = 0
void InstallTableMenus();         // context menus of the tables
void ReadParametersFromPanel();   // parameter controls -> parameter set
void ReadPanelSettings();         // settings file: window, paths, identification, servers, row colours
void ReadCommunicationSettings(); // settings file: the connection page's five settings
void WritePanelSettings();        // settings file written anew
void ShowTransportSelectors();    // selectors of the chosen transport
void TryToConnect();              // open the transport and identify the sensor
void CloseSensorLink();           // close the TCP connection and the serial port
