// Reading and writing "PanelSettings.cfg".
#include "app/panel_settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Chromik4ANAv12.h"
#include "recorder/recorder.h"
#include "app/help.h"
#include "app/locations.h"
#include "app/program_state.h"
#include "com232/connection.h"
#include "com232/link.h"
#include "parameters/ini.h"
#include "teach/row_colors.h"
#include "ui/ui.h"

namespace {

constexpr const char* kGeneral = "GENERAL INFO";
constexpr const char* kPosition = "PANEL POSITION";
constexpr const char* kDirectories = "DIRECTORIES";
constexpr const char* kAddresses = "IP ADDRESSES";
constexpr const char* kCommunication = "COMMUNICATION SETTINGS";
constexpr const char* kFileType = "Panel Settings";
constexpr const char* kVersion = "CHROMIK4-ANA-Scope V1.2";

std::string Cut(std::string text, std::size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

// The file as a document when it is a panel settings file; false otherwise (missing, foreign).
bool ReadOwnFile(IniDocument* doc) {
  if (!FileExists(State.PanelSettingsPath, nullptr)) return false;
  IniReadFile(State.PanelSettingsPath, doc);
  std::string type;
  return IniGetString(*doc, kGeneral, "FILE TYPE:", &type) && type == kFileType;
}

long IntOr(const IniDocument& doc, const char* section, const char* key, long fallback) {
  long value = fallback;
  return IniGetInt(doc, section, key, &value) ? value : fallback;
}

// An integer setting from the values its selector offers, else `fallback`.
long ChoiceOr(const IniDocument& doc, const char* section, const char* key, long lowest, long highest, long fallback) {
  const long value = IntOr(doc, section, key, fallback);
  return value >= lowest && value <= highest ? value : fallback;
}

// A text ends at its first zero byte, as the controls and file names take it.
std::string StringOr(const IniDocument& doc, const char* section, const char* key, const std::string& fallback,
                     std::size_t limit) {
  std::string value;
  if (!IniGetString(doc, section, key, &value)) return fallback;
  value.resize(std::min(value.find('\0'), value.size()));
  return Cut(value, limit);
}

// Position and size from the file, kept where a person can still reach the window.
void PlaceMainWindow(const IniDocument& doc, long zoom) {
  const int m = Panels.Mainp;
  if (zoom == VAL_MAXIMIZE) {
    SetPanelAttribute(m, ATTR_WINDOW_ZOOM, VAL_MAXIMIZE);
    return;
  }
  int screenHeight = 0, screenWidth = 0;
  GetScreenSize(&screenHeight, &screenWidth);
  long width = std::clamp(IntOr(doc, kPosition, "MAINPANEL WIDTH", 790), 200L, 16384L);
  long height = std::clamp(IntOr(doc, kPosition, "MAINPANEL HEIGHT", 548), 150L, 16384L);
  long left = std::clamp(IntOr(doc, kPosition, "MAINPANEL LEFT", 10), -width + 100, std::max(screenWidth - 100L, 0L));
  long top = std::clamp(IntOr(doc, kPosition, "MAINPANEL TOP", 40), 0L, std::max(screenHeight - 50L, 0L));
  SetPanelAttribute(m, ATTR_WINDOW_ZOOM, VAL_NO_ZOOM);
  SetPanelSize(m, static_cast<int>(height), static_cast<int>(width));
  SetPanelPos(m, static_cast<int>(top), static_cast<int>(left));
}

void ReadRecentServers(const IniDocument& doc) {
  long items = 0;
  if (!IniGetInt(doc, kAddresses, "LIST ITEMS", &items)) return;
  items = std::clamp(items, 0L, static_cast<long>(RECENT_SERVER_LIMIT));
  const int com = Panels.Page[PAGE_CONNECTION];
  for (long i = 1; i <= items; ++i) {
    std::string server;
    std::string key = "IP ADDR " + std::to_string(i);
    if (!IniGetString(doc, kAddresses, key, &server) || server.empty()) continue;
    server = Cut(server, HOST_LIMIT);
    InsertListItem(com, COM_IP_ADRESS, -1, server.c_str(), server.c_str());
  }
}

// Step 10: the tables take the row colours; teach rows 4 to 31 start light grey.
void ColourTables() {
  PaintRowsFromRowColors();
  const int teach = Panels.Page[PAGE_TEACH];
  for (int row = 4; row <= TEACH_ROWS; ++row) {
    for (int col = 1; col <= 5; ++col) SetTableCellAttribute(teach, TEACH_TABLE, {row, col}, ATTR_TEXT_BGCOLOR, 0xE0E0E0);
  }
}

}  // namespace

void ShowPanelId() {
  SetCtrlVal(Panels.Page[PAGE_CONNECTION], COM_EDIT_ID, State.PanelId.c_str());
  SetCtrlVal(Panels.Colbigp, COLBIGP_ID, State.PanelId.c_str());
  SetCtrlVal(Panels.Grpbigp, GRPBIGP_ID, State.PanelId.c_str());
  ShowPanelIdOnRecorderPage();
}

void ReadPanelSettings() {
  const FilePlaces places = CurrentFilePlaces();
  const std::string& dir = places.project;
  const std::string record = places.records + "/RecordFile.dat";
  State.ParameterFilePath = dir + "/Parameter.ini";
  State.RecordFilePath = record;
  State.HardwareFilePath = dir + "/HardwareInitialFile.ini";
  State.TableAttributesPath = dir + "/TableAttributes.ini";
  std::copy(DefaultRowColors, DefaultRowColors + TEACH_ROWS, RowColors);
  State.PanelId.clear();

  IniDocument doc;
  if (ReadOwnFile(&doc)) {
    State.PanelId = StringOr(doc, kGeneral, "PANEL ID:", "", PANEL_ID_LIMIT);
    long zoom = 0;
    if (IniFindSection(doc, kPosition) && IniGetInt(doc, kPosition, "MAINPANEL FULLSCREEN", &zoom)) {
      PlaceMainWindow(doc, zoom);
    } else if (std::string any; IniGetString(doc, kPosition, "MAINPANEL FULLSCREEN", &any)) {
      PlaceMainWindow(doc, -1);  // present but not a number: any other value
    }
    // A missing key gives the directory alone, except for the record file.
    State.ParameterFilePath = StringOr(doc, kDirectories, "PARAMETER FILE", dir, PATH_LIMIT);
    State.RecordFilePath = StringOr(doc, kDirectories, "RECORDER FILE", record, PATH_LIMIT);
    State.HardwareFilePath = StringOr(doc, kDirectories, "HARDWARE INI FILE", dir, PATH_LIMIT);
    State.TableAttributesPath = StringOr(doc, kDirectories, "TABLE ATTRIBUTES FILE", dir, PATH_LIMIT);
    ReadRecentServers(doc);
    ReadTableAttributeSections(doc, false);
  }
  ShowRecordFilePath();
  ShowPanelId();
  ColourTables();
}

void ReadCommunicationSettings() {
  SensorLink.TransportKind = 0;
  SensorLink.ComPort = 1;
  SensorLink.BaudIndex = 4;
  std::string host;
  std::string port = "10001";
  IniDocument doc;
  if (ReadOwnFile(&doc)) {
    // Beyond these ranges a value is no setting; cut to 16 bits it would be another one.
    SensorLink.TransportKind = static_cast<std::uint16_t>(ChoiceOr(doc, kCommunication, "COMPROTOCOL", 0, 1, 0));
    SensorLink.ComPort = static_cast<std::uint16_t>(ChoiceOr(doc, kCommunication, "COMPORT", 0, 0xFFFF, 1));
    SensorLink.BaudIndex = static_cast<std::uint16_t>(ChoiceOr(doc, kCommunication, "BAUDRATE", 0, 4, 4));
    host = StringOr(doc, kCommunication, "IP ADRESS", "", HOST_LIMIT);
    port = StringOr(doc, kCommunication, "PORT NUMBER", "10001", PORT_TEXT_LIMIT);
  }
  std::snprintf(SensorLink.HostAddress, sizeof SensorLink.HostAddress, "%s", host.c_str());
  std::snprintf(SensorLink.TcpPortText, sizeof SensorLink.TcpPortText, "%s", port.c_str());
  const int com = Panels.Page[PAGE_CONNECTION];
  SetCtrlVal(com, COM_PROTOCOL, static_cast<int>(SensorLink.TransportKind));
  FillComPortSelector();
  SelectComPort(SensorLink.ComPort);
  SetCtrlVal(com, COM_BAUDRATE, static_cast<int>(SensorLink.BaudIndex));
  SetCtrlVal(com, COM_IP_ADRESS, SensorLink.HostAddress);
  SetCtrlVal(com, COM_PORT_NUMBER, SensorLink.TcpPortText);
}

void WritePanelSettings() {
  IniDocument doc;
  const int m = Panels.Mainp;
  const int com = Panels.Page[PAGE_CONNECTION];
  std::string id;
  GetCtrlVal(com, COM_EDIT_ID, &id);
  IniPutString(&doc, kGeneral, "FILE TYPE:", kFileType);
  IniPutString(&doc, kGeneral, "SCOPE VERSION:", kVersion);
  IniPutString(&doc, kGeneral, "PANEL ID:", id);

  int zoom = 0, left = 0, top = 0, width = 0, height = 0;
  GetPanelAttribute(m, ATTR_WINDOW_ZOOM, &zoom);
  GetPanelAttribute(m, ATTR_LEFT, &left);
  GetPanelAttribute(m, ATTR_TOP, &top);
  GetPanelAttribute(m, ATTR_WIDTH, &width);
  GetPanelAttribute(m, ATTR_HEIGHT, &height);
  IniPutInt(&doc, kPosition, "MAINPANEL FULLSCREEN", zoom);
  IniPutInt(&doc, kPosition, "MAINPANEL LEFT", left);
  IniPutInt(&doc, kPosition, "MAINPANEL TOP", top);
  IniPutInt(&doc, kPosition, "MAINPANEL WIDTH", width);
  IniPutInt(&doc, kPosition, "MAINPANEL HEIGHT", height);

  IniPutString(&doc, kDirectories, "PARAMETER FILE", State.ParameterFilePath);
  IniPutString(&doc, kDirectories, "RECORDER FILE", State.RecordFilePath);
  IniPutString(&doc, kDirectories, "HARDWARE INI FILE", State.HardwareFilePath);
  IniPutString(&doc, kDirectories, "TABLE ATTRIBUTES FILE", State.TableAttributesPath);

  int count = 0;
  GetNumListItems(com, COM_IP_ADRESS, &count);
  count = std::min(count, RECENT_SERVER_LIMIT);
  IniPutInt(&doc, kAddresses, "LIST ITEMS", count);
  for (int i = 0; i < count; ++i) {
    std::string server;
    GetValueFromIndex(com, COM_IP_ADRESS, i, &server);
    IniPutString(&doc, kAddresses, "IP ADDR " + std::to_string(i + 1), server);
  }

  int protocol = 0, port = 0, baud = 0;
  std::string host, portText;
  GetCtrlVal(com, COM_PROTOCOL, &protocol);
  GetCtrlVal(com, COM_PORT, &port);
  GetCtrlVal(com, COM_BAUDRATE, &baud);
  GetCtrlVal(com, COM_IP_ADRESS, &host);
  GetCtrlVal(com, COM_PORT_NUMBER, &portText);
  IniPutInt(&doc, kCommunication, "COMPROTOCOL", protocol);
  IniPutInt(&doc, kCommunication, "COMPORT", port);
  IniPutInt(&doc, kCommunication, "BAUDRATE", baud);
  IniPutString(&doc, kCommunication, "IP ADRESS", host);
  IniPutString(&doc, kCommunication, "PORT NUMBER", portText);

  WriteTableAttributeSections(&doc);
  // The folder may have gone since start-up (a configuration folder cleaned up meanwhile).
  std::string folder;
  SplitPath(State.PanelSettingsPath, nullptr, &folder, nullptr);
  if (!folder.empty()) MakeDirectories(folder);
  if (IniWriteFile(doc, State.PanelSettingsPath) < 0) {
    // Nobody else would notice: the settings of this session would be lost without a word.
    const int error = errno;
    std::fprintf(stderr, "chromik4-ana-scope: the panel settings could not be written to %s: %s\n",
                 State.PanelSettingsPath.c_str(), error ? std::strerror(error) : "write failed");
  }
}

int CBF_EditID(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) {
    std::string id;
    GetCtrlVal(panel, control, &id);
    State.PanelId = Cut(id, PANEL_ID_LIMIT);
    SetCtrlVal(Panels.Colbigp, COLBIGP_ID, State.PanelId.c_str());
    SetCtrlVal(Panels.Grpbigp, GRPBIGP_ID, State.PanelId.c_str());
    ShowPanelIdOnRecorderPage();
  }
  return HelpOnRightClick(panel, control, event);
}
