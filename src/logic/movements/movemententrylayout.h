#pragma once
// What the movement window shows, as a function of the values that decide it: the
// movement type, the document type, the reason, the product and its measuring unit,
// the tax position and bulk or packaged. The window recomputes it whenever one of
// them is accepted; the Qt dialog only applies it.
#include <optional>
#include <string>

#include "core/books/movementcalc.h"

namespace accise {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class MovementKind { None, Load, Unload };

struct LayoutInputs {
    std::string TIPMOV, TIPDOC, CAUMOV, PRODDO, POSFIS, TIPSTO; // trimmed, upper case
    std::optional<MeasureUnit> unit; // of the accepted product; nullopt before one is accepted
};

struct MovementLayout {
    MovementKind kind = MovementKind::None;
    std::string caption;      // "Movimento di CARICO" / "Movimento di SCARICO"
    std::optional<Rgb> colour; // the window's background
    std::string movementLabel; // LMOVIMENTO: "CARICO" / "SCARICO"
    std::string dateLabel;     // "Data carico" / "Data scarico"
    bool labelsGreen = false;  // LMOVIMENTO and the date label: green for a load, red for an unload
    std::string partnerLabel;  // "Mittente" / "Destinatario"
    std::string countryLabel;  // "Paese di provenienza" / "Paese di destinazione"

    bool counterShown = false;    // INTER1, INTER2 (rule 1)
    bool cumulativeShown = false; // DOCCUM (rule 2)
    bool documentShown = true;    // DATDOC and MITDES with its buttons (rule 4)
    bool numdocShown = true;      // NUMDOC (rules 4 and 6)
    bool guaranteeShown = false;  // DOUBL8 (rule 5)
    bool eadShown = false;        // NPRDAA, NILODD, NUMCPR (rule 6)
    bool eadNumberFixed = false;  // NPRDAA set to 1 and disabled (rule 6)
    bool platoShown = true;       // DOUBL5 and DOUBL2 (rule 9)
    bool exciseShown = true;      // DOUBL7 (rules 7, 9, 10)
    std::string exciseLabel;      // "Accisa", "Accisa sospesa", "Accisa da dichiarare nel riepilogo dei tributi"
    std::string totalLabel;       // "Totale quantità", "Totale litri", "Totale KG." (rule 9)
    bool packagedShown = false;   // INTER3, DOUBL6 (rule 11)
    bool totalEditable = true;    // DOUBL1_3: typed for bulk, computed for packaged
    std::string bulkCaption;      // DTIPSTO: "Sfuso" / "Condizionato" / ""
    bool stockShown = false;      // LMAX: only for an unload
};

MovementLayout movementLayout(const LayoutInputs& in);

// What accepting a value puts into other fields (rules 3, 6 and 9); nullopt leaves
// the field as it is.
std::optional<std::string> fixedPartner(const std::string& tipdoc);     // MITDES
std::optional<std::string> fixedEadNumber(const std::string& tipdoc);   // NPRDAA
std::optional<std::string> taxPositionForUnit(MeasureUnit unit, const std::string& posfis); // POSFIS

// The layout's texts.
namespace movementtexts {
inline constexpr const char* kLoadCaption = "Movimento di CARICO";
inline constexpr const char* kUnloadCaption = "Movimento di SCARICO";
inline constexpr Rgb kLoadColour{231, 254, 254};
inline constexpr Rgb kUnloadColour{245, 241, 188};
inline constexpr const char* kExcise = "Accisa";
inline constexpr const char* kExciseSuspended = "Accisa sospesa";
inline constexpr const char* kExciseDeclared = "Accisa da dichiarare nel riepilogo dei tributi";
inline constexpr const char* kTotalQuantity = "Totale quantità";
inline constexpr const char* kTotalLitres = "Totale litri";
inline constexpr const char* kTotalKilograms = "Totale KG.";
inline constexpr const char* kBulk = "Sfuso";
inline constexpr const char* kPackaged = "Condizionato";
inline constexpr const char* kCumulative = "CUMULATIVO";
inline constexpr const char* kVariousRecipients = "DESTINATARI VARI";
inline constexpr const char* kNoExciseTaxPosition = "004";
} // namespace movementtexts

} // namespace accise
