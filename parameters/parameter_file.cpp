#include "parameters/parameter_file.h"

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "measurement/live_graphs.h"
#include "app/program_state.h"
#include "parameters/changes.h"
#include "parameters/mode_rules.h"
#include "parameters/parameter_panel.h"
#include "teach/region_plot.h"
#include "ui/ui.h"

namespace {

constexpr const char* kGeneral = "GENERAL INFO";
constexpr const char* kFileTypeKey = "FILE TYPE:";
constexpr const char* kVersionKey = "SCOPE VERSION:";
constexpr const char* kFileType = "Parameter File";
constexpr const char* kVersion = "CHROMIK4-ANA-Scope V1.2";
constexpr const char* kParameter = "PARAMETER";
constexpr std::size_t kHeaderTextLimit = 1023;

// Keys of one teach row as written; the reader's lookups ignore the trailing blanks.
constexpr const char* kRowKeys[7] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3", "CELL 4", "GROUP ", "HOLD "};
constexpr std::uint16_t kRowDefaults[7] = {TEACH_CELL_DEFAULT, TEACH_CELL_DEFAULT, TEACH_CELL_DEFAULT,
                                           TEACH_CELL_DEFAULT, TEACH_CELL_DEFAULT, TEACH_GROUP_DEFAULT,
                                           TEACH_HOLD_DEFAULT};

std::string RowSection(int row) { return "TEACH VECTOR " + std::to_string(row); }

std::uint16_t* RowWord(TeachVector& v, int k) {
  if (k < 5) return &v.Cell[k];
  return k == 5 ? &v.Group : &v.Hold;
}

// An integer item as a word, false when it is missing or not an integer. Values are not
// range-checked: an integer beyond 0..65535 is taken as its low 16 bits (-1 is 65535)
// and shown as such.
bool ReadWord(const IniDocument& doc, const std::string& section, const char* key, std::uint16_t* out) {
  long v = 0;
  if (!IniGetInt(doc, section, key, &v)) return false;
  *out = static_cast<std::uint16_t>(static_cast<unsigned long>(v) & 0xFFFFu);
  return true;
}

// After a file's values went to the panel: a value that its control could not hold as
// read (a ring code it does not offer, a number beyond its range) is named, with what the
// control took instead, and the record takes what the panel will send.
void ReportValuesNotShown(const ParameterSetRecord& read) {
  ReadParametersFromPanel();
  std::string text;
  for (const ParameterDifference& d : CompareParameterSets(read, ParameterSet)) {
    text += d.key + ": read " + std::to_string(d.first) + ", taken " + std::to_string(d.second) + "\n";
  }
  if (!text.empty()) MessagePopup("Attention!", ("Following parameter could not be shown as read:\n" + text).c_str());
}

// The panel shows the record again (a file that was read: its values, and what they
// could not be); then the mode rules, the regions and the graphs follow it.
void RefreshFromParameterSet(bool fileRead) {
  const ParameterSetRecord read = ParameterSet;
  WriteParametersToPanel();
  if (fileRead) ReportValuesNotShown(read);
  ApplyModeRules();
  PlotTeachRegions();
  UpdateLiveGraphs();
}

}  // namespace

std::string FileDialogDirectory(const std::string& lastPath) {
  struct stat st {};
  if (!lastPath.empty() && stat(lastPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    return lastPath.back() == '/' ? lastPath : lastPath + "/";
  }
  std::string drive, directory;
  SplitPath(lastPath, &drive, &directory, nullptr);
  return drive + directory;
}

std::string ChooseSettingsFile(std::string* lastPath, const char* defaultName, const char* title, bool load) {
  std::string path;
  int result = FileSelectPopup(FileDialogDirectory(*lastPath).c_str(), defaultName, "*.ini", title,
                               load ? VAL_LOAD_BUTTON : VAL_SAVE_BUTTON, 1, &path);
  bool chosen = load ? result == VAL_EXISTING_FILE_SELECTED : result > 0;
  if (!chosen || path.empty()) {
    MessagePopup("ATTENTION!", "No file was selected!");
    return std::string();
  }
  *lastPath = path;
  return path;
}

std::string GeneralInfoText(const IniDocument& doc, const char* key) {
  std::string s;
  IniGetString(doc, kGeneral, key, &s);
  if (s.size() > kHeaderTextLimit) s.resize(kHeaderTextLimit);
  return s;
}

IniDocument ParameterFileDocument(const ParameterSetRecord& set) {
  IniDocument doc;
  IniPutString(&doc, kGeneral, kFileTypeKey, kFileType);
  IniPutString(&doc, kGeneral, kVersionKey, kVersion);
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) IniPutInt(&doc, kParameter, ParameterKeys[w], set.ParameterBlock[w]);
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    TeachVector v = set.TeachBlock[r];
    const std::string section = RowSection(r);
    for (int k = 0; k < 7; ++k) IniPutInt(&doc, section, kRowKeys[k], *RowWord(v, k));
  }
  return doc;
}

ParameterFileValues ParameterFileValuesOf(const IniDocument& doc, const ParameterSetRecord& base) {
  ParameterFileValues out{base, std::string(), std::string()};
  for (int w = 0; w < PARAMETER_BLOCK_WORDS; ++w) {
    if (ReadWord(doc, kParameter, ParameterKeys[w], &out.set.ParameterBlock[w])) continue;
    out.set.ParameterBlock[w] = ParameterDefaults[w];
    out.failedParameters += w == PARA_EXTERN_TEACH ? "EXTEACH" : ParameterKeys[w];
    out.failedParameters += "\n";
  }
  for (int r = 0; r < TEACH_VECTOR_COUNT; ++r) {
    const std::string section = RowSection(r);
    bool failed = false;
    for (int k = 0; k < 7; ++k) {
      std::uint16_t* word = RowWord(out.set.TeachBlock[r], k);
      if (ReadWord(doc, section, kRowKeys[k], word)) continue;
      *word = kRowDefaults[k];
      failed = true;
    }
    if (failed) out.failedTeachVectors += section + "\n";
  }
  return out;
}

int WriteParameterFile() {
  const std::string path = ChooseSettingsFile(&State.ParameterFilePath, "Parameter.ini", "Parameter", false);
  if (path.empty()) return -1;
  ReadParametersFromPanel();
  if (IniWriteFile(ParameterFileDocument(ParameterSet), path) != 1) {
    // Saying nothing would let the operator believe the set-up was saved.
    const std::string text = "The parameter file could not be written:\n" + path +
                             "\n\nThe parameters were not saved; an existing file is unchanged.";
    MessagePopup("ATTENTION!", text.c_str());
    return -1;
  }
  TakeReference(REFERENCE_FILE);
  return 1;
}

int ReadParameterFile() {
  const std::string path = ChooseSettingsFile(&State.ParameterFilePath, "Parameter.ini", "Parameter", true);
  if (path.empty()) return -1;
  const bool read = LoadParameterFile(path) == 1;
  RefreshFromParameterSet(read);
  if (!read) return -1;
  TakeReference(REFERENCE_FILE);
  return 1;
}

int LoadParameterFile(const std::string& path) {
  IniDocument doc;
  IniReadFile(path, &doc);  // a file that cannot be read is empty: the type check refuses it
  bool proceed = true;
  if (GeneralInfoText(doc, kFileTypeKey) != kFileType &&
      ConfirmPopup("ATTENTION!", "Selected file is not a parameter file! \nDo you want to proceed anyway?") != 1) {
    proceed = false;
  } else if (GeneralInfoText(doc, kVersionKey) != kVersion &&
             ConfirmPopup("ATTENTION!", "Selected file and scope version do not match! \nDo you want to proceed anyway?") != 1) {
    proceed = false;
  }
  if (!proceed) {
    MessagePopup("ATTENTION!", "No parameter where read!");
    return -1;
  }
  ParameterFileValues values = ParameterFileValuesOf(doc, ParameterSet);
  ParameterSet = values.set;
  if (!values.failedParameters.empty()) {
    const std::string text =
        "Following parameter could not be read \nand where set to default value:\n\n" + values.failedParameters;
    MessagePopup("Attention!", text.c_str());
  }
  if (!values.failedTeachVectors.empty()) {
    const std::string text =
        "Following teach vectors could not be read \nand where set to default value:\n\n" + values.failedTeachVectors;
    MessagePopup("Attention!", text.c_str());
  }
  return 1;
}
