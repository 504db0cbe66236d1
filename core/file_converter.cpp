#include "core/file_converter.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/c_space.h"
#include "core/conversion_settings.h"
#include "core/data_row.h"
#include "core/file_layout.h"
#include "core/input_lines.h"
#include "core/number_format.h"
#include "core/text_file.h"
#include "framework/interrupt.h"
#include "framework/native_file.h"
#include "framework/os_error.h"

ThreadedConversion g_threadedConversion;

namespace {

// The most of a line kept: a data line's two numbers are at its start, and the rest of a longer
// line is read and dropped, so that an input without line feeds never fills the memory.
constexpr std::size_t kMaxLineLength = 1024 * 1024;
constexpr std::string_view kOutputHeader = "Freq(Hz), Gamma(tau)\n";
// How every temporary output of this program begins, in the file.
constexpr std::string_view kOutputSignature = kConvertedTableHeader;
// The temporary output is the output's name with this extension in place of its own ".txt", so
// that it is never longer than the output's name.
constexpr std::string_view kTemporaryExtension = ".tmp";
// Every output begins with the line by which ConvertFile recognises a converted table.
static_assert(kOutputHeader.substr(0, kConvertedTableHeader.size()) == kConvertedTableHeader &&
              kOutputHeader.substr(kConvertedTableHeader.size()) == "\n");

// Removes the temporary output unless it has become the output. Declared after the file object
// that writes it, so that it is removed while that file still holds it: once closed, the name may
// already belong to another run's temporary.
class TemporaryFile {
  public:
    TemporaryFile(std::string path, const std::string& inputName, InterruptNotice* converted)
        : m_path(std::move(path)),
          m_inputName(inputName),
          m_converted(converted),
          m_cleanup(ArmInterruptCleanup(m_path, "Interrupted while converting " + inputName +
                                                    "; its earlier output is kept")) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        InterruptHold hold;
        if (!m_forgotten) {
            NativeRemove(m_path);
        }
        DisarmInterruptCleanup(m_cleanup);
    }

    // Moves the file over `target`, where it stays; a name that no longer holds this file is
    // left alone.
    void MoveOver(CFile& file, const std::string& target) {
        InterruptHold hold;
        try {
            file.CommitTemporary(m_path, target);
        } catch (const CFileException& error) {
            // A name taken away holds another's file now: an interruption must not remove it.
            m_forgotten = error.m_lOsError == kErrorTemporaryTakenAway;
            if (m_forgotten) {
                DisarmInterruptCleanup(m_cleanup);
            }
            throw;
        }
        m_forgotten = true;
        // In the same step: an interruption from now on tells that the file was converted.
        if (m_converted != nullptr) {
            m_converted->Arm("Interrupted after converting " + m_inputName +
                             "; its output is complete");
        }
        DisarmInterruptCleanup(m_cleanup);
    }

  private:
    std::string m_path;
    std::string m_inputName;
    InterruptNotice* m_converted;
    int m_cleanup;
    bool m_forgotten = false;
};

// Counts `line`, number `lineNumber`, among the skipped lines when it is not blank.
void CountSkipped(std::string_view line, long lineNumber, ConversionReport& report) {
    if (!IsBlank(line) && report.skippedLines++ == 0) {
        report.firstSkippedLine = lineNumber;
    }
}

// How every line of the rows is converted, decided before the first: the rows' reading, the
// column order, and the number of the line before the first row.
struct RowPlan {
    RowReading reading;
    bool tauFirst = false;
    long lineBase = 0;
};

// What the row loop counts. Every line read is a row or not; the rows are counted, and the
// others, so that the line number is known without counting every line. The layouts other than
// blanks are noted per row, blanks by their count: the rows less those of the other layouts.
struct RowTally {
    long rows = 0;
    long otherLines = 0;
    long otherLayoutRows = 0;
    unsigned layouts = 0;
};

// Room for a row written in place: a row and its CR.
constexpr std::size_t kMaxRowInPlace = kMaxRowLength + 1;

// The data lines of the input, read in place in its buffer where they lie whole there, and into a
// string otherwise (across the buffer's end, and every line of other texts). They end at the
// length taken at the start, or earlier where the input's text ends (a Ctrl-Z, or a file that
// shrank meanwhile, which ConvertFile then fails). With `handOver` they also end at the end of the
// lines in the buffer, leaving the input at a line's start.
class FileLines {
  public:
    FileLines(InputLines& input, std::uint64_t length, bool handOver)
        : m_input(input), m_length(length), m_handOver(handOver) {}

    InPlaceLines Begin() { return m_input.BeginInPlace(m_length); }
    // Goes on where the lines in place ran out: sets `text` to the next line and `lines` to those
    // in place after it; false at the end, with the reading state handed back to the input.
    bool Refill(InPlaceLines& lines, std::string_view& text) {
        m_input.EndInPlace(lines);
        if (m_handOver) {
            m_handedOver = true;
            return false;
        }
        if (m_input.Position() >= m_length || !m_input.Next(m_line)) {
            return false;
        }
        text = m_line;
        lines = m_input.BeginInPlace(m_length);
        return true;
    }
    // True when the lines ended for the hand-over rather than at the text's end.
    bool HandedOver() const { return m_handedOver; }

  private:
    InputLines& m_input;
    std::uint64_t m_length;
    bool m_handOver;
    bool m_handedOver = false;
    std::string m_line;
};

// Where the row loop keeps the next rows for a RowObserver: from `next` up to `end`.
struct KeptPlace {
    ConvertedRow* next = nullptr;
    ConvertedRow* end = nullptr;
};

// The rows kept for a RowObserver, in a buffer that the row loop fills in place.
class KeptRows {
  public:
    // An empty buffer.
    KeptPlace Begin() { return {m_rows.get(), m_rows.get() + m_capacity}; }
    // Makes room at `place`, where the buffer is full: hands the rows to `observer` and starts
    // again when there is one, else grows the buffer.
    void MakeRoom(KeptPlace& place, RowObserver* observer) {
        const std::size_t used = static_cast<std::size_t>(place.next - m_rows.get());
        if (observer != nullptr) {
            observer->OnRows(m_rows.get(), used);
            place = Begin();
            return;
        }
        std::unique_ptr<ConvertedRow[]> rows(new ConvertedRow[2 * m_capacity]);
        std::copy_n(m_rows.get(), used, rows.get());
        m_rows = std::move(rows);
        m_capacity *= 2;
        place = {m_rows.get() + used, m_rows.get() + m_capacity};
    }
    // The rows are those up to `place`.
    void End(const KeptPlace& place) {
        m_count = static_cast<std::size_t>(place.next - m_rows.get());
    }
    const ConvertedRow* Data() const { return m_rows.get(); }
    std::size_t Count() const { return m_count; }

  private:
    std::size_t m_capacity = 4096;
    std::unique_ptr<ConvertedRow[]> m_rows{new ConvertedRow[m_capacity]};
    std::size_t m_count = 0;
};

// Rows written in place in the output's buffer where it has room, else by WriteText; handed to
// `observer`, when there is one, as they are written.
class FileRows {
  public:
    FileRows(CTextFile& output, RowObserver* observer) : m_output(output), m_observer(observer) {}

    OutputPlace Begin() { return m_output.BeginPlace(); }
    void End(const OutputPlace& place) { m_output.EndPlace(place); }
    bool Observed() const { return m_observer != nullptr; }
    KeptPlace BeginKept() { return m_kept.Begin(); }
    void MakeRoom(KeptPlace& place) { m_kept.MakeRoom(place, m_observer); }
    // Hands the rows kept up to `place` to the observer.
    void EndKept(const KeptPlace& place) {
        m_kept.End(place);
        if (m_kept.Count() > 0) {
            m_observer->OnRows(m_kept.Data(), m_kept.Count());
        }
    }
    // Writes the row that does not fit at `place`, and moves `place` past it.
    void WriteAside(OutputPlace& place, double frequency, double gamma) {
        m_output.EndPlace(place);
        const char* end = FormatRow(frequency, gamma, m_row);
        m_output.WriteText(std::string_view(m_row, static_cast<std::size_t>(end - m_row)));
        place = m_output.BeginPlace();
    }

  private:
    CTextFile& m_output;
    RowObserver* m_observer;
    KeptRows m_kept;
    char m_row[kMaxRowLength];
};

// The whole lines of a piece of the input's text in memory, read in place as FileLines reads them.
struct ChunkLines {
    InPlaceLines lines;

    InPlaceLines Begin() const { return lines; }
    static bool Refill(InPlaceLines&, std::string_view&) { return false; }
};

// Rows written into memory as the output's text mode writes them (CR LF), in a buffer kept from
// one piece to the next and grown when a piece's rows need more; with `observed`, the rows are
// kept as well, for the thread that writes the pieces in order to hand on.
class ChunkRows {
  public:
    OutputPlace Begin() { return {m_bytes.get(), m_bytes.get() + m_capacity}; }
    bool Observed() const { return m_observed; }
    void Observe(bool observed) { m_observed = observed; }
    KeptPlace BeginKept() { return m_kept.Begin(); }
    void MakeRoom(KeptPlace& place) { m_kept.MakeRoom(place, nullptr); }
    void EndKept(const KeptPlace& place) { m_kept.End(place); }
    // The rows kept of the last piece converted.
    const KeptRows& Kept() const { return m_kept; }
    void End(const OutputPlace& place) {
        m_size = static_cast<std::size_t>(place.next - m_bytes.get());
    }
    void WriteAside(OutputPlace& place, double frequency, double gamma) {
        const std::size_t used = static_cast<std::size_t>(place.next - m_bytes.get());
        Reserve(std::max(2 * m_capacity, used + kMaxRowInPlace), used);
        place = {m_bytes.get() + used, m_bytes.get() + m_capacity};
        place.next = FormatRowCrLf(frequency, gamma, place.next);
    }
    // Makes room for `capacity` bytes, keeping the first `used`.
    void Reserve(std::size_t capacity, std::size_t used = 0) {
        if (capacity > m_capacity) {
            std::unique_ptr<char[]> bytes(new char[capacity]);
            std::copy_n(m_bytes.get(), used, bytes.get());
            m_bytes = std::move(bytes);
            m_capacity = capacity;
        }
    }
    const char* Data() const { return m_bytes.get(); }
    std::size_t Size() const { return m_size; }

  private:
    std::unique_ptr<char[]> m_bytes;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    bool m_observed = false;
    KeptRows m_kept;
};

// Counts the row on line `lineNumber` among the rows whose τ is not above 0.
void CountNonPositiveTau(long lineNumber, ConversionReport& report) {
    if (report.nonPositiveTauRows++ == 0) {
        report.firstNonPositiveTauLine = lineNumber;
    }
}

// Converts the lines of `source` into rows of `sink` as `plan` says, read by ReadRowAs<kSign,
// kLabel>: the rows of the one-thread conversion and of each chunk of the threaded one alike,
// going on from `tally`. A line that is not a row, or whose τ is not above 0, is counted in
// `report` under its number plan.lineBase + the lines read; a CR followed by more text ends a line.
template <DecimalSign kSign, bool kLabel, class Lines, class Rows>
void ConvertLinesAs(Lines& source, Rows& sink, const RowPlan& plan, RowTally& tally,
                    ConversionReport& report) {
    const bool scaled = g_areaSet == 1;
    const float area = g_area;
    const bool observed = sink.Observed();
    const bool tauFirst = plan.tauFirst;
    const long lineBase = plan.lineBase;
    // The counts and both buffers' state are kept here while the lines are read, where they can
    // stay in registers, and handed back at the end. A line read in place is a view ended by a
    // NUL written over its line end, as the row reader reads it, and a row written in place ends
    // in CR LF; a row that does not fit is written aside by the sink.
    long rows = tally.rows;
    long otherLines = tally.otherLines;
    long otherLayoutRows = tally.otherLayoutRows;
    unsigned layouts = tally.layouts;
    std::string scratch;
    std::string piece;
    const char label = plan.reading.labelSeparator;
    const auto read = [&](const char* line, float& first, float& second, const char*& rest) {
        return ReadRowAs<kSign, kLabel>(line, label, scratch, first, second, rest);
    };
    InPlaceLines lines = source.Begin();
    OutputPlace place = sink.Begin();
    KeptPlace kept = observed ? sink.BeginKept() : KeptPlace();
    // The rest of a line after a CR that ended a line in it, and where that line ends.
    const char* pending = nullptr;
    const char* lineEnd = nullptr;
    for (;;) {
        std::string_view text;
        if (pending != nullptr) [[unlikely]] {
            text = std::string_view(pending, static_cast<std::size_t>(lineEnd - pending));
        } else {
            if (!lines.Next(text)) [[unlikely]] {
                if (!source.Refill(lines, text)) {
                    break;
                }
            }
            lineEnd = text.data() + text.size();
        }
        // ReadRowLine sets both whenever it reads a row, and they are read only then.
        float gamma;
        float tau;
        const RowLayout layout = ReadRowLine(read, text.data(), piece, gamma, tau, pending);
        if (layout == RowLayout::none) {
            const long lineNumber = lineBase + rows + ++otherLines;
            CountSkipped(pending != nullptr ? std::string_view(piece) : text, lineNumber, report);
            continue;
        }
        if (layout != RowLayout::blanks) [[unlikely]] {
            layouts |= 1u << static_cast<unsigned>(layout);
            ++otherLayoutRows;
        }
        if (tauFirst) [[unlikely]] {
            std::swap(gamma, tau);
        }
        if (tau <= 0.0f) [[unlikely]] {
            CountNonPositiveTau(lineBase + rows + otherLines + 1, report);
        }
        if (scaled) {
            gamma = area * gamma;
        }
        if (observed) {
            if (kept.next == kept.end) [[unlikely]] {
                sink.MakeRoom(kept);
            }
            *kept.next++ = {tau, gamma};
        }
        const double frequency = K / static_cast<double>(tau);
        if (place.Fits(kMaxRowInPlace)) [[likely]] {
            place.next = FormatRowCrLf(frequency, static_cast<double>(gamma), place.next);
        } else {
            sink.WriteAside(place, frequency, static_cast<double>(gamma));
        }
        ++rows;
    }
    sink.End(place);
    if (observed) {
        sink.EndKept(kept);
    }
    tally.rows = rows;
    tally.otherLines = otherLines;
    tally.otherLayoutRows = otherLayoutRows;
    tally.layouts = layouts;
}

// ConvertLinesAs with the row reader that plan.reading chooses.
template <class Lines, class Rows>
void ConvertLines(Lines& source, Rows& sink, const RowPlan& plan, RowTally& tally,
                  ConversionReport& report) {
    const bool label = plan.reading.labelSeparator != 0;
    if (plan.reading.sign == DecimalSign::point) {
        if (label) {
            ConvertLinesAs<DecimalSign::point, true>(source, sink, plan, tally, report);
        } else {
            ConvertLinesAs<DecimalSign::point, false>(source, sink, plan, tally, report);
        }
    } else if (label) {
        ConvertLinesAs<DecimalSign::comma, true>(source, sink, plan, tally, report);
    } else {
        ConvertLinesAs<DecimalSign::comma, false>(source, sink, plan, tally, report);
    }
}

// A piece of the input's text, whole lines, and what converting it gave.
struct Chunk {
    std::unique_ptr<char[]> text;
    std::size_t size = 0;
    ChunkRows rows;
    RowTally tally;
    // Its skipped lines, numbered as if the chunk were the first of the data lines.
    ConversionReport report;
    std::exception_ptr failure;
    bool converted = false;
};

// The chunk numbered `number` (from 0, one after another) in the ring `chunks`.
Chunk& At(std::vector<Chunk>& chunks, std::uint64_t number) {
    return chunks[static_cast<std::size_t>(number % chunks.size())];
}

// The threads converting chunks beside the one that reads and writes them: each takes the next
// chunk handed out, in order, converts it and marks it converted, as the reading thread does too
// while it waits. The rows of the converted chunks are told to `observer`, when there is one, in
// order, by whichever thread is free when the next of them is converted, so that the reading
// thread does not do that work alone. Ended and joined when this object goes, whatever is left.
class ChunkThreads {
  public:
    ChunkThreads(std::vector<Chunk>& chunks, const RowPlan& plan, RowObserver* observer)
        : m_chunks(chunks), m_plan(plan), m_observer(observer) {}
    ChunkThreads(const ChunkThreads&) = delete;
    ChunkThreads& operator=(const ChunkThreads&) = delete;
    ~ChunkThreads() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_ending = true;
        }
        m_handedOut.notify_all();
        for (std::thread& thread : m_threads) {
            thread.join();
        }
    }

    // Starts up to `count` threads; returns how many started.
    std::size_t Start(int count) {
        try {
            for (int i = 0; i < count; ++i) {
                m_threads.emplace_back([this] { Run(); });
            }
        } catch (const std::system_error&) {
            // The system gave fewer threads: those that started do the work.
        }
        return m_threads.size();
    }
    // Hands out the chunk numbered `number` (from 0, one after another), filled.
    void HandOut(std::uint64_t number) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            At(m_chunks, number).converted = false;
            m_handedOutCount = number + 1;
        }
        m_handedOut.notify_one();
    }
    // Waits until the chunk numbered `number` is converted, converting chunks handed out and not
    // yet taken meanwhile; rethrows what its conversion raised.
    Chunk& WaitFor(std::uint64_t number) {
        Chunk& chunk = At(m_chunks, number);
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!chunk.converted) {
            WorkOrWait(lock);
        }
        lock.unlock();
        if (chunk.failure) {
            std::rethrow_exception(chunk.failure);
        }
        return chunk;
    }
    // Waits until the rows of the chunks numbered below `number`, all converted, have been told
    // to the observer, converting or telling meanwhile; rethrows what the observer raised.
    void WaitUntilTold(std::uint64_t number) {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (m_observer != nullptr && m_told < number && !m_observerFailure) {
            WorkOrWait(lock);
        }
        if (m_observerFailure) {
            std::rethrow_exception(m_observerFailure);
        }
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_handedOut.wait(lock, [this] { return m_ending || m_taken < m_handedOutCount; });
            if (m_ending) {
                return;
            }
            ConvertNext(lock);
        }
    }

    // Converts the next chunk not yet taken, then tells what is next in order, under `lock`.
    void ConvertNext(std::unique_lock<std::mutex>& lock) {
        Chunk& chunk = At(m_chunks, m_taken++);
        lock.unlock();
        Convert(chunk);
        lock.lock();
        chunk.converted = true;
        TellInOrder(lock);
        m_converted.notify_all();
    }

    // Converts a chunk not yet taken, or tells what is next in order, or else waits for another
    // thread to, under `lock`.
    void WorkOrWait(std::unique_lock<std::mutex>& lock) {
        if (m_taken < m_handedOutCount) {
            ConvertNext(lock);
        } else if (!TellInOrder(lock)) {
            m_converted.wait(lock);
        }
    }

    // Unless another thread is telling, tells the observer the rows of the converted chunks next
    // in order, under `lock`, released while it does; returns whether it told any.
    bool TellInOrder(std::unique_lock<std::mutex>& lock) {
        if (m_observer == nullptr || m_telling) {
            return false;
        }
        m_telling = true;
        const std::uint64_t first = m_told;
        while (!m_ending && !m_observerFailure && m_told < m_handedOutCount) {
            const Chunk& chunk = At(m_chunks, m_told);
            if (!chunk.converted || chunk.failure) {
                break;
            }
            lock.unlock();
            try {
                if (chunk.rows.Kept().Count() > 0) {
                    m_observer->OnRows(chunk.rows.Kept().Data(), chunk.rows.Kept().Count());
                }
            } catch (...) {
                lock.lock();
                m_observerFailure = std::current_exception();
                break;
            }
            lock.lock();
            ++m_told;
        }
        m_telling = false;
        if (m_told != first || m_observerFailure) {
            m_converted.notify_all();
            return true;
        }
        return false;
    }

    void Convert(Chunk& chunk) const {
        try {
            chunk.failure = nullptr;
            ChunkLines lines{InPlaceLines(chunk.text.get(), chunk.text.get() + chunk.size)};
            chunk.tally = RowTally();
            chunk.report = ConversionReport();
            ConvertLines(lines, chunk.rows, m_plan, chunk.tally, chunk.report);
        } catch (...) {
            chunk.failure = std::current_exception();
        }
    }

    std::vector<Chunk>& m_chunks;
    const RowPlan& m_plan;
    RowObserver* m_observer;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_handedOut;
    std::condition_variable m_converted;
    std::uint64_t m_handedOutCount = 0;
    std::uint64_t m_taken = 0;
    // The chunks numbered below it have been told to the observer.
    std::uint64_t m_told = 0;
    bool m_telling = false;
    std::exception_ptr m_observerFailure;
    bool m_ending = false;
};

// Adds the counts of `chunk`, the next after those in `tally` and `report`, to them.
void AddChunk(const Chunk& chunk, RowTally& tally, ConversionReport& report) {
    if (chunk.report.skippedLines > 0 && report.skippedLines == 0) {
        report.firstSkippedLine = chunk.report.firstSkippedLine + tally.rows + tally.otherLines;
    }
    report.skippedLines += chunk.report.skippedLines;
    if (chunk.report.nonPositiveTauRows > 0 && report.nonPositiveTauRows == 0) {
        report.firstNonPositiveTauLine =
            chunk.report.firstNonPositiveTauLine + tally.rows + tally.otherLines;
    }
    report.nonPositiveTauRows += chunk.report.nonPositiveTauRows;
    tally.rows += chunk.tally.rows;
    tally.otherLines += chunk.tally.otherLines;
    tally.otherLayoutRows += chunk.tally.otherLayoutRows;
    tally.layouts |= chunk.tally.layouts;
}

// Converts the data lines of the single-byte text `file`, from its position (a line's start) up
// to the byte offset `length`, as `plan` says, on `threads` threads, this one among
// them: the text is read in chunks of whole lines, each converted by ConvertLines, and their rows
// are written to `output` in order, their counts added to `tally` and `report`. What a chunk
// cannot hold is left to the one-thread loop, from the start of its line on, where `file` is
// left: the line in which a Ctrl-Z ends the text, a line longer than a chunk, and a last line that
// no line feed ends.
void ConvertInChunks(CTextFile& file, std::uint64_t length, CTextFile& output, const RowPlan& plan,
                     int threads, RowObserver* observer, RowTally& tally,
                     ConversionReport& report) {
    const std::size_t chunkBytes =
        std::clamp<std::size_t>(g_threadedConversion.chunkBytes, 1, kMaxLineLength);
    std::vector<Chunk> chunks(
        static_cast<std::size_t>(threads) *
        static_cast<std::size_t>(std::max(g_threadedConversion.chunksPerThread, 1)));
    ChunkThreads workers(chunks, plan, observer);
    if (workers.Start(threads - 1) == 0) {
        return;
    }
    // A chunk's text ends after its last line feed; the bytes after it, the start of a line, are
    // carried to the front of the next chunk.
    std::uint64_t offset = file.GetPosition();  // of the next byte read
    std::uint64_t resume = offset;              // of the first byte not in a chunk
    const char* carried = nullptr;
    std::size_t carriedSize = 0;
    bool reading = true;
    std::uint64_t filled = 0;
    std::uint64_t written = 0;
    for (;;) {
        while (reading && filled - written < chunks.size()) {
            if (filled >= chunks.size()) {
                // The rows of the chunk that held this place before are still to be told.
                workers.WaitUntilTold(filled - chunks.size() + 1);
            }
            Chunk& chunk = At(chunks, filled);
            if (chunk.text == nullptr) {
                chunk.text.reset(new char[chunkBytes]);
                chunk.rows.Reserve(chunkBytes + kMaxRowInPlace);
                chunk.rows.Observe(observer != nullptr);
            }
            char* const text = chunk.text.get();
            std::copy_n(carried, carriedSize, text);
            const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(
                chunkBytes - carriedSize, length - std::min(offset, length)));
            const std::size_t got = wanted > 0 ? file.ReadBytes(text + carriedSize, wanted) : 0;
            offset += got;
            std::size_t end = carriedSize + got;
            // The last chunk: the file ended early or reached its length, or the text ended.
            reading = got == wanted && offset < length;
            if (const void* stop = std::memchr(text + carriedSize, kCtrlZ, got)) {
                end = static_cast<std::size_t>(static_cast<const char*>(stop) - text);
                reading = false;
            }
            std::size_t size = end;
            while (size > 0 && text[size - 1] != '\n') {
                --size;
            }
            if (size == 0) {
                reading = false;  // a line longer than a chunk
            }
            resume += size;
            carried = text + size;
            carriedSize = carriedSize + got - size;
            if (size > 0) {
                chunk.size = size;
                workers.HandOut(filled++);
            }
        }
        if (written == filled) {
            break;
        }
        const Chunk& chunk = workers.WaitFor(written++);
        AddChunk(chunk, tally, report);
        output.WriteBytes(chunk.rows.Data(), chunk.rows.Size());
    }
    workers.WaitUntilTold(filled);
    file.Seek(static_cast<std::int64_t>(resume), CFile::begin);
}

// Converts the rows of `input`, read from `file`, `length` bytes long when it was opened, into rows
// of `output` as `layout` says, `input` being at the first row's line, telling them to `observer`
// when there is one. A large single-byte text is
// converted on several threads (ConvertInChunks).
ConversionReport ConvertRows(CTextFile& file, InputLines& input, std::uint64_t length,
                             const FileLayout& layout, CTextFile& output, RowObserver* observer) {
    ConversionReport report;
    report.reading = layout.reading;
    report.skippedLines = layout.skippedLines;
    report.firstSkippedLine = layout.firstSkippedLine;
    report.rowsInHeaderLines = layout.rowsInHeaderLines;
    report.firstRowInHeaderLines = layout.firstRowInHeaderLines;
    output.WriteText(kOutputHeader);

    const int threads = length >= g_threadedConversion.minimumBytes &&
                                input.Encoding() == TextEncoding::bytes && !input.CrLineEnds()
                            ? ThreadsToUse()
                            : 1;
    const RowPlan plan{layout.rows, layout.reading.tauFirst, layout.firstRowLine - 1};
    RowTally tally;
    FileRows rows(output, observer);
    FileLines lines(input, length, threads > 1);
    ConvertLines(lines, rows, plan, tally, report);
    if (lines.HandedOver()) {
        ConvertInChunks(file, length, output, plan, threads, observer, tally, report);
        FileLines rest(input, length, false);
        ConvertLines(rest, rows, plan, tally, report);
    }
    if (tally.rows > tally.otherLayoutRows) {
        tally.layouts |= 1u << static_cast<unsigned>(RowLayout::blanks);
    }
    report.reading.layouts = tally.layouts;
    report.rows = tally.rows;
    report.length = length;
    report.textEnd = std::min(input.Position(), length);
    return report;
}

}  // namespace

bool HoldsOtherData(const std::string& path) {
    CTextFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        return error.m_cause != CFileException::fileNotFound;
    }
    std::string firstLine;
    try {
        return !file.ReadLinePrefix(firstLine, kConvertedTableHeader.size() + 1) ||
               firstLine != kConvertedTableHeader;
    } catch (const CFileException&) {
        return true;
    }
}

void CheckReplaceable(const std::string& path) {
    if (NativeIsReadOnly(path)) {
        throw CFileException(CFileException::accessDenied, path, "it is read-only; it was kept");
    }
    CTextFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        if (error.m_cause != CFileException::fileNotFound) {
            throw error;
        }
        return;
    }
    std::string firstLine;
    if (file.ReadLinePrefix(firstLine, kConvertedTableHeader.size() + 1) &&
        firstLine != kConvertedTableHeader) {
        throw CFileException(CFileException::accessDenied, path,
                             "it is not a table written by this program; it was kept");
    }
}

std::string TemporaryOutputPath(const std::string& outputPath) {
    const std::size_t name = outputPath.find_last_of("\\/:") + 1;
    const std::size_t dot = outputPath.rfind('.');
    const std::size_t stem = dot != std::string::npos && dot > name ? dot : outputPath.size();
    return outputPath.substr(0, stem) + kTemporaryExtension.data();
}

ConversionReport ConvertFile(std::string inputPath, std::string outputPath,
                             const std::string& inputName, InterruptNotice* converted,
                             RowObserver* observer) {
    // The temporary first: on Windows an input held open without sharing would keep a further
    // name of it, standing at the temporary's name, from being cleared.
    CFileException error;
    const std::string temporaryPath = TemporaryOutputPath(outputPath);
    CTextFile output;
    // Created and armed for interruptions as one step.
    InterruptHold hold;
    if (!output.OpenTemporary(temporaryPath, kOutputSignature, &error)) {
        // What stands in the way is named itself; other failures concern the output.
        if (error.m_lOsError == kErrorFolderInTheWay ||
            error.m_lOsError == kErrorForeignFileInTheWay) {
            throw error;
        }
        // An input that cannot be read (missing, a device) is what there is to know first,
        // whatever keeps the output from being written.
        CTextFile input;
        CFileException inputError;
        if (!input.Open(inputPath, CFile::modeRead, &inputError)) {
            throw inputError;
        }
        throw CFileException(error.m_cause, error.m_lOsError, outputPath);
    }
    TemporaryFile temporary(temporaryPath, inputName.empty() ? inputPath : inputName, converted);
    hold.Release();
    // Failures of the temporary file are reported under the output's name, which the user knows.
    output.SetFilePath(outputPath);
    CTextFile input;
    if (!input.Open(inputPath, CFile::modeRead, &error)) {
        throw error;
    }
    const std::uint64_t length = input.GetLength();
    InputLines lines(input, kMaxLineLength);
    // A table this program wrote is not converted again; nothing is written for it.
    std::string firstLine;
    if (lines.Next(firstLine) && firstLine == kConvertedTableHeader) {
        ConversionReport skipped;
        skipped.convertedTable = true;
        return skipped;
    }
    CheckReplaceable(outputPath);
    const FileLayout layout = DecideLayout(lines, std::move(firstLine), length, inputPath);
    const ConversionReport report = ConvertRows(input, lines, length, layout, output, observer);
    const std::uint64_t lengthAtEnd = input.GetLength();
    if (lengthAtEnd != report.length) {
        throw CFileException(CFileException::generic, inputPath,
                             "the file changed while it was converted (" +
                                 std::to_string(report.length) + " bytes at the start, " +
                                 std::to_string(lengthAtEnd) + " at the end)");
    }
    // DecideLayout found a row with one decimal sign or the other; a file of which the sign
    // chosen reads none still writes nothing.
    if (report.rows == 0) {
        throw CFileException(CFileException::generic, inputPath,
                             "it holds no rows of γ and τ; nothing was written");
    }
    input.Close();
    temporary.MoveOver(output, outputPath);
    output.Close();
    return report;
}
