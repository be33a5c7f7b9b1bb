#include "logic/reportwindows/dutysearchwindow.h"

#include "core/files/ioerror.h"
#include "core/reports/dutysearchprint.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "logic/duty/dutywindow.h"
#include "logic/reportwindows/searchdates.h"

namespace accise {

using namespace dutysearchwindow;

namespace {
constexpr char kKinds[] = {'D', 'E', 'R'};

// The number typed in a masked field ("2_" reads 2); 0 when it holds anything else.
int typedNumber(std::string_view s) {
    int n = 0;
    bool digits = false;
    for (char c : s) {
        if (c == '_' || c == ' ') continue;
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
        digits = true;
    }
    return digits ? n : 0;
}
} // namespace

DutySearchLogic::DutySearchLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, int kindChoice)
    : EntryFormLogic(ctx, prompt, services), mode_(ctx.mode == 't' ? 't' : 'T'),
      initialKind_(kindChoice >= 0 && kindChoice < 3 ? kindChoice : kSummaryKind) {
    addField(FieldSpec("RREGISTRI"));
    addField(FieldSpec("MDADA", 7).withMask("!99/0000;1;_"));
    addField(FieldSpec("MDAAL", 2).withMask("!99;1;_"));
    addField(FieldSpec("lfile").shownOnly());
    addField(FieldSpec("LESPORTA").shownOnly());
}

int DutySearchLogic::kindChoice() const {
    const std::string& v = value("RREGISTRI");
    return v == "0" ? 0 : v == "2" ? 2 : 1;
}

void DutySearchLogic::onOpen() {
    fileButtonShown_ = false;
    setValue("lfile", "");
    setValue("LESPORTA", "");
    last_.reset();
    results_.clear();
    setValue("RREGISTRI", std::to_string(initialKind_));
    setValue("MDADA", "01/" + std::to_string(yearOf(todayDayNumber())));
    setValue("MDAAL", "22");
    setFocusAfterOpen("MDADA");
}

FocusMove DutySearchLogic::onLeave(std::string_view control) {
    if (control == "MDADA") setValue("lfile", "");
    return FocusMove::next();
}

std::optional<std::string> DutySearchLogic::onConfirmChecks() {
    fileButtonShown_ = false;
    const std::string& from = value("MDADA"); // MM/YYYY
    if (!parseDate("01/" + from)) return "MDADA";
    const int year = parseInteger(from.substr(3, 4));
    if (year < kFirstSearchYear || year > kLastSearchYear) return "MDADA";
    context().workingYear = from.substr(3, 4);
    const int first = parseInteger(from.substr(0, 2));
    const std::string& to = value("MDAAL");
    const int last = typedNumber(to);
    if (last < 1 || last > 22) return "MDAAL";
    if (last < first) return "MDADA";
    criteria_ = {kKinds[kindChoice()], mode_ == 't', year, first, last, context().alcopp};
    setValue("lfile", std::string(kSavedInPrefix) + exportFile().string());
    return std::nullopt;
}

void DutySearchLogic::onSave() {
    fileButtonShown_ = true;
    initialKind_ = kindChoice();
    folders().create();
    auto print = std::make_shared<DutySearchPrint>(DutySearchPrint{
        criteria_, kKindTexts[kindChoice()], value("MDADA"), value("MDAAL"), runDutySearch(folders(), criteria_)});
    writeDutySearchExport(exportFile(), criteria_.kind, print->rows);
    listed_ = print->rows.size();
    last_ = print;
    std::vector<SearchResultRow> found;
    found.reserve(print->rows.size());
    for (const DutySearchRow& row : print->rows) found.push_back({row.fields, row.struckOut});
    results_.assign(dutySearchHeader(criteria_.kind), std::move(found));
    setValue("LESPORTA", "");
    const std::string reportTitle = title();
    services().showReport({reportTitle, PageOrientation::Landscape,
                           [print](PageCanvas& canvas) { drawDutySearch(canvas, *print); }});
    setFocusAfterOpen("MDADA");
}

void DutySearchLogic::openFound(std::size_t shown) {
    if (!last_ || shown >= results_.size()) return;
    const DutySearchRow& row = last_->rows[results_.foundIndex(shown)];
    CommandContext view = context();
    view.mode = 'V';
    view.modify = false;
    view.correctionCancel = view.correctionModify = view.continuousEntry = false;
    view.workingYear = std::to_string(last_->criteria.year);
    view.chosenRecord = row.record.NUMREC;
    view.selectedRecord = row.record;
    services().openWindow(duty::kViewWindow, view);
}

std::string DutySearchLogic::proposedExportName() const {
    const DutySearchCriteria& c = last_ ? last_->criteria : criteria_;
    const auto period = [&](int code) { return std::to_string(c.year) + (code < 10 ? "0" : "") + std::to_string(code); };
    return exportFileName(std::string(1, c.kind) + (c.sentOnly ? "_INVIATI" : ""), period(c.firstPeriod),
                          period(c.lastPeriod));
}

bool DutySearchLogic::exportTo(const std::filesystem::path& file) {
    if (!last_) return false;
    try {
        writeDutySearchExport(file, last_->criteria.kind, last_->rows);
    } catch (const IoError& e) {
        prompt().information(std::string(kExportFailed) + e.what());
        return false;
    }
    setValue("LESPORTA", std::string(kExportedPrefix) + file.string());
    return true;
}

std::optional<std::string> DutySearchLogic::openExport() {
    services().openFile(exportFile().string());
    return std::nullopt;
}

} // namespace accise
