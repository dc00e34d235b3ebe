// Header sniffing and size-bounded decoding of the detector's input file.
#include "ImageSource.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace bitonix {

namespace {

constexpr long long KMaxFileBytes = 256LL << 20;
constexpr long long KMaxDecodedPixels = 40'000'000;
constexpr long long KMinSide = 32;
// The working copy's long side: JPEGs are reduced to the smallest DCT scale
// that stays at least this long; other formats are resized to it.
constexpr int KWorkLongSide = 800;

std::uint32_t BigEndian(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value = (value << 8) | b[at + static_cast<std::size_t>(i)];
    }
    return value;
}

std::uint32_t LittleEndian(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | b[at + static_cast<std::size_t>(i)];
    }
    return value;
}

bool IsStartOfFrame(std::uint8_t marker) {
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<TImageHeader> JpegHeader(const std::vector<std::uint8_t>& b) {
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) {
            return std::nullopt;
        }
        while (at < b.size() && b[at] == 0xFF) {
            ++at; // fill bytes
        }
        if (at >= b.size()) {
            return std::nullopt;
        }
        const std::uint8_t marker = b[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            continue; // markers without a length
        }
        if (marker == 0xD9 || marker == 0xDA || at + 2 > b.size()) {
            return std::nullopt; // image or scan before any frame header
        }
        const std::size_t length = BigEndian(b, at, 2);
        if (length < 2) {
            return std::nullopt;
        }
        if (IsStartOfFrame(marker)) {
            if (at + 7 > b.size()) {
                return std::nullopt;
            }
            TImageHeader header;
            header.Format = TImageFormat::ifJpeg;
            header.Height = BigEndian(b, at + 3, 2);
            header.Width = BigEndian(b, at + 5, 2);
            return header;
        }
        at += length;
    }
    return std::nullopt;
}

std::optional<TImageHeader> ParseHeader(const std::vector<std::uint8_t>& b) {
    static const std::uint8_t KPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
        return JpegHeader(b);
    }
    if (b.size() >= 24 && std::equal(std::begin(KPng), std::end(KPng), b.begin()) && b[12] == 'I' &&
        b[13] == 'H' && b[14] == 'D' && b[15] == 'R') {
        TImageHeader header;
        header.Format = TImageFormat::ifPng;
        header.Width = BigEndian(b, 16, 4);
        header.Height = BigEndian(b, 20, 4);
        return header;
    }
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        const std::uint32_t info = LittleEndian(b, 14, 4);
        TImageHeader header;
        header.Format = TImageFormat::ifBmp;
        if (info == 12) {
            header.Width = LittleEndian(b, 18, 2);
            header.Height = LittleEndian(b, 20, 2);
        } else if (info >= 40) {
            // Signed: a negative height means rows stored top-down.
            header.Width = static_cast<std::int32_t>(LittleEndian(b, 18, 4));
            header.Height = static_cast<std::int32_t>(LittleEndian(b, 22, 4));
            header.Height = header.Height < 0 ? -header.Height : header.Height;
        } else {
            return std::nullopt;
        }
        return header;
    }
    return std::nullopt;
}

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// The whole file, or empty when it is not a readable regular file of a
// plausible size.
std::vector<std::uint8_t> ReadWholeFile(const char* path) {
    TFilePtr file(std::fopen(path, "rb"));
    if (!file) {
        return {};
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 8 ||
        info.st_size > KMaxFileBytes) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return {};
    }
    return bytes;
}

// The largest DCT scale (1, 2, 4 or 8) that keeps the long side at least
// KWorkLongSide pixels.
int JpegScale(long long longSide) {
    int scale = 8;
    while (scale > 1 && (longSide + scale - 1) / scale < KWorkLongSide) {
        scale /= 2;
    }
    return scale;
}

int ReducedColourFlag(int scale) {
    switch (scale) {
    case 2:
        return cv::IMREAD_REDUCED_COLOR_2;
    case 4:
        return cv::IMREAD_REDUCED_COLOR_4;
    case 8:
        return cv::IMREAD_REDUCED_COLOR_8;
    default:
        return cv::IMREAD_COLOR;
    }
}

} // namespace

std::optional<TImageHeader> ReadImageHeader(const std::vector<std::uint8_t>& bytes) {
    std::optional<TImageHeader> header = ParseHeader(bytes);
    if (header && (header->Width <= 0 || header->Height <= 0)) {
        return std::nullopt;
    }
    return header;
}

std::optional<TWorkImage> LoadWorkImage(const char* utf8Path) {
    if (utf8Path == nullptr || *utf8Path == '\0') {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes = ReadWholeFile(utf8Path);
    const std::optional<TImageHeader> header = ReadImageHeader(bytes);
    if (!header || header->Width < KMinSide || header->Height < KMinSide) {
        return std::nullopt;
    }

    const long long longSide = std::max(header->Width, header->Height);
    const int scale = header->Format == TImageFormat::ifJpeg ? JpegScale(longSide) : 1;
    const long long decodedPixels =
        ((header->Width + scale - 1) / scale) * ((header->Height + scale - 1) / scale);
    if (decodedPixels > KMaxDecodedPixels) {
        return std::nullopt;
    }

    const cv::Mat encoded(1, static_cast<int>(bytes.size()), CV_8U,
                          const_cast<std::uint8_t*>(bytes.data())); // read only
    cv::Mat colour =
        cv::imdecode(encoded, ReducedColourFlag(scale) | cv::IMREAD_IGNORE_ORIENTATION);
    if (colour.empty() || colour.type() != CV_8UC3) {
        return std::nullopt;
    }

    TWorkImage work;
    work.Full = cv::Size(static_cast<int>(header->Width), static_cast<int>(header->Height));
    if (header->Format == TImageFormat::ifJpeg &&
        colour.cols == (work.Full.width + scale - 1) / scale &&
        colour.rows == (work.Full.height + scale - 1) / scale) {
        // DCT scaling: each decoded pixel is exactly one scale x scale block.
        work.ToFull = TScaleMap::Blocks(scale, scale);
    } else {
        if (colour.cols != work.Full.width || colour.rows != work.Full.height) {
            return std::nullopt; // the decoder disagrees with the header
        }
        const int decodedLong = std::max(colour.cols, colour.rows);
        if (decodedLong > 2 * KWorkLongSide) {
            const double shrink = static_cast<double>(KWorkLongSide) / decodedLong;
            cv::resize(colour, colour,
                       cv::Size(std::max(1, cvRound(colour.cols * shrink)),
                                std::max(1, cvRound(colour.rows * shrink))),
                       0, 0, cv::INTER_AREA);
        }
        work.ToFull = TScaleMap::Blocks(static_cast<double>(work.Full.width) / colour.cols,
                                        static_cast<double>(work.Full.height) / colour.rows);
    }
    work.Colour = colour;
    return work;
}

} // namespace bitonix
