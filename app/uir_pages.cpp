// Builders of the main tab control's pages.
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/uir.h"
#include "app/uir_build.h"
#include "ui/ui.h"

int BuildConnectionPage(int page) {
  Place(page, COM_PROTOCOL, CTRL_RING, "INTERFACE", 22, 10, 22, 120);
  InsertListItem(page, COM_PROTOCOL, -1, "RS232", 0.0);
  InsertListItem(page, COM_PROTOCOL, -1, "TCP/IP", 1.0);
  Place(page, COM_EDIT_ID, CTRL_STRING, "SENSOR ID", 22, 142, 22, 126);
  SetCtrlAttribute(page, COM_EDIT_ID, ATTR_MAX_ENTRY_LENGTH, 99);

  Place(page, COM_PORT, CTRL_RING, "COM-PORT", 64, 10, 22, 120);
  for (int port = 1; port <= 8; ++port) {
    InsertListItem(page, COM_PORT, -1, ("COM" + std::to_string(port)).c_str(), static_cast<double>(port));
  }
  Place(page, COM_BAUDRATE, CTRL_RING, "BAUDRATE", 64, 142, 22, 126);
  const char* const rates[] = {"9600", "19200", "38400", "57600", "115200"};
  for (int i = 0; i < 5; ++i) InsertListItem(page, COM_BAUDRATE, -1, rates[i], static_cast<double>(i));
  SetCtrlVal(page, COM_BAUDRATE, 4);

  Place(page, COM_IP_ADRESS, CTRL_STRING, "SERVER (NAME OR IP ADDRESS)", 64, 10, 22, 180);
  SetCtrlAttribute(page, COM_IP_ADRESS, ATTR_MAX_ENTRY_LENGTH, 255);
  Place(page, COM_PORT_NUMBER, CTRL_STRING, "PORT", 64, 198, 22, 70);
  SetCtrlAttribute(page, COM_PORT_NUMBER, ATTR_MAX_ENTRY_LENGTH, 31);
  SetCtrlVal(page, COM_PORT_NUMBER, "10001");

  Place(page, COM_TRY_CONNECT, CTRL_COMMAND_BUTTON, "TRY TO CONNECT", 100, 10, 24, 126);
  Place(page, COM_ACCEPT, CTRL_COMMAND_BUTTON, "ACCEPT", 100, 142, 24, 126);
  Place(page, COM_CHANGE_BAUDRATE, CTRL_COMMAND_BUTTON, "CHANGE BAUDRATE", 130, 10, 24, 126);
  Place(page, COM_GEN_HW_FILE, CTRL_COMMAND_BUTTON, "HARDWARE FILE", 130, 142, 24, 126);
  for (int id : {COM_ACCEPT, COM_CHANGE_BAUDRATE, COM_GEN_HW_FILE}) SetCtrlAttribute(page, id, ATTR_DIMMED, 1);

  Place(page, COM_STATUS, CTRL_TEXT_BOX, "MESSAGES", 180, 10, 200, 258);
  SetCtrlAttribute(page, COM_STATUS, ATTR_CTRL_MODE, VAL_INDICATOR);
  return 0;
}

int BuildCalibrationPage(int page) {
  Place(page, CAL_SEND_CF, CTRL_COMMAND_BUTTON, "SEND CF", 250, 10, 24, 126);
  Place(page, CAL_GET_CF, CTRL_COMMAND_BUTTON, "GET CF", 250, 142, 24, 126);
  Place(page, CAL_CALC_CF, CTRL_COMMAND_BUTTON, "CALCULATE CALIBRATION FACTORS", 284, 10, 24, 258);
  Place(page, CAL_SELF_CALIBRATION, CTRL_COMMAND_BUTTON, "START SELF CALIBRATION", 318, 10, 24, 258);
  Place(page, CAL_DECO_HIDDEN, CTRL_DECORATION, "", 356, 10, 24, 258, CBF_DecoCalibrate1);
  SetCtrlAttribute(page, CAL_DECO_HIDDEN, ATTR_FRAME_COLOR, 0xD0D0D0);
  return 0;
}
