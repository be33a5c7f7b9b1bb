#pragma once
// The web addresses window (TFINDWEB): WEB.CFG entries 1-8, the addresses the link
// commands and the SEED buttons open.
#include "logic/masterdata/paths.h"

namespace accise {

class WebAddressesLogic : public ConfigEntriesLogic {
public:
    WebAddressesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);
    std::string title() const override { return "Indirizzi Web"; }
};

// Captions of the fields, by entry; entries 1-5 (and 8) belong to the live environment.
inline constexpr const char* kWebAddressCaptions[] = {
    "Banca Dati SEED",
    "Uffici Doganali dell'Unione Europea",
    "Tabella delle Accise in vigore nell'Unione Europea",
    "E.D.I. Ambiente Telematico Doganale (REALE)",
    "E.M.C.S. (REALE)",
    "Ambiente di Addestramento (PROVA)",
    "E.M.C.S. (PROVA/ADDESTRAMENTO)",
    "Pagina iniziale del sito dell'Agenzia delle Dogane",
};

} // namespace accise
