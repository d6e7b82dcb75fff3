// The eight scenes in play order. Each runs its set-up, its own timed loop and its wind-down.
#pragma once

void openingScene();
void titleScene();
void creditsScene();
void firstVerseScene();
void secondVerseScene();
void thirdVerseScene();
void fourthVerseScene();
void closingScene();
