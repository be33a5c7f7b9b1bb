#include "logic/masterdata/companyproducts.h"

#include <algorithm>

#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/keyfilters.h"
#include "core/tables/numbers.h"

namespace accise {

using namespace companyproducts;

namespace {

constexpr std::uintmax_t kPhotoBlock = 128;
constexpr std::uintmax_t kPhotoMaxBlocks = 800;
constexpr int kQuantityDecimals = 5;
constexpr double kMinimumPlato = 5;

// Where a product keeps its data in the table record.
constexpr std::size_t kCodeCol = 0;
constexpr std::size_t kDescriptionCol = 1;
constexpr std::size_t kTa20Col = 2;
constexpr std::size_t kBulkCol = 3;
constexpr std::size_t kPackagingCol = 5;
constexpr std::size_t kPhotoExtensionCol = 9;
constexpr std::size_t kUnitsInt = 0;
constexpr std::size_t kPlatoNum = 0;
constexpr std::size_t kVolumeNum = 1;
constexpr std::size_t kWeightNum = 2;
constexpr std::size_t kHectoDegreesNum = 3;
constexpr std::size_t kAlcoholNum = 4;
// T010: the first character of column 2 tells whether a packaging is countable.
constexpr std::size_t kCountableCol = 2;

constexpr const char* kPackagedFields[] = {"R11", "R12", "R13", "I10"};

std::string readWhole(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }

double quantity(const std::string& text) { return parseDecimal(text, kQuantityDecimals); }

} // namespace

bool photoSizeAccepted(std::uintmax_t bytes) { return bytes / kPhotoBlock <= kPhotoMaxBlocks; }

fs::path productPhotoFile(const Folders& folders, std::int32_t number, std::string_view extension) {
    return folders.general(std::to_string(number) + std::string(extension));
}

ShownSize shownPhotoSize(int frameHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return {};
    const long long width = static_cast<long long>(frameHeight) * pictureWidth / pictureHeight;
    return {static_cast<int>(width), frameHeight};
}

bool looksLikePicture(std::string_view bytes) {
    const bool bmp = bytes.size() > 2 && bytes.substr(0, 2) == "BM";
    const bool jpeg = bytes.size() > 3 && bytes.substr(0, 3) == std::string_view("\xFF\xD8\xFF", 3);
    return bmp || jpeg;
}

std::optional<CompanyProductPhoto> companyProductPhoto(const Folders& folders, const TableRecord& row,
                                                       const std::function<bool(std::string_view)>& isPicture) {
    std::string extension = trimmed(row.col[kPhotoExtensionCol]);
    if (extension.empty()) extension = kDefaultExtension;
    CompanyProductPhoto photo{productPhotoFile(folders, row.number, extension)};
    if (!fileExists(photo.file)) return std::nullopt;
    std::string bytes;
    try {
        bytes = readRecords(photo.file, 1, IfMissing::Empty).bytes();
    } catch (const IoError&) {
        return photo;
    }
    photo.picture = isPicture ? isPicture(bytes) : looksLikePicture(bytes);
    return photo;
}

CompanyProductsLogic::CompanyProductsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    using L = LetterCase;
    using K = KeyFilter;
    addField(FieldSpec("LE0", 20));
    addField(FieldSpec("LE1", 80));
    addField(FieldSpec("R10", 12, L::AsTyped, K::Decimal));
    addField(FieldSpec("R14", 12, L::AsTyped, K::Decimal));
    addField(FieldSpec("ME2", 21, L::Upper, K::NextField, kTa20Mask));
    addField(FieldSpec("DME2").shownOnly());
    addField(FieldSpec("LE3", 1, L::Upper));
    addField(FieldSpec("DLE3").shownOnly());
    addField(FieldSpec("R11", 12, L::AsTyped, K::Decimal));
    addField(FieldSpec("R12", 12, L::AsTyped, K::Decimal));
    addField(FieldSpec("R13", 12).shownOnly());
    addField(FieldSpec("I10", 9, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("LE5", 2, L::Upper));
    addField(FieldSpec("DLE5").shownOnly());
}

void CompanyProductsLogic::changed() {
    if (viewChanged_) viewChanged_();
}

bool CompanyProductsLogic::pictureOk(std::string_view bytes) const {
    return pictureCheck_ ? pictureCheck_(bytes) : looksLikePicture(bytes);
}

void CompanyProductsLogic::onOpen() {
    if (!readStructure(folders(), kTable)) return closeForMissingStructure();
    reset();
}

void CompanyProductsLogic::reset() {
    // A missing or unreadable DEFAULT.bmp leaves the frame empty.
    photo_.clear();
    photoExtension_ = kDefaultExtension;
    const fs::path defaultPhoto = folders().general(kDefaultPhoto);
    if (fileExists(defaultPhoto)) {
        std::string bytes = readWhole(defaultPhoto);
        if (pictureOk(bytes)) photo_ = std::move(bytes);
    }
    row_ = blankTable();
    row_.extra[0] = kTable;
    for (const FieldSpec& f : fields()) setValue(f.control, "");
    setValue("LE3", "N");
    setValue("DLE3", kPackaged);
    packaged_ = true;
    countable_.reset();
    loadedNumber_.reset();
    loadedCode_.clear();
    setFocusAfterOpen("LE0");
    changed();
}

std::string CompanyProductsLogic::code() const { return trimmed(value("LE0")); }

std::string CompanyProductsLogic::ta20Code() const {
    // Positions the mask left empty show "_": they are blanks of the code.
    std::string text = toUpperAscii(value("ME2"));
    std::replace(text.begin(), text.end(), '_', ' ');
    return trimmed(text);
}

void CompanyProductsLogic::loadProduct(const TableRecord& row) {
    loadedNumber_ = row.number;
    loadedCode_ = trimmed(row.col[kCodeCol]);
    row_ = row;
    setValue("LE1", row.col[kDescriptionCol]);
    setValue("R10", formatNumber(row.nums[kPlatoNum], 0, 2));
    setValue("R14", formatNumber(row.nums[kAlcoholNum], 0, 2));
    setValue("ME2", row.col[kTa20Col]);
    setValue("LE3", row.col[kBulkCol]);
    setValue("LE5", row.col[kPackagingCol]);
    setValue("R11", formatNumber(row.nums[kVolumeNum], 0, kQuantityDecimals));
    setValue("R12", formatNumber(row.nums[kWeightNum], 0, kQuantityDecimals));
    setValue("R13", formatNumber(row.nums[kHectoDegreesNum], 0, kQuantityDecimals));
    setValue("I10", std::to_string(row.ints[kUnitsInt]));
    // The packaged fields follow the loaded product.
    if (const auto bulk = bulkChoice()) packaged_ = !*bulk;
    showPhotoOf(row);
    changed();
}

void CompanyProductsLogic::showPhotoOf(const TableRecord& row) {
    std::string extension = trimmed(row.col[kPhotoExtensionCol]);
    if (extension.empty()) extension = kDefaultExtension;
    const fs::path file = productPhotoFile(folders(), row.number, extension);
    // A product without its own photo keeps showing DEFAULT.bmp.
    if (!fileExists(file)) return;
    std::string bytes;
    try {
        bytes = readWhole(file);
    } catch (const IoError&) {
        bytes.clear();
    }
    if (!pictureOk(bytes)) {
        prompt().information(kPhotoInvalid);
        return;
    }
    photo_ = std::move(bytes);
    photoExtension_ = extension;
}

std::optional<bool> CompanyProductsLogic::bulkChoice() {
    const std::string choice = toUpperAscii(trimmed(value("LE3")));
    if (choice == "S" || choice == "N") {
        setValue("DLE3", choice == "S" ? kBulk : kPackaged);
        return choice == "S";
    }
    setValue("DLE3", kBulkOrPackaged);
    return std::nullopt;
}

bool CompanyProductsLogic::volumeOk() {
    if (quantity(value("R11")) > 0) return true;
    prompt().information(kVolumeNotPositive);
    return false;
}

bool CompanyProductsLogic::ta20Found() {
    return describeCode("TA20", ta20Code(), "DME2").has_value();
}

bool CompanyProductsLogic::packagingFound() {
    const auto row = describeCode("T010", toUpperAscii(trimmed(value("LE5"))), "DLE5");
    countable_.reset();
    if (!row) return false;
    const std::string flag = trimmed(row->col[kCountableCol]);
    if (!flag.empty() && (flag[0] == 'S' || flag[0] == 'N')) countable_ = flag[0] == 'S';
    return true;
}

FocusMove CompanyProductsLogic::onLeave(std::string_view control) {
    if (control == "LE0") {
        // The code must begin with a character above the space.
        const std::string& typed = value("LE0");
        if (typed.empty() || static_cast<unsigned char>(typed[0]) <= ' ') return FocusMove::to("LE0");
        if (!productLoaded()) {
            if (const auto row = findCode(folders(), kTable, code(), prompt())) loadProduct(*row);
        }
        return FocusMove::next();
    }
    if (control == "LE3") {
        const auto bulk = bulkChoice();
        if (!bulk) return FocusMove::to("LE3");
        packaged_ = !*bulk;
        changed();
        return FocusMove::to(packaged_ ? "R11" : "LE5");
    }
    if (control == "R11") {
        if (!volumeOk()) return FocusMove::to("R11");
        const double hectoDegrees = quantity(value("R10")) * quantity(value("R11")) / 100;
        setValue("R13", formatNumber(roundTo(hectoDegrees, kQuantityDecimals), 0, kQuantityDecimals));
        return FocusMove::next();
    }
    return FocusMove::next();
}

std::optional<std::string> CompanyProductsLogic::onConfirmChecks() {
    const std::string& typed = value("LE0");
    if (typed.empty() || static_cast<unsigned char>(typed[0]) <= ' ') return "LE0";
    const double plato = quantity(value("R10"));
    if (plato < kMinimumPlato) {
        prompt().information(kLowPlato);
        return "R10";
    }
    const double alcohol = quantity(value("R14"));
    if (!ta20Found()) return "ME2";
    const auto bulk = bulkChoice();
    if (!bulk) return "LE3";
    if (packaged_ == *bulk) {
        packaged_ = !*bulk;
        changed();
    }
    const double volume = packaged_ ? quantity(value("R11")) : 0;
    const double weight = packaged_ ? quantity(value("R12")) : 0;
    if (packaged_ && volume <= 0) {
        prompt().information(kVolumeNotPositive);
        return "R11";
    }
    if (packaged_ && weight <= 0) {
        prompt().information(kWeightNotPositive);
        return "R12";
    }
    if (!packagingFound()) return "LE5";
    if (countable_ == true && !packaged_) {
        prompt().information(kCountableBulk);
        return "LE5";
    }
    if (countable_ == false && packaged_) {
        prompt().information(kUncountablePackaged);
        return "LE5";
    }
    const std::int32_t units = packaged_ ? parseInteger(value("I10")) : 0;
    if (packaged_ && units <= 0) {
        prompt().information(kUnitsNotPositive);
        return "I10";
    }
    // A code may belong to one product only: a loaded product keeping its code
    // replaces itself, any other code must be new.
    const std::string typedCode = code();
    if (!(productLoaded() && typedCode == loadedCode_) && findCode(folders(), kTable, typedCode, prompt())) {
        prompt().information(kCodeInUse);
        return "LE0";
    }

    // The row as it will be saved; the columns the window does not show stay blank.
    row_ = blankTable();
    row_.extra[0] = kTable;
    row_.col[kCodeCol] = typedCode;
    row_.col[kDescriptionCol] = trimmed(value("LE1"));
    row_.col[kTa20Col] = ta20Code();
    row_.col[kBulkCol] = *bulk ? "S" : "N";
    row_.col[kPackagingCol] = toUpperAscii(trimmed(value("LE5")));
    row_.nums[kPlatoNum] = plato;
    row_.nums[kAlcoholNum] = alcohol;
    row_.nums[kVolumeNum] = volume;
    row_.nums[kWeightNum] = weight;
    row_.nums[kHectoDegreesNum] = roundTo(plato * volume / 100, kQuantityDecimals);
    row_.ints[kUnitsInt] = units;
    return std::nullopt;
}

void CompanyProductsLogic::onSave() {
    const fs::path file = folders().table(kTable);
    if (loadedNumber_) deleteTableRecord(file, *loadedNumber_, prompt());
    TableRecord written = row_;
    written.number = 0;
    // A photo chosen after the checks ran is the one saved: its extension goes with it.
    written.col[kPhotoExtensionCol] = photoExtension_;
    const std::int32_t number = insertTableRecord(file, written, prompt());
    // The photo follows the record number; the row stays saved when it cannot be written.
    if (!photo_.empty()) {
        try {
            writeWholeFile(productPhotoFile(folders(), number, photoExtension_), photo_);
        } catch (const IoError&) {
            prompt().information(kPhotoInvalid);
        }
    }
    context().enteredCode = trimmed(written.col[kCodeCol]);
    if (context().continuousEntry)
        reset();
    else
        requestClose();
}

std::string CompanyProductsLogic::list() { return lookupCodeInto("LE0", kTable); }

std::string CompanyProductsLogic::chooseTa20() {
    // The unfiltered list of product codes.
    context().mode = 'T';
    lookupCodeInto("ME2", "TA20");
    if (!ta20Code().empty()) ta20Found();
    return "ME2";
}

std::string CompanyProductsLogic::choosePackaging() {
    lookupCodeInto("LE5", "T010");
    if (!isEmptyField(value("LE5"))) packagingFound();
    return "LE5";
}

std::string CompanyProductsLogic::addPackaging() {
    newCodeInto("LE5", "T010");
    if (!isEmptyField(value("LE5"))) packagingFound();
    return "LE5";
}

std::string CompanyProductsLogic::remove() {
    if (loadedNumber_ && !deletionConfirmed()) return "LE0";
    // The photo file stays.
    if (loadedNumber_) deleteTableRecord(folders().table(kTable), *loadedNumber_, prompt());
    reset();
    return "LE0";
}

std::string CompanyProductsLogic::clear() {
    reset();
    return "LE0";
}

std::optional<std::string> CompanyProductsLogic::loadPhoto(const fs::path& file) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (!ec && !photoSizeAccepted(size)) {
        prompt().information(kPhotoTooLarge);
        return std::nullopt;
    }
    std::string bytes;
    if (!ec) {
        try {
            bytes = readWhole(file);
        } catch (const IoError&) {
            bytes.clear();
        }
    }
    if (bytes.empty() || !pictureOk(bytes)) {
        prompt().information(kPhotoInvalid);
        return std::nullopt;
    }
    photo_ = std::move(bytes);
    photoExtension_ = file.extension().string();
    if (photoExtension_.empty()) photoExtension_ = kDefaultExtension;
    changed();
    return std::nullopt;
}

} // namespace accise
