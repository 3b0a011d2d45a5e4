// Dimming of the controls that would start a competing exchange with the sensor.
#pragma once

// goMode = 1 only when GO starts (the transfer controls stay usable); dimmed = 1 dims, 0 undims.
void SetButtonsDimmed(int goMode, int dimmed);
// Dims accept, change baud rate and write hardware file: they need a connected sensor.
void DimConnectedButtons();
// Undims the same three after a successful identification.
void UndimConnectedButtons();
