// The table attributes page: how rows get their indicator colours, and the table
// attributes file that keeps the colours and row specifications on the PC.
#pragma once

#include "app/Chromik4ANAv12.h"

// The mode switch decides: by hand (row, colour and set usable, DATAP's colour box hidden)
// or automatically (the reverse).
void ApplyRowColorMode();
// The picked colour to the chosen row; regions replotted.
void AssignRowColor();
// After confirmation every row back to its default colour and an empty row text.
void ResetRowColors();
// Colours and row texts to a file / from a file, each through its file dialog.
// 1 when done; -1 when nothing was chosen, the operator refused the file, or the write failed.
int SaveTableAttributes();
int LoadTableAttributes();

int CBF_EditSetColor(CVICALLBACK_ARGS);
int CBF_EditRow(CVICALLBACK_ARGS);
int CBF_EditColorNumericRow(CVICALLBACK_ARGS);
int CBF_ButtonSetRowColor(CVICALLBACK_ARGS);
int CBF_ButtonSaveArray(CVICALLBACK_ARGS);
int CBF_ButtonGetArray(CVICALLBACK_ARGS);
int CBF_ButtonTableAttrReset(CVICALLBACK_ARGS);
