#pragma once
// The data folders, passed as a value to everything that touches a file, and the
// names of the files of the catalogue.
#include <filesystem>
#include <string>
#include <string_view>

namespace accise {

namespace fs = std::filesystem;

struct Folders {
    fs::path working;     // the shared working folder
    fs::path generalData; // working/DATI_GEN: company, configuration, code tables, address books
    fs::path registers;   // working/REGISTRI: register files, initial stocks, duty records
    fs::path temp;        // this workstation's work files

    // The folders of a working folder, with the given temp folder.
    static Folders of(const fs::path& working, const fs::path& temp);
    // With this workstation's default temp folder.
    static Folders of(const fs::path& working);

    // Creates the missing folders in the order temp, general data, registers.
    void create() const;

    fs::path general(std::string_view name) const { return generalData / std::string(name); }
    fs::path inRegisters(std::string_view name) const { return registers / std::string(name); }
    fs::path inTemp(std::string_view name) const { return temp / std::string(name); }

    fs::path company() const { return general("UTENTE.001"); }
    fs::path site(int number) const;                        // UTENTE.nnn
    fs::path applConfig() const { return general("APPL.CFG"); }
    fs::path webConfig() const { return general("WEB.CFG"); }
    fs::path table(std::string_view name) const;            // <name>.TAB
    fs::path structure(std::string_view name) const;        // <name>.STR
    fs::path productList(int registerNumber) const;         // <n>_TA20.PRT
    fs::path addressBook(char kind) const;                  // INDIRIZZI_<kind>.DAT
    fs::path brewSettings() const { return general("COSTANTI.DAT"); }
    fs::path registerFile(int year) const;                  // <yyyy>.RGM
    fs::path dutyFile(int year) const;                      // <yyyy>.DER
    fs::path guaranteeFile(int year) const;                 // <yyyy>.GAR
    fs::path initialStocks() const { return inRegisters("GIACENZE.DAT"); }
};

// This workstation's temp folder: C:\TEMP_BIRRA on Windows; elsewhere
// $XDG_CACHE_HOME/accise-birra/TEMP_BIRRA (~/.cache/... when the variable is unset).
fs::path defaultTempFolder();

// Flow files: <user code><MMDD>.C<nn>.
// The next progressive for a date: 1 + the highest nn among the files of `signedFolder`
// whose names begin with <user code><MMDD>.C; 1 when there are none.
int nextFlowProgressive(const fs::path& signedFolder, std::string_view userCode, double flowDate);
// MMDD.Cnn
std::string flowLabel(int number, double flowDate);
std::string flowFileName(std::string_view userCode, int number, double flowDate);

} // namespace accise
