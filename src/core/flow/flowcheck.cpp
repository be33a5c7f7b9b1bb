#include "core/flow/flowcheck.h"

#include <cstdint>

#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\t') continue;
        fields.push_back(line.substr(start, i - start));
        start = i + 1;
    }
    if (start < line.size()) fields.push_back(line.substr(start)); // text after the last TAB
    return fields;
}

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool isInt(std::string_view s) { return allDigits(s.substr(!s.empty() && s[0] == '-' ? 1 : 0)); }

bool isDecimal(std::string_view s, std::size_t decimals) {
    if (!s.empty() && s[0] == '-') s.remove_prefix(1);
    const std::size_t dot = s.find('.');
    return dot != std::string_view::npos && allDigits(s.substr(0, dot)) && s.size() - dot - 1 == decimals &&
           allDigits(s.substr(dot + 1));
}

bool isDate8(std::string_view s) {
    if (s.size() != 8 || !allDigits(s)) return false;
    if (s == "18991230") return true;
    const int y = std::stoi(std::string(s.substr(0, 4))), m = std::stoi(std::string(s.substr(4, 2))),
              d = std::stoi(std::string(s.substr(6, 2)));
    return dayNumber(y, m, d) != 0;
}

enum class Form { Any, Int, IntOrEmpty, Dec5, Dec5OrEmpty, Dec2, Dec2OrEmpty, Date8, Empty };

struct FieldRule {
    int field; // 1-based
    Form form;
};

const char* formName(Form f) {
    switch (f) {
    case Form::Int: case Form::IntOrEmpty: return "un numero intero";
    case Form::Dec5: case Form::Dec5OrEmpty: return "un numero con 5 decimali";
    case Form::Dec2: case Form::Dec2OrEmpty: return "un numero con 2 decimali";
    case Form::Date8: return "una data AAAAMMGG";
    case Form::Empty: return "vuoto";
    default: return "";
    }
}

bool fits(std::string_view v, Form f) {
    switch (f) {
    case Form::Any: return true;
    case Form::Int: return isInt(v);
    case Form::IntOrEmpty: return v.empty() || isInt(v);
    case Form::Dec5: return isDecimal(v, 5);
    case Form::Dec5OrEmpty: return v.empty() || isDecimal(v, 5);
    case Form::Dec2: return isDecimal(v, 2);
    case Form::Dec2OrEmpty: return v.empty() || isDecimal(v, 2);
    case Form::Date8: return isDate8(v);
    case Form::Empty: return v.empty();
    }
    return false;
}

struct KindLayout {
    std::size_t fieldCount;
    std::vector<FieldRule> rules;
};

KindLayout layoutOf(char kind, bool alcopp) {
    using F = Form;
    switch (kind) {
    case 'C':
        return {31, {{6, F::IntOrEmpty}, {8, F::Dec5}, {9, F::Empty}, {10, F::Dec5}, {11, F::IntOrEmpty},
                     {12, F::IntOrEmpty}, {13, F::Dec5OrEmpty}, {14, F::Dec5OrEmpty}, {16, F::Dec5OrEmpty},
                     {17, F::IntOrEmpty}, {27, F::Dec2OrEmpty}, {29, F::IntOrEmpty}, {31, F::IntOrEmpty}}};
    case 'D': return {10, {{6, F::Date8}, {7, F::Dec2}, {8, F::Dec2}}};
    case 'E':
        if (alcopp)
            return {9, {{2, F::Empty}, {3, F::Empty}, {4, F::Empty}, {5, F::Empty}, {6, F::Empty}, {7, F::Dec2}}};
        return {9, {{4, F::Dec2}, {5, F::Dec2}, {6, F::Dec2}, {7, F::Dec2}}};
    case 'F': return {9, {{2, F::Any}, {3, F::Dec2}, {4, F::Dec2}, {5, F::Dec2}, {6, F::Dec2}, {7, F::Dec2}}};
    case 'R':
        return {12, {{4, F::Dec2}, {5, F::Dec2}, {6, F::Dec2}, {7, F::Dec2}, {8, F::Dec2}, {9, F::Int}, {10, F::Dec2}}};
    default: return {0, {}};
    }
}

class Checker {
public:
    std::vector<std::string> problems;

    void onLine(std::size_t n, const std::string& text) { problems.push_back("riga " + std::to_string(n) + ": " + text); }
    void onFile(const std::string& text) { problems.push_back(text); }

    void run(std::string_view bytes) {
        if (bytes.empty()) {
            onFile("il file è vuoto");
            return;
        }
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") onFile("il file inizia con un BOM UTF-8: deve essere Windows-1252");
        const std::vector<std::string_view> lines = splitLines(bytes);
        checkEncoding(lines);
        if (lines.size() < 2) {
            onFile("mancano la riga di testata e la riga riepilogativa A");
            return;
        }
        checkHead(lines[0], lines.size());
        if (lines[1].empty() || lines[1].back() != '\t') onLine(2, "non termina con TAB prima di CR LF");
        const std::vector<std::string_view> summary = splitFields(lines[1]);
        profile_ = lines[1].substr(0, 6);
        if (profile_ != "ALCODA" && profile_ != "ALCOPP") onLine(2, "il profilo non è ALCODA né ALCOPP");
        int counts[5] = {};
        for (std::size_t i = 2; i < lines.size(); ++i) checkRecord(i + 1, lines[i], counts);
        checkSummary(summary, counts, lines.size());
    }

private:
    std::string_view profile_;

    std::vector<std::string_view> splitLines(std::string_view bytes) {
        std::vector<std::string_view> lines;
        std::size_t start = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                const bool crlf = i > start && bytes[i - 1] == '\r';
                if (!crlf) onLine(lines.size() + 1, "termina con LF senza CR");
                lines.push_back(bytes.substr(start, i - start - (crlf ? 1 : 0)));
                start = i + 1;
            }
        }
        if (start < bytes.size()) {
            lines.push_back(bytes.substr(start));
            onLine(lines.size(), "l'ultima riga non termina con CR LF");
        }
        return lines;
    }

    void checkEncoding(const std::vector<std::string_view>& lines) {
        for (std::size_t n = 0; n < lines.size(); ++n) {
            for (char ch : lines[n]) {
                const auto b = static_cast<unsigned char>(ch);
                if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
                    onLine(n + 1, "contiene un byte che non è un carattere Windows-1252");
                    break;
                }
                if (b < 0x20 && b != '\t') {
                    onLine(n + 1, "contiene un carattere di controllo");
                    break;
                }
            }
        }
    }

    void checkHead(std::string_view head, std::size_t lineCount) {
        if (head.find('\t') != std::string_view::npos) onLine(1, "la riga di testata non deve contenere TAB");
        const std::string_view marker = "     001 ";
        if (head.size() < marker.size() + 5 || head.substr(head.size() - 14, 9) != marker) {
            onLine(1, "la riga di testata non termina con \"     001 \" e il numero di righe");
            return;
        }
        const std::string_view count = head.substr(head.size() - 5);
        if (!allDigits(count)) onLine(1, "il numero di righe della testata non è di 5 cifre");
        else if (std::stoul(std::string(count)) != lineCount)
            onLine(1, "la testata indica " + std::string(count) + " righe, il file ne ha " + std::to_string(lineCount));
        if (head.size() == 75 && head.substr(4, 12) != std::string(12, ' '))
            onLine(1, "la testata non ha 12 spazi dopo il codice utente");
    }

    void checkSummary(const std::vector<std::string_view>& f, const int counts[5], std::size_t lineCount) {
        if (f.size() != 8) {
            onLine(2, "la riga riepilogativa ha " + std::to_string(f.size()) + " campi invece di 8");
            return;
        }
        if (f[0].find("00000000A") == std::string_view::npos) onLine(2, "il campo 1 non contiene 00000000A");
        const char kinds[] = {'C', 'D', 'E', 'F'};
        for (int k = 0; k < 4; ++k) expectCount(f[1 + k], counts[k], std::string("record ") + kinds[k], 2 + k);
        if (f[5] != "0") onLine(2, "il campo 6 deve essere 0");
        expectCount(f[6], counts[4], "record R", 7);
        expectCount(f[7], static_cast<int>(lineCount) - 1, "righe dopo la testata", 8);
    }

    void expectCount(std::string_view field, int actual, const std::string& what, int fieldNo) {
        if (!allDigits(field)) {
            onLine(2, "il campo " + std::to_string(fieldNo) + " non è un numero intero");
        } else if (std::stol(std::string(field)) != actual) {
            onLine(2, "il campo " + std::to_string(fieldNo) + " indica " + std::string(field) + " " + what +
                          ", il file ne ha " + std::to_string(actual));
        }
    }

    void checkRecord(std::size_t n, std::string_view line, int counts[5]) {
        if (line.empty() || line.back() != '\t') onLine(n, "non termina con TAB prima di CR LF");
        const std::vector<std::string_view> f = splitFields(line);
        const std::string_view first = f.empty() ? std::string_view{} : f[0];
        if (first.size() < 16) {
            onLine(n, "il campo 1 è troppo corto");
            return;
        }
        if (first.substr(0, 6) != profile_) onLine(n, "il profilo differisce da quello della riga 2");
        const char kind = first[first.size() - 2], op = first[first.size() - 1];
        const std::string_view datePart = first.substr(first.size() - 10, 8);
        const std::string kinds = "CDEFR";
        const std::size_t k = kinds.find(kind);
        if (k == std::string::npos) {
            onLine(n, std::string("tipo di record sconosciuto: ") + kind);
            return;
        }
        ++counts[k];
        if (op != 'I' && op != 'C') onLine(n, "il tipo di operazione non è I né C");
        const bool alcopp = profile_ == "ALCOPP";
        const bool dated = kind == 'C' || kind == 'F' || (kind == 'E' && alcopp);
        if (dated ? !isDate8(datePart) : datePart != "00000000")
            onLine(n, dated ? "la data del campo 1 non è valida" : "la data del campo 1 deve essere 00000000");
        const KindLayout layout = layoutOf(kind, alcopp);
        if (f.size() != layout.fieldCount) {
            onLine(n, std::string("una riga di tipo ") + kind + " ha " + std::to_string(f.size()) + " campi invece di " +
                          std::to_string(layout.fieldCount));
            return;
        }
        std::vector<FieldRule> rules = layout.rules;
        if (kind == 'C' && f[23] != "G") rules.push_back({20, Form::Date8});
        for (const FieldRule& r : rules) {
            if (!fits(f[r.field - 1], r.form))
                onLine(n, "il campo " + std::to_string(r.field) + " (\"" + decode1252(f[r.field - 1]) +
                              "\") deve essere " + formName(r.form));
        }
    }
};

} // namespace

std::vector<std::string> checkFlowFile(std::string_view bytes) {
    Checker checker;
    checker.run(bytes);
    return checker.problems;
}

} // namespace accise
