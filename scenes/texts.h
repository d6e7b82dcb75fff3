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
