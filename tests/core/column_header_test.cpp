#include "core/column_header.h"

#include <gtest/gtest.h>

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
        // A unit needs a blank before it; a name alone names no order.
        {"tau(s), gamma", false, false, "tau(s), gamma", ""},
        {"x, y", false, false, "x, y", ""},
        {"gamma", false, false, "", ""},
        // Only a first column is taken for a frequency.
        {"gamma, f", false, false, "gamma, f", ""},
        {"tau, gamma, G(tau) [Ohm]", false, false, "", "its column \"G(tau) [Ohm]\" holds g = γ·f"},
        {"tau\tgamma_Re\tgamma_Im", false, false, "",
         "its column \"gamma_Re\" holds a part of a Hilbert-transform run"},
        {"F [Hz];gamma", false, false, "", "its first column \"F [Hz]\" is a frequency"},
        {"Frequency gamma", false, false, "", "its first column \"Frequency\" is a frequency"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const ColumnHeader header = ReadColumnHeader(c.line);
        EXPECT_EQ(header.recognised, c.recognised);
        EXPECT_EQ(header.tauFirst, c.tauFirst);
        EXPECT_EQ(header.refusal.substr(0, std::string(c.refusal).size()), c.refusal);
        EXPECT_EQ(header.refusal.empty(), *c.refusal == '\0');
        if (header.refusal.empty()) {
            EXPECT_EQ(header.names, c.names);
        }
    }
}

}  // namespace
