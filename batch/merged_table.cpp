#include "batch/merged_table.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "batch/file_table.h"
#include "core/file_converter.h"
#include "core/text_file.h"
#include "framework/whole_file.h"

namespace {

// The merged table is handed to the file in pieces of about this size.
constexpr std::size_t kPieceBytes = 1 << 20;

// `text` as a CSV cell.
std::string Cell(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

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

  private:
    CTextFile m_file;
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

}  // namespace

void WriteMergedTable(const std::vector<FileSpectrum>& spectra, const std::string& path) {
    const bool oneGrid = !spectra.empty() && OneGrid(spectra);
    std::string piece = oneGrid ? "Freq(Hz)" : "";
    for (const FileSpectrum& spectrum : spectra) {
        const FileNameParts parts = InputFileFor(spectrum.name);
        const std::string name = parts.name + parts.ext;
        if (!oneGrid) {
            piece += piece.empty() ? "" : ",";
            piece += Cell(name + " Freq(Hz)");
        }
        piece += ',';
        piece += Cell(name);
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
    out.Write(piece);
    out.Commit();
}
