#include "core/tables/company.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/records/tablerecord.h"
#include "test_support.h"

namespace accise {
namespace {

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void touch(const fs::path& file, const std::string& bytes = {}) { writeWholeFile(file, bytes); }

class Company : public ::testing::Test {
protected:
    Company() : folders(Folders::of(dir.path(), dir / "temp")) { folders.create(); }

    AddressRecord completeCompany() const {
        AddressRecord c = blankAddress();
        c.id1 = "IT00MIA00012X";
        c.name1 = "Birrificio Prova Srl";
        c.postcode2 = "ALCODA";
        c.user_code = "AB12";
        c.auth_type = "1";
        return c;
    }

    // Company, application paths and web addresses all complete.
    void writeComplete() {
        writeCompany(folders, completeCompany());
        writeApplConfig(folders, {"C:\\FV\\FirmaVerifica.exe", "C:\\FV\\dafirmare\\", "C:\\FV\\firmati\\",
                                  "C:\\EMCS\\"});
        writeWebConfig(folders, {"seed", "uffici", "accise", "edi", "emcs", "prova", "emcs-prova", "home"});
    }

    testing::TempDir dir;
    Folders folders;
};

TEST_F(Company, MissingEmptyAndDamagedCompanyFile) {
    EXPECT_FALSE(readCompany(folders).has_value());

    touch(folders.company());
    const auto empty = readCompany(folders);
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(encodeAddress(*empty), encodeAddress(blankAddress()));
    const Readiness r = checkReadiness(folders);
    EXPECT_FALSE(r.ready);
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages.front(), "NON SONO STATI COMPILATI I DATI AZIENDALI");

    // Cut short: not a blank company, an error that names the file.
    touch(folders.company(), std::string(100, ' '));
    EXPECT_THROW(readCompany(folders), IoError);
    EXPECT_THROW(checkReadiness(folders), IoError);
}

TEST_F(Company, WrittenPaddedReadTrimmed) {
    AddressRecord c = completeCompany();
    c.name1 = "  Birrificio Prova Srl ";
    writeCompany(folders, c);

    const std::string bytes = fileBytes(folders.company());
    ASSERT_EQ(bytes.size(), kAddressSize);
    EXPECT_EQ(static_cast<unsigned char>(bytes[42]), 100); // the denomination is padded to its width
    EXPECT_EQ(bytes.substr(43 + 23, 77), std::string(77, ' '));

    const auto back = readCompany(folders);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name1, "Birrificio Prova Srl");
    EXPECT_EQ(back->id1, "IT00MIA00012X");
    EXPECT_EQ(back->user_code, "AB12");
}

TEST_F(Company, NextFreeSiteNumber) {
    EXPECT_EQ(nextFreeSiteNumber(folders), "002");
    touch(folders.site(2));
    touch(folders.site(3));
    EXPECT_EQ(nextFreeSiteNumber(folders), "004");
    fs::remove(folders.site(2));
    EXPECT_EQ(nextFreeSiteNumber(folders), "002"); // a gap is filled first

    for (int n = 2; n <= 999; ++n) touch(folders.site(n));
    EXPECT_EQ(nextFreeSiteNumber(folders), "");
    fs::remove(folders.site(999));
    EXPECT_EQ(nextFreeSiteNumber(folders), "999");
}

TEST_F(Company, SitesAreNamedByTheirNumberAndNeverReachTheCompany) {
    writeCompany(folders, completeCompany());
    const std::string companyBytes = fileBytes(folders.company());

    AddressRecord site = blankAddress();
    site.user_code = "005";
    site.id2 = "IT00MIV00099Y";
    site.name2 = "Magazzino Nord";
    writeSite(folders, site);
    ASSERT_EQ(fileBytes(folders.site(5)).size(), kAddressSize);
    const auto back = readSite(folders, 5);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name2, "Magazzino Nord");
    EXPECT_EQ(back->user_code, "005");
    EXPECT_FALSE(readSite(folders, 6).has_value());
    EXPECT_EQ(nextFreeSiteNumber(folders), "002");

    for (const char* bad : {"001", "000", "1", "02", "abc", "", "../X", "1000"}) {
        site.user_code = bad;
        EXPECT_THROW(writeSite(folders, site), std::invalid_argument) << '"' << bad << '"';
    }
    EXPECT_THROW(readSite(folders, 1), std::invalid_argument);
    EXPECT_EQ(fileBytes(folders.company()), companyBytes);
}

TEST_F(Company, AlcoppProfile) {
    const struct {
        const char* profile;
        bool alcopp;
    } cases[] = {{"ALCOPP", true}, {"ALCOPP    ", true}, {"X ALCOPP", true},
                 {"ALCODA", false}, {"", false},        {"alcopp", false}};
    for (const auto& c : cases) {
        AddressRecord company = completeCompany();
        company.postcode2 = c.profile;
        EXPECT_EQ(isAlcopp(company), c.alcopp) << c.profile;
        writeCompany(folders, company);
        EXPECT_EQ(checkReadiness(folders).alcopp, c.alcopp) << c.profile;
    }
}

TEST_F(Company, CompleteDataIsReady) {
    writeComplete();
    const Readiness r = checkReadiness(folders);
    EXPECT_TRUE(r.ready);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_FALSE(r.alcopp);
    EXPECT_EQ(r.company.id1, "IT00MIA00012X");
    EXPECT_EQ(r.company.name1, "Birrificio Prova Srl"); // the live record is trimmed
}

TEST_F(Company, AuthorisationTypeDecidesWhetherCompanyDataAreComplete) {
    writeComplete();
    const struct {
        const char* auth;
        bool ready;
    } cases[] = {{"1", true}, {"2", true}, {"3", false}, {"", false}, {"0", false}};
    for (const auto& c : cases) {
        AddressRecord company = completeCompany();
        company.auth_type = c.auth;
        writeCompany(folders, company);
        const Readiness r = checkReadiness(folders);
        EXPECT_EQ(r.ready, c.ready) << '"' << c.auth << '"';
        if (!c.ready) {
            EXPECT_EQ(r.messages, std::vector<std::string>{kCompanyMissing});
        }
    }
}

TEST_F(Company, WebEntryEightIsOptionalTheOthersAreRequired) {
    writeComplete();
    WebAddresses web = readWebConfig(folders);
    web[7] = "";
    writeWebConfig(folders, web);
    EXPECT_TRUE(checkReadiness(folders).ready);

    for (std::size_t i = 0; i < 7; ++i) {
        WebAddresses missingOne = web;
        missingOne[i] = "   "; // blanks only count as empty
        writeWebConfig(folders, missingOne);
        const Readiness r = checkReadiness(folders);
        EXPECT_FALSE(r.ready) << "entry " << i + 1;
        EXPECT_EQ(r.messages, std::vector<std::string>{kWebAddressesMissing}) << "entry " << i + 1;
    }
}

TEST_F(Company, EveryApplicationPathIsRequired) {
    writeComplete();
    const ApplPaths full = readApplConfig(folders);
    for (std::size_t i = 0; i < 4; ++i) {
        ApplPaths missingOne = full;
        missingOne[i] = "";
        writeApplConfig(folders, missingOne);
        EXPECT_EQ(checkReadiness(folders).messages, std::vector<std::string>{kApplPathsMissing}) << i + 1;
    }
}

TEST_F(Company, FirstStartStatusTextAndAllThreeMessages) {
    const StatusRefresh s = statusText(folders);
    EXPECT_EQ(s.text, dir.path().string() + "   *** " + std::string(18, ' ') + " - " + std::string(10, ' '));

    // UTENTE.001 now holds one blank record: code 0, every text at its full width of spaces.
    const std::string bytes = fileBytes(folders.company());
    ASSERT_EQ(bytes.size(), kAddressSize);
    EXPECT_EQ(bytes.substr(0, 4), std::string(4, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 18);
    EXPECT_EQ(bytes.substr(5, 18), std::string(18, ' '));
    EXPECT_EQ(static_cast<unsigned char>(bytes[440]), 10);
    EXPECT_EQ(bytes.substr(441, 10), std::string(10, ' '));
    EXPECT_EQ(static_cast<unsigned char>(bytes[603]), 1);
    EXPECT_EQ(bytes[604], ' ');

    EXPECT_FALSE(s.readiness.ready);
    EXPECT_EQ(s.readiness.messages,
              (std::vector<std::string>{"NON SONO STATI COMPILATI I DATI AZIENDALI",
                                        "NON SONO STATI INDICATI I PERCORSI DELLE APPLICAZIONI",
                                        "NON SONO STATI INDICATI I PERCORSI WEB"}));
    // The check reads the configuration; it does not create it.
    EXPECT_FALSE(fileExists(folders.applConfig()));
    EXPECT_FALSE(fileExists(folders.webConfig()));
}

TEST_F(Company, StatusTextShowsExciseCodeAndProfilePadded) {
    writeComplete();
    AddressRecord c = completeCompany();
    c.postcode2 = "ALCOPP";
    writeCompany(folders, c);
    const StatusRefresh s = statusText(folders);
    EXPECT_EQ(s.text, dir.path().string() + "   *** IT00MIA00012X      - ALCOPP    ");
    EXPECT_TRUE(s.readiness.ready);
    EXPECT_TRUE(s.readiness.alcopp);

    // An existing zero-length UTENTE.001 is left as it is and shown blank.
    touch(folders.company());
    EXPECT_EQ(statusText(folders).text,
              dir.path().string() + "   *** " + std::string(18, ' ') + " - " + std::string(10, ' '));
    EXPECT_EQ(fs::file_size(folders.company()), 0u);
}

TEST_F(Company, ConfigurationFiles) {
    // Missing: all entries empty, nothing created.
    EXPECT_EQ(readApplConfig(folders), ApplPaths{});
    EXPECT_EQ(readWebConfig(folders), WebAddresses{});
    EXPECT_FALSE(fileExists(folders.webConfig()));

    // The editing windows create the file with one blank table record.
    ensureConfigFile(folders.webConfig());
    EXPECT_EQ(fileBytes(folders.webConfig()), encodeTable(blankTable()));
    touch(folders.applConfig());
    ensureConfigFile(folders.applConfig());
    EXPECT_EQ(fs::file_size(folders.applConfig()), kTableSize);

    // Saving the entries keeps the record's other fields, and an existing file is not reset.
    TableRecord stored = blankTable();
    stored.extra[0] = "kept";
    stored.nums[3] = 2.5;
    writeConfigRecord(folders.applConfig(), stored);
    writeApplConfig(folders, {"a", " b ", "c", "d"});
    ensureConfigFile(folders.applConfig());
    const TableRecord back = readConfigRecord(folders.applConfig());
    EXPECT_EQ(back.extra[0], "kept");
    EXPECT_EQ(back.nums[3], 2.5);
    EXPECT_EQ(back.col[4], "");
    EXPECT_EQ(readApplConfig(folders), (ApplPaths{"a", "b", "c", "d"}));
    // Relative entries are taken from the working folder; a bare program name is not.
#ifdef _WIN32
    const std::string absolute = "C:/abs/firmati/"; // "/abs" alone names a folder of the working drive
#else
    const std::string absolute = "/abs/firmati/";
#endif
    writeApplConfig(folders, {"firma.exe", "FLUSSI/dafirmare/", absolute, "emcs"});
    const fs::path base = fs::absolute(folders.working);
    EXPECT_EQ(resolvedApplPaths(folders),
              (ApplPaths{"firma.exe", (base / "FLUSSI/dafirmare/").string(), absolute, (base / "emcs").string()}));
    writeApplConfig(folders, {"bin/firma.exe", "", "", ""});
    EXPECT_EQ(resolvedApplPaths(folders)[0], (base / "bin/firma.exe").string());
    EXPECT_EQ(resolvedApplPaths(folders)[1], "");
    const std::string bytes = fileBytes(folders.applConfig());
    ASSERT_EQ(bytes.size(), kTableSize);
    EXPECT_EQ(static_cast<unsigned char>(bytes[tableColumnOffset(1)]), kTableTextWidth); // padded
}

} // namespace
} // namespace accise
