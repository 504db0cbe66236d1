#include "core/input_lines.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";
constexpr unsigned kReplacement = 0xFFFD;

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

inline bool IsHighSurrogate(unsigned unit) {
    return unit - 0xD800u < 0x400u;
}

inline bool IsLowSurrogate(unsigned unit) {
    return unit - 0xDC00u < 0x400u;
}

// Appends the UTF-8 form of `code` unless the line would grow past `maxLength`; false then.
bool AppendUtf8(std::string& line, unsigned code, std::size_t maxLength) {
    char bytes[4];
    std::size_t count = 0;
    if (code < 0x80) {
        bytes[count++] = static_cast<char>(code);
    } else if (code < 0x800) {
        bytes[count++] = static_cast<char>(0xC0 | (code >> 6));
        bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        bytes[count++] = static_cast<char>(0xE0 | (code >> 12));
        bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        bytes[count++] = static_cast<char>(0xF0 | (code >> 18));
        bytes[count++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    if (line.size() + count > maxLength) {
        return false;
    }
    line.append(bytes, count);
    return true;
}

// True when `line` holds a CR before the CRs it ends with, if any: lines ending in CR, read as one.
bool HoldsInnerCr(const std::string& line) {
    const std::size_t last = line.find_last_not_of('\r');
    return last != std::string::npos && line.find('\r') < last;
}

}  // namespace

InputLines::InputLines(CTextFile& file, std::size_t maxLength)
    : m_file(file), m_maxLength(maxLength) {
    m_hasFirst = m_file.ReadLinePrefix(m_first, m_maxLength);
    const bool littleEndian = StartsWith(m_first, kLittleEndianMark);
    if (littleEndian || StartsWith(m_first, kBigEndianMark)) {
        m_encoding = littleEndian ? TextEncoding::utf16LE : TextEncoding::utf16BE;
        m_crLineEnds = HoldsCrWithoutLineFeed(kLittleEndianMark.size());
        m_file.Seek(static_cast<std::int64_t>(kLittleEndianMark.size()), CFile::begin);
        m_buffer.reset(new unsigned char[kBufferSize]);
        m_hasFirst = NextUtf16(m_first);
        if (!m_crLineEnds && HoldsInnerCr(m_first) && MostlyCrLineEnds(kLittleEndianMark.size())) {
            m_crLineEnds = true;
            m_file.Seek(static_cast<std::int64_t>(kLittleEndianMark.size()), CFile::begin);
            m_begin = m_end = 0;
            m_hasFirst = NextUtf16(m_first);
        }
    } else if (m_hasFirst && (m_file.EndOfText() ? HoldsCrWithoutLineFeed(0)
                                                 : HoldsInnerCr(m_first) && MostlyCrLineEnds(0))) {
        // The first line ran to the end of the text without a line feed, or its line feed
        // ended a run of lines ending in CR, as where a last line was added on another system;
        // a stray CR inside the first line of a text of line feeds is not such a run.
        m_crLineEnds = true;
        m_file.Seek(0, CFile::begin);
        m_file.SetLineEnd('\r');
        m_hasFirst = m_file.ReadLinePrefix(m_first, m_maxLength);
    }
    if (StartsWith(m_first, kUtf8Mark)) {
        m_first.erase(0, kUtf8Mark.size());
    }
}

InputLines::~InputLines() = default;

void InputLines::Rewind(std::uint64_t offset) {
    m_file.Seek(static_cast<std::int64_t>(offset), CFile::begin);
    m_begin = m_end = m_undecoded = 0;
    m_firstPending = false;
    m_first.clear();
    m_direct = m_encoding == TextEncoding::bytes;
}

InputLines::LineEndCount InputLines::CountLineEnds(std::uint64_t start, bool untilLineFeed) {
    const std::uint64_t back = m_file.GetPosition();
    m_file.Seek(static_cast<std::int64_t>(start), CFile::begin);
    std::vector<unsigned char> chunk(kBufferSize);
    LineEndCount count;
    bool afterCr = false;
    const auto take = [&](unsigned char c) {
        count.bareCrs += afterCr && c != '\n' ? 1 : 0;
        count.lineFeeds += c == '\n' ? 1 : 0;
        afterCr = c == '\r';
    };
    if (m_encoding == TextEncoding::bytes) {
        // The text ends at a Ctrl-Z, as for the line reader.
        bool textEnded = false;
        while (!(untilLineFeed && count.lineFeeds > 0) && !textEnded) {
            std::size_t got = m_file.ReadBytes(chunk.data(), chunk.size());
            if (got == 0) {
                break;
            }
            if (const void* stop = std::memchr(chunk.data(), kCtrlZ, got)) {
                got = static_cast<std::size_t>(static_cast<const unsigned char*>(stop) -
                                               chunk.data());
                textEnded = true;
            }
            for (std::size_t i = 0; i < got; ++i) {
                take(chunk[i]);
            }
        }
    } else {
        // Whole chunks hold whole units: only the last can be short.
        const std::size_t low = m_encoding == TextEncoding::utf16LE ? 0 : 1;
        while (!(untilLineFeed && count.lineFeeds > 0)) {
            const std::size_t got = m_file.ReadBytes(chunk.data(), chunk.size());
            for (std::size_t i = 0; i + 1 < got; i += 2) {
                take(chunk[i + 1 - low] == 0 ? chunk[i + low] : 0);
            }
            if (got < chunk.size()) {
                break;
            }
        }
    }
    count.bareCrs += afterCr ? 1 : 0;
    m_file.Seek(static_cast<std::int64_t>(back), CFile::begin);
    return count;
}

bool InputLines::HoldsCrWithoutLineFeed(std::uint64_t start) {
    const LineEndCount count = CountLineEnds(start, true);
    return count.bareCrs > 0 && count.lineFeeds == 0;
}

bool InputLines::MostlyCrLineEnds(std::uint64_t start) {
    const LineEndCount count = CountLineEnds(start, false);
    return count.bareCrs > count.lineFeeds;
}

bool InputLines::NextSlow(std::string& line) {
    if (m_firstPending) {
        m_firstPending = false;
        m_direct = m_encoding == TextEncoding::bytes;
        line.swap(m_first);
        m_first.clear();
        if (!m_hasFirst) {
            line.clear();
        }
        return m_hasFirst;
    }
    if (m_encoding != TextEncoding::bytes) {
        return NextUtf16(line);
    }
    return m_file.ReadLinePrefix(line, m_maxLength);
}

bool InputLines::NextUnit(unsigned& unit) {
    if (m_end - m_begin < 2) {
        const std::size_t left = m_end - m_begin;
        if (left == 1) {
            m_buffer[0] = m_buffer[m_begin];
        }
        m_begin = 0;
        m_end = left + m_file.ReadBytes(m_buffer.get() + left, kBufferSize - left);
        if (m_end == 1) {
            // An odd byte at the end of the file.
            m_end = 0;
            unit = kReplacement;
            return true;
        }
        if (m_end == 0) {
            return false;
        }
    }
    const unsigned first = m_buffer[m_begin];
    const unsigned second = m_buffer[m_begin + 1];
    m_begin += 2;
    unit = m_encoding == TextEncoding::utf16LE ? first | second << 8 : first << 8 | second;
    return true;
}

bool InputLines::NextUtf16(std::string& line) {
    line.clear();
    const unsigned lineEnd = m_crLineEnds ? '\r' : '\n';
    bool read = false;
    bool fed = false;
    bool cut = false;
    unsigned high = 0;  // a high surrogate waiting for its low half
    unsigned unit = 0;
    // Keeps whole characters up to the length limit, and none after the first that did not fit.
    const auto append = [&](unsigned code) { cut = cut || !AppendUtf8(line, code, m_maxLength); };
    while (NextUnit(unit)) {
        read = true;
        if (high != 0 && !IsLowSurrogate(unit)) {
            append(kReplacement);
            high = 0;
        }
        if (unit == lineEnd) {
            fed = true;
            break;
        }
        if (IsHighSurrogate(unit)) {
            high = unit;
            continue;
        }
        unsigned code = unit;
        if (IsLowSurrogate(unit)) {
            code = high != 0 ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00) : kReplacement;
            high = 0;
        }
        append(code);
    }
    if (high != 0) {
        append(kReplacement);
    }
    m_undecoded = m_end - m_begin;
    // A CR before the line feed belongs to the line end, as in a text-mode stream.
    if (fed && !m_crLineEnds && !cut && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return read;
}
