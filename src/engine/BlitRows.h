// SPDX-License-Identifier: GPL-3.0-or-later
// The inner loops of keyed copies, shared by the surface's draws: each
// copies rows of pixels of one size, keeping the destination where the
// source holds the key (or lies outside its opaque runs).
#pragma once

#include "OpaqueRuns.h"

#include <cstddef>
#include <cstdint>

inline uint32_t Load24(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16);
}

// n pixels of src over dst; pixels equal to key keep the destination.
void KeyedRow32(uint32_t* dst, const uint32_t* src, int n, uint32_t key);
void KeyedRow16(uint16_t* dst, const uint16_t* src, int n, uint16_t key);
void KeyedRow24(uint8_t* dst, const uint8_t* src, int n, uint32_t key);

// rows rows of a keyed draw through runs, from run row r0. d and s point at
// column c0 of the runs on the first row; only columns [c0, c1) are copied.
void CopyRunRows16(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, int rows,
                   const TOpaqueRuns& runs, int r0, int c0, int c1);
void CopyRunRows24(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, int rows,
                   const TOpaqueRuns& runs, int r0, int c0, int c1);
void CopyRunRows32(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, int rows,
                   const TOpaqueRuns& runs, int r0, int c0, int c1);
