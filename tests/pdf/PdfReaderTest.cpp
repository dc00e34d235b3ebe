// Real readers on the writer's output: G4 images made with libtiff go in unchanged, qpdf
// finds the file sound, and poppler decodes exactly the pixels that were encoded.
#include "PdfTestSupport.h"

#include <tiffio.h>

#include <memory>
#include <sstream>
#include <vector>

namespace bitonix::test {
namespace {

// A one-bit image, true = black, row by row.
struct TBitmap {
    int Width = 0;
    int Height = 0;
    std::vector<bool> Black;
    bool At(int x, int y) const {
        return Black[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                     static_cast<std::size_t>(x)];
    }
};

template <typename TPixel> TBitmap MakeBitmap(int width, int height, TPixel pixel) {
    TBitmap bitmap{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.Black.push_back(pixel(x, y));
        }
    }
    return bitmap;
}

struct TTiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TTiffHandle = std::unique_ptr<TIFF, TTiffCloser>;

// Encodes the bitmap as a one-strip CCITT G4 TIFF with libtiff and returns the raw strip:
// the data page processing hands to the writer.
TKPdfBytes EncodeG4(const TBitmap& bitmap, const std::filesystem::path& tiffPath) {
    {
        const TTiffHandle tiff(TIFFOpen(tiffPath.c_str(), "w"));
        if (!tiff) {
            throw std::runtime_error("cannot write " + tiffPath.string());
        }
        TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(bitmap.Width));
        TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(bitmap.Height));
        TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff.get(), TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(bitmap.Height));
        std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.Width + 7) / 8);
        for (int y = 0; y < bitmap.Height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (int x = 0; x < bitmap.Width; ++x) {
                if (bitmap.At(x, y)) {
                    row[static_cast<std::size_t>(x / 8)] |=
                        static_cast<std::uint8_t>(0x80 >> (x % 8));
                }
            }
            if (TIFFWriteScanline(tiff.get(), row.data(), static_cast<uint32_t>(y), 0) != 1) {
                throw std::runtime_error("cannot encode row");
            }
        }
    }
    const TTiffHandle tiff(TIFFOpen(tiffPath.c_str(), "r"));
    if (!tiff || TIFFNumberOfStrips(tiff.get()) != 1) {
        throw std::runtime_error("expected one G4 strip");
    }
    TKPdfBytes strip(static_cast<std::size_t>(TIFFRawStripSize(tiff.get(), 0)));
    const tmsize_t got =
        TIFFReadRawStrip(tiff.get(), 0, strip.data(), static_cast<tmsize_t>(strip.size()));
    if (got <= 0) {
        throw std::runtime_error("cannot read the G4 strip");
    }
    strip.resize(static_cast<std::size_t>(got));
    return strip;
}

// Reads a binary PBM (P4) file: 1 = black, rows padded to whole bytes.
TBitmap ReadPbm(const std::filesystem::path& path) {
    const std::string file = ReadFileText(path);
    std::istringstream in(file);
    std::string magic;
    TBitmap bitmap;
    in >> magic >> bitmap.Width >> bitmap.Height;
    in.get(); // the one white-space byte before the raster
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.Width + 7) / 8;
    const std::size_t raster = static_cast<std::size_t>(in.tellg());
    if (magic != "P4" ||
        file.size() != raster + rowBytes * static_cast<std::size_t>(bitmap.Height)) {
        throw std::runtime_error("not a P4 bitmap: " + path.string());
    }
    for (int y = 0; y < bitmap.Height; ++y) {
        for (int x = 0; x < bitmap.Width; ++x) {
            const auto byte =
                static_cast<unsigned char>(file[raster + static_cast<std::size_t>(y) * rowBytes +
                                                static_cast<std::size_t>(x / 8)]);
            bitmap.Black.push_back(((byte >> (7 - x % 8)) & 1U) != 0);
        }
    }
    return bitmap;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void ExpectQpdfFindsNoFault(const std::filesystem::path& pdf) {
    const TCommandResult check =
        RunCommand(std::string(QPDF_EXECUTABLE) + " --check " + Quoted(pdf));
    EXPECT_EQ(check.ExitCode, 0) << check.Output;
    EXPECT_NE(check.Output.find("No syntax or stream encoding errors found"), std::string::npos)
        << check.Output;
    EXPECT_EQ(check.Output.find("WARNING"), std::string::npos) << check.Output;
}

// Asymmetric shapes, so that a flip, a shift or inverted bits cannot pass. The first
// width is not a multiple of 8.
const TBitmap KLandscape = MakeBitmap(70, 50, [](int x, int y) {
    return x == 0 || y == 0 || x == 69 || y == 49 || (x < 20 && y < 12) || x == y + 15;
});
const TBitmap KPortrait = MakeBitmap(48, 90, [](int x, int y) {
    return ((x / 3 + y / 5) % 2 == 0 && y < 60) || (y > 80 && x > 40);
});

TEST(Readers, TwoG4PagesDecodeToTheEncodedPixels) {
    const TTempDir dir;
    const TKPdfBytes first = EncodeG4(KLandscape, dir.Path() / "first.tif");
    const TKPdfBytes second = EncodeG4(KPortrait, dir.Path() / "second.tif");

    TKPdfWriter writer = MakeWriter();
    writer.kpdfbegin();
    writer.kpdfaddpage(first, /*kpdforgpicx=*/70, /*kpdforgpicy=*/50, /*kpdfrespicx=*/595,
                       /*kpdfrespicy=*/425, /*kpdfmx=*/0, /*kpdfmy=*/208, /*kpdfpagex=*/595,
                       /*kpdfpagey=*/842, "img_1");
    writer.kpdfaddpage(second, /*kpdforgpicx=*/48, /*kpdforgpicy=*/90, /*kpdfrespicx=*/449,
                       /*kpdfrespicy=*/842, /*kpdfmx=*/73, /*kpdfmy=*/0, /*kpdfpagex=*/595,
                       /*kpdfpagey=*/842, "img_2");
    const std::filesystem::path pdf = dir.Path() / "two.pdf";
    writer.kpdffinish(pdf);

    ExpectQpdfFindsNoFault(pdf);

    const TCommandResult info = RunCommand(std::string(PDFINFO_EXECUTABLE) + " " + Quoted(pdf));
    EXPECT_EQ(info.ExitCode, 0) << info.Output;
    EXPECT_NE(info.Output.find("Producer:        Bitonix v1.0.0\n"), std::string::npos)
        << info.Output;
    EXPECT_NE(info.Output.find("Pages:           2\n"), std::string::npos) << info.Output;
    EXPECT_NE(info.Output.find("Page size:       595 x 842 pts (A4)"), std::string::npos)
        << info.Output;

    // page num type width height color comp bpc enc interp object ID ...
    const TCommandResult list =
        RunCommand(std::string(PDFIMAGES_EXECUTABLE) + " -list " + Quoted(pdf));
    ASSERT_EQ(list.ExitCode, 0) << list.Output;
    const std::vector<std::string> rows = Lines(list.Output);
    ASSERT_EQ(rows.size(), 4U) << list.Output;
    const std::pair<std::string, std::string> expected[] = {{"1", "70 50"}, {"2", "48 90"}};
    for (std::size_t i = 0; i < 2; ++i) {
        std::istringstream row(rows[i + 2]);
        std::string page, num, type, width, height, color, comp, bpc, enc;
        row >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc;
        EXPECT_EQ(page, expected[i].first) << rows[i + 2];
        EXPECT_EQ(type, "image") << rows[i + 2];
        EXPECT_EQ(width + " " + height, expected[i].second) << rows[i + 2];
        EXPECT_EQ(color + " " + comp + " " + bpc + " " + enc, "gray 1 1 ccitt") << rows[i + 2];
    }

    // Two routes, one answer: poppler's decoding of each page equals the encoded bitmap.
    const TCommandResult extract = RunCommand(std::string(PDFIMAGES_EXECUTABLE) + " " +
                                              Quoted(pdf) + " " + Quoted(dir.Path() / "page"));
    ASSERT_EQ(extract.ExitCode, 0) << extract.Output;
    const TBitmap decodedFirst = ReadPbm(dir.Path() / "page-000.pbm");
    const TBitmap decodedSecond = ReadPbm(dir.Path() / "page-001.pbm");
    EXPECT_EQ(decodedFirst.Width, KLandscape.Width);
    EXPECT_EQ(decodedFirst.Height, KLandscape.Height);
    EXPECT_TRUE(decodedFirst.Black == KLandscape.Black);
    EXPECT_EQ(decodedSecond.Width, KPortrait.Width);
    EXPECT_EQ(decodedSecond.Height, KPortrait.Height);
    EXPECT_TRUE(decodedSecond.Black == KPortrait.Black);
}

TEST(Readers, ThirteenPagesAndAnEmptyDocumentAreSound) {
    const TTempDir dir;
    const TKPdfBytes image = EncodeG4(KLandscape, dir.Path() / "page.tif");

    TKPdfWriter writer = MakeWriter();
    writer.kpdfbegin();
    for (int i = 1; i <= 13; ++i) {
        writer.kpdfaddpage(image, /*kpdforgpicx=*/70, /*kpdforgpicy=*/50, /*kpdfrespicx=*/595,
                           /*kpdfrespicy=*/425, /*kpdfmx=*/0, /*kpdfmy=*/208, /*kpdfpagex=*/595,
                           /*kpdfpagey=*/842, "img_" + std::to_string(i));
    }
    writer.kpdffinish(dir.Path() / "thirteen.pdf");
    ExpectQpdfFindsNoFault(dir.Path() / "thirteen.pdf");
    const TCommandResult info =
        RunCommand(std::string(PDFINFO_EXECUTABLE) + " " + Quoted(dir.Path() / "thirteen.pdf"));
    EXPECT_NE(info.Output.find("Pages:           13\n"), std::string::npos) << info.Output;

    writer.kpdfbegin();
    writer.kpdffinish(dir.Path() / "empty.pdf");
    const TCommandResult check =
        RunCommand(std::string(QPDF_EXECUTABLE) + " --check " + Quoted(dir.Path() / "empty.pdf"));
    EXPECT_EQ(check.ExitCode, 0) << check.Output;
}

} // namespace
} // namespace bitonix::test
