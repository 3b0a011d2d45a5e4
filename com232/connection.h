// The connection page: transport settings, connecting and identifying the
// sensor, the recent-server list and the baud-rate change.
#pragma once

constexpr int RECENT_SERVER_LIMIT = 10;
constexpr int IDENTIFICATION_TEXT_LIMIT = 111;  // characters of an identification text that are shown

extern char FirmwareVersion[72];  // identification text of the last successful identification

// Takes the settings from the page, opens the transport and identifies the sensor.
void TryToConnect();
// Order 7: shows the identification text and reads the parameter set.
void IdentifySensor();
// Order 190 at the old rate, then a reconnect at the new one.
void ChangeSensorBaudrate();
// Shows the selectors of the chosen transport and hides the others.
void ShowTransportSelectors();
// Moves `server` to the top of the recent-server list, at most ten entries.
void RememberServer(const char* server);
// Fills the serial port selector with the ports of this machine.
void FillComPortSelector();
// Selects `port` in the serial port selector, adding it when the machine has no such port now.
void SelectComPort(int port);
