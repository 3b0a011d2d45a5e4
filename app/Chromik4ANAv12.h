// Program entry, start-up and shutdown, and the callbacks the panel resource binds.
//
// The callbacks are implemented by the subsystem that owns them (com232/,
// parameters/, measurement/ ...); the resource code only needs their names.
#pragma once

#include "app/uir.h"

#define CVICALLBACK_ARGS int panel, int control, int event, void* callbackData, int eventData1, int eventData2
#define PANELCALLBACK_ARGS int panel, int event, void* callbackData, int eventData1, int eventData2

// [SECTION] Entry
// Loads the nine panels, names MAINP and places the child panels; 1, or -1 when a load fails.
int LoadPanelSet();
// The set-up steps run once before the event loop.
void InitializeGui();
// Its first steps, shared with the command line: the program-wide flags and selections at
// their start values, and the handles of the tab pages.
void InitializeProgramState();
// Releases the connection and the panels after the event loop.
void ShutdownProgram();
// Start-up, event loop and shutdown; 0, or -1 when a panel cannot be loaded.
int RunProgram();
// SIGTERM and SIGINT close the main window, exactly as the operator would.
void OnTerminationSignal(int signalNumber);
// Names the child panels and the controls without a label for assistive tools (part of loading).
void NameForAssistiveTools();

// Shows one of the five child panels and hides the others; any other panel shows DATAP.
void ShowChildPanel(int panel);

// [SECTION] Shell callbacks
int CBF_MAINP(PANELCALLBACK_ARGS);
int CBF_DATAP(PANELCALLBACK_ARGS);
int CBF_GRAPHP(PANELCALLBACK_ARGS);
int CBF_SCOPEP(PANELCALLBACK_ARGS);
int CBF_TEACHP1(PANELCALLBACK_ARGS);
int CBF_TEACHP2(PANELCALLBACK_ARGS);
int CBF_COLBIGP(PANELCALLBACK_ARGS);
int CBF_GRPBIGP(PANELCALLBACK_ARGS);
int CBF_PASSWORDP(PANELCALLBACK_ARGS);
int CBF_TabMain1(CVICALLBACK_ARGS);
int CBF_TabDataP1(CVICALLBACK_ARGS);
int CBF_StringEnterPW(CVICALLBACK_ARGS);
int CBF_DecoCalibrate1(CVICALLBACK_ARGS);
int CBF_BigDisplayPart(CVICALLBACK_ARGS);

// [SECTION] Connection page (com232/connection.cpp)
int CBF_ButtonTryToConnect(CVICALLBACK_ARGS);
int CBF_ButtonAccept(CVICALLBACK_ARGS);
int CBF_ButtonChangeBaudrate(CVICALLBACK_ARGS);
int CBF_ButtonGenHwInfoFile(CVICALLBACK_ARGS);
int CBF_EditCommunicationProtocol(CVICALLBACK_ARGS);
int CBF_EditSelectComPort(CVICALLBACK_ARGS);
int CBF_EditSelectBaudrate(CVICALLBACK_ARGS);
int CBF_StringIpAdress(CVICALLBACK_ARGS);
int CBF_StringPortNumber(CVICALLBACK_ARGS);
int CBF_DispStatus(CVICALLBACK_ARGS);
int CBF_EditID(CVICALLBACK_ARGS);

// [SECTION] Parameter controls (parameters/parameter_panel.cpp)
int CBF_SlidePower(CVICALLBACK_ARGS);
int CBF_EditPmode(CVICALLBACK_ARGS);
int CBF_EditAverage(CVICALLBACK_ARGS);
int CBF_EditEvalmode(CVICALLBACK_ARGS);
int CBF_EditIntlim(CVICALLBACK_ARGS);
int CBF_EditVMaxVecNo(CVICALLBACK_ARGS);
int CBF_EditDigOutmode(CVICALLBACK_ARGS);
int CBF_EditTrigger(CVICALLBACK_ARGS);
int CBF_EditExteach(CVICALLBACK_ARGS);
int CBF_EditCalcmode(CVICALLBACK_ARGS);
int CBF_EditDynWinLoHi(CVICALLBACK_ARGS);
int CBF_EditLedMode(CVICALLBACK_ARGS);
int CBF_EditGain(CVICALLBACK_ARGS);
int CBF_EditIntegral(CVICALLBACK_ARGS);
int CBF_EditAnaOutmode(CVICALLBACK_ARGS);
int CBF_EditAnaOut(CVICALLBACK_ARGS);
int CBF_EditAnaZoom(CVICALLBACK_ARGS);
int CBF_EditColorGroups(CVICALLBACK_ARGS);
int CBF_EditGridGroups(CVICALLBACK_ARGS);
int CBF_EditGridHold(CVICALLBACK_ARGS);

// [SECTION] Parameter transfer (parameters/transfer.cpp)
int CBF_ButtonSend(CVICALLBACK_ARGS);
int CBF_ButtonGet(CVICALLBACK_ARGS);
int CBF_SelectMem(CVICALLBACK_ARGS);
int CBF_SelectParaSet(CVICALLBACK_ARGS);

// [SECTION] GO mode and the measured-value displays (measurement/go_mode.cpp)
int CBF_ButtonGo(CVICALLBACK_ARGS);
int CBF_ButtonStop(CVICALLBACK_ARGS);
int CBF_DispRED(CVICALLBACK_ARGS);
int CBF_DispGREEN(CVICALLBACK_ARGS);
int CBF_DispBLUE(CVICALLBACK_ARGS);
int CBF_DispRGB(CVICALLBACK_ARGS);
int CBF_DispMinMaxRGB(CVICALLBACK_ARGS);
int CBF_DispX(CVICALLBACK_ARGS);
int CBF_DispY(CVICALLBACK_ARGS);
int CBF_DispINT(CVICALLBACK_ARGS);
int CBF_DispDeltaC(CVICALLBACK_ARGS);
int CBF_DispCOL(CVICALLBACK_ARGS);
int CBF_DispGroup(CVICALLBACK_ARGS);
int CBF_LedTrig(CVICALLBACK_ARGS);
int CBF_DispTemp(CVICALLBACK_ARGS);
int CBF_DispHelpOnly(CVICALLBACK_ARGS);

// [SECTION] Call points filled by the subsystems
// Recorder page arranged for its recording mode when the page is activated.
void ArrangeRecorderPage();

// [SECTION] Calibration and offset pages (calibration/)
int CBF_EditCFR(CVICALLBACK_ARGS);
int CBF_EditCFG(CVICALLBACK_ARGS);
int CBF_EditCFB(CVICALLBACK_ARGS);
int CBF_EditSetValue(CVICALLBACK_ARGS);
int CBF_EditMaxDelta(CVICALLBACK_ARGS);
int CBF_DispBarsRAW(CVICALLBACK_ARGS);
int CBF_DispRawDelta(CVICALLBACK_ARGS);
int CBF_DispBars(CVICALLBACK_ARGS);
int CBF_ButtonSendCF(CVICALLBACK_ARGS);
int CBF_ButtonGetCF(CVICALLBACK_ARGS);
int CBF_ButtonCalcCF(CVICALLBACK_ARGS);
int CBF_ButtonStartSelfCalibration(CVICALLBACK_ARGS);
int CBF_EditRedOffset(CVICALLBACK_ARGS);
int CBF_EditGreenOffset(CVICALLBACK_ARGS);
int CBF_EditBlueOffset(CVICALLBACK_ARGS);
int CBF_DispRedOffset(CVICALLBACK_ARGS);
int CBF_DispGreenOffset(CVICALLBACK_ARGS);
int CBF_DispBlueOffset(CVICALLBACK_ARGS);
int CBF_ButtonSendOffset(CVICALLBACK_ARGS);
int CBF_ButtonGetOffset(CVICALLBACK_ARGS);
int CBF_ButtonCalcOffset(CVICALLBACK_ARGS);
int CBF_ButtonCloseOffsetCompensation(CVICALLBACK_ARGS);
// [SECTION] Record page (recorder/)
int CBF_EditSelectDataRec(CVICALLBACK_ARGS);
int CBF_EditInterval(CVICALLBACK_ARGS);
int CBF_EditRecVal(CVICALLBACK_ARGS);
int CBF_DispRecordTime(CVICALLBACK_ARGS);
int CBF_DispRecordedValues(CVICALLBACK_ARGS);
int CBF_DispRemaining(CVICALLBACK_ARGS);
int CBF_ButtonStartRecord(CVICALLBACK_ARGS);
int CBF_ButtonStopRecord(CVICALLBACK_ARGS);
int CBF_ButtonManualRecord(CVICALLBACK_ARGS);
int CBF_ButtonStartTrigRec(CVICALLBACK_ARGS);
int CBF_ButtonSelRecFile(CVICALLBACK_ARGS);
int CBF_DispRecFile(CVICALLBACK_ARGS);

// [SECTION] Scope page and SCOPEP (scope/)
int CBF_EditTriggerMode(CVICALLBACK_ARGS);
int CBF_EditPreTrigVal(CVICALLBACK_ARGS);
int CBF_EditTriggerLevel(CVICALLBACK_ARGS);
int CBF_EditScanRate(CVICALLBACK_ARGS);
int CBF_EditScopeRecSignal(CVICALLBACK_ARGS);
int CBF_DispScanFreq(CVICALLBACK_ARGS);
int CBF_ButtonGetCycleTime(CVICALLBACK_ARGS);
int CBF_ButtonScan(CVICALLBACK_ARGS);
int CBF_ButtonBreakScan(CVICALLBACK_ARGS);
int CBF_EditScopeComment(CVICALLBACK_ARGS);
int CBF_GraphScope(CVICALLBACK_ARGS);
int CBF_EditScopeSignal(CVICALLBACK_ARGS);
int CBF_DispDeltaX(CVICALLBACK_ARGS);
int CBF_DispDeltaY(CVICALLBACK_ARGS);
int CBF_ButtonZoom11(CVICALLBACK_ARGS);
int CBF_ButtonCloseSP(CVICALLBACK_ARGS);
int CBF_ButtonPrintScopeGraph(CVICALLBACK_ARGS);
int CBF_ButtonSaveScopeCsv(CVICALLBACK_ARGS);
