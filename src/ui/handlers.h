// What MainWindow does: one handler per bound event, each making one call on
// the program's voice. The handlers keep no state; the pause state lives
// only in the caption of 按钮_暂停.
#pragma once

#include "ui/controls.h"

void OnWindowCreated(Controls& controls);
void OnVolumeChanged(Controls& controls);
void OnSpeedChanged(Controls& controls);
void OnReadAloudClicked(Controls& controls);
void OnPauseResumeClicked(Controls& controls);
