#include "batch/merged_table.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "analysis/csv_text.h"
#include "batch/file_table.h"
#include "core/file_converter.h"
#include "core/text_file.h"
#include "framework/path_keys.h"
#include "framework/whole_file.h"

namespace {

// The merged table is handed to the file in pieces of about this size.
constexpr std::size_t kPieceBytes = 1 << 20;

// The rows of one output, read back in order: each row's two fields as the table shows them.
class OutputRows {
  public:
    explicit OutputRows(const std::string& path) {
        CFileException error;
        if (!m_file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText, &error)) {
            throw error;
        }
        std::string header;
        m_file.ReadLine(header);
    }

    // Reads the next row; false at the end.
    bool Next() {
        if (!m_file.ReadLine(m_line)) {
            return false;
        }
        ++m_rows;
        while (!m_line.empty() && (m_line.back() == '\r' || m_line.back() == '\n')) {
            m_line.pop_back();
        }
        const std::size_t comma = m_line.find(',');
        const std::size_t second = m_line.find_first_not_of(' ', comma + 1);
        m_frequency = std::string_view(m_line).substr(0, comma);
        m_gamma = comma == std::string::npos || second == std::string::npos
                      ? std::string_view()
                      : std::string_view(m_line).substr(second);
        return true;
    }
    std::string_view Frequency() const { return m_frequency; }
    std::string_view Gamma() const { return m_gamma; }
    // The rows read so far.
    std::size_t Rows() const { return m_rows; }

  private:
    CTextFile m_file;
    std::size_t m_rows = 0;
    std::string m_line;
    std::string_view m_frequency;
    std::string_view m_gamma;
};

std::vector<std::unique_ptr<OutputRows>> OpenAll(const std::vector<FileSpectrum>& spectra) {
    std::vector<std::unique_ptr<OutputRows>> outputs;
    for (const FileSpectrum& spectrum : spectra) {
        outputs.push_back(std::make_unique<OutputRows>(spectrum.output));
    }
    return outputs;
}

bool Near(std::string_view a, std::string_view b) {
    const double x = std::strtod(std::string(a).c_str(), nullptr);
    const double y = std::strtod(std::string(b).c_str(), nullptr);
    return x == y || std::fabs(x - y) <= 1e-6 * std::fabs(x);
}

// True when every output has the first one's frequencies.
bool OneGrid(const std::vector<FileSpectrum>& spectra) {
    for (const FileSpectrum& spectrum : spectra) {
        if (spectrum.figures.rows != spectra.front().figures.rows) {
            return false;
        }
    }
    std::vector<std::unique_ptr<OutputRows>> outputs = OpenAll(spectra);
    for (;;) {
        const bool more = outputs.front()->Next();
        for (std::size_t i = 1; i < outputs.size(); ++i) {
            if (outputs[i]->Next() != more ||
                (more && !Near(outputs.front()->Frequency(), outputs[i]->Frequency()))) {
                return false;
            }
        }
        if (!more) {
            return true;
        }
    }
}

// The spectra whose outputs still hold their tables: of two rows of a run with one output, the
// later one's, whose table replaced the earlier one's. Those left out go to `leftOut`.
std::vector<FileSpectrum> WithTheirTables(const std::vector<FileSpectrum>& spectra,
                                          std::vector<std::string>& leftOut) {
    PathKeys keys;
    std::vector<std::string> outputKeys;
    std::unordered_map<std::string, std::size_t> lastWriter;
    for (std::size_t i = 0; i < spectra.size(); ++i) {
        outputKeys.push_back(keys.Key(spectra[i].output));
        lastWriter[outputKeys.back()] = i;
    }
    std::vector<FileSpectrum> kept;
    for (std::size_t i = 0; i < spectra.size(); ++i) {
        const std::size_t last = lastWriter[outputKeys[i]];
        if (last == i) {
            kept.push_back(spectra[i]);
        } else {
            leftOut.push_back(spectra[i].name + ": its output was replaced by that of " +
                              spectra[last].name);
        }
    }
    return kept;
}

}  // namespace

std::vector<std::string> WriteMergedTable(const std::vector<FileSpectrum>& allSpectra,
                                          const std::string& path) {
    std::vector<std::string> leftOut;
    const std::vector<FileSpectrum> spectra = WithTheirTables(allSpectra, leftOut);
    const bool oneGrid = !spectra.empty() && OneGrid(spectra);
    std::string piece = oneGrid ? "Freq(Hz)" : "";
    for (const FileSpectrum& spectrum : spectra) {
        const FileNameParts parts = InputFileFor(spectrum.name);
        const std::string name = parts.name + parts.ext;
        if (!oneGrid) {
            piece += piece.empty() ? "" : ",";
            piece += CsvText(name + " Freq(Hz)");
        }
        piece += ',';
        piece += CsvText(name);
    }
    piece += "\n";
    // A leftover of an earlier run at the temporary's name begins with the same header.
    WholeFile out(path, piece);
    std::vector<std::unique_ptr<OutputRows>> outputs = OpenAll(spectra);
    for (;;) {
        std::string row;
        bool any = false;
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            const bool has = outputs[i]->Next();
            any = any || has;
            if (oneGrid && i == 0) {
                row += has ? std::string(outputs[i]->Frequency()) : std::string();
            } else if (!oneGrid) {
                row += (i == 0 ? "" : ",");
                row += has ? std::string(outputs[i]->Frequency()) : std::string();
            }
            row += ",";
            row += has ? std::string(outputs[i]->Gamma()) : std::string();
        }
        if (!any) {
            break;
        }
        piece += row + "\n";
        if (piece.size() >= kPieceBytes) {
            out.Write(piece);
            piece.clear();
        }
    }
    // A table that changed since its file was converted would put other rows under its name.
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i]->Rows() != spectra[i].figures.rows) {
            throw CFileException(CFileException::generic, spectra[i].output,
                                 "it changed since it was converted (" +
                                     std::to_string(spectra[i].figures.rows) + " rows then, " +
                                     std::to_string(outputs[i]->Rows()) + " now)");
        }
    }
    out.Write(piece);
    out.Commit();
    return leftOut;
}
