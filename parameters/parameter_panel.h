// The parameter set on the panel: the controls of the parameter page, the
// COLOR GROUP switch, the group, hold and teach tables, and the copies between
// them and the record that is sent, received and filed.
#pragma once

#include "parameters/parameter_set.h"
#include "ui/ui.h"

extern ParameterSetRecord ParameterSet;  // the PC's copy of one of the sensor's parameter sets

// Codes of the rings whose order the sensor leaves open (the others follow from their meaning).
constexpr int DIGITAL_OUTMODE_OFF = 0;
constexpr int DIGITAL_OUTMODE_DIRECT_LO = 1;
constexpr int DIGITAL_OUTMODE_BINARY = 2;
constexpr int DIGITAL_OUTMODE_DIRECT_HI = 3;
constexpr int LED_MODE_DC = 0;
constexpr int LED_MODE_AC = 1;
constexpr int LED_MODE_OFF = 2;
constexpr int LED_MODE_PULSE = 3;
constexpr int GAIN_AMP1 = 0;  // AMP1 .. AMP8 = codes 0 .. 7; the default code 5 is AMP6

// Whether the value can stand in the control of the ParameterBlock word (a ring holds
// only its codes, a numeric control its range).
bool ParameterCanShow(int word, int value);

// Creates the parameter page's controls (resource code).
int BuildParameterPage(int page);
// Creates the COLOR GROUP switch and the group and hold tables' defaults (resource code).
void BuildParameterControlsOfGroupPage(int page);

// Every control into the record; word 7 of each teach row is left as it is.
void ReadParametersFromPanel();
// The same into `set`, leaving ParameterSet alone: what a SEND would send.
void ReadPanelInto(ParameterSetRecord* set);
// Where a word of the set (as ParameterDifference::word counts) is shown: a control, or a table cell
// (cell.row 0 when it is a control of its own).
struct ParameterPlace {
  int panel;
  int control;
  TableCell cell;
};
ParameterPlace PlaceOfWord(int word);
// The record into the controls: EXTERN TEACH first, then the TRIGGER list fitted to it, then the rest.
void WriteParametersToPanel();
// With EXTERN TEACH other than OFF the TRIGGER list holds CONT and SELF only, otherwise all seven entries.
void AdjustTriggerList(int externTeach);
