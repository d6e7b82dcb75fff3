// Every text the presentation shows, in one place so that they read together. Each table keeps
// the exact lengths the scenes' layouts were made for (spaces count); the scenes pair the lines
// with their times. All lines are plain 7-bit ASCII without format directives.
#pragma once

// ---- Title, credits and the First verse --------------------------------------------------------

// The presentation's name, shown by the Title scene (the render window bears the same title).
extern const char* const titleText;
// The Credits scene's three lines, one contribution and its maker each (18, 18, 20 characters).
extern const char* const creditLines[3];
// The First verse scene's five lines (19, 23, 20, 17, 40 characters).
extern const char* const firstVerseLines[5];

// ---- Second, Third and Fourth verse, greetings and closing lines --------------------------------

// The Second verse scene's four lines (24, 26, 23, 19 characters).
extern const char* const secondVerseLines[4];
// The Third verse scene's four lines (25, 17, 22, 18 characters; the second ends in a space).
extern const char* const thirdVerseLines[4];
// The Fourth verse scene's five lines (29, 32, 31, 40, 32 characters).
extern const char* const fourthVerseLines[5];
// The closing scene's 21 lines in scroll order: the greetings heading (15), fourteen greeted
// groups (7, 9, 14, 8, 8, 7, 6, 4, 11, 13, 6, 14, 4, 5), a row of 15 '=', three lines signing
// the presentation (28, 27, 27), a second row of 15 '=', the sign-off (33).
extern const char* const closingLines[21];
