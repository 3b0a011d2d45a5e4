// The parameter file: a whole ParameterSet as a settings file, written by SEND and
// read by GET when FILE is selected.
#pragma once

#include <string>

#include "parameters/ini.h"
#include "parameters/parameter_set.h"

// The file of a set, in the program's order: GENERAL INFO, PARAMETER, TEACH VECTOR 0..30.
// Word 7 of the teach rows is not stored.
IniDocument ParameterFileDocument(const ParameterSetRecord& set);

// What reading the values of a document found: the set (word 7 of `base` kept) and the
// names of the parameters and teach sections that took their defaults, each followed by "\n".
struct ParameterFileValues {
  ParameterSetRecord set;
  std::string failedParameters;
  std::string failedTeachVectors;
};
ParameterFileValues ParameterFileValuesOf(const IniDocument& doc, const ParameterSetRecord& base);

// The folder a file dialog starts in for the last chosen path: the path's folder, or the path
// itself when it names a folder (the settings file may hold a folder alone).
std::string FileDialogDirectory(const std::string& lastPath);

// The file dialog of the settings files in both directions, starting in the folder of
// *lastPath; the chosen path replaces *lastPath. Loading accepts only an existing file.
// Nothing (usable) chosen: "No file was selected!" and an empty string.
std::string ChooseSettingsFile(std::string* lastPath, const char* defaultName, const char* title, bool load);
// GENERAL INFO's text under `key` (empty when missing), at most 1023 characters.
std::string GeneralInfoText(const IniDocument& doc, const char* key);

// SEND with FILE selected: asks for the file and writes the panel's set into it.
// 1 when written; -1 when no file was chosen or the write failed (reported).
int WriteParameterFile();
// GET with FILE selected: asks for the file and reads it into the panel. 1 when a file
// was read, -1 when none was chosen or the operator refused it.
int ReadParameterFile();
// Its reading without the dialog and the panel: the type and version questions ("No parameter
// where read!" when one is refused), then the file's values into ParameterSet as written in it
// (word 7 of the rows kept) with the lists of what took its default. 1, or -1 when refused.
int LoadParameterFile(const std::string& path);
