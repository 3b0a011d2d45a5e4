// The two teach panels labelled for the colour space of the CALCULATION MODE
// (X Y INT or s i M, 2D or 3D), and shut off in the THD evaluation modes.
#pragma once

// Texts of the teach panels in one CALCULATION MODE; nullptr leaves a text as it is.
struct TeachPanelTexts {
  const char* columns[3];          // TEACHP1 tables, column titles 4, 5, 6
  const char* distance;            // label of the "d (X/Y)" display
  const char* intensityDistance;   // label of the "d INT" display
  const char* colourValue;         // label of VALUE CTO
  const char* intensityValue;      // label of VALUE ITO
  const char* colourList;          // label of TEACH CTO WITH
  const char* intensityList;       // label of TEACH ITO WITH
  const char* colourItems[3];      // items 0..2 of TEACH CTO WITH
  const char* intensityItems[3];   // items 0..2 of TEACH ITO WITH
  bool intensityShown;             // "d INT", TEACH ITO WITH and VALUE ITO visible
  const char* graphs[3];           // TEACHP2 graph labels X/Y, X/INT, Y/INT
  const char* values[3];           // TEACHP2 value display labels
  int valueBackground[2];          // TEACHP2 first and second value display, background
  int valueFrame[2];               // the same displays' second colour (frame)
};

// The texts of CALCULATION MODE `calcMode` (0..3; other codes read as 0).
const TeachPanelTexts& TeachPanelTextsOf(int calcMode);

// Labels TEACHP1 and TEACHP2 for the EVALUATION MODE and CALCULATION MODE of the
// parameter controls; in the THD modes it only dims the teach page's two panel
// buttons and hides No. and its auto increment.
void LabelTeachPanels();
