// The bitonal PDF writer: one document at a time, assembled in memory, every page showing
// one CCITT G4 image whose data is copied unchanged; saved in one step when finished.
#include "pdf/PdfWriter.h"

#include "pdf/PdfSyntax.h"
#include "pdf/SaveNewFile.h"

#include <stdexcept>
#include <utility>

namespace bitonix {

namespace {

void Put(TKPdfBytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

std::int64_t EndOf(const TKPdfBytes& stream) {
    return static_cast<std::int64_t>(stream.size());
}

} // namespace

std::tm KPdfLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

TKPdfWriter::TKPdfWriter(std::string progname, TKPdfClock clock)
    : Fprogname(std::move(progname)), FClock(std::move(clock)) {}

void TKPdfWriter::RequireOpen(const char* operation) const {
    if (!Fkpdfopened) {
        throw std::logic_error(std::string(operation) + " needs an open PDF document");
    }
}

void TKPdfWriter::kpdfbegin() {
    if (Fkpdfopened) {
        throw std::logic_error("kpdfbegin: a PDF document is already open");
    }
    TKPdfBytes stream;
    std::vector<std::int64_t> objlist;
    const std::string date = PdfDateDigits(FClock());
    const std::string title = PdfLiteralText(Fprogname);

    Put(stream, "%PDF-1.3\n");
    objlist.push_back(kpdfaddstringobj(1, "<</Type/Catalog/Pages 3 0 R>>", stream));
    objlist.push_back(kpdfaddstringobj(2,
                                       "<</Producer(" + title + ")/Author(" + title +
                                           ")/CreationDate(" + date + ")/Creator(" + title +
                                           ")/ModDate(D:" + date + ")>>",
                                       stream));

    Fkpdfstream = std::move(stream);
    Fkpdfpagestream.clear();
    Fkpdfobjlist = std::move(objlist);
    Fkpdfobjlistpages.clear();
    Fkpdfpagescount = 0;
    Fkpdfcurrentobj = 3;
    Fkpdfopened = true;
}

std::int64_t TKPdfWriter::kpdfaddstringobj(std::int32_t kpdfobjnum, std::string_view kpdftresc,
                                           TKPdfBytes& kpdfstream) {
    const std::int64_t offset = EndOf(kpdfstream);
    Put(kpdfstream, PdfDecimal(kpdfobjnum) + " 0 obj\n");
    Put(kpdfstream, kpdftresc);
    Put(kpdfstream, "\nendobj\n");
    return offset;
}

void TKPdfWriter::kpdfaddpage(std::span<const std::uint8_t> kpdfobrazek, int kpdforgpicx,
                              int kpdforgpicy, int kpdfrespicx, int kpdfrespicy, int kpdfmx,
                              int kpdfmy, int kpdfpagex, int kpdfpagey,
                              const std::string& kpdfimgname) {
    RequireOpen("kpdfaddpage");
    const std::string name = PdfNameText(kpdfimgname);
    const std::int32_t page = Fkpdfcurrentobj + 1;
    const std::string contents = "q\n" + PdfDecimal(kpdfrespicx) + " 0 0 " +
                                 PdfDecimal(kpdfrespicy) + " " + PdfDecimal(kpdfmx) + " " +
                                 PdfDecimal(kpdfmy) + " cm\n/" + name + " Do\nQ\n";

    // The objects are composed apart and appended at the end, so a failure (out of memory)
    // leaves the document as it was.
    TKPdfBytes objects;
    std::vector<std::int64_t> offsets;
    const auto startObject = [&](std::int32_t number) {
        offsets.push_back(EndOf(Fkpdfpagestream) + EndOf(objects));
        Put(objects, PdfDecimal(number) + " 0 obj\n");
    };

    startObject(page);
    Put(objects, "<</MediaBox[0 0 " + PdfDecimal(kpdfpagex) + " " + PdfDecimal(kpdfpagey) +
                     "]/Type/Page/Parent 3 0 R/Resources<</XObject<</" + name + " " +
                     PdfDecimal(page + 2) + " 0 R>>/ProcSet[/PDF/Text/ImageC]>>/Contents " +
                     PdfDecimal(page + 1) + " 0 R>>\nendobj\n");

    startObject(page + 1);
    Put(objects, "<</Length " + PdfDecimal(static_cast<std::int64_t>(contents.size())) +
                     ">>\nstream\n" + contents + "endstream\nendobj\n");

    startObject(page + 2);
    Put(objects, "<</Length " + PdfDecimal(static_cast<std::int64_t>(kpdfobrazek.size())) +
                     "/Type/XObject/Subtype/Image/Width " + PdfDecimal(kpdforgpicx) + "/Height " +
                     PdfDecimal(kpdforgpicy) +
                     "/ColorSpace/DeviceGray/BitsPerComponent 1/DecodeParms <</K -1 /Columns " +
                     PdfDecimal(kpdforgpicx) + " /Rows " + PdfDecimal(kpdforgpicy) +
                     " /BlackIs1 false >>/Name/" + name + "/Filter/CCITTFaxDecode>>\nstream\n");
    // The image bytes go straight into the page part; "endstream" follows the data directly.
    const std::size_t oldSize = Fkpdfpagestream.size();
    const std::size_t oldObjects = Fkpdfobjlistpages.size();
    try {
        Fkpdfpagestream.insert(Fkpdfpagestream.end(), objects.begin(), objects.end());
        Fkpdfpagestream.insert(Fkpdfpagestream.end(), kpdfobrazek.begin(), kpdfobrazek.end());
        Put(Fkpdfpagestream, "endstream\nendobj\n");
        Fkpdfobjlistpages.insert(Fkpdfobjlistpages.end(), offsets.begin(), offsets.end());
    } catch (...) {
        Fkpdfpagestream.resize(oldSize);
        Fkpdfobjlistpages.resize(oldObjects);
        throw;
    }
    Fkpdfcurrentobj = page + 2;
    ++Fkpdfpagescount;
}

TKPdfBytes TKPdfWriter::kpdfclosetree() {
    std::string kids;
    for (std::int32_t i = 1; i <= Fkpdfpagescount; ++i) {
        kids += PdfDecimal(3 * static_cast<std::int64_t>(i) + 1) + " 0 R";
        kids += i % 12 == 0 ? '\n' : ' ';
    }
    if (!kids.empty()) {
        kids.pop_back(); // the list never ends in a separator
    }
    Fkpdfobjlist.push_back(kpdfaddstringobj(
        3, "<</Type/Pages/Kids[" + kids + "]/Count " + PdfDecimal(Fkpdfpagescount) + ">>",
        Fkpdfstream));

    // The page part follows the head directly in the file.
    const std::int64_t base = EndOf(Fkpdfstream);
    for (const std::int64_t offset : Fkpdfobjlistpages) {
        Fkpdfobjlist.push_back(base + offset);
    }

    const std::int64_t xref = base + EndOf(Fkpdfpagestream);
    const std::string size = PdfDecimal(static_cast<std::int64_t>(Fkpdfobjlist.size()) + 1);
    TKPdfBytes tail;
    tail.reserve(64 + 20 * (Fkpdfobjlist.size() + 1));
    Put(tail, "xref\n0 " + size + "\n0000000000 65535 f\r\n");
    for (const std::int64_t offset : Fkpdfobjlist) {
        Put(tail, PdfPadded(offset, 10) + " 00000 n\r\n");
    }
    Put(tail, "trailer\n<</Size " + size + "/Root 1 0 R/Info 2 0 R>>\nstartxref\n" +
                  PdfDecimal(xref) + "\n%%EOF\n");
    return tail;
}

void TKPdfWriter::kpdfrewind(const TKPdfMark& mark) {
    Fkpdfstream.resize(mark.StreamSize);
    Fkpdfobjlist.resize(mark.ObjListSize);
}

std::filesystem::path TKPdfWriter::kpdffinish(const std::filesystem::path& kupdffile,
                                              const TNextFreeName& nextFree) {
    RequireOpen("kpdffinish");
    const TKPdfMark mark{Fkpdfstream.size(), Fkpdfobjlist.size()};
    std::filesystem::path saved;
    try {
        const TKPdfBytes tail = kpdfclosetree();
        const std::span<const std::uint8_t> pieces[] = {Fkpdfstream, Fkpdfpagestream, tail};
        saved = SaveNewFile(kupdffile, pieces, nextFree);
    } catch (...) {
        kpdfrewind(mark);
        throw;
    }
    kpdfrelease();
    return saved;
}

TKPdfBytes TKPdfWriter::kpdffinishbytes() {
    RequireOpen("kpdffinishbytes");
    const TKPdfMark mark{Fkpdfstream.size(), Fkpdfobjlist.size()};
    try {
        const TKPdfBytes tail = kpdfclosetree();
        Fkpdfstream.reserve(Fkpdfstream.size() + Fkpdfpagestream.size() + tail.size());
        Fkpdfstream.insert(Fkpdfstream.end(), Fkpdfpagestream.begin(), Fkpdfpagestream.end());
        Fkpdfstream.insert(Fkpdfstream.end(), tail.begin(), tail.end());
    } catch (...) {
        kpdfrewind(mark);
        throw;
    }
    TKPdfBytes document = std::move(Fkpdfstream);
    kpdfrelease();
    return document;
}

void TKPdfWriter::kpdfabort() {
    if (Fkpdfopened) {
        kpdfrelease();
    }
}

void TKPdfWriter::kpdfrelease() {
    // Swapping with empty containers gives the memory back, not just the contents.
    TKPdfBytes().swap(Fkpdfstream);
    TKPdfBytes().swap(Fkpdfpagestream);
    std::vector<std::int64_t>().swap(Fkpdfobjlist);
    std::vector<std::int64_t>().swap(Fkpdfobjlistpages);
    Fkpdfopened = false;
}

} // namespace bitonix
