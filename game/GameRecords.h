// The player's records in play: the best level score and the fastest time to
// the goal of each level file, read at start-up and written after every
// completed level. A level edited since it was loaded (the editor entered, or
// the editor's own file loaded) makes no record. The HUD shows the level's
// best under the score, and "New best!" beside "Level Completed!".
#pragma once

#include "Records.h"

#include "vSimpleFont.h"

extern Records records;
extern vSimpleFont recordFont;  // the record lines' font, smaller than the HUD's

// Start-up: reads the records (a damaged file is set aside and said on the HUD).
void InitRecords();
// A level completed now: offered to the records and saved, unless edited.
void RecordCompletedRun();
// The level now in play changed since its file was loaded: nothing it scores counts.
void MarkLevelEdited();
// "Best: ..." under the score; "New best!" beside "Level Completed!".
void DrawRecordLines();
// The last completed run beat the level's best score or time.
bool NewBestShown();
