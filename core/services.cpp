// The table of what the shell hands down (core/services.h): one copy, replaced whole.
#include "core/services.h"

namespace {
Services handed;
}

void handDownServices(const Services& table)
{
    handed = table;
}

const Services& services()
{
    return handed;
}
