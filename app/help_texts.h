// Help texts of the controls, by the name of their callback; shown under "INFO!"
// on a right click and as the hover hint. Blanks and line breaks are part of the texts.
#pragma once

namespace help {
constexpr const char* ButtonAccept = "Accept settings for communication \nand switch to parapanel. ";
constexpr const char* ButtonBreakScan = "Break data recording.";
constexpr const char* ButtonCalcCF = "Calculate the calibration factors for RED, GREEN and BLUE. ";
constexpr const char* ButtonCalcOffset = "Detect the offset values for RED, GREEN and BLUE. ";
constexpr const char* ButtonChangeBaudrate = "Save selected Baudrate to sensor. \n\nConfirm new baudrate with EEPROM and SEND.";
constexpr const char* ButtonCloseOffsetCompensation = "Close PANEL and return to MAIN PANEL. ";
constexpr const char* ButtonCloseSP = "Close PANEL and return to MAIN PANEL. ";
constexpr const char* ButtonGenHwInfoFile = "Save Hardware Initial File to disk. \nSend this file to your supplier for assistance.";
constexpr const char* ButtonGet =
    "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of the paramete"
    "r transfer is determined by the select button (RAM, EEPROM, FILE). \n\nShortcut Key: F10. ";
constexpr const char* ButtonGetCF = "Calibration factors for RED,GREEN and BLUE will be read from the sensor.";
constexpr const char* ButtonGetCycleTime = "Get cycle time from sensor. \nDon't interrupt the sensor for 8 seconds \nthen press the button.";
constexpr const char* ButtonGetOffset = "Offset values for RED,GREEN and BLUE will be read from the sensor.";
constexpr const char* ButtonGo = "Starts data transfer from sensor to PC. \n\nShortcut Key: F11. ";
constexpr const char* ButtonGpClose = "Close PANEL and return to MAIN PANEL. ";
constexpr const char* ButtonManualRecord = "Record one frame manually \nand append to existing file. ";
constexpr const char* ButtonScan = "Start data recording and display the result in the graph.";
constexpr const char* ButtonSelRecFile = "Select a record file for data save. ";
constexpr const char* ButtonSend =
    "All the parameters of the PC-User-Interface are transferred to the sensor or to a selectable fil"
    "e. \nThe target of the parameter transfer is determined by the select button (RAM, EEPROM, FILE)"
    ". \n\nShortcut Key: F9. ";
constexpr const char* ButtonChanges = "Lists every value that differs from the parameter set last read or sent.";
constexpr const char* ButtonSendCF = "Calibration factors for RED,GREEN and BLUE will be send to the EEPROM of the sensor.";
constexpr const char* ButtonSendOffset = "Offset values for RED,GREEN and BLUE will be send to the EEPROM of the sensor.";
constexpr const char* ButtonShowGraph = "Switch to a graphical display for each signal.";
constexpr const char* ButtonStartRecord = "Start data record.";
constexpr const char* ButtonStartSelfCalibration = " Sensor calculates the calibration factors for RED, GREEN and BLUE. ";
constexpr const char* ButtonStartTrigRec = "Start data record.";
constexpr const char* ButtonStop = "Stops data transfer from sensor to PC. \n\nShortcut Key: F12. ";
constexpr const char* ButtonStopRecord = "Stop data record.";
constexpr const char* ButtonTeachRecVal = "Opens a panel to teach, with help \nfrom a graph, recorded values. ";
constexpr const char* ButtonTryToConnect = "Try to connect sensor.";
constexpr const char* ButtonZoom11 = "Zoom in: <Ctrl>+Left Mouse Button (drag to select).\nZoom out: Press ZOOM 1:1.";
constexpr const char* DispBLUE = "Displays the current color intensity of RED,GREEN and BLUE. ";
constexpr const char* DispBars =
    "Displays the calibrated values of RED, GREEN and BLUE. \nFormula: CALIBRATED DATA = (RAW DATA * "
    "CF) / 1024 ";
constexpr const char* DispBarsRAW = "Displays the RAW values of RED, GREEN and BLUE.";
constexpr const char* DispBlueOffset = "Displays the offset values. ";
constexpr const char* DispCOL =
    "Displays the current detected color number in \naccordance with the row in the TEACH TABLE. \nDo"
    "uble click opens a big display. \nClose the big display with a right mouse click. \n\nFailure co"
    "ndition is 255.";
constexpr const char* DispDeltaC =
    "Displays the distance to a COLOR HIT. \nWhen no color is detected, delta C depends on the EVALUA"
    "TION MODE as follows: \nFIRST HIT: delta C is the distance to the last enabled row in the TEACH "
    "TABLE. \nBEST HIT and MIN DIST: delta C is -1. \nWhen INT or M is lower than INTLIM, delta C is "
    "set to -1.";
constexpr const char* DispDeltaX =
    "Show delta X in [ms]. \nThe calculation is based on the cycle time shown\nin the display [ms] an"
    "d the value of ScanRate.";
constexpr const char* DispDeltaY = "Show delta Y in [digit] and [V].";
constexpr const char* DispGREEN = "Displays the current color intensity of RED,GREEN and BLUE. ";
constexpr const char* DispGreenOffset = "Displays the offset values. ";
constexpr const char* DispGroup =
    "Displays the current detected color group. \nDouble click opens a big display. \nClose the big d"
    "isplay with a right mouse click.\n\nFailure condition is 255.";
constexpr const char* DispINT = "Displays the intensity of the color currently arriving at the receiver. ";
constexpr const char* DispMinMaxRGB = "Displays the minimum and maximum values of RED, GREEN and BLUE.";
constexpr const char* DispRED = "Displays the current color intensity of RED,GREEN and BLUE. ";
constexpr const char* DispRGB = "Displays the current color intensity of RED,GREEN and BLUE. ";
constexpr const char* DispRawDelta =
    "Displays the delta of the raw values of RED, GREEN and BLUE. \nDelta is the peak to peak value o"
    "f the lowest number of RED, GREEN or BLUE \nand the highest number of RED, GREEN or BLUE of the "
    "RAW-DATAS.";
constexpr const char* DispRecFile = "Shows the path of the record file. ";
constexpr const char* DispRecordTime = "Displays the time for recording \nwhen all VALUES will be recorded.";
constexpr const char* DispRecordedValues = "Displays how many values are already recorded.";
constexpr const char* DispRedOffset = "Displays the offset values. ";
constexpr const char* DispRemaining = "Displays how many values remain to be recorded.";
constexpr const char* DispScanFreq = "Sensor scanfrequency. \nDon't interrupt the sensor for 8 seconds \nthen press the button.";
constexpr const char* DispTemp = "Displays actual temperature in the sensor.";
// Table attributes page (shown under the title "Info").
constexpr const char* EditSetColor =
    "Set mode for the row indicator colors. \n\nManually: Indicator colors can be set manually. \n\n"
    "Automatically: Indicator colors will be set automatically, \naccording to the color detected from the sensor.";
constexpr const char* EditRow = "Select a row, which should be set.";
constexpr const char* EditColorNumericRow = "Select a indicator color.";
constexpr const char* ButtonSetRowColor = "Assign selected color to row.";
constexpr const char* ButtonSaveArray =
    "Indicator colors and row specifications \nwill be saved to a selectable file. \n"
    "Attention! The table attributes will be stored \nat the hard disk and NOT in the sensor.";
constexpr const char* ButtonGetArray =
    "Indicator colors and row specifications will be \nread from a selectable file from the hard disk \n"
    "and assigned to the teach table and specification table.";
constexpr const char* ButtonTableAttrReset = "Set default row colors.";
constexpr const char* DispX = "Displays the red content of the color currently arriving at the receiver.";
constexpr const char* DispY = "Displays the green content of the color currently arriving at the receiver. ";
constexpr const char* EditAnaOut =
    "CONT:  \nContinuous analog output.  \n\nIN0 L->H: \nAnalogue output at a rising edge of IN0. \nT"
    "he signal is frozen until the next rising edge of IN0.";
constexpr const char* EditAnaOutmode =
    "Select the signals which should be output analog. \n\nIf RGB MM is selected a minimum and a maxi"
    "mum value for \nred, green and blue is detected while IN0 is high. \nThe full analog voltage out"
    "put range for red, green and blue \nlies within its detected minimum and maximum values. \n\nIf "
    "siM REF is selected the present analog values of s i M \nwill be set to 5V reference at a rising"
    " edge of IN0.";
constexpr const char* EditAnaZoom = "Select a zoom factor for the anlog output \nwhen ANALOG OUTMODE is siM REF.";
constexpr const char* EditAverage =
    "Select the number of scanning values (measured values) \nover which the raw signal is averaged ("
    "meanvalue!).";
constexpr const char* EditBlueOffset = "Edit Box for the offset values. ";
constexpr const char* EditCFB =
    " Edit Box for the calibration factor.\n Default value is 1024. \nMinimum value is 0. Maximum val"
    "ue is 4096.";
constexpr const char* EditCFG =
    " Edit Box for the calibration factor.\n Default value is 1024. \nMinimum value is 0. Maximum val"
    "ue is 4096.";
constexpr const char* EditCFR =
    " Edit Box for the calibration factor.\n Default value is 1024. \nMinimum value is 0. Maximum val"
    "ue is 4096.";
constexpr const char* EditCalcmode =
    "Select a calculation mode: \nX Y INT - 2D = X/Y pairs and intensity. \ns i   M - 2D = s/i pairs "
    "and M. \nX Y INT - 3D = X/Y/INT pairs. \ns i   M - 3D = s/i/M pairs.";
constexpr const char* EditColorGroups = "Activate color groups. \nNot possible when EVALMODE=COL2.";
constexpr const char* EditCommunicationProtocol = "Select RS232 or TCP/IP Interface. ";
constexpr const char* EditDigOutmode =
    "Select how to control the 2 digital outputs. \n\nBINARY: \nIf color group is disabled, the maxim"
    "um number of colors to be taught is 3. \nIf a color (row 0-2 in the TEACH TABLE) is detected, th"
    "is color is displayed in C-No: \nand is set binary to the digital outputs (OUT0 and OUT1). \nIf "
    "no color is detected, C-No: is 255. The digital outputs (OUT0 and OUT1) are set to HI. \nIf colo"
    "r group is enabled, the maximum number of colors to be taught is 31, but only 3 groups are possi"
    "ble. \n\nDIRECT LO: \nIf color group is disabled, the maximum number of colors to be taught is 2"
    ". \nIf a color (row 0 or 1 in the TEACH TABLE) is detected, the special digital output is set to"
    " LO, all others are HI. \nIf no color is detected, C-No: is 255. The digital outputs (OUT0 and O"
    "UT1) are set to HI. \nIf color group is enabled, the maximum number of colors to be taught is 31"
    ", but only 2 groups are possible. \nIf a group is detected, the digital output is set to LO, all"
    " others are HI. \n\nDIRECT HI: \nIf color group is disabled, the maximum number of colors to be "
    "taught is 2. \nIf a color (row 0 or 1 in the TEACH TABLE) is detected, the special digital outpu"
    "t is set to HI, all others are LO. \nIf no color is detected, C-No: is 255. The digital outputs "
    "(OUT0 and OUT1) are set to LO. \nIf color group is enabled, the maximum number of colors to be t"
    "aught is 31, but only 2 groups are possible. \nIf a group is detected, the digital output is set"
    " to HI, all others are LO.";
constexpr const char* EditDynWinLoHi = "Select a window for dynamic \nregaluation when PMOD = DYNAMIC.";
constexpr const char* EditEvalmode =
    "HIT = Current detected signal lies within a taught row in the teach table. \n\nFIRST HIT: First "
    "HIT in the teach table will be output. \n\nBEST HIT: Best HIT (shortest distance to the taught c"
    "olors) will be output. \n\nMIN DIST: Shortest distance to the centre of all taught colors will b"
    "e output when INT (M) lies within ITO (MTO). \n\nCOL2: Color 0 and 1 can be output simultaneousl"
    "y. \n\nTHD Red Green: \nOUT0=HI when the red signal is higher than row0/columnTHD in the teach t"
    "able, otherwise OUT0=LO \nOUT1=HI when the green signal is higher than row1/columnTHD in the tea"
    "ch table, otherwise OUT1=LO \nDitto THD Red Blue, THD Green Blue.";
constexpr const char* EditExteach =
    "Select external teach mode. \n\nOFF: No external teach. \n\nON: External teach to all rows of th"
    "e teach table (See manual). \nATTENTION! The taught values are stored into the EEPROM of the sen"
    "sor. \nIf you are in the GO mode during an external teach, \nyou will get a TIMEOUT, because of "
    "the EEPROM transfer. \n\nSTAT1: External teach to row 0 of the teach table. \nTransmitter power "
    "is the power selected with the power slider. \nThe taught values are stored into the RAM of the "
    "sensor. \n\nDYN1: External teach to row 0 of the teach table. \nThe transmitter power is adjuste"
    "d dynamically, when IN0 goes high. \nAfter the power is adjusted, the sensor works on static wit"
    "h this detected power value. \nThe taught values are stored into the RAM of the sensor. \nNOTE! "
    "DYN1 is not available in combination with LED MODE=OFF. \n\nNOTE! Colors will be teached Up to M"
    "AXCOL-No: when EVALUATION MODE is FIRST HIT. \n\nNOTE! When EVALUATION MODE is THD Red Green, TH"
    "D Red Blue, THD Green Blue, \na maximum and a minimum for each channel will be detected while IN"
    "0 is high. \nThe threshold for the selected channels is set to (MAX+MIN)/2. \nThe taught thresho"
    "lds will be stored in the EEPROM when EXTEACH=ON. \nThe taught thresholds will be stored in the "
    "RAM when EXTEACH=STAT1 or DYN1";
constexpr const char* EditGain =
    "Select a amplification stage of the receicer. \nAMP1 is the lowest amplification. \nAMP8 is the "
    "highest amplification. ";
constexpr const char* EditGreenOffset = "Edit Box for the offset values. ";
constexpr const char* EditGridHold = "Select the minimum pulse length when a digital output changes.";
constexpr const char* EditHold = "Select the minimum pulse length when a digital output changes.";
constexpr const char* EditID = "Insert sensor identification. \nThis ID will be displayed in some panels of the software.";
constexpr const char* EditIntegral = "Select the number (0...250) of values \nover which the raw signal is integrated.";
constexpr const char* EditInterval = "Choose a interval in secondes for recording. \nMinimum interval is 0,25 second.";
constexpr const char* EditIntlim =
    "Select an intensity limit. \nColor evaluation is stopped, if the current intensity INT or M fall"
    "s below this limit. \nERROR STATE is output. \n\n ATTENTION: If POWER MODE = DYN. Display INT or"
    " M shows the transmitter power. \n The sensor still calculates the real INT or M and compares it"
    " with INTLIM.";
constexpr const char* EditLedMode =
    "Select the LED operation mode. \nDC: Light source is permanant on. \nAC: Light source is modulat"
    "ed. \nPULSE: Light source is pulsed. \nOFF: Light source is off.";
constexpr const char* EditMaxDelta = "Choose the maximum DELTA value of RED,GREEN and BLUE. ";
constexpr const char* EditPmode =
    "Select the operating mode of the transmitter unit. \n\nSTAT: Transmitter power is constantly kep"
    "t at the POWER-SLIDER value. \n\nDYN : Transmitter power is dynamically tuned in accordance with"
    " the amount of radiation that \n      is diffusely reflected from the target. Sensor should not "
    "exceed the dynamic range. \n      The dynamic range can be selected with DYN WIN LO and DYN WIN "
    "HI.";
constexpr const char* EditPreTrigVal = "Number of recorded values \nwhich are stored before trigger occured.";
constexpr const char* EditRecVal = "Choose how many data frames should be recorded. ";
constexpr const char* EditRedOffset = "Edit Box for the offset values. ";
constexpr const char* EditResetHold = "Table Hold will be set to this value \nwhen Button RESET is pressed.";
constexpr const char* EditScanRate = "Record a value every SCAN RATE scan.";
constexpr const char* EditScopeRecSignal = "Select the signal which should be recorded.";
constexpr const char* EditScopeSignal = "Select a signal which should be displayed in the graph.";
constexpr const char* EditSelectBaudrate =
    "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust work with t"
    "he same Baudrate. ";
constexpr const char* EditSelectComPort = "Select a serial COM-PORT.";
constexpr const char* EditSelectDataRec = "Select how to record data frame. ";
constexpr const char* EditSetValue = "Choose the setvalue for RED,GREEN and BLUE. ";
constexpr const char* EditSignal = "Select Signal to be displayed in the graph. ";
constexpr const char* EditTrigger =
    "Select the trigger mode for the sensor. \n\nCONT: Continuous color detection (no trigger event r"
    "equired). \n\nSELF: Self Trigger! 'Trigger' is given, when the actual color is anything else tha"
    "n color 0. \n      Color detection as long as trigger (color is not color 0). \n      When trigg"
    "er goes low (redetection of color 0), the most detected color will be hold at the output. \n\nEX"
    "T1: Color detection as long as trigger (IN0) is high. \n      When trigger goes low, the most de"
    "tected color will be hold at the output. \n\nEXT2: Color detection as long as trigger (IN0) is h"
    "igh. \n      When trigger goes low, the last detected color will be hold at the output. \n\nEXT3"
    ": Color detection as long as trigger (IN0) is high. \n      When trigger goes low, fail conditio"
    "n is output. \n\nTRANS: Transmitter is active when trigger (IN0) is high. \n\nPARA: Sensor works"
    " with ParaSet0 when trigger (IN0) is low. \n      Sensor works with ParaSet1 when trigger (IN0) "
    "is high. \n\nLED TRIG is green when the sensor is triggered.";
constexpr const char* EditTriggerLevel = "Record starts when blue line passes TRIGGER LEVEL.";
constexpr const char* EditTriggerMode =
    "Select trigger mode! \nSINGLE SHOT: Data recording starts after pushing SCAN. \nRISING EDGE: Dat"
    "a recording starts when blue line goes higher than TRIGGER LEVEL. \nFALLING EDGE: Data recording"
    " starts when blue line goes lower than TRIGGER LEVEL. \nINTERNAL C-No.0: Data recording starts w"
    "hen color number 0 is detected. \nEXTERNAL IN0: Data recording starts when IN0 goes high.";
constexpr const char* EditVMaxVecNo =
    "Select the number of color vectors which should be checked \nin the TEACH TABLE beginning with r"
    "ow 0. \n\nAktive rows in the TEACH TABLE are \nlabelled green, inactive are labelled red.";
constexpr const char* Graph2D = "The two graphs diplay the color and the intensity.";
constexpr const char* Graph3D =
    "The four graphs display a 3 sides view of the 3 dimensional color/intensity sphere \nplus the in"
    "tensity of RED, GREEN, BLUE in an extra graph.";
constexpr const char* GraphINT1 = "Displays intensity INT. \nLeft double click starts zooming. \nLeft click stops zooming.";
constexpr const char* GraphRGB = "Displays RED, GREEN, BLUE. \nLeft double click starts zooming. \nLeft click stops zooming.";
constexpr const char* GraphScope =
    "Displays record results.\nRed line is RED or X or s. \nGreen line is GREEN or Y or i. \nBlue lin"
    "e is BLUE or INT or M. \n\nUpdate display deltaX and deltaY by moving the cursors. \nZoom in: <C"
    "trl>+Left Mouse Button (drag to select).\nZoom out: Press ZOOM 1:1.";
constexpr const char* LedTrig =
    "Displays whether the sensor is triggered (LED=green) or not(LED=black). \nSensor is triggered, w"
    "hen IN0 is +24V or when the sensor self triggers (TRIGGER=SELF).";
constexpr const char* PanelGraphGraph = "Displays the signals selected with SIGNAL. ";
constexpr const char* SelectMem = "Select source respectively the target for the parameter transfer.";
constexpr const char* SelectParaSet = "Select parameter set which should be transfered.";
constexpr const char* SlidePower = "Select the intensity of the transmitter LED. \n0 = no intensity,  1000 = full intensity.";
constexpr const char* StringIpAdress = "Select a Server by name or IP address.";
constexpr const char* StringPortNumber = "Select a port number.";
constexpr const char* TabDataP1 = "Select TAB-window.";
constexpr const char* TabMain1 = "Select TAB-window.";
}  // namespace help
