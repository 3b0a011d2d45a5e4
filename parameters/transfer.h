// Parameter transfer between the PC and the sensor's RAM, its EEPROM or a file.
#pragma once

constexpr int MEMORY_RAM = 1;
constexpr int MEMORY_EEPROM = 2;
constexpr int MEMORY_FILE = 3;

// PC to the selected memory (orders 1, 1 and 3 for EEPROM), or to a parameter file. 1 when every
// order was answered (or the file written), -1 otherwise (reported). A plausibility notice does
// not make it fail.
int SendParameters();
// The selected memory to the PC (orders 4 for EEPROM, 2 and 2), or a parameter file. 1 when the
// whole set came (or the file was read), -1 otherwise (reported, or refused by the operator).
int GetParameters();
// GetParameters' part that talks to the sensor: its set into ParameterSet (orders 4 for EEPROM,
// 2 and 2), the panel left as it is. 1, or -1 (reported).
int ReadParametersFromSensor();
