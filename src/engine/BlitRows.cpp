// SPDX-License-Identifier: GPL-3.0-or-later
// The inner loops of keyed copies, row by row: by key comparison (SSE2
// where present) and through a pattern's opaque runs (wide moves).
#include "BlitRows.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Keyed row copies. Pixels equal to the key keep the destination.
void KeyedRow32(uint32_t* dst, const uint32_t* src, int n, uint32_t key)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    for (; i + 8 <= n; i += 8) {
        const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4));
        const __m128i m0 = _mm_cmpeq_epi32(s0, k);
        const __m128i m1 = _mm_cmpeq_epi32(s1, k);
        const int mask = _mm_movemask_epi8(_mm_and_si128(m0, m1));
        if (mask == 0xFFFF) continue; // all transparent
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        if (_mm_movemask_epi8(_mm_or_si128(m0, m1)) == 0) {
            _mm_storeu_si128(d, s0);
            _mm_storeu_si128(d + 1, s1);
            continue;
        }
        const __m128i d0 = _mm_loadu_si128(d);
        const __m128i d1 = _mm_loadu_si128(d + 1);
        _mm_storeu_si128(d, _mm_or_si128(_mm_and_si128(m0, d0), _mm_andnot_si128(m0, s0)));
        _mm_storeu_si128(d + 1, _mm_or_si128(_mm_and_si128(m1, d1), _mm_andnot_si128(m1, s1)));
    }
#endif
    for (; i < n; ++i) {
        if (src[i] != key) dst[i] = src[i];
    }
}

void KeyedRow16(uint16_t* dst, const uint16_t* src, int n, uint16_t key)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi16(static_cast<short>(key));
    for (; i + 8 <= n; i += 8) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i m = _mm_cmpeq_epi16(s, k);
        const int mask = _mm_movemask_epi8(m);
        if (mask == 0xFFFF) continue;
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        if (mask == 0) {
            _mm_storeu_si128(d, s);
            continue;
        }
        const __m128i dv = _mm_loadu_si128(d);
        _mm_storeu_si128(d, _mm_or_si128(_mm_and_si128(m, dv), _mm_andnot_si128(m, s)));
    }
#endif
    for (; i < n; ++i) {
        if (src[i] != key) dst[i] = src[i];
    }
}

void KeyedRow24(uint8_t* dst, const uint8_t* src, int n, uint32_t key)
{
    for (int i = 0; i < n; ++i, dst += 3, src += 3) {
        if (Load24(src) != key) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
}

namespace {

// Unaligned byte vectors: 32-byte moves where the processor has them (the
// AVX2 clone below), pairs of 16-byte moves otherwise.
typedef uint8_t TBytes32 __attribute__((vector_size(32), aligned(1), may_alias));
typedef uint8_t TBytes16 __attribute__((vector_size(16), aligned(1), may_alias));

// Copies n bytes, one to two times the size of T, as two overlapping moves.
template <typename T>
[[gnu::always_inline]] inline void CopyPair(uint8_t* d, const uint8_t* s, size_t n)
{
    T a, b;
    std::memcpy(&a, s, sizeof a);
    std::memcpy(&b, s + n - sizeof b, sizeof b);
    std::memcpy(d, &a, sizeof a);
    std::memcpy(d + n - sizeof b, &b, sizeof b);
}

// Copies one opaque span with overlapping unaligned moves: spans are short
// (a sprite row holds a few), and a call into memcpy costs more than them.
[[gnu::always_inline]] inline void CopySpan(uint8_t* d, const uint8_t* s, size_t n)
{
    if (n >= 32) {
        size_t i = 0;
        for (; i + 32 <= n; i += 32) *reinterpret_cast<TBytes32*>(d + i) = *reinterpret_cast<const TBytes32*>(s + i);
        if (i < n) *reinterpret_cast<TBytes32*>(d + n - 32) = *reinterpret_cast<const TBytes32*>(s + n - 32);
    } else if (n >= 16) {
        CopyPair<TBytes16>(d, s, n);
    } else if (n >= 8) {
        CopyPair<uint64_t>(d, s, n);
    } else if (n >= 4) {
        CopyPair<uint32_t>(d, s, n);
    } else if (n >= 2) {
        CopyPair<uint16_t>(d, s, n);
    } else if (n == 1) {
        d[0] = s[0];
    }
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ZARVENOK_WIDE_CLONES [[gnu::target_clones("avx2", "default")]]
#else
#define ZARVENOK_WIDE_CLONES
#endif

// The rows of a keyed draw through runs. d and s point at column c0 of the
// runs on the first row; only columns [c0, c1) are copied.
template <int Bpp>
[[gnu::always_inline]] inline void CopyRunRowsOf(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch,
                                                 int rows, const TOpaqueRuns& runs, int r0, int c0, int c1)
{
    if (c0 == 0 && c1 == runs.Width()) {
        for (int row = 0; row < rows; ++row, d += dPitch, s += sPitch)
            for (const TOpaqueRun run : runs.Row(r0 + row))
                CopySpan(d + ptrdiff_t{run.Start} * Bpp, s + ptrdiff_t{run.Start} * Bpp, size_t{run.Length} * Bpp);
        return;
    }
    for (int row = 0; row < rows; ++row, d += dPitch, s += sPitch) {
        for (const TOpaqueRun run : runs.Row(r0 + row)) {
            const int a = std::max<int>(run.Start, c0);
            const int b = std::min<int>(run.Start + run.Length, c1);
            if (a < b)
                CopySpan(d + static_cast<ptrdiff_t>(a - c0) * Bpp, s + static_cast<ptrdiff_t>(a - c0) * Bpp,
                         static_cast<size_t>(b - a) * Bpp);
        }
    }
}

} // namespace

ZARVENOK_WIDE_CLONES
void CopyRunRows16(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, int rows,
                   const TOpaqueRuns& runs, int r0, int c0, int c1)
{
    CopyRunRowsOf<2>(d, dPitch, s, sPitch, rows, runs, r0, c0, c1);
}

ZARVENOK_WIDE_CLONES
void CopyRunRows24(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, int rows,
                   const TOpaqueRuns& runs, int r0, int c0, int c1)
{
    CopyRunRowsOf<3>(d, dPitch, s, sPitch, rows, runs, r0, c0, c1);
}

ZARVENOK_WIDE_CLONES
void CopyRunRows32(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, int rows,
                   const TOpaqueRuns& runs, int r0, int c0, int c1)
{
    CopyRunRowsOf<4>(d, dPitch, s, sPitch, rows, runs, r0, c0, c1);
}
