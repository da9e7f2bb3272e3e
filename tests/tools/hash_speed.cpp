// Times the updater's SHA-256 on data in memory, for the benchmark: the
// portable rounds, and the processor's SHA instructions where it has them.
// Prints one line per implementation:
//   HASH <portable|instructions> <MiB per second>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "update_core/sha256.h"

namespace {

const std::size_t DATA_SIZE = 256u << 20;
const std::size_t CHUNK = 1000000;  // as the copy reads

double seconds_now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The best of three runs, in MiB per second.
double speed(const std::vector<unsigned char>& data)
{
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        const double start = seconds_now();
        C_sha256 hash;
        for (std::size_t at = 0; at < data.size(); at += CHUNK) {
            hash.add(data.data() + at, data.size() - at < CHUNK ? data.size() - at : CHUNK);
        }
        hash.finish();
        const double elapsed = seconds_now() - start;
        const double mib_per_second = static_cast<double>(data.size() >> 20) / elapsed;
        if (mib_per_second > best) best = mib_per_second;
    }
    return best;
}

}  // namespace

int main()
{
    std::vector<unsigned char> data(DATA_SIZE);
    unsigned value = 12345;
    for (auto& byte : data) {
        value = value * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(value >> 16);
    }
    use_sha_instructions(false);
    std::printf("HASH portable %.0f\n", speed(data));
    if (sha_instructions_available()) {
        use_sha_instructions(true);
        std::printf("HASH instructions %.0f\n", speed(data));
    }
    return 0;
}
