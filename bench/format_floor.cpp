// The formatting floor of DXF output: N group-code/value pairs formatted with
// std::to_chars into one buffer and written once. The conversion benchmark
// compares plotdxf's whole run with this on the same number of pairs.
//
//     format_floor PAIRS OUTPUT
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: format_floor PAIRS OUTPUT\n");
        return 2;
    }
    const long pairs = std::strtol(argv[1], nullptr, 10);
    // One buffer large enough for every pair, filled by to_chars in place.
    const auto buffer =
        std::make_unique_for_overwrite<char[]>(static_cast<size_t>(pairs) * 32 + 64);
    char* out = buffer.get();
    // Coordinates of a drawing: doubles of a few significant digits, as the
    // converter writes them, with the group codes of points.
    static const int codes[] = {10, 20, 30, 11, 21, 31, 40, 8, 62, 370};
    uint64_t state = 88172645463325252ull;
    for (long i = 0; i < pairs; ++i) {
        out = std::to_chars(out, out + 8, codes[i % 10]).ptr;
        *out++ = '\n';
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        const double value = static_cast<double>(state % 110000) / 10000.0 + 0.0001;
        out = std::to_chars(out, out + 24, value).ptr;
        *out++ = '\n';
    }
    const size_t size = static_cast<size_t>(out - buffer.get());
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file || std::fwrite(buffer.get(), 1, size, file) != size || std::fclose(file) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
