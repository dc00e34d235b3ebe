// The writer's bytes: object layout, page objects, page tree, xref table and trailer, and the
// open/finish/abort cycle, read straight from the finished document.
#include "PdfTestSupport.h"

#include <charconv>
#include <regex>
#include <stdexcept>

namespace bitonix::test {
namespace {

// Checks the xref table and trailer against the bytes: startxref points at "xref", every
// entry is 20 bytes, and entry i points at "i 0 obj" with offsets rising in object order.
// Returns the number of entries.
std::int64_t ExpectSoundXref(const std::string& pdf) {
    const std::size_t startxref = pdf.rfind("startxref\n");
    EXPECT_NE(startxref, std::string::npos);
    if (startxref == std::string::npos) {
        return 0;
    }
    std::size_t xref = 0;
    const char* digits = pdf.data() + startxref + 10;
    const auto parsed = std::from_chars(digits, pdf.data() + pdf.size(), xref);
    EXPECT_EQ(std::string(parsed.ptr, pdf.data() + pdf.size()), "\n%%EOF\n");
    EXPECT_EQ(pdf.substr(xref, 7), "xref\n0 ");

    std::int64_t count = 0;
    const char* entries =
        std::from_chars(pdf.data() + xref + 7, pdf.data() + pdf.size(), count).ptr;
    EXPECT_EQ(*entries, '\n');
    const std::size_t first = static_cast<std::size_t>(entries + 1 - pdf.data());
    EXPECT_EQ(pdf.substr(first, 20), "0000000000 65535 f\r\n");
    std::size_t previous = 0;
    for (std::int64_t i = 1; i < count; ++i) {
        const std::string entry = pdf.substr(first + 20 * static_cast<std::size_t>(i), 20);
        EXPECT_TRUE(std::regex_match(entry, std::regex("[0-9]{10} 00000 n\r\n"))) << entry;
        const std::size_t offset = std::stoul(entry.substr(0, 10));
        EXPECT_GT(offset, previous) << "object " << i;
        EXPECT_EQ(pdf.substr(offset, std::to_string(i).size() + 7), std::to_string(i) + " 0 obj\n");
        previous = offset;
    }
    const std::string trailer =
        "trailer\n<</Size " + std::to_string(count) + "/Root 1 0 R/Info 2 0 R>>\nstartxref\n";
    EXPECT_EQ(pdf.substr(first + 20 * static_cast<std::size_t>(count), trailer.size()), trailer);
    EXPECT_EQ(first + 20 * static_cast<std::size_t>(count) + trailer.size(), startxref + 10);
    return count;
}

// The text between `from` and the next `to`, both excluded.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t start = text.find(from);
    if (start == std::string::npos) {
        return "<missing " + from + ">";
    }
    const std::size_t end = text.find(to, start + from.size());
    return text.substr(start + from.size(), end - start - from.size());
}

TEST(Writer, EmptyDocumentIsExact) {
    TKPdfWriter writer = MakeWriter();
    writer.kpdfbegin();
    EXPECT_TRUE(writer.kpdfopened());
    EXPECT_EQ(writer.kpdfcurrentobj(), 3);
    EXPECT_EQ(writer.kpdfpagescount(), 0);

    const std::string expected =
        "%PDF-1.3\n"
        "1 0 obj\n<</Type/Catalog/Pages 3 0 R>>\nendobj\n"
        "2 0 obj\n<</Producer(Bitonix v1.0.0)/Author(Bitonix v1.0.0)/CreationDate(20240305070809)"
        "/Creator(Bitonix v1.0.0)/ModDate(D:20240305070809)>>\nendobj\n"
        "3 0 obj\n<</Type/Pages/Kids[]/Count 0>>\nendobj\n"
        "xref\n0 4\n"
        "0000000000 65535 f\r\n"
        "0000000009 00000 n\r\n"
        "0000000054 00000 n\r\n"
        "0000000201 00000 n\r\n"
        "trailer\n<</Size 4/Root 1 0 R/Info 2 0 R>>\nstartxref\n247\n%%EOF\n";
    EXPECT_EQ(AsText(writer.kpdffinishbytes()), expected);
    EXPECT_FALSE(writer.kpdfopened());
}

TEST(Writer, PageObjectsAreExact) {
    // Image data that looks like syntax must still be copied as it is.
    const TKPdfBytes data = {0x00, '\n', 'e', 'n', 'd', 's', 't', 'r', 'e', 'a', 'm', 0xFF, 0x0D};
    TKPdfWriter writer = MakeWriter();
    writer.kpdfbegin();
    writer.kpdfaddpage(data, /*kpdforgpicx=*/2480, /*kpdforgpicy=*/3508, /*kpdfrespicx=*/595,
                       /*kpdfrespicy=*/842, /*kpdfmx=*/0, /*kpdfmy=*/0, /*kpdfpagex=*/595,
                       /*kpdfpagey=*/842, "img_1");
    EXPECT_EQ(writer.kpdfcurrentobj(), 6);
    EXPECT_EQ(writer.kpdfpagescount(), 1);
    const std::string pdf = AsText(writer.kpdffinishbytes());

    const std::string pages = "3 0 obj\n<</Type/Pages/Kids[4 0 R]/Count 1>>\nendobj\n";
    const std::string page = "4 0 obj\n<</MediaBox[0 0 595 842]/Type/Page/Parent 3 0 R"
                             "/Resources<</XObject<</img_1 6 0 R>>/ProcSet[/PDF/Text/ImageC]>>"
                             "/Contents 5 0 R>>\nendobj\n";
    const std::string content = "5 0 obj\n<</Length 33>>\nstream\n"
                                "q\n595 0 0 842 0 0 cm\n/img_1 Do\nQ\n"
                                "endstream\nendobj\n";
    const std::string image = "6 0 obj\n<</Length 13/Type/XObject/Subtype/Image/Width 2480"
                              "/Height 3508/ColorSpace/DeviceGray/BitsPerComponent 1"
                              "/DecodeParms <</K -1 /Columns 2480 /Rows 3508 /BlackIs1 false >>"
                              "/Name/img_1/Filter/CCITTFaxDecode>>\nstream\n" +
                              AsText(data) + "endstream\nendobj\n";
    // Object 3 is written at finish but stays before the pages; the xref table follows them.
    const std::size_t at = pdf.find("3 0 obj\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(pdf.substr(at, pages.size() + page.size() + content.size() + image.size() + 5),
              pages + page + content + image + "xref\n");
    EXPECT_EQ(ExpectSoundXref(pdf), 7);
}

TEST(Writer, ContentStreamPlacesTheImage) {
    struct TCase {
        int RespicX, RespicY, MX, MY;
        std::string Name, Content;
    };
    const TCase cases[] = {
        {595, 842, 0, 0, "img_1", "q\n595 0 0 842 0 0 cm\n/img_1 Do\nQ\n"},
        {595, 421, 0, 210, "img_2", "q\n595 0 0 421 0 210 cm\n/img_2 Do\nQ\n"},
        {600, 842, -3, 0, "img_10", "q\n600 0 0 842 -3 0 cm\n/img_10 Do\nQ\n"},
    };
    for (const TCase& c : cases) {
        TKPdfWriter writer = MakeWriter();
        writer.kpdfbegin();
        writer.kpdfaddpage(TKPdfBytes{1, 2, 3}, /*kpdforgpicx=*/8, /*kpdforgpicy=*/8,
                           /*kpdfrespicx=*/c.RespicX, /*kpdfrespicy=*/c.RespicY, /*kpdfmx=*/c.MX,
                           /*kpdfmy=*/c.MY, /*kpdfpagex=*/595, /*kpdfpagey=*/842, c.Name);
        const std::string pdf = AsText(writer.kpdffinishbytes());
        EXPECT_EQ(Between(pdf,
                          "5 0 obj\n<</Length " + std::to_string(c.Content.size()) + ">>\nstream\n",
                          "endstream\n"),
                  c.Content)
            << c.Name;
    }
}

TEST(Writer, KidsListBreaksAfterTwelve) {
    const std::string twelve =
        "4 0 R 7 0 R 10 0 R 13 0 R 16 0 R 19 0 R 22 0 R 25 0 R 28 0 R 31 0 R 34 0 R 37 0 R";
    const std::string next =
        "40 0 R 43 0 R 46 0 R 49 0 R 52 0 R 55 0 R 58 0 R 61 0 R 64 0 R 67 0 R 70 0 R 73 0 R";
    const std::pair<int, std::string> cases[] = {
        {1, "4 0 R"},
        {12, twelve},
        {13, twelve + "\n40 0 R"},
        {24, twelve + "\n" + next},
    };
    for (const auto& [count, kids] : cases) {
        TKPdfWriter writer = MakeWriter();
        writer.kpdfbegin();
        for (int i = 1; i <= count; ++i) {
            AddA4Page(writer, TKPdfBytes(static_cast<std::size_t>(i), 0xAA),
                      "img_" + std::to_string(i));
        }
        const std::string pdf = AsText(writer.kpdffinishbytes());
        EXPECT_EQ(Between(pdf, "3 0 obj\n", "\nendobj\n"),
                  "<</Type/Pages/Kids[" + kids + "]/Count " + std::to_string(count) + ">>")
            << count << " pages";
        EXPECT_EQ(ExpectSoundXref(pdf), 3 * count + 4) << count << " pages";
    }
}

TEST(Writer, ImageDataIsCopiedWhole) {
    // Sizes that differ per page show that every /Length belongs to its own data.
    TKPdfWriter writer = MakeWriter();
    writer.kpdfbegin();
    std::vector<TKPdfBytes> images;
    for (std::size_t size : {1U, 0U, 300U, 4097U}) {
        TKPdfBytes data(size);
        for (std::size_t i = 0; i < size; ++i) {
            data[i] = static_cast<std::uint8_t>(i * 7 + size);
        }
        AddA4Page(writer, data, "img_" + std::to_string(images.size() + 1));
        images.push_back(std::move(data));
    }
    const std::string pdf = AsText(writer.kpdffinishbytes());
    ExpectSoundXref(pdf);
    for (std::size_t k = 0; k < images.size(); ++k) {
        const std::string head = std::to_string(3 * k + 6) + " 0 obj\n<</Length " +
                                 std::to_string(images[k].size()) + "/Type/XObject";
        const std::size_t object = pdf.find(head);
        ASSERT_NE(object, std::string::npos) << head;
        const std::size_t data = pdf.find(">>\nstream\n", object) + 10;
        EXPECT_EQ(pdf.substr(data, images[k].size()), AsText(images[k])) << "page " << k + 1;
        EXPECT_EQ(pdf.substr(data + images[k].size(), 17), "endstream\nendobj\n");
    }
}

TEST(Writer, DatesComeFromOneClockReading) {
    int readings = 0;
    TKPdfWriter writer(KProgName, [&readings] {
        std::tm time = FixedTime();
        time.tm_sec += readings++; // a clock that moves on every reading
        return time;
    });
    writer.kpdfbegin();
    std::string pdf = AsText(writer.kpdffinishbytes());
    EXPECT_EQ(readings, 1);
    EXPECT_NE(pdf.find("/CreationDate(20240305070809)"), std::string::npos);
    EXPECT_NE(pdf.find("/ModDate(D:20240305070809)"), std::string::npos);

    writer.kpdfbegin();
    pdf = AsText(writer.kpdffinishbytes());
    EXPECT_NE(pdf.find("/CreationDate(20240305070810)/Creator(Bitonix v1.0.0)"
                       "/ModDate(D:20240305070810)>>"),
              std::string::npos);

    // The default clock: local time, the same 14 digits twice.
    TKPdfWriter local(KProgName);
    local.kpdfbegin();
    const std::string info = AsText(local.kpdffinishbytes());
    std::smatch match;
    ASSERT_TRUE(std::regex_search(
        info, match, std::regex(R"(/CreationDate\((\d{14})\).*/ModDate\(D:(\d{14})\))")));
    EXPECT_EQ(match[1], match[2]);
    EXPECT_EQ(match[1].str().substr(0, 2), "20");
}

TEST(Writer, AbortDiscardsAndTheNextDocumentStartsAfresh) {
    TKPdfWriter fresh = MakeWriter();
    fresh.kpdfbegin();
    AddA4Page(fresh, TKPdfBytes{9, 8, 7}, "img_1");
    const TKPdfBytes expected = fresh.kpdffinishbytes();

    TKPdfWriter writer = MakeWriter();
    writer.kpdfabort(); // nothing open: nothing happens
    EXPECT_FALSE(writer.kpdfopened());

    writer.kpdfbegin();
    AddA4Page(writer, TKPdfBytes{1}, "img_1");
    AddA4Page(writer, TKPdfBytes{2}, "img_2");
    writer.kpdfabort();
    EXPECT_FALSE(writer.kpdfopened());
    EXPECT_THROW(writer.kpdffinishbytes(), std::logic_error);

    writer.kpdfbegin();
    EXPECT_EQ(writer.kpdfcurrentobj(), 3);
    EXPECT_EQ(writer.kpdfpagescount(), 0);
    AddA4Page(writer, TKPdfBytes{9, 8, 7}, "img_1");
    EXPECT_EQ(writer.kpdffinishbytes(), expected);

    // After a finished document the numbering starts again at object 1 as well.
    writer.kpdfbegin();
    AddA4Page(writer, TKPdfBytes{9, 8, 7}, "img_1");
    EXPECT_EQ(writer.kpdffinishbytes(), expected);
}

TEST(Writer, CallsOutOfOrderAreRefused) {
    TKPdfWriter writer = MakeWriter();
    EXPECT_THROW(AddA4Page(writer, TKPdfBytes{1}, "img_1"), std::logic_error);
    EXPECT_THROW(writer.kpdffinishbytes(), std::logic_error);
    EXPECT_THROW(writer.kpdffinish("never-written.pdf"), std::logic_error);
    EXPECT_FALSE(std::filesystem::exists("never-written.pdf"));

    // A second kpdfbegin leaves the open document alone.
    writer.kpdfbegin();
    AddA4Page(writer, TKPdfBytes{1}, "img_1");
    EXPECT_THROW(writer.kpdfbegin(), std::logic_error);
    EXPECT_EQ(writer.kpdfpagescount(), 1);
    EXPECT_EQ(ExpectSoundXref(AsText(writer.kpdffinishbytes())), 7);
}

TEST(Writer, TitleAndImageNameCannotBreakTheSyntax) {
    TKPdfWriter writer = MakeWriter(R"(Bitonix (test) v1\2)");
    writer.kpdfbegin();
    AddA4Page(writer, TKPdfBytes{1}, "page 1/#");
    const std::string pdf = AsText(writer.kpdffinishbytes());
    EXPECT_NE(pdf.find(R"(/Producer(Bitonix \(test\) v1\\2)/Author(Bitonix \(test\) v1\\2))"),
              std::string::npos);
    EXPECT_NE(pdf.find("/XObject<</page#201#2F#23 6 0 R>>"), std::string::npos);
    EXPECT_NE(pdf.find("\n/page#201#2F#23 Do\n"), std::string::npos);
    EXPECT_NE(pdf.find("/Name/page#201#2F#23/Filter"), std::string::npos);
    ExpectSoundXref(pdf);
}

} // namespace
} // namespace bitonix::test
