#pragma once

// The driver's own dialogs, with their fixed texts (code page 932).

// Shows the summary with OK and Cancel; true only for OK.
bool confirmSummary(const char* summaryText);

// "正常終了", titled "info".
void showCompletion();

// "このEXEが壊れています.", titled "エラー".
void showDamagedExecutable();
