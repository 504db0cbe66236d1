#include "winui/message_box.h"

#include "framework/windows_text.h"

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool IsBreakAfter(char c) {
    return c == '\\' || c == '/' || c == ' ';
}

// Appends `line` to `out`, broken into pieces of at most `width` characters.
void AppendBroken(std::string& out, std::string_view line, std::size_t width) {
    while (true) {
        // The byte where the (width + 1)th character starts, and the last break within the width.
        std::size_t characters = 0;
        std::size_t end = 0;
        std::size_t lastBreak = 0;
        for (; end < line.size(); ++end) {
            if (IsContinuationByte(line[end])) {
                continue;
            }
            if (characters == width) {
                break;
            }
            ++characters;
            if (end > 0 && IsBreakAfter(line[end - 1])) {
                lastBreak = end;
            }
        }
        if (end == line.size()) {
            out += line;
            return;
        }
        if (IsBreakAfter(line[end - 1])) {
            lastBreak = end;
        }
        const std::size_t cut = lastBreak > 0 ? lastBreak : end;
        out += line.substr(0, cut);
        out += '\n';
        line.remove_prefix(cut);
    }
}

}  // namespace

std::string BreakLongLines(std::string_view text, std::size_t width) {
    std::string out;
    out.reserve(text.size() + text.size() / width + 1);
    while (true) {
        const std::size_t end = text.find('\n');
        AppendBroken(out, text.substr(0, end), width);
        if (end == std::string_view::npos) {
            return out;
        }
        out += '\n';
        text.remove_prefix(end + 1);
    }
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    const std::wstring wideText = Widen(text);
    const std::wstring wideCaption = Widen(caption);
    return MessageBoxW(owner, wideText.c_str(), caption.empty() ? nullptr : wideCaption.c_str(),
                       type);
}
