#include "core/column_header.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(ColumnHeaderTest, NamesWithUnitsAndCaseAreRecognisedAndOthersRefused) {
    const struct {
        const char* line;
        bool recognised;
        bool tauFirst;
        const char* names;
        const char* refusal;  // how the refusal begins, or empty
    } cases[] = {
        {"tau [s], gamma [Ohm]", true, true, "tau [s], gamma [Ohm]", ""},
        {"tau [s]  gamma [Ohm m2]", true, true, "tau [s], gamma [Ohm m2]", ""},
        {"  TAU\tGamma(Tau)  ", true, true, "TAU, Gamma(Tau)", ""},
        {"Map Gamma;tau", true, false, "Map Gamma, tau", ""},
        {"γ(τ)   τ", true, false, "γ(τ), τ", ""},
        {"gamma(tau) [Ohm], tau", true, false, "gamma(tau) [Ohm], tau", ""},
        {"tau(s), gamma", true, true, "tau(s), gamma", ""},
        // A name alone names no order, and a title is no frequency column.
        {"x, y", false, false, "x, y", ""},
        {"gamma", false, false, "", ""},
        {"Frequency sweep of cell A", false, false, "Frequency, sweep", ""},
        // Only a first column is taken for a frequency.
        {"gamma, f", false, false, "gamma, f", ""},
        {"tau, gamma, G(tau) [Ohm]", false, false, "tau, gamma",
         "its column \"G(tau) [Ohm]\" holds g = γ·f"},
        {"tau\tgamma_Re\tgamma_Im", false, false, "tau, gamma_Re",
         "its column \"gamma_Re\" holds a part of a Hilbert-transform run"},
        {"F [Hz];gamma", false, false, "F [Hz], gamma",
         "its first column \"F [Hz]\" is a frequency"},
        {"Frequency gamma", false, false, "Frequency, gamma",
         "its first column \"Frequency\" is a frequency"},
        {"freq, gamma(freq)", false, false, "freq, gamma(freq)",
         "its first column \"freq\" is a frequency"},
        {"log10(tau), gamma", false, false, "log10(tau), gamma",
         "its column \"log10(tau)\" holds the logarithm of τ"},
        {"ln (tau/s)\tgamma", false, false, "ln (tau/s), gamma",
         "its column \"ln (tau/s)\" holds the logarithm of τ"},
        {"log10(tau [s]) gamma", false, false, "log10(tau [s]), gamma",
         "its column \"log10(tau [s])\" holds the logarithm of τ"},
        {"tau;log(gamma)", false, false, "tau, log(gamma)",
         "its column \"log(gamma)\" holds the logarithm of γ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const ColumnHeader header = ReadColumnHeader(c.line);
        EXPECT_EQ(header.recognised, c.recognised);
        EXPECT_EQ(header.tauFirst, c.tauFirst);
        EXPECT_EQ(header.refusal.substr(0, std::string(c.refusal).size()), c.refusal);
        EXPECT_EQ(header.refusal.empty(), *c.refusal == '\0');
        EXPECT_EQ(header.names, c.names);
    }
}

TEST(ColumnHeaderTest, ToolWrittenHeadersAreRecognised) {
    const struct {
        const char* line;
        bool tauFirst;
        const char* names;
        bool labelColumn;
        char separator;
        int nameCount;
    } cases[] = {
        {"tau(s) gamma(Ohm)", true, "tau(s), gamma(Ohm)", false, ' ', 2},
        {"tau_s gamma_Ohm", true, "tau_s, gamma_Ohm", false, ' ', 2},
        {"τ/s γ/Ω", true, "τ/s, γ/Ω", false, ' ', 2},
        {"tau / s  gamma / Ohm", true, "tau / s, gamma / Ohm", false, ' ', 2},
        {"# tau gamma", true, "tau, gamma", false, ' ', 2},
        {"% gamma tau", false, "gamma, tau", false, ' ', 2},
        {"\"tau\",\"gamma\"", true, "tau, gamma", false, ',', 2},
        // A row-label column, as pandas and R write it; an empty last name is none.
        {",tau,gamma", true, "tau, gamma", true, ',', 3},
        {"\"\",\"tau\",\"gamma\"", true, "tau, gamma", true, ',', 3},
        {"tau,gamma,", true, "tau, gamma", false, ',', 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const ColumnHeader header = ReadColumnHeader(c.line);
        EXPECT_TRUE(header.recognised);
        EXPECT_EQ(header.tauFirst, c.tauFirst);
        EXPECT_EQ(header.refusal, "");
        EXPECT_EQ(header.names, c.names);
        EXPECT_EQ(header.labelColumn, c.labelColumn);
        EXPECT_EQ(header.separator, c.separator);
        EXPECT_EQ(header.nameCount, c.nameCount);
    }
}

TEST(ColumnHeaderTest, AnUnreadHeaderSaysWhetherItNamedTau) {
    for (const auto& [line, namesTau] :
         {std::pair{"time tau_x stuff", true}, {"x\tTAU [s]\ty", true}, {"x, y", false}}) {
        SCOPED_TRACE(line);
        const ColumnHeader header = ReadColumnHeader(line);
        EXPECT_FALSE(header.recognised);
        EXPECT_EQ(header.namesTau, namesTau);
    }
}

}  // namespace
