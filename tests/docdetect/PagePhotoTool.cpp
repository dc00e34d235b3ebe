// docdetect_page_photo OUT.jpg: writes the photo of a tilted page on a desk
// that the detector tests use (1200 x 900, the page turned 12 degrees), so
// that a check of an installed program can straighten a page it knows.
// Exit status 0 when written, 2 on a usage error, 1 when the file could not
// be written.
#include "SyntheticPages.h"

#include <opencv2/imgcodecs.hpp>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: docdetect_page_photo OUT.jpg\n", stderr);
        return 2;
    }
    const bitonix::TPagePhoto photo = bitonix::PagePhoto(/*turnDeg=*/12);
    if (!cv::imwrite(argv[1], photo.Image, {cv::IMWRITE_JPEG_QUALITY, 92})) {
        std::fprintf(stderr, "docdetect_page_photo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
