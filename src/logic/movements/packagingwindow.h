#pragma once
// The packaging window (TFCONDIZIONAMENTO): packages of a finished, packaged product
// loaded into their register, the same litres and hectolitre-degrees unloaded from
// the in-process register (the first entry of the stock list L.DAT), the process
// losses unloaded too when given, and the packaged beer released at once for the
// installation's direct-release operator. Computations and the save are core
// functions (core/books/packaging.h); this class holds the fields, the checks in their
// order and the cursor moves.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/books/packaging.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace packagingwindow {
inline constexpr std::string_view kWindow = "TFCONDIZIONAMENTO";
// The menu command "Condizionamento".
inline constexpr std::string_view kCommand = "Action48";
inline constexpr const char* kTitle = "Condizionamento";
inline constexpr const char* kExplanation =
    "Con questa operazione saranno registrati:  Carico (1) ed equivalenti Scarichi (2,3) nei registri dei prodotti "
    "Finiti Condizionati e delle Lavorazioni,  ";
inline constexpr const char* kExplanationLosses = "inoltre, se indicati, lo Scarico (4) dei cali di lavorazione.";
inline constexpr const char* kNegativeLosses = "I CALI DI LAVORAZIONE NON POSSONO ESSERE NEGATIVI";
inline constexpr const char* kDefaultLossPosition = "003";
} // namespace packagingwindow

class PackagingLogic : public EntryFormLogic {
public:
    using WindowOpener = std::function<bool(std::string_view name, CommandContext& ctx)>;
    using PictureCheck = std::function<bool(std::string_view bytes)>;

    PackagingLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return packagingwindow::kTitle; }

    void setWindowOpener(WindowOpener opener) { openWindow_ = std::move(opener); }
    void setPictureCheck(PictureCheck check) { pictureCheck_ = std::move(check); }
    // Called whenever what the window shows besides the field texts changes.
    void setViewChanged(std::function<void()> changed) { viewChanged_ = std::move(changed); }

    // LTIPOREGISTRO and LPROTOCOLLO: the packaged product's register.
    const std::string& registerTypeText() const { return registerType_; }
    const std::string& protocolText() const { return protocol_; }
    // The "delle lavorazioni" line and LMAX: the in-process stock ("" when there is none).
    std::string inProcessText() const;
    std::string maxText() const;
    bool maxShown() const { return maxShown_ && inProcess_.has_value(); }
    // The product's photo or DEFAULT.bmp; empty for none.
    const std::filesystem::path& photoFile() const { return photo_; }

    const std::optional<InProcessStock>& inProcess() const { return inProcess_; }
    const PackagingFigures& figures() const { return packaging_.figures; }
    // The records of the last confirmation, as written.
    const std::optional<PackagingSaveResult>& lastSave() const { return lastSave_; }

    // Types `values` (by control name) as a clerk would: every editable field in tab
    // order gets its value (when one is given) and is left. The control where the
    // cursor was sent back; nullopt when every field was accepted.
    std::optional<std::string> typeFields(const std::map<std::string, std::string>& values);

    // The "." buttons beside PRODAZ, PRODDO and POSFIS, and "Inserisce Nuovo Codice"
    // beside PRODAZ. Each returns the control that gets the cursor.
    std::string lookup(std::string_view control);
    std::string addNew(std::string_view control);

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    using Check = bool (PackagingLogic::*)();
    struct CheckStep {
        const char* control;
        Check check;
    };
    static const CheckStep kChecks[10];

    void reset();
    void changed();
    std::string text(std::string_view control) const; // trimmed, upper case, mask blanks removed
    std::optional<double> date() const;
    bool rebuildStockList(double day);
    void fillFromCompanyProduct();
    bool fail(const std::string& control, const std::string& message);
    bool failWithLookup(std::string_view control);

    // The confirmation's steps, in their order.
    bool checkDate();
    bool checkDocument();
    bool checkProduct();
    bool checkPlato();
    bool checkPackages();
    bool checkUnitQuantity();
    bool computePackaging();
    bool checkLossPosition();
    bool takeNote();
    bool checkPackagedInitialStock();

    Packaging packaging_;
    std::optional<InProcessStock> inProcess_;
    double listDate_ = 0; // the date L.DAT was last built for
    bool maxShown_ = false;
    std::string registerType_, protocol_;
    std::filesystem::path photo_;
    std::optional<PackagingSaveResult> lastSave_;
    std::string focus_;
    WindowOpener openWindow_;
    PictureCheck pictureCheck_;
    std::function<void()> viewChanged_;
};

} // namespace accise
