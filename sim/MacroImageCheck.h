#pragma once
// The simulated mouse's check of an uploaded macro memory image: a 64-byte offset
// table (32 little-endian entries, 0 = no macro) followed by 4-byte event records,
// each macro closed by an end record (kind 0x83) and four zero bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Empty when the image is well formed, otherwise why not.
std::string CheckMacroImage(const uint8_t* image, size_t length);

// A well-formed image of exactly `length` bytes (64 plus a multiple of 4, at most
// 4000): as many macros of key presses and releases as the table holds, each closed
// by its end record. For benchmarks and tests of uploads.
std::vector<uint8_t> MakeSampleMacroImage(size_t length);
