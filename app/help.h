// Operator help: every control explains itself on a right click ("INFO!" and its
// text) and shows the same text as its hover hint. The resource code gives each
// control its text with SetHelp; callbacks answer the right click with ShowHelp.
#pragma once

// Gives a control its help text (kept as the control's tooltip).
void SetHelp(int panel, int control, const char* text);
// The help popup of a control: `title` ("INFO!", on the table attributes page "Info") and its text.
void ShowHelp(int panel, int control, const char* title = "INFO!");
// A callback's usual answer: the help popup on a right click. Returns 0.
int HelpOnRightClick(int panel, int control, int event);

// [SECTION] Help texts of the main window and the connection page
namespace help {
constexpr const char* TabMain1 = "Select TAB-window.";
constexpr const char* TabDataP1 = "Select TAB-window.";
constexpr const char* ButtonSend =
    "All the parameters of the PC-User-Interface are transferred to the sensor or to a selectable file. \nThe "
    "target of the parameter transfer is determined by the select button (RAM, EEPROM, FILE). \n\nShortcut Key: "
    "F9. ";
constexpr const char* ButtonGet =
    "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of the parameter transfer "
    "is determined by the select button (RAM, EEPROM, FILE). \n\nShortcut Key: F10. ";
constexpr const char* ButtonGo = "Starts data transfer from sensor to PC. \n\nShortcut Key: F11. ";
constexpr const char* ButtonStop = "Stops data transfer from sensor to PC. \n\nShortcut Key: F12. ";
constexpr const char* SelectMem = "Select source respectively the target for the parameter transfer.";
constexpr const char* SelectParaSet = "Select parameter set which should be transfered.";
constexpr const char* ButtonTryToConnect = "Try to connect sensor.";
constexpr const char* ButtonAccept = "Accept settings for communication \nand switch to parapanel. ";
constexpr const char* ButtonChangeBaudrate =
    "Save selected Baudrate to sensor. \n\nConfirm new baudrate with EEPROM and SEND.";
constexpr const char* ButtonGenHwInfoFile =
    "Save Hardware Initial File to disk. \nSend this file to your supplier for assistance.";
constexpr const char* EditCommunicationProtocol = "Select RS232 or TCP/IP Interface. ";
constexpr const char* EditSelectComPort = "Select a serial COM-PORT.";
constexpr const char* EditSelectBaudrate =
    "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust work with the same "
    "Baudrate. ";
constexpr const char* StringIpAdress = "Select a Server by name or IP address.";
constexpr const char* StringPortNumber = "Select a port number.";
constexpr const char* EditID =
    "Insert sensor identification. \nThis ID will be displayed in some panels of the software.";
}  // namespace help
