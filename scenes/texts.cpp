// The texts of the presentation: title, credits, verses, greetings and the closing lines.
#include "scenes/texts.h"
