#include "render/png_file.h"

#include "platform/replacing_file.h"

#include <zlib.h>

#include <cmath>
#include <new>

namespace render {

namespace {

constexpr double kMetresPerInch = 0.0254;
// zlib hands its output over in pieces of this many bytes at most.
constexpr size_t kOutputPiece = 64 * 1024;

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], std::span<const uint8_t> data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The check sum covers the type and the data.
    PutBigEndian(out, static_cast<uint32_t>(crc32_z(0, out.data() + start, out.size() - start)));
}

// A zlib stream (deflate, default level) appending what it makes to `out`.
class Deflater {
  public:
    explicit Deflater(std::vector<uint8_t>& out) : out_(out), piece_(kOutputPiece) {
        // Only memory can fail here: the level and zlib's version are the build's own.
        if (deflateInit(&stream_, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void Add(std::span<const uint8_t> bytes) { Deflate(bytes, Z_NO_FLUSH); }
    void Finish() { Deflate({}, Z_FINISH); }

  private:
    // Until zlib leaves room in the piece, it has taken all of `bytes` (and,
    // finishing, ended the stream).
    void Deflate(std::span<const uint8_t> bytes, int flush) {
        stream_.next_in = const_cast<Bytef*>(bytes.data()); // zlib only reads its input
        stream_.avail_in = static_cast<uInt>(bytes.size());
        do {
            stream_.next_out = piece_.data();
            stream_.avail_out = static_cast<uInt>(piece_.size());
            deflate(&stream_, flush);
            out_.insert(out_.end(), piece_.data(), stream_.next_out);
        } while (stream_.avail_out == 0);
    }

    std::vector<uint8_t>& out_;
    std::vector<uint8_t> piece_;
    z_stream stream_{};
};

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

    // Each row as its difference from the row above (the "Up" filter): a
    // drawing's rows mostly repeat the row above, so they become zeros.
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    std::vector<uint8_t> row(rowBytes), above(rowBytes, 0), filtered(1 + rowBytes);
    filtered[0] = 2; // the filter's number
    std::vector<uint8_t> data;
    Deflater deflater(data);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
            row[3 * x] = static_cast<uint8_t>(pixel >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(pixel >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(pixel);
        }
        for (size_t i = 0; i < rowBytes; ++i)
            filtered[1 + i] = static_cast<uint8_t>(row[i] - above[i]);
        deflater.Add(filtered);
        std::swap(row, above);
    }
    deflater.Finish();
    PutChunk(out, "IDAT", data);
    PutChunk(out, "IEND", {});
    return out;
}

bool WritePngFile(const std::string& path, std::span<const uint32_t> pixels, int width, int height,
                  double dotsPerInch, std::string& error) {
    const std::vector<uint8_t> bytes = EncodePng(pixels, width, height, dotsPerInch);
    return platform::ReplaceFileWith(
        path, platform::FileKind::Png,
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

} // namespace render
