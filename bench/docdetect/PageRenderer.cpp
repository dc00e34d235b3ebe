// Draws the face of a printed page: blocks stacked from the top margin down,
// words as real glyph strokes so that the page carries edges like print.
#include "PageRenderer.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <string>

namespace bitonix {

namespace {

constexpr int KBodyFonts[] = {cv::FONT_HERSHEY_SIMPLEX, cv::FONT_HERSHEY_DUPLEX,
                              cv::FONT_HERSHEY_COMPLEX, cv::FONT_HERSHEY_TRIPLEX};

// How glyphs are drawn: font, scale for the wanted cap height, stroke, colour.
struct TPen {
    int Font = cv::FONT_HERSHEY_SIMPLEX;
    double Scale = 1.0;
    int Thickness = 1;
    cv::Scalar Ink{30, 30, 30};
    int LineHeight = 10; // baseline to baseline, pixels
    int Space = 4;       // between words, pixels
};

TPen MakePen(int font, double capHeight, const cv::Scalar& ink, bool bold) {
    int baseline = 0;
    const cv::Size unit = cv::getTextSize("H", font, 1.0, 1, &baseline);
    TPen pen;
    pen.Font = font;
    pen.Scale = capHeight / std::max(1, unit.height);
    pen.Thickness = std::max(1, static_cast<int>(capHeight / (bold ? 5.0 : 10.0)));
    pen.Ink = ink;
    pen.LineHeight = std::max(2, static_cast<int>(capHeight * 2.0));
    pen.Space = std::max(2, static_cast<int>(capHeight * 0.6));
    return pen;
}

std::string RandomWord(TRandom& rnd, bool capital) {
    static const char* const KLetters = "etaoinshrdlcumwfgypbvkjxqz";
    std::string word;
    const int length = rnd.Int(1, 9);
    for (int i = 0; i < length; ++i) {
        // Skewed towards the frequent letters at the start of the list.
        const double u = rnd.Uniform(0.0, 1.0);
        word.push_back(KLetters[static_cast<int>(u * u * 26.0)]);
    }
    if (capital) {
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
    }
    if (rnd.Chance(0.08)) {
        word.push_back(rnd.Chance(0.5) ? ',' : '.');
    }
    return word;
}

// Words from x0 along the baseline until `fill` of the width [x0, x1) is used.
void TextLine(cv::Mat& page, TRandom& rnd, const TPen& pen, int x0, int x1, int baseline,
              double fill) {
    const int limit = x0 + static_cast<int>((x1 - x0) * fill);
    int x = x0;
    bool first = true;
    for (;;) {
        const std::string word = RandomWord(rnd, first || rnd.Chance(0.1));
        int base = 0;
        const int width = cv::getTextSize(word, pen.Font, pen.Scale, pen.Thickness, &base).width;
        if (x + width > limit) {
            break;
        }
        cv::putText(page, word, {x, baseline}, pen.Font, pen.Scale, pen.Ink, pen.Thickness,
                    cv::LINE_AA);
        x += width + pen.Space;
        first = false;
    }
}

// A paragraph of `lines` lines starting with its first baseline below `top`;
// returns the y below it.
int Paragraph(cv::Mat& page, TRandom& rnd, const TPen& pen, int x0, int x1, int top, int lines,
              int bottom) {
    int y = top + pen.LineHeight;
    for (int i = 0; i < lines && y < bottom; ++i, y += pen.LineHeight) {
        const double fill = (i + 1 == lines) ? rnd.Uniform(0.2, 0.8) : rnd.Uniform(0.93, 1.0);
        TextLine(page, rnd, pen, x0, x1, y, fill);
    }
    return y + pen.LineHeight / 2;
}

cv::Scalar RandomColour(TRandom& rnd, double lo, double hi) {
    return {rnd.Uniform(lo, hi), rnd.Uniform(lo, hi), rnd.Uniform(lo, hi)};
}

// A photograph-like block: smooth colour field with a few shapes.
void PhotoBlock(cv::Mat& page, TRandom& rnd, const cv::Rect& area) {
    if (area.width < 8 || area.height < 8) {
        return;
    }
    cv::Mat coarse(rnd.Int(3, 7), rnd.Int(3, 7), CV_8UC3);
    cv::RNG cvrnd(rnd.Seed());
    cvrnd.fill(coarse, cv::RNG::UNIFORM, 20, 235);
    cv::Mat block;
    cv::resize(coarse, block, area.size(), 0, 0, cv::INTER_CUBIC);
    const int shapes = rnd.Int(2, 6);
    for (int i = 0; i < shapes; ++i) {
        const cv::Point centre(rnd.Int(0, area.width - 1), rnd.Int(0, area.height - 1));
        const cv::Size axes(rnd.Int(area.width / 12 + 1, area.width / 3 + 2),
                            rnd.Int(area.height / 12 + 1, area.height / 3 + 2));
        cv::ellipse(block, centre, axes, rnd.Uniform(0, 180), 0, 360, RandomColour(rnd, 0, 255),
                    cv::FILLED, cv::LINE_AA);
    }
    cv::GaussianBlur(block, block, cv::Size(0, 0), std::max(1.0, area.width / 150.0));
    block.copyTo(page(area));
}

// A ruled table with short entries; the header row is sometimes tinted.
int Table(cv::Mat& page, TRandom& rnd, const TPen& pen, int x0, int x1, int top, int bottom) {
    const int rows = rnd.Int(3, 9);
    const int cols = rnd.Int(2, 6);
    const int rowHeight = pen.LineHeight + pen.LineHeight / 3;
    const int height = std::min(rows * rowHeight, bottom - top);
    if (height < 2 * rowHeight) {
        return top;
    }
    const int rule = std::max(1, pen.Thickness);
    const cv::Scalar ruleInk = rnd.Chance(0.7) ? pen.Ink : RandomColour(rnd, 60, 160);
    if (rnd.Chance(0.5)) {
        const cv::Scalar tint = RandomColour(rnd, 170, 235);
        cv::rectangle(page, cv::Rect(x0, top, x1 - x0, rowHeight), tint, cv::FILLED);
    }
    for (int r = 0; r * rowHeight <= height; ++r) {
        cv::line(page, {x0, top + r * rowHeight}, {x1, top + r * rowHeight}, ruleInk, rule);
    }
    const int colWidth = (x1 - x0) / cols;
    for (int c = 0; c <= cols; ++c) {
        cv::line(page, {x0 + c * colWidth, top}, {x0 + c * colWidth, top + height}, ruleInk, rule);
    }
    for (int r = 0; (r + 1) * rowHeight <= height; ++r) {
        for (int c = 0; c < cols; ++c) {
            TextLine(page, rnd, pen, x0 + c * colWidth + pen.Space,
                     x0 + (c + 1) * colWidth - pen.Space, top + r * rowHeight + rowHeight * 3 / 4,
                     rnd.Uniform(0.3, 1.0));
        }
    }
    return top + height + pen.LineHeight;
}

// A handwritten-looking signature in blue or black ink.
void Signature(cv::Mat& page, TRandom& rnd, double capHeight, int x, int y) {
    const cv::Scalar ink = rnd.Chance(0.6) ? cv::Scalar(140, 40, 20) : cv::Scalar(30, 30, 30);
    const TPen pen = MakePen(cv::FONT_HERSHEY_SCRIPT_SIMPLEX, capHeight * 2.2, ink, false);
    cv::putText(page, RandomWord(rnd, true) + " " + RandomWord(rnd, true), {x, y}, pen.Font,
                pen.Scale, pen.Ink, pen.Thickness + 1, cv::LINE_AA);
}

} // namespace

TPageLook RandomPageLook(TRandom& rnd, bool allowBleed) {
    TPageLook look;
    look.Layout = static_cast<TPageLayout>(rnd.Int(0, 3));
    const double white = rnd.Uniform(228, 252);
    const double yellow = rnd.Chance(0.6) ? rnd.Uniform(0, 14) : 0.0;
    const double blue = yellow == 0.0 ? rnd.Uniform(0, 5) : 0.0;
    look.Paper = cv::Scalar(white - yellow, white - yellow * 0.3 - blue, white - blue);
    look.PrintedFrame = rnd.Chance(0.12);
    look.ColourBand = allowBleed && rnd.Chance(0.3);
    return look;
}

cv::Mat RenderPage(TRandom& rnd, cv::Size size, const TPageLook& look) {
    cv::Mat page(size, CV_8UC3, look.Paper);
    const int w = size.width;
    const int h = size.height;
    const double cap = h / rnd.Uniform(95.0, 130.0);
    const int font = KBodyFonts[rnd.Int(0, 3)];
    const cv::Scalar ink = RandomColour(rnd, 15, 50);
    const TPen body = MakePen(font, cap, ink, false);
    const TPen heading = MakePen(font, cap * rnd.Uniform(1.6, 2.6), ink, true);

    const int left = static_cast<int>(w * rnd.Uniform(0.07, 0.13));
    const int right = w - static_cast<int>(w * rnd.Uniform(0.07, 0.13));
    const int bottom = h - static_cast<int>(h * rnd.Uniform(0.06, 0.1));
    int y = static_cast<int>(h * rnd.Uniform(0.05, 0.09));

    if (look.ColourBand) {
        const int band = static_cast<int>(h * rnd.Uniform(0.06, 0.14));
        cv::rectangle(page, cv::Rect(0, 0, w, band), RandomColour(rnd, 30, 200), cv::FILLED);
        const TPen title = MakePen(font, band * 0.3, cv::Scalar(250, 250, 250), true);
        TextLine(page, rnd, title, left, right, band * 2 / 3, 0.7);
        y = band + body.LineHeight;
    }
    if (look.PrintedFrame) {
        const int inset = std::min(left, y) / 2;
        cv::rectangle(page, cv::Rect(inset, inset, w - 2 * inset, h - 2 * inset), ink,
                      std::max(1, body.Thickness));
    }

    switch (look.Layout) {
    case TPageLayout::plLetter: {
        const int logo = static_cast<int>(cap * 4);
        cv::circle(page, {left + logo / 2, y + logo / 2}, logo / 2, RandomColour(rnd, 20, 200),
                   cv::FILLED, cv::LINE_AA);
        y = Paragraph(page, rnd, body, left + logo * 2, right, y, 3, bottom);
        y = Paragraph(page, rnd, body, left, (left + right) / 2, y + body.LineHeight, 4, bottom);
        y = Paragraph(page, rnd, heading, left, right, y, 1, bottom);
        while (y < bottom - 8 * body.LineHeight) {
            y = Paragraph(page, rnd, body, left, right, y, rnd.Int(3, 9), bottom);
        }
        Signature(page, rnd, cap, left, std::min(bottom, y + 2 * body.LineHeight));
        break;
    }
    case TPageLayout::plArticle: {
        y = Paragraph(page, rnd, heading, left, right, y, rnd.Int(1, 2), bottom);
        const int gutter = (right - left) / 20;
        const int mid = (left + right) / 2;
        const int photoHeight = static_cast<int>((bottom - y) * rnd.Uniform(0.2, 0.4));
        const bool photoLeft = rnd.Chance(0.5);
        for (int column = 0; column < 2; ++column) {
            const int x0 = column == 0 ? left : mid + gutter / 2;
            const int x1 = column == 0 ? mid - gutter / 2 : right;
            int cy = y;
            if ((column == 0) == photoLeft) {
                PhotoBlock(page, rnd, cv::Rect(x0, cy, x1 - x0, photoHeight));
                cy += photoHeight + body.LineHeight;
            }
            while (cy < bottom - 2 * body.LineHeight) {
                cy = Paragraph(page, rnd, body, x0, x1, cy, rnd.Int(4, 12), bottom);
            }
        }
        break;
    }
    case TPageLayout::plForm: {
        y = Paragraph(page, rnd, heading, left, right, y, 1, bottom);
        while (y < bottom - 6 * body.LineHeight) {
            if (rnd.Chance(0.5)) {
                y = Table(page, rnd, body, left, right, y, bottom);
            } else {
                const int fields = rnd.Int(2, 5);
                for (int i = 0; i < fields && y < bottom; ++i) {
                    y += body.LineHeight * 2;
                    TextLine(page, rnd, body, left, (left + right) / 3, y, 0.9);
                    cv::line(page, {(left + right) / 3, y}, {right, y}, ink, 1);
                }
                y += body.LineHeight;
            }
        }
        break;
    }
    case TPageLayout::plReport: {
        y = Paragraph(page, rnd, heading, left, right, y, 1, bottom);
        y = Paragraph(page, rnd, body, left, right, y, rnd.Int(4, 10), bottom);
        if (rnd.Chance(0.6)) {
            const int photoHeight = static_cast<int>((bottom - y) * rnd.Uniform(0.2, 0.35));
            const int photoWidth = static_cast<int>((right - left) * rnd.Uniform(0.4, 1.0));
            PhotoBlock(page, rnd, cv::Rect(left, y, photoWidth, photoHeight));
            y += photoHeight + body.LineHeight;
        }
        y = Table(page, rnd, body, left, right, y, bottom);
        while (y < bottom - 2 * body.LineHeight) {
            y = Paragraph(page, rnd, body, left, right, y, rnd.Int(3, 8), bottom);
        }
        break;
    }
    }
    // Page number in the bottom margin.
    TextLine(page, rnd, body, (left + right) / 2, right, bottom + body.LineHeight, 0.1);
    return page;
}

} // namespace bitonix
