// Raw strip transfer through libtiff.
#include "pipeline/G4StripTransfer.h"

#include "imaging/TiffAccess.h"
#include "support/Error.h"

#include <memory>

namespace bitonix {

namespace {

struct TTiffFree {
    void operator()(void* p) const { _TIFFfree(p); }
};

tmsize_t StripSize(TIFF* tif, uint32_t strip) {
    const tmsize_t size = TIFFRawStripSize(tif, strip);
    if (size < 0) {
        throw TError("Cannot read tiff strip size");
    }
    return size;
}

} // namespace

TG4Image TransferG4Strips(TMemoryStream& tiffStream, TMemoryStream& imageStream) {
    TG4Image image;
    {
        const TTiffHandle tif = TIFFOpenStream(tiffStream, "r");
        if (!tif) {
            throw TError("Cannot open tiff stream");
        }
        imageStream.Clear();
        TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &image.W);
        TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &image.H);
        const uint32_t strips = TIFFNumberOfStrips(tif.get());

        tmsize_t largest = 0;
        for (uint32_t s = 0; s < strips; ++s) {
            largest = std::max(largest, StripSize(tif.get(), s));
        }
        if (largest < 1) {
            throw TError("Invalid tiff strip size");
        }
        const std::unique_ptr<void, TTiffFree> buffer(_TIFFmalloc(largest));
        if (!buffer) {
            throw TError("Cannot allocate tiff strip buffer");
        }
        uint16_t fillOrder = FILLORDER_MSB2LSB;
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_FILLORDER, &fillOrder);

        auto* bytes = static_cast<uint8_t*>(buffer.get());
        for (uint32_t s = 0; s < strips; ++s) {
            const tmsize_t read = TIFFReadRawStrip(tif.get(), s, bytes, StripSize(tif.get(), s));
            if (read < 0) {
                throw TError("Cannot read tiff strip");
            }
            if (fillOrder == FILLORDER_LSB2MSB) {
                TIFFReverseBits(bytes, read);
            }
            imageStream.Write(bytes, read);
        }
    }
    tiffStream.Clear();
    return image;
}

} // namespace bitonix
