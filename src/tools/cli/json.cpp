#include "cli/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace accise::cli {
namespace {

class Parser {
public:
    explicit Parser(const std::string& s) : s_(s) {}

    JsonObject object() {
        JsonObject out;
        expect('{');
        skipSpace();
        if (peek() == '}') {
            ++i_;
            return finish(out);
        }
        while (true) {
            skipSpace();
            std::string key = string();
            expect(':');
            out[key] = value();
            skipSpace();
            if (peek() == ',') {
                ++i_;
                continue;
            }
            expect('}');
            return finish(out);
        }
    }

private:
    JsonObject finish(JsonObject& out) {
        skipSpace();
        if (i_ != s_.size()) fail("testo dopo la fine dell'oggetto");
        return std::move(out);
    }
    [[noreturn]] void fail(const std::string& why) const {
        throw JsonError("JSON non valido alla colonna " + std::to_string(i_ + 1) + ": " + why);
    }
    char peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    void skipSpace() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
    }
    void expect(char c) {
        skipSpace();
        if (peek() != c) fail(std::string("atteso '") + c + "'");
        ++i_;
    }
    JsonValue value() {
        skipSpace();
        const char c = peek();
        if (c == '"') return string();
        if (s_.compare(i_, 4, "true") == 0) return i_ += 4, JsonValue(true);
        if (s_.compare(i_, 5, "false") == 0) return i_ += 5, JsonValue(false);
        if (s_.compare(i_, 4, "null") == 0) return i_ += 4, JsonValue(nullptr);
        double d = 0;
        const auto [end, ec] = std::from_chars(s_.data() + i_, s_.data() + s_.size(), d);
        if (ec != std::errc()) fail("valore non riconosciuto");
        i_ = static_cast<std::size_t>(end - s_.data());
        return d;
    }
    static void appendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) out.push_back(static_cast<char>(cp));
        else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    std::string string() {
        skipSpace();
        if (peek() != '"') fail("attesa una stringa");
        ++i_;
        std::string out;
        while (true) {
            if (i_ >= s_.size()) fail("stringa non chiusa");
            const char c = s_[i_++];
            if (c == '"') return out;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (i_ >= s_.size()) fail("stringa non chiusa");
            const char e = s_[i_++];
            switch (e) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                if (i_ + 4 > s_.size()) fail("sequenza \\u incompleta");
                unsigned cp = 0;
                const auto [end, ec] = std::from_chars(s_.data() + i_, s_.data() + i_ + 4, cp, 16);
                if (ec != std::errc() || end != s_.data() + i_ + 4) fail("sequenza \\u non valida");
                i_ += 4;
                appendUtf8(out, cp);
                break;
            }
            default: fail("sequenza di escape non valida");
            }
        }
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

} // namespace

JsonObject parseJsonObject(const std::string& line) { return Parser(line).object(); }

std::string jsonQuote(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else out.push_back(c);
    }
    return out + "\"";
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null"; // JSON has no NaN nor infinities
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

} // namespace accise::cli
