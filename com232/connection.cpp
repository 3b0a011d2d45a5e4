// The connection page and what its controls do.
#include "com232/connection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "app/dimming.h"
#include "app/help.h"
#include "app/panel_settings.h"
#include "app/program_state.h"
#include "com232/frame.h"
#include "com232/link.h"
#include "com232/port_map.h"
#include "com232/rs232.h"
#include "parameters/transfer.h"
#include "ui/ui.h"

char FirmwareVersion[72] = "";

namespace {

int ComPage() { return Panels.Page[PAGE_CONNECTION]; }

void Note(const char* text) { AppendTextBox(ComPage(), COM_STATUS, text); }

void ReadSettingsFromPage() {
  const int page = ComPage();
  GetCtrlVal(page, COM_PROTOCOL, &SensorLink.TransportKind);
  GetCtrlVal(page, COM_PORT, &SensorLink.ComPort);
  GetCtrlVal(page, COM_BAUDRATE, &SensorLink.BaudIndex);
  GetCtrlVal(page, COM_IP_ADRESS, SensorLink.HostAddress, sizeof SensorLink.HostAddress);
  GetCtrlVal(page, COM_PORT_NUMBER, SensorLink.TcpPortText, sizeof SensorLink.TcpPortText);
}

}  // namespace

void TryToConnect() {
  if (OpenTransportFromPage() == 1) IdentifySensor();
}

int OpenTransportFromPage() {
  CloseCom(SensorLink.ComPort);
  SetCtrlVal(Panels.Datap, DATAP_STATUS, "TRY TO CONNECT!");
  Note("TRY TO CONNECT!\n");
  ReadSettingsFromPage();
  ProcessSystemEvents();
  SetCtrlVal(Panels.Datap, DATAP_PORT, static_cast<int>(SensorLink.ComPort));
  SetCtrlVal(Panels.Datap, DATAP_SERVER, SensorLink.HostAddress);
  SensorLink.TcpPortNumber = TcpPortFromText(SensorLink.TcpPortText);
  const bool serial = SensorLink.TransportKind == 0;
  SetCtrlAttribute(Panels.Datap, DATAP_PORT, ATTR_VISIBLE, serial ? 1 : 0);
  SetCtrlAttribute(Panels.Datap, DATAP_SERVER, ATTR_VISIBLE, serial ? 0 : 1);
  if (serial) {
    OpenSerialPort();
  } else {
    ConnectTcpServer();
  }
  return SensorLink.LinkOpenStatus >= 0 ? 1 : -1;
}

void IdentifySensor() {
  if (SendIdentification() != 1) return;
  GetParameters();
  if (State.SensorConnected == 1) UndimConnectedButtons();
}

int SendIdentification() {
  BuildOrderFrame(frame::ORDER_IDENTIFY, 0, 0, 0);
  if (ExchangeOrder(8) != 1 || StatusAnswerReported()) return -1;
  // The text ends at its first zero byte, at the end of its data, or after 111 characters.
  const char* data = reinterpret_cast<const char*>(Frame.ReceiveBuffer + frame::HEADER_SIZE);
  std::size_t length = strnlen(data, Frame.ResponseLength);
  if (length > IDENTIFICATION_TEXT_LIMIT) length = IDENTIFICATION_TEXT_LIMIT;
  char text[IDENTIFICATION_TEXT_LIMIT + 1];
  std::memcpy(text, data, length);
  text[length] = '\0';
  SetCommMessage(text);
  const std::size_t kept = std::min(length, sizeof FirmwareVersion - 1);
  std::memcpy(FirmwareVersion, text, kept);
  FirmwareVersion[kept] = '\0';
  SetCtrlVal(Panels.Datap, DATAP_STATUS, text);
  Note(text);
  Note("\n\n");
  State.SensorConnected = 1;
  return 1;
}

int ChangeSensorBaudrate(bool readParameters) {
  GetCtrlVal(ComPage(), COM_BAUDRATE, &SensorLink.BaudIndex);
  Note("TRY TO CHANGE BAUDRATE!\n");
  BuildOrderFrame(frame::ORDER_CHANGE_BAUDRATE, 0, SensorLink.BaudIndex, 0);
  if (ExchangeOrder(8) != 1 || StatusAnswerReported()) return -1;
  Note("SUCCESS!\n");
  OpenSerialPort();
  State.SensorConnected = 1;
  if (readParameters) {
    TryToConnect();
  } else if (OpenTransportFromPage() == 1) {
    SendIdentification();
  }
  if (State.SensorConnected != 1) return -1;
  Note("ATTENTION!!!   CONFIRM NEW BAUDRATE WITH EEPROM AND SEND!\n\n");
  return 1;
}

void ShowTransportSelectors() {
  const int page = ComPage();
  GetCtrlVal(page, COM_PROTOCOL, &SensorLink.TransportKind);
  if (SensorLink.TransportKind > 1) return;
  const int serial = SensorLink.TransportKind == 0 ? 1 : 0;
  for (int id : {COM_PORT, COM_BAUDRATE, COM_CHANGE_BAUDRATE}) SetCtrlAttribute(page, id, ATTR_VISIBLE, serial);
  for (int id : {COM_IP_ADRESS, COM_PORT_NUMBER}) SetCtrlAttribute(page, id, ATTR_VISIBLE, 1 - serial);
}

void RememberServer(const char* server) {
  const int page = ComPage();
  if (!server || !*server) return;  // an emptied field is no server to remember
  int count = 0;
  GetNumListItems(page, COM_IP_ADRESS, &count);
  for (int i = 0; i < count; ++i) {
    std::string entry;
    GetValueFromIndex(page, COM_IP_ADRESS, i, &entry);
    if (entry == server) {
      DeleteListItem(page, COM_IP_ADRESS, i, 1);
      break;
    }
  }
  InsertListItem(page, COM_IP_ADRESS, 0, server, server);
  GetNumListItems(page, COM_IP_ADRESS, &count);
  if (count > RECENT_SERVER_LIMIT) DeleteListItem(page, COM_IP_ADRESS, RECENT_SERVER_LIMIT, -1);
}

void FillComPortSelector() {
  const int page = ComPage();
  ClearListCtrl(page, COM_PORT);
  for (const ComPortInfo& info : ListComPorts()) {
    InsertListItem(page, COM_PORT, -1, info.displayText.c_str(), static_cast<double>(info.port));
  }
}

void SelectComPort(int port) {
  const int page = ComPage();
  if (SetCtrlVal(page, COM_PORT, port) == 0) return;
  // A port saved earlier whose adapter is not plugged in stays selectable.
  std::string text = "COM" + std::to_string(port) + ": not present";
  int index = -1, count = 0;
  GetNumListItems(page, COM_PORT, &count);
  for (index = 0; index < count; ++index) {
    double value = 0;
    GetValueFromIndex(page, COM_PORT, index, &value);
    if (value > port) break;
  }
  InsertListItem(page, COM_PORT, index, text.c_str(), static_cast<double>(port));
  SetCtrlVal(page, COM_PORT, port);
}

// [SECTION] Callbacks of the connection page

int CBF_ButtonTryToConnect(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    TryToConnect();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonAccept(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    WritePanelSettings();
    SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_PARAMETER);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_ButtonChangeBaudrate(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetButtonsDimmed(0, 1);
    DimConnectedButtons();
    ChangeSensorBaudrate();
    SetButtonsDimmed(0, 0);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditCommunicationProtocol(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    ShowTransportSelectors();
    DimConnectedButtons();
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditSelectComPort(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) DimConnectedButtons();
  return HelpOnRightClick(panel, control, event);
}

int CBF_EditSelectBaudrate(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) SetCtrlAttribute(panel, COM_ACCEPT, ATTR_DIMMED, 1);
  return HelpOnRightClick(panel, control, event);
}

int CBF_StringIpAdress(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    SetCtrlAttribute(panel, COM_ACCEPT, ATTR_DIMMED, 1);
    char server[256];
    GetCtrlVal(panel, control, server, sizeof server);
    RememberServer(server);
  }
  return HelpOnRightClick(panel, control, event);
}

int CBF_StringPortNumber(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) SetCtrlAttribute(panel, COM_ACCEPT, ATTR_DIMMED, 1);
  return HelpOnRightClick(panel, control, event);
}

int CBF_DispStatus(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_RIGHT_DOUBLE_CLICK) ResetTextBox(panel, control, "");
  return 0;
}
