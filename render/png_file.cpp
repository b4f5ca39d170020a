#include "render/png_file.h"

#include "platform/replacing_file.h"

#include <array>
#include <cmath>
#include <cstring>

namespace render {

namespace {

constexpr double kMetresPerInch = 0.0254;
// Runs shorter than this are cheaper as literals.
constexpr size_t kShortestRun = 4;
constexpr size_t kLongestMatch = 258;

const std::array<uint32_t, 256>& CrcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> values{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            values[n] = c;
        }
        return values;
    }();
    return table;
}

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : bytes)
        crc = CrcTable()[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(std::span<const uint8_t> bytes) {
    constexpr uint32_t kModulus = 65521;
    uint32_t a = 1, b = 0;
    for (uint8_t byte : bytes) {
        a = (a + byte) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], std::span<const uint8_t> data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(std::span(out).subspan(start)));
}

// Writes deflate's bits: least significant first, Huffman codes from their
// most significant bit.
class BitWriter {
  public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}

    void Bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            Bit((value >> i) & 1);
    }
    void Code(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i)
            Bit((code >> i) & 1);
    }
    void Flush() {
        if (used_ > 0) out_.push_back(current_);
        current_ = 0;
        used_ = 0;
    }

  private:
    void Bit(uint32_t bit) {
        current_ |= static_cast<uint8_t>(bit << used_);
        if (++used_ == 8) Flush();
    }

    std::vector<uint8_t>& out_;
    uint8_t current_ = 0;
    int used_ = 0;
};

// A literal or length symbol in deflate's fixed Huffman code.
void Symbol(BitWriter& bits, uint32_t symbol) {
    if (symbol < 144) {
        bits.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        bits.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        bits.Code(symbol - 256, 7);
    } else {
        bits.Code(0xC0 + symbol - 280, 8);
    }
}

// A copy of the byte before, `length` (3 to 258) times.
void RepeatPrevious(BitWriter& bits, size_t length) {
    static constexpr std::array<uint16_t, 29> kBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr std::array<uint8_t, 29> kExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    size_t code = kBase.size() - 1;
    while (kBase[code] > length)
        --code;
    Symbol(bits, static_cast<uint32_t>(257 + code));
    bits.Bits(static_cast<uint32_t>(length - kBase[code]), kExtra[code]);
    bits.Code(0, 5); // distance 1
}

// A zlib stream of `raw` in one block of deflate's fixed code, runs of a
// repeated byte copied from the byte before: the filtered rows of a drawing
// are mostly runs of zeros.
std::vector<uint8_t> Compressed(std::span<const uint8_t> raw) {
    std::vector<uint8_t> out = {0x78, 0x01}; // deflate, 32 KiB window, no preset dictionary
    BitWriter bits(out);
    bits.Bits(1, 1); // the last block
    bits.Bits(1, 2); // fixed Huffman codes
    for (size_t at = 0; at < raw.size();) {
        Symbol(bits, raw[at]);
        size_t run = 0;
        while (at + 1 + run < raw.size() && run < kLongestMatch && raw[at + 1 + run] == raw[at]) {
            ++run;
        }
        if (run >= kShortestRun) {
            RepeatPrevious(bits, run);
            at += 1 + run;
        } else {
            ++at;
        }
    }
    Symbol(bits, 256); // end of block
    bits.Flush();
    PutBigEndian(out, Adler32(raw));
    return out;
}

} // namespace

std::vector<uint8_t> EncodePng(std::span<const uint32_t> pixels, int width, int height,
                               double dotsPerInch) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    PutChunk(out, "IHDR", header);

    std::vector<uint8_t> physical;
    const auto perMetre = static_cast<uint32_t>(std::lround(dotsPerInch / kMetresPerInch));
    PutBigEndian(physical, perMetre);
    PutBigEndian(physical, perMetre);
    physical.push_back(1); // the unit is the metre
    PutChunk(out, "pHYs", physical);

    // Each row as its difference from the row above (the "Up" filter).
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    std::vector<uint8_t> raw, row(rowBytes), above(rowBytes, 0);
    raw.reserve(static_cast<size_t>(height) * (1 + rowBytes));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
            row[3 * x] = static_cast<uint8_t>(pixel >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(pixel >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(pixel);
        }
        raw.push_back(2);
        for (size_t i = 0; i < rowBytes; ++i)
            raw.push_back(static_cast<uint8_t>(row[i] - above[i]));
        std::swap(row, above);
    }
    PutChunk(out, "IDAT", Compressed(raw));
    PutChunk(out, "IEND", {});
    return out;
}

bool WritePngFile(const std::string& path, std::span<const uint32_t> pixels, int width, int height,
                  double dotsPerInch, std::string& error) {
    const std::vector<uint8_t> bytes = EncodePng(pixels, width, height, dotsPerInch);
    return platform::ReplaceFileWith(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

} // namespace render
