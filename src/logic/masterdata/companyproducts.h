#pragma once
// The company products window (TFPRODAZIEND): the company's own product codes in
// PRAZ.TAB, each naming its TA20 code, bulk or packaged, its packaging (T010), Plato
// and alcoholic degree, for packaged products the volume, weight and count of one
// unit, and a photo kept beside the table as <record number><extension>.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/records/tablerecord.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace companyproducts {
inline constexpr const char* kTable = "PRAZ";
inline constexpr const char* kTitle = "Prodotti Aziendali";
inline constexpr const char* kLowPlato = "GRADO PLATO BASSO";
inline constexpr const char* kVolumeNotPositive = "IL VOLUME DEVE ESSERE MAGGIORE DI ZERO";
inline constexpr const char* kWeightNotPositive = "IL PESO DEVE ESSERE MAGGIORE DI ZERO";
inline constexpr const char* kCountableBulk = "SE IL PRODOTTO E' SFUSO L'IMBALLAGGIO NON PUO' ESSERE NUMERABILE";
inline constexpr const char* kUncountablePackaged =
    "SE IL PRODOTTO E' CONDIZIONATO L'IMBALLAGGIO DEVE ESSERE NUMERABILE";
inline constexpr const char* kUnitsNotPositive = "IL NUMERO DEVE ESSERE MAGGIORE DI ZERO";
inline constexpr const char* kCodeInUse = "CODICE GIA` UTILIZZATO";
inline constexpr const char* kPhotoTooLarge = "LA DIMENSIONE DELLA FOTO DEVE ESSERE INFERIORE A 100 KB";
inline constexpr const char* kPhotoInvalid = "FOTO NON VALIDA";
inline constexpr const char* kModifyOrDelete = "MODIFICA o CANCELLA";
inline constexpr const char* kBulk = "Sfuso";
inline constexpr const char* kPackaged = "Condizionato";
inline constexpr const char* kBulkOrPackaged = "S o N";
inline constexpr const char* kDefaultPhoto = "DEFAULT.bmp";
inline constexpr const char* kDefaultExtension = ".bmp";
inline constexpr const char* kTa20Mask = "cccc-00000000-cc-cccc;1;_";
inline constexpr int kPhotoFrame = 115; // the photo's frame, pixels
// The window opened from the movement and packaging windows to add one product:
// it closes after one confirmation and leaves the new code in ctx.enteredCode.
inline constexpr std::string_view kProductReturn = "UPRODAZIEND_RETURN";
} // namespace companyproducts

// A photo is accepted when its size, counted in whole blocks of 128 bytes, is at most
// 800 blocks: files of up to 102527 bytes.
bool photoSizeAccepted(std::uintmax_t bytes);
// <general data folder>/<record number><extension>, e.g. 12.jpg.
std::filesystem::path productPhotoFile(const Folders& folders, std::int32_t number, std::string_view extension);
// How large a picture is shown: the frame's height, the width in the picture's proportion.
struct ShownSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ShownSize&, const ShownSize&) = default;
};
ShownSize shownPhotoSize(int frameHeight, int pictureWidth, int pictureHeight);
// A BMP or JPEG picture by its first bytes: the check used when the window has no
// better one (the desktop application decodes the picture instead).
bool looksLikePicture(std::string_view bytes);

// The photo of a company product (its table row) as a movement window shows it: none
// when the product's photo file does not exist; otherwise the file and whether its
// bytes are a picture (by `isPicture`, or looksLikePicture without one). A file that
// cannot be read is not a picture.
struct CompanyProductPhoto {
    std::filesystem::path file;
    bool picture = false;
};
std::optional<CompanyProductPhoto> companyProductPhoto(const Folders& folders, const TableRecord& row,
                                                       const std::function<bool(std::string_view)>& isPicture);

class CompanyProductsLogic : public EntryFormLogic {
public:
    // Whether the bytes are a picture the window can show.
    using PictureCheck = std::function<bool(std::string_view bytes)>;

    CompanyProductsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return companyproducts::kTitle; }

    // An existing product is loaded: "MODIFICA o CANCELLA" and "Cance&lla" are shown,
    // "&Elenca" is hidden.
    bool productLoaded() const { return loadedNumber_.has_value(); }
    // The packaged product's fields (R11, R12, R13, I10) are shown.
    bool packagedShown() const { return packaged_; }
    // The picture shown (file bytes; empty when there is none) and its extension.
    const std::string& photo() const { return photo_; }
    const std::string& photoExtension() const { return photoExtension_; }

    void setPictureCheck(PictureCheck check) { pictureCheck_ = std::move(check); }
    // Called whenever what the window shows besides the field texts changes (the
    // packaged fields, the modify state, the photo), before the cursor moves.
    void setViewChanged(std::function<void()> changed) { viewChanged_ = std::move(changed); }

    // The buttons; each returns the control that gets the cursor (nullopt: it stays).
    std::string list();                               // "&Elenca": the PRAZ list into LE0
    std::string chooseTa20();                         // "..." beside ME2
    std::string choosePackaging();                    // "..." beside LE5
    std::string addPackaging();                       // the new-code button beside LE5
    std::string remove();                             // "Cance&lla"
    std::string clear();                              // "&Svuota"
    std::optional<std::string> loadPhoto(const std::filesystem::path& file); // "Carica un'immagine del Prodotto"

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    void reset();
    void loadProduct(const TableRecord& row);
    void showPhotoOf(const TableRecord& row);
    // LE3 read: true "S", false "N", nullopt anything else (DLE3 then says "S o N").
    std::optional<bool> bulkChoice();
    bool volumeOk();
    bool ta20Found();
    bool packagingFound();
    std::string code() const;
    std::string ta20Code() const;
    bool pictureOk(std::string_view bytes) const;
    void changed();

    TableRecord row_;
    std::optional<std::int32_t> loadedNumber_;
    std::string loadedCode_;
    bool packaged_ = true;
    std::string photo_;
    std::string photoExtension_;
    std::optional<bool> countable_; // of the packaging found at the last check
    PictureCheck pictureCheck_;
    std::function<void()> viewChanged_;
};

} // namespace accise
