// The bitonal PDF writer: one document at a time, assembled in memory, every page showing
// one CCITT G4 image whose data is copied unchanged; saved in one step when finished.
#pragma once

#include "pdf/SaveNewFile.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bitonix {

// A growable in-memory byte stream of the writer.
using TKPdfBytes = std::vector<std::uint8_t>;

// Where the writer takes the date and time of a new document from.
using TKPdfClock = std::function<std::tm()>;

// The current local date and time: the writer's default clock.
std::tm KPdfLocalTime();

// Writes PDF 1.3 files with a fixed object layout:
//   1 Catalog, 2 Info, 3 Pages (written last, kept before the pages),
//   3k+1 Page, 3k+2 content stream, 3k+3 image XObject of page k (k = 1, 2, ...),
// followed by a classic cross-reference table and trailer. All syntax is ASCII text ending
// lines in LF; xref entries end in CR LF and are 20 bytes each.
//
// Calling order: kpdfbegin, kpdfaddpage once per page, then kpdffinish (or kpdffinishbytes)
// or kpdfabort. kpdfabort may be called at any time. Calls out of order throw
// std::logic_error and change nothing.
class TKPdfWriter {
public:
    // `progname`: the program title written as Producer, Author and Creator (e.g.
    // "Bitonix v1.0.0"). `clock` is read once per kpdfbegin.
    explicit TKPdfWriter(std::string progname, TKPdfClock clock = KPdfLocalTime);

    TKPdfWriter(const TKPdfWriter&) = delete;
    TKPdfWriter& operator=(const TKPdfWriter&) = delete;
    TKPdfWriter(TKPdfWriter&&) = default;
    TKPdfWriter& operator=(TKPdfWriter&&) = default;
    ~TKPdfWriter() = default;

    // True from kpdfbegin until the document is finished or discarded.
    bool kpdfopened() const { return Fkpdfopened; }
    // The highest object number issued so far: 3 after kpdfbegin, 3k+3 after k pages.
    std::int32_t kpdfcurrentobj() const { return Fkpdfcurrentobj; }
    // Number of pages added to the open document.
    std::int32_t kpdfpagescount() const { return Fkpdfpagescount; }

    // Opens a new document: header, Catalog (object 1, always at offset 9) and Info
    // dictionary (object 2) with the clock's time as both dates; object 3 is reserved.
    // Requires a closed writer. Notes:
    //  1. CreationDate is written as 14 bare digits, ModDate as "D:" and the same digits.
    //  2. No binary comment line follows the header.
    void kpdfbegin();

    // Appends object `kpdfobjnum` with the body `kpdftresc` at the end of `kpdfstream`,
    // framed as "<n> 0 obj" LF body LF "endobj" LF; returns the offset of its first byte
    // within the stream.
    static std::int64_t kpdfaddstringobj(std::int32_t kpdfobjnum, std::string_view kpdftresc,
                                         TKPdfBytes& kpdfstream);

    // Appends one page (page object, content stream, image XObject) to the open document.
    //   kpdfobrazek: the raw CCITT G4 data of the image, most significant bit first; only
    //     read, copied once into the document.
    //   kpdforgpicx, kpdforgpicy: image width and height in pixels.
    //   kpdfrespicx, kpdfrespicy: drawn width and height in points.
    //   kpdfmx, kpdfmy: lower-left corner of the drawn image on the page, in points.
    //   kpdfpagex, kpdfpagey: page width and height in points.
    //   kpdfimgname: the image's resource name (e.g. "img_1").
    // Notes:
    //  1. The values are not checked; the caller passes a consistent page.
    //  2. ProcSet names /ImageC although the image is grey; readers ignore ProcSet.
    void kpdfaddpage(std::span<const std::uint8_t> kpdfobrazek, int kpdforgpicx, int kpdforgpicy,
                     int kpdfrespicx, int kpdfrespicy, int kpdfmx, int kpdfmy, int kpdfpagex,
                     int kpdfpagey, const std::string& kpdfimgname);

    // Finishes the open document (page tree, xref table, trailer) and saves it as the new
    // file `kupdffile` in one step, then closes the writer. Returns the name saved under:
    // `kupdffile`, or when that was taken and `nextFree` is given, the first free name it
    // led to (SaveNewFile).
    // Notes:
    //  1. An existing file is never replaced; a file that cannot be created leaves nothing
    //     behind and throws std::runtime_error "Cannot create file "<path>". <system text>".
    //  2. On any failure the document stays open and unchanged: it may be finished again
    //     or discarded with kpdfabort.
    //  3. The Kids list of the page tree holds 12 references a line.
    std::filesystem::path kpdffinish(const std::filesystem::path& kupdffile,
                                     const TNextFreeName& nextFree = {});

    // Finishes the open document like kpdffinish, but returns the file's bytes instead of
    // saving them; then closes the writer.
    TKPdfBytes kpdffinishbytes();

    // Discards the open document without writing anything; does nothing when closed.
    void kpdfabort();

private:
    // Sizes to return to when finishing fails half-way.
    struct TKPdfMark {
        std::size_t StreamSize;
        std::size_t ObjListSize;
    };

    void RequireOpen(const char* operation) const;
    // Appends object 3 to the head, rebases the page offsets into Fkpdfobjlist and returns
    // the xref table and trailer. The file is then Fkpdfstream, Fkpdfpagestream, the result.
    TKPdfBytes kpdfclosetree();
    void kpdfrewind(const TKPdfMark& mark);
    void kpdfrelease();

    std::string Fprogname;
    TKPdfClock FClock;

    bool Fkpdfopened = false;
    std::int32_t Fkpdfcurrentobj = 0;
    std::int32_t Fkpdfpagescount = 0;
    // The document head: header, objects 1 and 2, and at finish object 3.
    TKPdfBytes Fkpdfstream;
    // The page part: all page objects in object-number order.
    TKPdfBytes Fkpdfpagestream;
    // Absolute file offset of object i+1 at entry i.
    std::vector<std::int64_t> Fkpdfobjlist;
    // Offset of every page-part object from the start of Fkpdfpagestream.
    std::vector<std::int64_t> Fkpdfobjlistpages;
};

} // namespace bitonix
