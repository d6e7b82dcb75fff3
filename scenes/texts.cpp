// The texts of the presentation: title, credits, verses, greetings and the closing lines.
// Nothing but data; the scenes decide when each line is shown.
#include "scenes/texts.h"

// ---- Title, credits and the First verse --------------------------------------------------------

const char* const titleText = "Velmora";

const char* const creditLines[3] = {
    "Code: Orin Tessaly",
    "Music: Sable Ferro",
    "Graphics: Ilsa Wrenn",
};

const char* const firstVerseLines[5] = {
    "Embers wake at dusk",
    "and float on silent air",
    "three hearts lean in",
    "and burn in white",
    "till all the still night drifts to light",
};

// ---- Second, Third and Fourth verse, greetings and closing lines --------------------------------

const char* const secondVerseLines[4] = {
    "Into the tunnel of light",
    "thin arcs crackle and hiss",
    "the walls hum our names",
    "and follow the glow",
};

const char* const thirdVerseLines[4] = {
    "Two hearts drift close by",
    "the world swells ",
    "the shells breathe out",
    "and sink back down",
};

// A verse line resting 15 units away spans about 16.5 em across the view; the 40-character line
// is made of narrow letters so that it stays inside it.
const char* const fourthVerseLines[5] = {
    "Deep in the room candles sway",    "long shadows climb up every wall",
    "a thousand sparks rise and fade",  "a little light still flits and flickers,",
    "until the morning brings us home",
};

// The greeted groups are our own inventions; the signing lines name the makers of the credits.
const char* const closingLines[21] = {
    "Greetings go to",
    "Moltern",
    "Brassmoth",
    "Tallowick Crew",
    "Quenfold",
    "Pelvarin",
    "Ostrune",
    "Kelbry",
    "Vrel",
    "Glimmerhaft",
    "Sorrel Engine",
    "Nubrak",
    "Lantern Makers",
    "Oxyl",
    "Fenmo",
    "===============",
    "Orin Tessaly wrote the code,",
    "Sable Ferro made the music,",
    "and Ilsa Wrenn the pictures",
    "===============",
    "Thank you for watching. Goodnight",
};
