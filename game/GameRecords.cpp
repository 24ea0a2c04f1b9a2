#include "GameRecords.h"

#include <cstdio>
#include <string>

#include "GameObjects.h"
#include "GameOptions.h"
#include "GameRules.h"
#include "Level.h"

Records records;

namespace {

bool newBest = false;

}  // namespace

vSimpleFont recordFont;

void InitRecords()
{
    recordFont.InitFont(34, "Comic Sans MS", 0, 900, false);
    std::string complaint;
    if (records.Load(&complaint) == FileOutcome::Damaged) ShowHudMessage(complaint);
}

void MarkLevelEdited()
{
    levelEdited = true;
}

void RecordCompletedRun()
{
    newBest = false;
    if (levelEdited || !levelLoaded) return;
    const std::uint32_t ms = GetTickCount() - levelStartTick;
    const Records::Offer offer = records.Submit(currentLevel, levelChecksum, levelScore, ms);
    newBest = offer.bestScore || offer.fastest;
    std::string why;
    if (newBest && !records.Save(&why)) ShowHudMessage("The records could not be saved: " + why);
}

bool NewBestShown()
{
    return newBest && levelCompleted;
}

void DrawRecordLines()
{
    if (levelLoaded && !levelEdited) {
        if (const LevelRecord* best = records.Find(currentLevel, levelChecksum)) {
            recordFont.DrawTextSprintf(7, 447, 0xFF000000, "Best: %d", best->bestScore);
            recordFont.DrawTextSprintf(5, 445, 0xFF4DB24D, "Best: %d", best->bestScore);
        }
    }
    if (NewBestShown()) {
        // Beside "Level Completed!": the score table leaves no line under it.
        recordFont.DrawTextA("New best!", 732, 322, 0xFF000000);
        recordFont.DrawTextA("New best!", 730, 320, 0xFFFFD700);
    }
}
