#include "logic/masterdata/registerswindow.h"

#include <algorithm>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/keyfilters.h"
#include "core/tables/registers.h"

namespace accise {

using namespace registerswindow;

namespace {

constexpr std::string_view kOfficeTable = "TA03";
constexpr std::string_view kProductTable = "TA20";
constexpr const char* kDateMask = "!00/00/0000;1;_";
constexpr const char* kDateFields[] = {"R10", "R11", "R12"};

// The first `width` characters of a UTF-8 text.
std::string cutTo(const std::string& text, std::size_t width) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue; // continuation byte of the same character
        if (chars++ == width) return text.substr(0, i);
    }
    return text;
}

} // namespace

RegistersLogic::RegistersLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    // The protocol number is looked up whenever it is left; the dates, the type and
    // the office wait for the first key.
    useOpenGuard({"R10", "R11", "R12", "CINTERI0", "LE1"});
    addField(FieldSpec("LE0", 10));
    for (const char* date : kDateFields) addField(FieldSpec(date, 10).withMask(kDateMask));
    addField(FieldSpec("CINTERI0"));
    addField(FieldSpec("LE1", 8, LetterCase::Upper));
    addField(FieldSpec("DLE1").shownOnly());
    addField(FieldSpec("LE2", static_cast<int>(kTitleWidth)));
    addField(FieldSpec("LE3", static_cast<int>(kHeaderWidth)));
    addField(FieldSpec("CTA20"));
}

void RegistersLogic::onOpen() {
    if (!readStructure(folders(), kRegistersTable)) return closeForMissingStructure();
    const double today = todayDayNumber();
    setValue("R10", formatDate(today));
    setValue("R11", formatDate(firstOfYear(yearOf(today))));
    setValue("R12", formatDate(lastOfYear(yearOf(today))));
    reset();
    setValue("LE1", trimmed(context().company.office));
    officeFound();
}

void RegistersLogic::reset() {
    setValue("LE0", "");
    setValue("LE2", "");
    setValue("LE3", "");
    setValue("CINTERI0", "-1");
    loaded_ = -1;
    buildProductList(); // no type: nothing listed, nothing ticked
    setFocusAfterOpen("LE0");
}

int RegistersLogic::typeIndex() const {
    const std::string& text = value("CINTERI0");
    if (text.size() != 1 || text[0] < '0' || text[0] >= '0' + kRegisterTypeCount) return -1;
    return text[0] - '0';
}

void RegistersLogic::buildProductList() {
    items_.clear();
    itemNumbers_.clear();
    std::string workFile;
    const int type = typeIndex();
    if (type >= 0) {
        const RecordBlock products = readRecords(folders().table(kProductTable), kTableSize, IfMissing::Empty);
        for (std::size_t r = 0; r < products.count(); ++r) {
            TableRecord product = decodeTable(products.at(r));
            trimTable(product);
            // Raw materials take the codes that do not begin with "B", the beer registers those that do.
            const bool beer = product.col[0].starts_with('B');
            if (beer != (type != 0)) continue;
            workFile.append(products.at(r));
            items_.push_back(product.col[0] + " - " + product.col[1]);
            itemNumbers_.push_back(product.number);
        }
    }
    writeWholeFile(folders().inTemp(kWorkFile), workFile);
    checked_.assign(items_.size(), false);
}

void RegistersLogic::setProductChecked(std::size_t item, bool on) {
    if (item < checked_.size()) checked_[item] = on;
}

bool RegistersLogic::loadRegister() {
    const auto reg = findCode(folders(), kRegistersTable, trimmed(value("LE0")), prompt());
    if (!reg) return false;
    loaded_ = reg->number;
    setValue("LE1", reg->col[kRegOfficeCol]);
    officeFound();
    setValue("CINTERI0", std::to_string(reg->ints[kRegTypeInt]));
    buildProductList();
    setValue("LE2", reg->col[kRegTitleCol]);
    setValue("LE3", reg->col[kRegHeaderCol]);
    setValue("R10", formatDate(reg->nums[kRegProtocolDateNum]));
    setValue("R11", formatDate(reg->nums[kRegFirstDayNum]));
    setValue("R12", formatDate(reg->nums[kRegLastDayNum]));
    for (const TableRecord& listed : readProductList(folders(), reg->number))
        for (std::size_t i = 0; i < itemNumbers_.size(); ++i)
            if (itemNumbers_[i] == listed.number) checked_[i] = true;
    return true;
}

bool RegistersLogic::officeFound() {
    return describeCode(kOfficeTable, trimmed(value("LE1")), "DLE1").has_value();
}

void RegistersLogic::defaultHeader() {
    const std::string header = trimmed(value("LE1")) + " di " + trimmed(value("DLE1")) + " protocollo n. " +
                               trimmed(value("LE0")) + " del " + value("R10");
    setValue("LE3", cutTo(header, kHeaderWidth));
}

std::string RegistersLogic::defaultTitle() const {
    std::string codes;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (checked_[i]) codes += items_[i].substr(0, items_[i].find(" - ")) + " ";
    return cutTo(codes, kTitleWidth);
}

FocusMove RegistersLogic::onLeave(std::string_view control) {
    if (control == "LE0") {
        if (loaded_ < 0 && !isEmptyField(value("LE0")) && loadRegister()) return FocusMove::to("LE2");
        return FocusMove::next();
    }
    if (control == "R10" || control == "R11" || control == "R12") {
        if (!parseDate(value(control))) return FocusMove::to(std::string(control));
        if (control != "R12" && isEmptyField(value("LE3"))) defaultHeader();
        return FocusMove::next();
    }
    if (control == "LE1") {
        if (officeFound()) return FocusMove::next();
        if (services().hasLookupList()) chooseOffice();
        return FocusMove::to("LE1");
    }
    return FocusMove::next();
}

std::optional<std::string> RegistersLogic::onConfirmChecks() {
    if (isEmptyField(value("LE0"))) return "LE0";
    for (const char* date : kDateFields)
        if (!parseDate(value(date))) return date;
    if (*parseDate(value("R12")) < *parseDate(value("R11"))) return "R11";
    if (typeIndex() < 0) return "CINTERI0";
    if (std::find(checked_.begin(), checked_.end(), true) == checked_.end()) {
        prompt().information(kSelectProduct);
        return "CTA20";
    }
    if (isEmptyField(value("LE2"))) setValue("LE2", defaultTitle());
    if (!officeFound()) return "LE1";
    // A protocol number identifies one register: it may stay the loaded register's own,
    // but never take another's. A new register cannot reuse one either.
    const auto same = findCode(folders(), kRegistersTable, trimmed(value("LE0")), prompt());
    if (same && same->number != loaded_) {
        prompt().information(kProtocolInUse);
        return "LE0";
    }
    return std::nullopt;
}

void RegistersLogic::onSave() {
    TableRecord reg = blankTable();
    reg.number = loaded_ >= 0 ? loaded_ : 0; // an edited register keeps its number
    reg.extra[0] = std::string(kRegistersTable);
    reg.col[kRegProtocolCol] = trimmed(value("LE0"));
    reg.col[kRegOfficeCol] = trimmed(value("LE1"));
    reg.col[kRegTitleCol] = value("LE2");
    reg.col[kRegHeaderCol] = value("LE3");
    reg.ints[kRegTypeInt] = typeIndex();
    reg.nums[kRegProtocolDateNum] = *parseDate(value("R10"));
    reg.nums[kRegFirstDayNum] = *parseDate(value("R11"));
    reg.nums[kRegLastDayNum] = *parseDate(value("R12"));

    // The checked items' records as the list offered them (TA20.APP, item i = record i).
    const RecordBlock offered = readRecords(folders().inTemp(kWorkFile), kTableSize, IfMissing::Empty);
    std::vector<TableRecord> products;
    for (std::size_t i = 0; i < checked_.size() && i < offered.count(); ++i)
        if (checked_[i]) products.push_back(decodeTable(offered.at(i)));
    saveRegister(folders(), reg, std::move(products), prompt());
    reset();
}

std::string RegistersLogic::typeChosen() {
    keyTyped(); // using the list counts as typing: the checks start
    buildProductList();
    return "CINTERI0";
}

std::string RegistersLogic::list() {
    keyTyped();
    context().table = std::string(kRegistersTable);
    const std::int32_t chosen = services().openLookupList(context());
    const auto reg = findByNumber(folders().table(kRegistersTable), chosen);
    if (!reg) return "LE0";
    setValue("LE0", reg->col[kRegProtocolCol]);
    return loadRegister() ? "LE2" : "LE0";
}

std::string RegistersLogic::chooseOffice() { return lookupCodeInto("LE1", kOfficeTable); }

std::string RegistersLogic::addOffice() { return newCodeInto("LE1", kOfficeTable); }

std::string RegistersLogic::clear() {
    reset();
    return "LE0";
}

std::string RegistersLogic::remove() {
    if (loaded_ >= 0 && !deletionConfirmed()) return "LE0";
    if (loaded_ >= 0) deleteRegister(folders(), loaded_, prompt());
    reset();
    return "LE0";
}

} // namespace accise
