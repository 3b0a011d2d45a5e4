// The controls of the calibration page (5) and of the offset page (8).
#include "app/Chromik4ANAv12.h"
#include "app/help.h"
#include "app/uir_build.h"
#include "calibration/calibration.h"
#include "ui/ui.h"

namespace {

void PlaceEdit(int page, int id, const char* label, int top, int left, int width, double max, int value,
               CtrlCallbackPtr cb, const char* help) {
  Place(page, id, CTRL_NUMERIC, label, top, left, 20, width, cb);
  SetCtrlAttribute(page, id, ATTR_MIN_VALUE, 0.0);
  SetCtrlAttribute(page, id, ATTR_MAX_VALUE, max);
  SetCtrlAttribute(page, id, ATTR_PRECISION, 0);
  SetCtrlVal(page, id, value);
  SetHelp(page, id, help);
}

void PlaceShown(int page, int id, const char* label, int top, int left, int width, CtrlCallbackPtr cb, const char* help) {
  PlaceDisplay(page, id, label, top, left, width, cb);
  SetHelp(page, id, help);
}

// Three bars, red, green and blue, on the 12-bit scale.
void PlaceBars(int page, int id, const char* label, int top, int left, int width, CtrlCallbackPtr cb, const char* help) {
  Place(page, id, CTRL_GRAPH, label, top, left, 96, width, cb);
  SetCtrlAttribute(page, id, ATTR_NUM_CURSORS, 0);
  SetCtrlAttribute(page, id, ATTR_PLOT_BGCOLOR, 0xFFFFFF);
  SetAxisScalingMode(page, id, VAL_XAXIS, VAL_MANUAL, 0.0, 3.0);
  SetAxisScalingMode(page, id, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, 4095.0);
  SetHelp(page, id, help);
}

}  // namespace

void BuildCalibrationPageControls(int page) {
  CalibrationValues = CalibrationRecord{};  // a new panel set starts from the defaults
  const CalibrationRecord& c = CalibrationValues;
  PlaceEdit(page, CAL_CF_RED, "CF RED", 18, 6, 82, CALIBRATION_FACTOR_MAX, c.CalibrationFactors[0], CBF_EditCFR, help::EditCFR);
  PlaceEdit(page, CAL_CF_GREEN, "CF GREEN", 18, 97, 82, CALIBRATION_FACTOR_MAX, c.CalibrationFactors[1], CBF_EditCFG,
            help::EditCFG);
  PlaceEdit(page, CAL_CF_BLUE, "CF BLUE", 18, 188, 82, CALIBRATION_FACTOR_MAX, c.CalibrationFactors[2], CBF_EditCFB,
            help::EditCFB);
  PlaceEdit(page, CAL_SET_VALUE, "SET VALUE", 58, 6, 128, 0xFFFF, c.CalibrationSetValue, CBF_EditSetValue,
            help::EditSetValue);
  PlaceEdit(page, CAL_MAX_DELTA, "MAXIMUM RAW DELTA", 58, 142, 128, 0xFFFF, c.MaxRawDelta, CBF_EditMaxDelta,
            help::EditMaxDelta);

  PlaceBars(page, CAL_RAW_BARS, "RAW DATA", 98, 6, 128, CBF_DispBarsRAW, help::DispBarsRAW);
  PlaceBars(page, CAL_CAL_BARS, "CALIBRATED DATA", 98, 142, 128, CBF_DispBars, help::DispBars);
  const char* const raw[3] = {"RAW R", "RAW G", "RAW B"};
  const char* const calibrated[3] = {"CAL R", "CAL G", "CAL B"};
  for (int k = 0; k < 3; ++k) {
    PlaceShown(page, CAL_RAW_RED + k, raw[k], 212, 6 + 44 * k, 40, CBF_DispBarsRAW, help::DispBarsRAW);
    PlaceShown(page, CAL_CAL_RED + k, calibrated[k], 212, 142 + 44 * k, 40, CBF_DispBars, help::DispBars);
  }
  PlaceShown(page, CAL_RAW_DELTA, "RAW DELTA", 248, 6, 128, CBF_DispRawDelta, help::DispRawDelta);

  Place(page, CAL_SEND_CF, CTRL_COMMAND_BUTTON, "SEND CF", 276, 6, 24, 128, CBF_ButtonSendCF);
  Place(page, CAL_GET_CF, CTRL_COMMAND_BUTTON, "GET CF", 276, 142, 24, 128, CBF_ButtonGetCF);
  Place(page, CAL_CALC_CF, CTRL_COMMAND_BUTTON, "CALCULATE CALIBRATION FACTORS", 304, 6, 24, 264, CBF_ButtonCalcCF);
  Place(page, CAL_SELF_CALIBRATION, CTRL_COMMAND_BUTTON, "START SELF CALIBRATION", 332, 6, 24, 264,
        CBF_ButtonStartSelfCalibration);
  SetHelp(page, CAL_SEND_CF, help::ButtonSendCF);
  SetHelp(page, CAL_GET_CF, help::ButtonGetCF);
  SetHelp(page, CAL_CALC_CF, help::ButtonCalcCF);
  SetHelp(page, CAL_SELF_CALIBRATION, help::ButtonStartSelfCalibration);
  SetCtrlAttribute(page, CAL_CALC_CF, ATTR_CMD_BUTTON_COLOR, BUTTON_GREY);
  // The hidden gesture's target: a thin strip that looks like a divider.
  Place(page, CAL_DECO_HIDDEN, CTRL_DECORATION, "", 362, 6, 6, 264, CBF_DecoCalibrate1);
  SetCtrlAttribute(page, CAL_DECO_HIDDEN, ATTR_FRAME_COLOR, 0xD0D0D0);
}

void BuildOffsetPageControls(int page) {
  const char* const edits[3] = {"OFFSET RED", "OFFSET GREEN", "OFFSET BLUE"};
  const CtrlCallbackPtr editCallbacks[3] = {CBF_EditRedOffset, CBF_EditGreenOffset, CBF_EditBlueOffset};
  const char* const editHelp[3] = {help::EditRedOffset, help::EditGreenOffset, help::EditBlueOffset};
  const char* const shown[3] = {"MEASURED RED", "MEASURED GREEN", "MEASURED BLUE"};
  const CtrlCallbackPtr shownCallbacks[3] = {CBF_DispRedOffset, CBF_DispGreenOffset, CBF_DispBlueOffset};
  const char* const shownHelp[3] = {help::DispRedOffset, help::DispGreenOffset, help::DispBlueOffset};
  for (int k = 0; k < 3; ++k) {
    PlaceEdit(page, OFS_EDIT_RED + k, edits[k], 18 + 40 * k, 6, 128, 0xFFFF, 0, editCallbacks[k], editHelp[k]);
    PlaceShown(page, OFS_DISP_RED + k, shown[k], 18 + 40 * k, 142, 128, shownCallbacks[k], shownHelp[k]);
  }
  Place(page, OFS_SEND, CTRL_COMMAND_BUTTON, "SEND OFFSET", 140, 6, 24, 128, CBF_ButtonSendOffset);
  Place(page, OFS_GET, CTRL_COMMAND_BUTTON, "GET OFFSET", 140, 142, 24, 128, CBF_ButtonGetOffset);
  Place(page, OFS_CALC, CTRL_COMMAND_BUTTON, "CALCULATE OFFSET", 172, 6, 24, 264, CBF_ButtonCalcOffset);
  Place(page, OFS_CLOSE, CTRL_COMMAND_BUTTON, "CLOSE", 220, 6, 24, 264, CBF_ButtonCloseOffsetCompensation);
  SetHelp(page, OFS_SEND, help::ButtonSendOffset);
  SetHelp(page, OFS_GET, help::ButtonGetOffset);
  SetHelp(page, OFS_CALC, help::ButtonCalcOffset);
  SetHelp(page, OFS_CLOSE, help::ButtonCloseOffsetCompensation);
}
