#include "platform/settings/SettingsFileFormat.h"

#include <optional>

namespace vantrel::settings {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendHexByte(std::string& out, uint8_t b) {
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0x0F];
}

// Quoted, with backslash escapes for the quote, the backslash and control characters.
void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char ch : text) {
        const auto b = static_cast<uint8_t>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (ch == '\n') {
            out += "\\n";
        } else if (ch == '\r') {
            out += "\\r";
        } else if (ch == '\t') {
            out += "\\t";
        } else if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            AppendHexByte(out, b);
        } else {
            out += ch;
        }
    }
    out += '"';
}

void AppendValue(std::string& out, const Value& value) {
    switch (value.type) {
        case ValueType::Dword: {
            uint32_t v = 0;
            for (std::size_t i = 0; i < 4 && i < value.data.size(); ++i) {
                v |= static_cast<uint32_t>(value.data[i]) << (8 * i);
            }
            out += "dword:";
            for (int shift = 24; shift >= 0; shift -= 8) {
                AppendHexByte(out, static_cast<uint8_t>(v >> shift));
            }
            return;
        }
        case ValueType::Binary:
            out += "hex:";
            for (std::size_t i = 0; i < value.data.size(); ++i) {
                if (i > 0)
                    out += ',';
                AppendHexByte(out, value.data[i]);
            }
            return;
        case ValueType::String:
            AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                               value.data.size()));
            return;
    }
}

// A cursor over one line; every Parse* consumes what it accepts.
class LineReader {
  public:
    explicit LineReader(std::string_view line) : rest_(line) {}

    bool AtEnd() const { return rest_.empty(); }
    void SkipBlanks() {
        while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t')) {
            rest_.remove_prefix(1);
        }
    }
    bool Accept(std::string_view word) {
        if (!rest_.starts_with(word))
            return false;
        rest_.remove_prefix(word.size());
        return true;
    }

    std::optional<std::string> ParseQuoted() {
        if (!Accept("\""))
            return std::nullopt;
        std::string text;
        while (!rest_.empty()) {
            const char ch = Take();
            if (ch == '"')
                return text;
            if (ch != '\\') {
                text += ch;
                continue;
            }
            if (rest_.empty())
                return std::nullopt;
            const char esc = Take();
            switch (esc) {
                case '"':
                case '\\':
                    text += esc;
                    break;
                case 'n':
                    text += '\n';
                    break;
                case 'r':
                    text += '\r';
                    break;
                case 't':
                    text += '\t';
                    break;
                case 'x': {
                    const std::optional<uint8_t> b = ParseHexByte();
                    if (!b)
                        return std::nullopt;
                    text += static_cast<char>(*b);
                    break;
                }
                default:
                    return std::nullopt;
            }
        }
        return std::nullopt;  // no closing quote
    }

    // Exactly two hex digits.
    std::optional<uint8_t> ParseHexByte() {
        if (rest_.size() < 2)
            return std::nullopt;
        const int hi = HexValue(rest_[0]);
        const int lo = HexValue(rest_[1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        rest_.remove_prefix(2);
        return static_cast<uint8_t>(hi * 16 + lo);
    }

    // One to eight hex digits.
    std::optional<uint32_t> ParseDword() {
        uint32_t v = 0;
        int digits = 0;
        while (!rest_.empty() && HexValue(rest_.front()) >= 0) {
            if (++digits > 8)
                return std::nullopt;
            v = v * 16 + static_cast<uint32_t>(HexValue(Take()));
        }
        if (digits == 0)
            return std::nullopt;
        return v;
    }

    std::optional<std::vector<uint8_t>> ParseHexList() {
        std::vector<uint8_t> bytes;
        SkipBlanks();
        if (AtEnd())
            return bytes;
        do {
            SkipBlanks();
            const std::optional<uint8_t> b = ParseHexByte();
            if (!b)
                return std::nullopt;
            bytes.push_back(*b);
            SkipBlanks();
        } while (Accept(","));
        return bytes;
    }

    std::optional<Value> ParseValue() {
        if (Accept("dword:")) {
            const std::optional<uint32_t> v = ParseDword();
            if (!v)
                return std::nullopt;
            return Value::Dword(*v);
        }
        if (Accept("hex:")) {
            std::optional<std::vector<uint8_t>> bytes = ParseHexList();
            if (!bytes)
                return std::nullopt;
            return Value{ValueType::Binary, std::move(*bytes)};
        }
        if (std::optional<std::string> text = ParseQuoted()) {
            return Value::String(*text);
        }
        return std::nullopt;
    }

  private:
    char Take() {
        const char ch = rest_.front();
        rest_.remove_prefix(1);
        return ch;
    }

    std::string_view rest_;
};

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

// The key path of a "[path]" line, or nothing when the line is not one.
std::optional<std::string_view> KeyLine(std::string_view line) {
    if (line.size() < 3 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    return line.substr(1, line.size() - 2);
}

struct Assignment {
    std::string name;
    Value value;
};

std::optional<Assignment> ValueLine(std::string_view line) {
    LineReader reader(line);
    std::optional<std::string> name = reader.ParseQuoted();
    if (!name)
        return std::nullopt;
    reader.SkipBlanks();
    if (!reader.Accept("="))
        return std::nullopt;
    reader.SkipBlanks();
    std::optional<Value> value = reader.ParseValue();
    if (!value)
        return std::nullopt;
    reader.SkipBlanks();
    if (!reader.AtEnd())
        return std::nullopt;
    return Assignment{std::move(*name), std::move(*value)};
}

// Whether the line that the value is written back as is no longer than a line that is read:
// escapes can make it up to four times as long as the line it was read from.
bool ReadableWhenWritten(const Assignment& a) {
    std::string line;
    AppendQuoted(line, a.name);
    line += '=';
    AppendValue(line, a.value);
    return line.size() <= SettingsFileParser::kMaxLineBytes;
}

}  // namespace

std::string FormatSettingsFile(const SettingsTree& tree) {
    std::string out = "; Vantrel settings\n";
    for (const SettingsTree::Key& key : tree.Keys()) {
        if (!IsValidKeyPath(key.path))
            continue;  // could not be read back
        out += "\n[";
        out += key.path;
        out += "]\n";
        for (const SettingsTree::Entry& e : key.entries) {
            AppendQuoted(out, e.name);
            out += '=';
            AppendValue(out, e.value);
            out += '\n';
        }
    }
    return out;
}

void SettingsFileParser::Feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        if (!overlong_ && partial_.size() + piece.size() > kMaxLineBytes) {
            overlong_ = true;
            understood_ = false;
            partial_.clear();
        }
        if (!overlong_) {
            partial_.append(piece);
        }
        if (end == std::string_view::npos) {
            return;
        }
        if (!overlong_) {
            Line(partial_);
        }
        partial_.clear();
        overlong_ = false;
        bytes.remove_prefix(end + 1);
    }
}

SettingsTree SettingsFileParser::Finish() {
    // Only lines closed by a line break count: a file cut off mid-line loses that line only.
    if (overlong_ || !TrimLeft(TrimRight(partial_)).empty()) {
        understood_ = false;
    }
    partial_.clear();
    overlong_ = false;
    key_.reset();
    return std::move(tree_);
}

bool SettingsFileParser::Admit(std::string_view keyPath, std::string_view name) {
    std::string id = std::string(keyPath) + '\n' + std::string(name);
    for (char& c : id) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (seen_.contains(id)) {
        return true;
    }
    if (seen_.size() >= kMaxEntries) {
        return false;
    }
    seen_.insert(std::move(id));
    return true;
}

void SettingsFileParser::Line(std::string_view text) {
    const std::string_view line = TrimLeft(TrimRight(text));
    if (line.empty() || line.front() == ';' || line.front() == '#')
        return;
    const bool wasUnderstood = understood_;
    understood_ = false;  // until the line proves to be a key or a value
    if (line.find('\0') != std::string_view::npos)
        return;
    if (line.front() == '[') {
        // A damaged key line must not send its values to the key before it.
        key_.reset();
        std::optional<std::string_view> path = KeyLine(line);
        if (path && IsValidKeyPath(*path) && Admit(*path, {})) {
            key_ = std::string(*path);
            tree_.CreateKey(*key_);
            understood_ = wasUnderstood;
        }
        return;
    }
    if (!key_)
        return;
    if (std::optional<Assignment> a = ValueLine(line);
        a && ReadableWhenWritten(*a) && Admit(*key_, a->name)) {
        tree_.Set(*key_, a->name, std::move(a->value));
        understood_ = wasUnderstood;
    }
}

SettingsTree ParseSettingsFile(std::string_view text) {
    SettingsFileParser parser;
    parser.Feed(text);
    return parser.Finish();
}

}  // namespace vantrel::settings
