#include "update_core/sha256.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#define SHA256_X86 1
#include <immintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#define SHA_TARGET
#else
#include <cpuid.h>
#define SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))
#endif
#endif

namespace {

const std::uint32_t ROUND_CONSTANTS[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

const std::uint32_t INITIAL_STATE[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

inline std::uint32_t rotr(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

inline std::uint32_t load_big_endian(const std::uint8_t* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

void compress_portable(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count)
{
    for (; count > 0; --count, blocks += 64) {
        // The message schedule kept as a ring of its last 16 words.
        std::uint32_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = load_big_endian(blocks + 4 * i);
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; ++i) {
            if (i >= 16) {
                const std::uint32_t w15 = w[(i - 15) & 15];
                const std::uint32_t w2 = w[(i - 2) & 15];
                w[i & 15] += (rotr(w15, 7) ^ rotr(w15, 18) ^ (w15 >> 3)) + w[(i - 7) & 15] +
                             (rotr(w2, 17) ^ rotr(w2, 19) ^ (w2 >> 10));
            }
            const std::uint32_t t1 =
                h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + ROUND_CONSTANTS[i] + w[i & 15];
            const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef SHA256_X86

bool processor_has_sha()
{
    unsigned leaf1_ecx = 0;
    unsigned leaf7_ebx = 0;
#if defined(_MSC_VER) && !defined(__clang__)
    int regs[4];
    __cpuid(regs, 0);
    if (regs[0] < 7) return false;
    __cpuid(regs, 1);
    leaf1_ecx = static_cast<unsigned>(regs[2]);
    __cpuidex(regs, 7, 0);
    leaf7_ebx = static_cast<unsigned>(regs[1]);
#else
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid_max(0, nullptr) < 7 || !__get_cpuid(1, &a, &b, &c, &d)) return false;
    leaf1_ecx = c;
    __cpuid_count(7, 0, a, b, c, d);
    leaf7_ebx = b;
#endif
    const bool ssse3 = (leaf1_ecx & (1u << 9)) != 0;
    const bool sse41 = (leaf1_ecx & (1u << 19)) != 0;
    const bool sha = (leaf7_ebx & (1u << 29)) != 0;
    return ssse3 && sse41 && sha;
}

// Four rounds of group G (0 to 15) with its message words `cur`; on the way,
// the schedule's later words are prepared: `next` (words of group G + 1) is
// completed from G's three before it, and `prev` (G - 1) takes its first part
// for group G + 3.
template <int G>
SHA_TARGET inline void four_rounds(__m128i& abef, __m128i& cdgh, __m128i& cur, __m128i& prev, __m128i& next)
{
    const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ROUND_CONSTANTS + 4 * G));
    const __m128i words = _mm_add_epi32(cur, k);
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
    if constexpr (G >= 3 && G <= 14) {
        next = _mm_sha256msg2_epu32(_mm_add_epi32(next, _mm_alignr_epi8(cur, prev, 4)), cur);
    }
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(words, 0x0E));
    if constexpr (G >= 1 && G <= 12) prev = _mm_sha256msg1_epu32(prev, cur);
}

// Four big-endian message words.
SHA_TARGET inline __m128i load_words(const std::uint8_t* bytes, __m128i byte_swap)
{
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), byte_swap);
}

SHA_TARGET void compress_with_sha_instructions(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count)
{
    // The instructions keep the state as the pairs ABEF and CDGH.
    const __m128i byte_swap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abef_before = abef;
        const __m128i cdgh_before = cdgh;
        __m128i m0 = load_words(blocks, byte_swap);
        __m128i m1 = load_words(blocks + 16, byte_swap);
        __m128i m2 = load_words(blocks + 32, byte_swap);
        __m128i m3 = load_words(blocks + 48, byte_swap);
        four_rounds<0>(abef, cdgh, m0, m3, m1);
        four_rounds<1>(abef, cdgh, m1, m0, m2);
        four_rounds<2>(abef, cdgh, m2, m1, m3);
        four_rounds<3>(abef, cdgh, m3, m2, m0);
        four_rounds<4>(abef, cdgh, m0, m3, m1);
        four_rounds<5>(abef, cdgh, m1, m0, m2);
        four_rounds<6>(abef, cdgh, m2, m1, m3);
        four_rounds<7>(abef, cdgh, m3, m2, m0);
        four_rounds<8>(abef, cdgh, m0, m3, m1);
        four_rounds<9>(abef, cdgh, m1, m0, m2);
        four_rounds<10>(abef, cdgh, m2, m1, m3);
        four_rounds<11>(abef, cdgh, m3, m2, m0);
        four_rounds<12>(abef, cdgh, m0, m3, m1);
        four_rounds<13>(abef, cdgh, m1, m0, m2);
        four_rounds<14>(abef, cdgh, m2, m1, m3);
        four_rounds<15>(abef, cdgh, m3, m2, m0);
        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), hgfe);
}

const bool has_sha_instructions = processor_has_sha();
bool sha_instructions_allowed = true;

#else

const bool has_sha_instructions = false;
bool sha_instructions_allowed = false;

#endif

void compress(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count)
{
#ifdef SHA256_X86
    if (has_sha_instructions && sha_instructions_allowed) {
        compress_with_sha_instructions(state, blocks, count);
        return;
    }
#endif
    compress_portable(state, blocks, count);
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void C_sha256::restart()
{
    std::memcpy(state_, INITIAL_STATE, sizeof state_);
    pending_size_ = 0;
    total_ = 0;
}

void C_sha256::add(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    total_ += size;
    if (pending_size_ > 0) {
        const std::size_t taken = size < 64 - pending_size_ ? size : 64 - pending_size_;
        std::memcpy(pending_ + pending_size_, bytes, taken);
        pending_size_ += taken;
        bytes += taken;
        size -= taken;
        if (pending_size_ < 64) return;
        compress(state_, pending_, 1);
        pending_size_ = 0;
    }
    // Whole blocks straight from the caller's buffer.
    const std::size_t whole = size / 64;
    if (whole > 0) compress(state_, bytes, whole);
    bytes += whole * 64;
    size -= whole * 64;
    std::memcpy(pending_, bytes, size);
    pending_size_ = size;
}

C_sha256_digest C_sha256::finish()
{
    const std::uint64_t bits = total_ * 8;
    std::uint8_t tail[128] = {};
    std::memcpy(tail, pending_, pending_size_);
    tail[pending_size_] = 0x80;
    // The length takes the last 8 bytes of the block, which needs a second
    // block when fewer than 9 bytes are left in this one.
    const std::size_t tail_size = pending_size_ + 9 <= 64 ? 64 : 128;
    for (int i = 0; i < 8; ++i) tail[tail_size - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
    compress(state_, tail, tail_size / 64);

    C_sha256_digest digest;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * j));
    }
    restart();
    return digest;
}

bool sha_instructions_available()
{
    return has_sha_instructions;
}

bool use_sha_instructions(bool allowed)
{
    const bool before = sha_instructions_allowed;
#ifdef SHA256_X86
    sha_instructions_allowed = allowed;
#else
    (void)allowed;
#endif
    return before;
}

std::string digest_to_hex(const C_sha256_digest& digest)
{
    static const char DIGITS[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (const std::uint8_t byte : digest) {
        hex.push_back(DIGITS[byte >> 4]);
        hex.push_back(DIGITS[byte & 15]);
    }
    return hex;
}

bool digest_from_hex(const char* hex, std::size_t size, C_sha256_digest& digest)
{
    if (size != 64) return false;
    for (std::size_t i = 0; i < 32; ++i) {
        const int high = hex_value(hex[2 * i]);
        const int low = hex_value(hex[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        digest[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}
