#include "core/flow/flowfile.h"

#include <algorithm>
#include <stdexcept>

#include "core/files/recordchecks.h"

#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

constexpr char kTab = '\t';

// A field followed by its TAB.
void put(std::string& line, std::string_view field) {
    line += field;
    line += kTab;
}

std::string stored(const std::string& text, std::size_t width) { return padTo(text, width); }
char flagOf(const std::string& text) { return text.empty() ? ' ' : text[0]; }
std::string note(const Movement& m) { return "NOTA: " + trimmed(m.ANNOTA); }
std::string intText(std::int32_t n) { return std::to_string(n); }

std::string fieldOne(const Movement& m, const FlowCompany& c, const std::string& datePart) {
    return c.profile + c.exciseCode + datePart + stored(m.TIPREC, 1) + stored(m.TIPOPE, 1);
}

std::string movementLine(Movement m, const FlowCompany& c) {
    const char tipmov = flagOf(m.TIPMOV);
    const bool closing = tipmov == 'A', stock = tipmov == 'G';
    if (closing) {
        m.TIPSTO.clear();
        m.POSFIS = " ";
    }
    std::string line;
    put(line, fieldOne(m, c, flowDate8(m.DATMOV)));
    put(line, stored(m.TIPREG, 1));
    put(line, c.office);
    put(line, stored(m.ANNPRO, 4));
    put(line, stored(m.NUMPRO, 10));
    put(line, stock ? "" : intText(m.NUMOPE));
    put(line, reducedProductCode(m.PRODDO));
    put(line, flowDecimal(m.QTAKG, 5));
    put(line, "");
    put(line, flowDecimal(m.QTALIT, 5));
    put(line, m.CONTIN >= 1 ? intText(m.CONTIN) : "");
    put(line, m.CONTFI >= 1 ? intText(m.CONTFI) : "");
    put(line, m.ETTOGR > 0 ? flowDecimal(m.ETTOGR, 5) : "");
    put(line, m.GRAPLA > 0 ? flowDecimal(m.GRAPLA, 5) : "");
    put(line, closing || stock ? "" : stored(m.TIPSTO, 1));
    put(line, m.VOLUNI > 0 && !closing ? flowDecimal(m.VOLUNI, 5) : "");
    put(line, m.NUMCON > 0 && !closing ? intText(m.NUMCON) : "");
    if (stock) {
        for (int i = 18; i <= 23; ++i) put(line, "");
    } else {
        put(line, stored(m.TIPDOC, 3));
        put(line, trimmed(m.NUMDOC));
        put(line, flowDate8(m.DATDOC));
        put(line, trimmed(m.DOCCUM));
        put(line, stored(m.CODPAE, 2));
        put(line, trimmed(m.MITDES));
    }
    if (closing) {
        for (int i = 24; i <= 26; ++i) put(line, "");
    } else {
        put(line, stored(m.TIPMOV, 1));
        put(line, trimmed(m.CAUMOV));
        put(line, trimmed(m.POSFIS));
    }
    // Excise is carried only for a tax position above "000", compared as stored.
    put(line, padded1252(m.POSFIS, 3) > std::string("000") ? flowDecimal(m.ACCISA, 2) : "");
    put(line, note(m));
    if (m.NPRDAA < 1) {
        for (int i = 29; i <= 31; ++i) put(line, "");
    } else {
        put(line, intText(m.NPRDAA));
        put(line, trimmed(m.NILODD));
        put(line, intText(m.NUMCPR));
    }
    return line;
}

std::string creditLine(const Movement& m, const FlowCompany& c) {
    std::string line;
    put(line, fieldOne(m, c, "00000000"));
    put(line, stored(m.ANNPRO, 4));
    put(line, stored(m.CODPAE, 2));
    put(line, stored(m.UFFDOG, 8));
    put(line, trimmed(m.NUMPRO));
    put(line, flowDate8(m.DATMOV));
    put(line, flowDecimal(m.QTAKG, 2));
    put(line, flowDecimal(m.ETTOGR, 2));
    put(line, trimmed(m.MITDES));
    put(line, note(m));
    return line;
}

std::string summaryRecordLine(const Movement& m, const FlowCompany& c) {
    std::string line;
    if (c.alcopp()) {
        put(line, fieldOne(m, c, flowDate8(m.DATMOV)));
        for (int i = 2; i <= 6; ++i) put(line, "");
        put(line, flowDecimal(m.QTAKG, 2));
    } else {
        put(line, fieldOne(m, c, "00000000"));
        put(line, stored(m.ANNPRO, 4));
        put(line, stored(m.CODPAE, 2));
        put(line, flowDecimal(m.QTAKG, 2));
        put(line, flowDecimal(m.ETTOGR, 2));
        put(line, flowDecimal(m.QTALIT, 2));
        put(line, flowDecimal(m.VALAUX, 2));
    }
    put(line, trimmed(m.MITDES));
    put(line, note(m));
    return line;
}

std::string guaranteeLine(const Movement& m, const FlowCompany& c) {
    std::string line;
    put(line, fieldOne(m, c, flowDate8(m.DATMOV)));
    put(line, "C");
    for (double v : {m.QTAKG, m.ETTOGR, m.QTALIT, m.VALAUX, m.GRAPLA}) put(line, flowDecimal(v, 2));
    put(line, trimmed(m.MITDES));
    put(line, note(m));
    return line;
}

std::string correctionLine(const Movement& m, const FlowCompany& c) {
    std::string line;
    put(line, fieldOne(m, c, "00000000"));
    if (c.alcopp()) {
        const std::string day = flowDate8(m.DATMOV);
        put(line, day.substr(3, 4));
        put(line, day.substr(0, 4));
    } else {
        put(line, stored(m.ANNPRO, 4));
        put(line, stored(m.CODPAE, 2));
    }
    for (double v : {m.QTAKG, m.ETTOGR, m.QTALIT, m.VALAUX, m.GRAPLA}) put(line, flowDecimal(v, 2));
    put(line, intText(m.CONTIN));
    put(line, flowDecimal(m.VOLUNI, 2));
    put(line, trimmed(m.MITDES));
    put(line, note(m));
    return line;
}

std::string zeroFilled(int n, std::size_t digits) {
    std::string s = std::to_string(n);
    return s.size() < digits ? std::string(digits - s.size(), '0') + s : s;
}

} // namespace

FlowCompany FlowCompany::of(const AddressRecord& company) {
    FlowCompany c;
    c.profile = trimmed(company.postcode2);
    c.exciseCode = trimmed(company.id1);
    // At most 13 characters (counted as characters, not UTF-8 bytes).
    std::size_t chars = 0, cut = 0;
    for (; cut < c.exciseCode.size(); ++cut) {
        if ((static_cast<unsigned char>(c.exciseCode[cut]) & 0xC0) != 0x80 && chars++ == 13) break;
    }
    c.exciseCode.resize(cut);
    c.vat = trimmed(company.vat);
    c.userCode = trimmed(company.user_code);
    c.section = trimmed(company.section);
    c.office = trimmed(company.office);
    return c;
}

int flowKindIndex(const Movement& record) {
    switch (flagOf(record.TIPREC)) {
    case 'C': return 0;
    case 'D': return 1;
    case 'E': return 2;
    case 'F': return 3;
    case 'R': return 4;
    default: return -1;
    }
}

std::string flowDecimal(double value, int decimals) {
    // The system's own rounding (halves away from zero), then the flow's punctuation.
    std::string text;
    for (char ch : formatNumber(value, 0, decimals)) {
        if (ch == '.') continue;
        text += ch == ',' ? '.' : ch;
    }
    return text;
}

std::string flowDate8(double day) { return compactDate(day); }

std::string reducedProductCode(std::string_view proddo) {
    std::string out;
    for (char ch : proddo)
        if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z')) out += ch;
    return out;
}

std::string flowRecordLine(const Movement& record, const FlowCompany& company) {
    switch (flowKindIndex(record)) {
    case 0: return movementLine(record, company);
    case 1: return creditLine(record, company);
    case 2: return summaryRecordLine(record, company);
    case 3: return guaranteeLine(record, company);
    case 4: return correctionLine(record, company);
    default: return {};
    }
}

std::string flowHeadLine(const FlowCompany& c, const std::string& fileName, const FlowCounts& counts) {
    return c.userCode + std::string(12, ' ') + fileName + std::string(12, ' ') + c.section + std::string(4, ' ') +
           c.vat + "     001 " + zeroFilled(counts.total() + 2, 5);
}

std::string flowSummaryLine(const FlowCompany& c, const FlowCounts& counts) {
    std::string line;
    put(line, c.profile + c.exciseCode + "00000000A" + c.vat + "     ");
    for (int i = 0; i < 4; ++i) put(line, std::to_string(counts.byKind[i]));
    put(line, "0");
    put(line, std::to_string(counts.byKind[4]));
    put(line, std::to_string(counts.total() + 1));
    return line;
}

FlowCounts countFlowRecords(const std::vector<Movement>& records) {
    FlowCounts counts;
    for (const Movement& m : records)
        if (const int k = flowKindIndex(m); k >= 0) ++counts.byKind[k];
    return counts;
}

std::string flowFileBytes(const FlowCompany& company, const std::string& fileName,
                          const std::vector<Movement>& records) {
    // A line break or a TAB in a text would add lines or fields the head line does not count.
    for (const Movement& m : records) {
        const std::vector<std::string> fields = controlCharacterFieldsOf(m);
        if (!fields.empty())
            throw std::invalid_argument("il record n. " + std::to_string(m.NUMREC) + " " + controlCharacterMessage(fields));
    }
    const FlowCounts counts = countFlowRecords(records);
    std::string text = flowHeadLine(company, fileName, counts) + "\r\n";
    text += flowSummaryLine(company, counts) + "\r\n";
    for (const Movement& m : records) {
        if (flowKindIndex(m) < 0) continue;
        text += flowRecordLine(m, company);
        text += "\r\n";
    }
    return encode1252(text);
}

} // namespace accise
