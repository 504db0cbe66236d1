#include "cli/standard_input.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "cli/standard_streams.h"
#include "framework/file.h"
#include "framework/interrupt.h"

namespace {

constexpr unsigned kChunkSize = 64 * 1024;

// A temporary file of this process, removed when the object goes.
class PrivateFile {
  public:
    explicit PrivateFile(std::string path) : m_path(std::move(path)) {}
    PrivateFile(const PrivateFile&) = delete;
    PrivateFile& operator=(const PrivateFile&) = delete;
    ~PrivateFile() {
        InterruptHold hold;
        NativeRemove(m_path);
        if (m_cleanup != 0) {
            DisarmInterruptCleanup(m_cleanup);
        }
    }

    const std::string& Path() const { return m_path; }

    // Makes an interruption remove the file, with `message` (in place of any earlier one), until
    // the object goes.
    void ArmCleanup(const std::string& message) {
        InterruptHold hold;
        if (m_cleanup != 0) {
            DisarmInterruptCleanup(m_cleanup);
        }
        m_cleanup = ArmInterruptCleanup(m_path, message);
    }

  private:
    std::string m_path;
    int m_cleanup = 0;
};

// A path in the system's temporary folder that no other run of the program picks, without its
// extension.
std::string PrivateStem() {
    std::random_device random;
    const std::uint64_t tag = (std::uint64_t{random()} << 32) ^ random();
    const std::u8string path =
        (std::filesystem::temp_directory_path() / ("kelvane-convert-" + std::to_string(tag)))
            .u8string();
    return std::string(path.begin(), path.end());
}

// Copies what `in` holds into the new file `spoolFile`; raises CFileException.
void SpoolInput(std::FILE* in, PrivateFile& spoolFile) {
    CFile spool;
    CFileException error;
    InterruptHold hold;
    if (!spool.OpenTemporary(spoolFile.Path(), "", &error)) {
        throw error;
    }
    spoolFile.ArmCleanup("Interrupted while reading standard input");
    hold.Release();
    const auto chunk = std::make_unique<char[]>(kChunkSize);
    std::size_t got = 0;
    while ((got = std::fread(chunk.get(), 1, kChunkSize, in)) > 0) {
        spool.Write(chunk.get(), static_cast<unsigned>(got));
    }
    if (std::ferror(in) != 0) {
        throw CFileException(CFileException::generic, kStandardInputName, "it could not be read");
    }
    spool.Close();
}

// Writes the bytes of `table` to `out`; raises CFileException.
void CopyOutput(PrivateFile& table, std::FILE* out) {
    table.ArmCleanup("Interrupted while writing standard output");
    CFile file;
    CFileException error;
    if (!file.Open(table.Path(), CFile::modeRead | CFile::typeBinary, &error)) {
        throw error;
    }
    const auto chunk = std::make_unique<char[]>(kChunkSize);
    unsigned got = 0;
    while ((got = file.Read(chunk.get(), kChunkSize)) > 0) {
        if (std::fwrite(chunk.get(), 1, got, out) != got) {
            throw CFileException(CFileException::diskFull, "standard output",
                                 "it could not be written");
        }
    }
    if (std::fflush(out) != 0) {
        throw CFileException(CFileException::diskFull, "standard output",
                             "it could not be written");
    }
}

}  // namespace

FileOutcome ConvertStandardInput(std::FILE* in, std::FILE* out, ProgressConsole& console,
                                 std::vector<FileFailure>& failures) {
    UseBinaryMode(in);
    UseBinaryMode(out);
    std::string reason;
    try {
        const std::string stem = PrivateStem();
        PrivateFile input(stem + ".txt");
        PrivateFile output(stem + "+PDRT.txt");
        SpoolInput(in, input);
        // Both go on an interruption of the conversion, which names the input itself.
        input.ArmCleanup("");
        output.ArmCleanup("");
        // The table reaches standard output before the file is reported finished.
        return ConvertReported(console, kStandardInputName, input.Path(), output.Path(), failures,
                               nullptr, [&] { CopyOutput(output, out); });
    } catch (const std::exception& error) {
        reason = error.what();
    }
    console.Line(std::string("Failed to process file: ") + kStandardInputName + ": " + reason);
    failures.push_back({kStandardInputName, reason});
    return FileOutcome::failed;
}
