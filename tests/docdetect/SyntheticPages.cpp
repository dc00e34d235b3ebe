// Drawing and encoding of the detector's test images.
#include "SyntheticPages.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <zlib.h>

#include <cmath>
#include <fstream>
#include <stdexcept>

namespace bitonix {

namespace {

// Rows of word-like dark strokes between the margins of a page canvas.
void PrintLines(cv::Mat& page, cv::RNG& rng, int top, int margin, int pitch) {
    for (int y = top; y + 10 < page.rows - margin; y += pitch) {
        int x = margin;
        const int end = page.cols - margin - rng.uniform(0, page.cols / 4);
        while (x < end) {
            const int word = rng.uniform(12, 60);
            cv::rectangle(page, cv::Rect(x, y, std::min(word, end - x), 8), cv::Scalar(40, 40, 40),
                          cv::FILLED);
            x += word + 9;
        }
    }
}

void AppendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void AppendChunk(std::vector<std::uint8_t>& out, const char* type,
                 const std::vector<std::uint8_t>& data) {
    AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    AppendBigEndian(
        out, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

} // namespace

TPagePhoto PagePhoto(double turnDeg) {
    const cv::Size frame(1200, 900);
    cv::RNG rng(20240611);
    cv::Mat desk(frame, CV_8UC3);
    rng.fill(desk, cv::RNG::NORMAL, cv::Scalar(70, 85, 100), cv::Scalar(14, 14, 14));
    cv::GaussianBlur(desk, desk, cv::Size(0, 0), 1.5);

    cv::Mat page(594, 420, CV_8UC3, cv::Scalar(236, 240, 243));
    cv::rectangle(page, cv::Rect(34, 34, 70, 70), cv::Scalar(20, 20, 20), cv::FILLED);
    PrintLines(page, rng, /*top=*/130, /*margin=*/34, /*pitch=*/18);

    const float w = static_cast<float>(page.cols);
    const float h = static_cast<float>(page.rows);
    // Corners about the page centre, the top edge 10 % shorter.
    const cv::Point2f local[4] = {{-0.45f * w, -0.5f * h},
                                  {0.45f * w, -0.5f * h},
                                  {0.5f * w, 0.5f * h},
                                  {-0.5f * w, 0.5f * h}};
    const double turn = turnDeg * CV_PI / 180.0;
    const cv::Point2f centre(frame.width / 2.0f, frame.height / 2.0f);
    TPagePhoto photo;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2f& p = local[i];
        photo.Corners[i] =
            centre + cv::Point2f(static_cast<float>(p.x * std::cos(turn) - p.y * std::sin(turn)),
                                 static_cast<float>(p.x * std::sin(turn) + p.y * std::cos(turn)));
    }
    const cv::Point2f outline[4] = {
        {-0.5f, -0.5f}, {w - 0.5f, -0.5f}, {w - 0.5f, h - 0.5f}, {-0.5f, h - 0.5f}};
    const cv::Mat toFrame = cv::getPerspectiveTransform(outline, photo.Corners.data());
    cv::Mat warped;
    cv::warpPerspective(page, warped, toFrame, frame, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    cv::Mat alpha;
    cv::warpPerspective(cv::Mat(page.size(), CV_32F, cv::Scalar(1.0)), alpha, toFrame, frame,
                        cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(0));
    cv::blendLinear(warped, desk, alpha, 1.0 - alpha, photo.Image);
    return photo;
}

cv::Mat FlatScan() {
    cv::RNG rng(7);
    cv::Mat page(1754, 1240, CV_8UC3, cv::Scalar(238, 241, 243));
    cv::putText(page, "Quarterly report", cv::Point(120, 180), cv::FONT_HERSHEY_DUPLEX, 2.0,
                cv::Scalar(30, 30, 30), 3, cv::LINE_AA);
    cv::rectangle(page, cv::Rect(120, 260, 1000, 300), cv::Scalar(40, 40, 40), 2);
    PrintLines(page, rng, /*top=*/620, /*margin=*/120, /*pitch=*/30);
    cv::Mat noise(page.size(), CV_8UC3);
    rng.fill(noise, cv::RNG::NORMAL, cv::Scalar::all(0), cv::Scalar::all(2));
    return page + noise;
}

std::vector<std::uint8_t> JpegWithOrientation(const cv::Mat& image, int orientation) {
    std::vector<std::uint8_t> jpeg;
    cv::imencode(".jpg", image, jpeg, {cv::IMWRITE_JPEG_QUALITY, 92});
    // APP1 "Exif": a big-endian TIFF header and one IFD entry, tag 0x0112
    // (orientation), type SHORT, count 1.
    const std::vector<std::uint8_t> app1 = {
        0xFF, 0xE1, 0x00, 0x22, 'E',  'x',
        'i',  'f',  0x00, 0x00, 'M',  'M',
        0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,
        0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
        0x00, 0x00, 0x00, 0x01, 0x00, static_cast<std::uint8_t>(orientation),
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return jpeg;
}

std::vector<std::uint8_t> WhiteBitonalPng(int width, int height) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> header;
    AppendBigEndian(header, static_cast<std::uint32_t>(width));
    AppendBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {/*bit depth=*/1, /*grey=*/0, 0, 0, /*not interlaced=*/0});
    AppendChunk(png, "IHDR", header);

    z_stream stream{};
    if (deflateInit(&stream, Z_BEST_SPEED) != Z_OK) {
        throw std::runtime_error("deflateInit failed");
    }
    std::vector<std::uint8_t> row(1 + static_cast<std::size_t>((width + 7) / 8), 0xFF);
    row[0] = 0; // filter: none
    std::vector<std::uint8_t> deflated;
    std::uint8_t buffer[1 << 16];
    for (int y = 0; y <= height; ++y) {
        const bool last = y == height;
        stream.next_in = last ? nullptr : row.data();
        stream.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            stream.next_out = buffer;
            stream.avail_out = sizeof buffer;
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            deflated.insert(deflated.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    AppendChunk(png, "IDAT", deflated);
    AppendChunk(png, "IEND", {});
    return png;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace bitonix
