#include "plot/svg_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Whether xmllint reads `document` as well-formed XML; skips when there is no xmllint.
void ExpectWellFormed([[maybe_unused]] const std::string& document) {
#ifdef _WIN32
    GTEST_SKIP() << "xmllint is not run on Windows";
#else
    if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no xmllint";
    }
    std::FILE* pipe = popen("xmllint --noout -", "w");
    ASSERT_NE(pipe, nullptr);
    std::fwrite(document.data(), 1, document.size(), pipe);
    EXPECT_EQ(pclose(pipe), 0) << "xmllint refuses the document";
#endif
}

TEST(SvgWriterTest, WritesAWellFormedDocumentWithAxesOnePathPerCurveAndEscapedNames) {
    std::vector<PlotCurve> curves;
    for (int i = 0; i < 14; ++i) {
        curves.push_back({"file" + std::to_string(i) + ".txt",
                          {{1e-3 * (i + 1), 0.1 * i}, {1e3, 1.0}, {1e6 * (i + 1), 0.5}}});
    }
    curves[0].name = "a&b<c>.txt";
    curves[1].name = "it's \"q\".txt";
    curves[2].name = "bad\xFF\x01\xED\xA0\x80.txt";
    curves[3].points = {{100.0, 1.0}};
    curves.insert(curves.begin() + 4, PlotCurve{"empty.txt", {}});
    const std::string svg = SvgDocument(LayOutPlot(curves, 2.5, {800.0, 500.0, 12.0}));

    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    EXPECT_NE(svg.find(" xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
    EXPECT_NE(svg.find(" width=\"800\" height=\"500\" viewBox=\"0 0 800 500\""), std::string::npos);
    EXPECT_EQ(Count(svg, "<path "), 14u);
    EXPECT_GT(Count(svg, "<line "), 10u);
    EXPECT_EQ(Count(svg, " fill=\"none\" stroke=\"#000000\""), 1u) << "the frame";
    EXPECT_NE(svg.find(", area 2.5</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Frequency (Hz)</text>"), std::string::npos);
    EXPECT_NE(svg.find(">γ·A</text>"), std::string::npos);
    EXPECT_NE(svg.find(">1 Hz</text>"), std::string::npos);
    EXPECT_NE(svg.find(">a&amp;b&lt;c&gt;.txt</text>"), std::string::npos);
    EXPECT_NE(svg.find(">it&apos;s &quot;q&quot;.txt</text>"), std::string::npos);
    EXPECT_NE(svg.find(">bad\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD.txt</text>"), std::string::npos);
    EXPECT_EQ(svg.find("empty.txt"), std::string::npos);
    EXPECT_NE(svg.find(">file11.txt</text>"), std::string::npos);
    EXPECT_EQ(svg.find("file12.txt"), std::string::npos);
    EXPECT_NE(svg.find(">+2 more</text>"), std::string::npos);
    EXPECT_FALSE(std::regex_search(svg, std::regex(R"(\d\.\d{3}|\de[-+]\d|nan|inf)")))
        << "a number longer than two decimals";
    ExpectWellFormed(svg);
}

}  // namespace
