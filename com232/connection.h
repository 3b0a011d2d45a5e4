// The connection page: transport settings, connecting and identifying the
// sensor, the recent-server list and the baud-rate change.
#pragma once

constexpr int RECENT_SERVER_LIMIT = 10;
constexpr int IDENTIFICATION_TEXT_LIMIT = 111;  // characters of an identification text that are shown

extern char FirmwareVersion[72];  // identification text of the last successful identification

// Takes the settings from the page, opens the transport and identifies the sensor.
void TryToConnect();
// TryToConnect up to the open transport: the page's settings into SensorLink, the serial
// port or the TCP connection opened. 1 when it is open, -1 when not (reported).
int OpenTransportFromPage();
// Order 7: shows the identification text and reads the parameter set.
void IdentifySensor();
// Order 7 alone: the identification text shown and kept in FirmwareVersion, SensorConnected = 1.
// 1, or -1 (reported).
int SendIdentification();
// Order 190 at the old rate, then a reconnect at the new one. The window reads the parameter
// set after identifying, as every connection does; `readParameters` false identifies only (the
// command line). 1 when the sensor answered at the new rate.
int ChangeSensorBaudrate(bool readParameters = true);
// Shows the selectors of the chosen transport and hides the others.
void ShowTransportSelectors();
// Moves `server` to the top of the recent-server list, at most ten entries.
void RememberServer(const char* server);
// Fills the serial port selector with the ports of this machine.
void FillComPortSelector();
// Selects `port` in the serial port selector, adding it when the machine has no such port now.
void SelectComPort(int port);
