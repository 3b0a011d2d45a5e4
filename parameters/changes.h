// What the panel holds that is not yet in its source: the parameter set as it last came
// from or went to the sensor or a file (the reference), every value of the panel that
// differs from it marked in italics, their count beside SEND, their list, and the question
// before they are lost when the main window closes.
#pragma once

#include <string>
#include <vector>

#include "parameters/parameter_set.h"

enum ReferenceSource : int { REFERENCE_NONE = 0, REFERENCE_GET, REFERENCE_SEND, REFERENCE_FILE };

struct ChangeTracking {
  ParameterSetRecord Reference{};  // the panel's set (after the mode rules) when it last came from or went to its source
  int Source = REFERENCE_NONE;     // where the reference came from or went to; NONE: nothing is marked or asked
  int Count = 0;                   // values the panel holds that differ from the reference
  int SensorReplaced = 0;          // the last SEND's answer said the sensor replaced values; until the next GET
  std::vector<int> Marked;         // words of the set marked now (ParameterDifference::word)
  long Comparisons = 0;            // times the panel was compared with the reference
};

extern ChangeTracking Changes;

// The panel as it stands becomes the reference from or to `source` (REFERENCE_GET, _SEND, _FILE);
// `sensorReplaced` after a SEND whose answer carried a plausibility notice.
void TakeReference(int source, bool sensorReplaced = false);
// Compares the panel with the reference and brings the marks, the count and its display up to
// date. Runs after each operator input and after each transfer, never per GO frame.
void UpdateChangeMarks();
// "3 CHANGES SINCE GET", "1 CHANGE SINCE FILE", "SENSOR REPLACED VALUES: GET TO SEE THEM", or "".
std::string ChangesText();
// The CHANGES button: every differing value, "KEY: reference value -> panel value", in a popup.
void ListChanges();
// Before the main window closes: 1 when nothing would be lost or the operator says quit anyway.
int ConfirmLosingChanges();
// Forgets the reference (a new start of the program).
void ResetChangeTracking();

int CBF_ButtonChanges(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
