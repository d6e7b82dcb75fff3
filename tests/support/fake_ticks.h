// The tick count a test drives by hand: hand readFakeTicks down as the services' tickCount
// (core/services.h) and set fakeTicks to the millisecond the clocks are to read.
#pragma once
#include <cstdint>

#include "core/services.h"

extern uint32_t fakeTicks;
uint32_t readFakeTicks();

// A table holding only the fake tick count, for tests that need nothing else handed down.
Services fakeTickServices();
