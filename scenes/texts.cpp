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
    "and drift on silent air",
    "three hearts lean in",
    "and burn in white",
    "and the whole night dissolves into light",
};

// ---- Second, Third and Fourth verse, greetings and closing lines --------------------------------
