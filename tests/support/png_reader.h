// Reading back the PNG pictures the program writes, for the capture and frame-export tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads an 8-bit RGB PNG, rows top first. Empty on failure.
std::vector<uint8_t> readPng(const std::string& path, int* width, int* height);
