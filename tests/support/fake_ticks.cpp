// The hand-driven tick count of the tests.
#include "tests/support/fake_ticks.h"

uint32_t fakeTicks = 0;

uint32_t readFakeTicks()
{
    return fakeTicks;
}

Services fakeTickServices()
{
    Services table;
    table.tickCount = readFakeTicks;
    return table;
}
