#include "core/reports/textreport.h"

#include <algorithm>


namespace accise {

namespace {

constexpr double kMarginLines = 2; // above the title and below the last line
constexpr int kHeaderLines = 3;    // title, page number and a blank line

// The text cut into pieces of at most `width` characters (UTF-8 aware).
std::vector<std::string> pieces(const std::string& line, std::size_t width) {
    std::vector<std::string> out;
    std::string current;
    std::size_t count = 0;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t len = 1;
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0xF0) len = 4;
        else if (c >= 0xE0) len = 3;
        else if (c >= 0xC0) len = 2;
        if (count == width) {
            out.push_back(std::move(current));
            current.clear();
            count = 0;
        }
        current.append(line, i, len);
        ++count;
        i += len;
    }
    out.push_back(std::move(current));
    return out;
}

} // namespace

void drawTextReport(PageCanvas& canvas, const std::string& title, const std::vector<std::string>& lines) {
    canvas.setOrientation(PageOrientation::Portrait);
    canvas.setFont("Courier New", 10);
    const double c = std::max(1.0, canvas.textWidth("M"));
    const double h = std::max(1.0, canvas.lineHeight());
    const double left = canvas.resolution() / 2; // half an inch
    const auto width = static_cast<std::size_t>(std::max(10.0, (canvas.pageWidth() - 2 * left) / c));
    const int perPage = std::max(1, static_cast<int>(canvas.pageHeight() / h - 2 * kMarginLines) - kHeaderLines);

    std::vector<std::string> printed;
    for (const std::string& line : lines)
        for (std::string& piece : pieces(line, width)) printed.push_back(std::move(piece));
    if (printed.empty()) printed.emplace_back();

    int page = 0;
    for (std::size_t i = 0; i < printed.size(); ++i) {
        const int row = static_cast<int>(i % static_cast<std::size_t>(perPage));
        if (row == 0) {
            if (page > 0) canvas.newPage();
            ++page;
            canvas.setBold(true);
            canvas.text(left, kMarginLines * h, title, TextAnchor::Top);
            canvas.setBold(false);
            canvas.textRight(canvas.pageWidth() - left, kMarginLines * h, "Pagina " + std::to_string(page),
                             TextAnchor::Top);
        }
        canvas.text(left, (kMarginLines + kHeaderLines + row) * h, printed[i], TextAnchor::Top);
    }
}

} // namespace accise
