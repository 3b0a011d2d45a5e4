// The rules that keep the modes consistent with one another: which values a mode
// forces on the others, which controls are dimmed or hidden, how the teach table's
// columns and the data displays are titled, which teach rows are active.
#pragma once

// Re-derives the whole presentation from the current control values. Forced values
// are written into their controls and into ParameterSet; nothing goes to the sensor.
// Explains itself in a popup only where it had to correct the operator's choice.
void ApplyModeRules();
// The same without the notices and without bringing their pages to the front: the window
// starts in a state the rules allow, whatever the controls' initial values are.
void ApplyModeRulesQuietly();
