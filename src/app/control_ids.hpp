// Identifiers of the dialog's controls and commands. The controller addresses
// every control through them, so a window that honours these numbers can be
// swapped for a test double.
#pragma once

namespace framestow::app {

enum ControlId : int {
  IDOK = 1,  // Enter pressed while the focus is not on a push button
  IDCANCEL = 2,
  IDBROWSE = 5,
  FILE_PATH_FLD = 101,
  F_TARGET_FLD = 102,
  F_TARGET_BTN = 103,
  FILE_LOCATION_LABEL = 106,
  TARGET_LABEL = 107,
  IDOPTIMISE = 111,
  IDSCAN = 129,
  FILE_INFO_GROUP = 130,
  ANALYSIS_GROUP = 131,
  MODIFICATION_GROUP = 132,
  OUTPUT_GROUP = 133,
  IDBACKUP = 134,
  HEADERTEXT1 = 135,
  HEADERTEXT2 = 136,
  HEADERTEXT3 = 137,
  HEADERTEXT4 = 138,
  ANALYSISTEXT1 = 139,
  ANALYSISTEXT2 = 140,
  ANALYSISTEXT3 = 141,
  COMMENTTEXT1 = 142,
  COMMENTTEXT2 = 143,
  COMMENTTEXT3 = 144,
  BTN_SAVE = 145,
  SHORTNAMETEXT = 156,
  ANALYSISTEXT4 = 159,
  // Lines of our own, empty until a later step has something to say there:
  // why the analysed movie cannot be saved (under the analysis lines), the
  // cause of a save's result (under the verdict lines) and the backup a save
  // kept (under the backup box).
  SAVE_BLOCKED_TEXT = 160,
  SAVE_CAUSE_TEXT = 161,
  BACKUP_NAME_TEXT = 162,
  // Opens the window with the stream profile for the target frame.
  PROFILE_BTN = 163,
  // "Keep assets that earlier code uses": plan and save with the safe plan.
  KEEP_ASSETS = 164,
};

}  // namespace framestow::app
