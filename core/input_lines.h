#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/text_file.h"

// The encoding of an input's text.
enum class TextEncoding : unsigned char {
    bytes,    // single bytes as they are, with or without a UTF-8 byte-order mark
    utf16LE,  // UTF-16, little-endian, after its byte-order mark
    utf16BE,  // UTF-16, big-endian, after its byte-order mark
};

// The lines of an input file, read in the encoding and with the line ends its text shows: a UTF-8
// byte-order mark is dropped, UTF-16 with a byte-order mark is decoded into UTF-8, and a text that
// holds a CR but no line feed at all, or whose first line holds a CR with more text after it, has
// lines ending in CR. Otherwise the lines are CTextFile's.
// Every line keeps at most `maxLength` bytes; the rest of a longer line is read and dropped.
class InputLines {
  public:
    // Reads `file`, just opened in text mode, telling its encoding and line ends from its text.
    // Raises CFileException on a read error.
    InputLines(CTextFile& file, std::size_t maxLength);
    InputLines(const InputLines&) = delete;
    InputLines& operator=(const InputLines&) = delete;
    ~InputLines();

    // Replaces `line` with the next line; false, with `line` empty, at the end of the text.
    // Raises CFileException on a read error.
    bool Next(std::string& line) {
        if (m_direct) {
            return m_file.ReadLinePrefix(line, m_maxLength);
        }
        return NextSlow(line);
    }
    // Reads a single-byte text's lines that lie whole in the file's buffer and start before the
    // byte offset `limit` in place (CTextFile::BeginInPlace), until EndInPlace; none for other
    // texts, and before the first line was handed out.
    InPlaceLines BeginInPlace(std::uint64_t limit) {
        return m_direct ? m_file.BeginInPlace(limit) : InPlaceLines();
    }
    void EndInPlace(const InPlaceLines& lines) {
        if (m_direct) {
            m_file.EndInPlace(lines);
        }
    }
    // Reads the lines again from the byte offset `offset`, the start of a line after the first, as
    // Position() gave it. Raises CFileException when the file cannot seek there.
    void Rewind(std::uint64_t offset);
    // The byte offset in the file of the end of the last line read.
    std::uint64_t Position() const { return m_file.GetPosition() - m_undecoded; }
    // The encoding of the text.
    TextEncoding Encoding() const { return m_encoding; }
    // True when lines end in CR alone.
    bool CrLineEnds() const { return m_crLineEnds; }

  private:
    // The line feeds of the text from byte `start`, and its CRs that no line feed follows; when
    // `untilLineFeed`, counted only up to the first line feed.
    struct LineEndCount {
        std::uint64_t lineFeeds = 0;
        std::uint64_t bareCrs = 0;
    };
    LineEndCount CountLineEnds(std::uint64_t start, bool untilLineFeed);
    // True when the text from byte `start` holds a CR and no line feed.
    bool HoldsCrWithoutLineFeed(std::uint64_t start);
    // True when more of the text's lines from byte `start` end in CR alone than in a line feed.
    bool MostlyCrLineEnds(std::uint64_t start);
    bool NextSlow(std::string& line);
    bool NextUtf16(std::string& line);
    bool NextUnit(unsigned& unit);

    CTextFile& m_file;
    std::size_t m_maxLength;
    TextEncoding m_encoding = TextEncoding::bytes;
    bool m_crLineEnds = false;
    // The first line, read while telling the encoding, until Next hands it out.
    std::string m_first;
    bool m_hasFirst = false;
    bool m_firstPending = true;
    // True once the lines come straight from the file: the first line was handed out, and the
    // text is single bytes.
    bool m_direct = false;
    // Raw bytes of a UTF-16 text read from the file and not yet decoded.
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    // m_end - m_begin as the last line read left them: the file's bytes read but not yet taken.
    std::size_t m_undecoded = 0;
};
