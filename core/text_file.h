#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/text_stream.h"
#include "framework/file.h"

// A CFile read and written line by line through a text-mode stream: CR LF in the file, a single
// line feed in memory. Failures raise CFileException.
class CTextFile final : public CFile {
  public:
    // A closed file with no stream.
    CTextFile();
    // Closes the stream if this object opened it; errors on that last close are dropped.
    ~CTextFile() override;

    // The stream's byte position; raises invalidFile when it cannot be told.
    std::uint64_t GetPosition() const override {
        const long long position = m_pStream != nullptr ? m_pStream->Tell() : -1;
        if (position < 0) {
            RaisePositionUnknown();
        }
        return static_cast<std::uint64_t>(position);
    }
    // Records `path` as the file's path.
    void SetFilePath(const std::string& path) override;
    // Opens the file and attaches a stream in the mode StreamModeFor(flags) gives; false on
    // failure, with the object left closed and `error` filled if given.
    bool Open(const std::string& path, unsigned flags, CFileException* error = nullptr) override;
    // Creates the temporary file `path` (CFile::OpenTemporary) with a stream in mode "w+t".
    bool OpenTemporary(const std::string& path, std::string_view signature,
                       CFileException* error = nullptr) override;
    // Moves the stream to `offset` from `from`; raises badSeek on failure.
    std::uint64_t Seek(std::int64_t offset, unsigned from) override;
    // Reads up to `count` bytes through the stream; raises generic on a read error.
    unsigned Read(void* buffer, unsigned count) override;
    // Writes `count` bytes through the stream; raises generic when not all were written.
    void Write(const void* buffer, unsigned count) override;
    // Closes the stream, ignoring errors; never raises.
    void Abort() override;
    // Hands written data to the system; raises diskFull on failure.
    void Flush() override;
    // Closes the stream; the object is closed afterwards even when this raises diskFull.
    void Close() override;

    // Writes `text`; raises diskFull on failure.
    virtual void WriteText(std::string_view text) {
        if (Stream().Write(text.data(), text.size()) != text.size()) {
            Raise(CFileException::diskFull);
        }
    }
    // Writes `count` bytes as they are, CR LF as two bytes (TextStream::WriteBytes); raises
    // diskFull on failure.
    void WriteBytes(const void* data, std::size_t count) {
        if (Stream().WriteBytes(data, count) != count) {
            Raise(CFileException::diskFull);
        }
    }
    // Reads one whole line of any length into `line`, without its line feed; false at end of file
    // (an empty line still gives true). Raises generic on a read error.
    virtual bool ReadLine(std::string& line) { return ReadLinePrefix(line, std::string::npos); }
    // ReadLine keeping only the first `maxLength` bytes of the line; the rest of the line is read
    // and dropped piece by piece, never held whole.
    bool ReadLinePrefix(std::string& line, std::size_t maxLength) {
        if (Stream().ReadLinePrefix(line, maxLength)) {
            return true;
        }
        RaiseIfReadFailed();
        return false;
    }
    // Reads the lines that lie whole in the stream's buffer and start before the byte offset
    // `limit` in place, until EndInPlace (TextStream::BeginInPlace).
    InPlaceLines BeginInPlace(std::uint64_t limit) {
        return Stream().BeginInPlace(static_cast<long long>(limit));
    }
    void EndInPlace(const InPlaceLines& lines) { Stream().EndInPlace(lines); }
    // Writes in place in the stream's buffer, as the bytes are (CR LF stored as two), until
    // EndPlace (TextStream::BeginPlace).
    OutputPlace BeginPlace() { return Stream().BeginPlace(); }
    void EndPlace(const OutputPlace& place) { Stream().EndPlace(place); }
    // Reads as fgets does into `buffer`, keeping the line feed; null at end of file. Raises
    // generic on a read error.
    virtual char* ReadLine(char* buffer, unsigned maxCount);
    // Reads up to `count` bytes as they are in the file, whatever the mode (no CR LF joined, no
    // Ctrl-Z ending the text); fewer only at the end of the file. Raises generic on a read error.
    std::size_t ReadBytes(void* buffer, std::size_t count);
    // Makes the line readers end lines at `lineEnd`, '\n' (the default) or '\r' for text whose
    // lines end in CR alone.
    void SetLineEnd(char lineEnd) { Stream().SetLineEnd(lineEnd); }
    // True once a read met the end of the text: the end of the file, or a Ctrl-Z in text mode.
    bool EndOfText() const { return Stream().Eof(); }

  private:
    [[noreturn]] void Raise(int cause) const;
    [[noreturn]] void RaiseNoStream() const;
    [[noreturn]] void RaisePositionUnknown() const;
    // Raises generic, clearing the stream's error, when the last read failed.
    void RaiseIfReadFailed() const;

    TextStream& Stream() const {
        if (m_pStream == nullptr) {
            RaiseNoStream();
        }
        return *m_pStream;
    }

    std::unique_ptr<TextStream> m_pStream;
};
