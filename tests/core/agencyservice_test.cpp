// The agency service's requests, its settings and the outcome report.
#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/flow/agencysoap.h"
#include "core/flow/outcomereport.h"
#include "core/flow/servicesettings.h"
#include "support/test_support.h"

namespace accise {
namespace {
using testing::TempDir;

// An outcome header: 27 characters, the 15-character registration number, the
// outcome character, the free text.
std::string header(char outcome, std::string tail = " FLUSSO ELABORATO") {
    return "AB12ALCODA0315     ITAB12X " + std::string("000000000012345") + outcome + tail;
}

TEST(OutcomeReport, ReportLinesFromTheOutcomeFile) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> lines;
        std::string outcome;
    };
    const std::vector<Case> cases = {
        {"accepted with a warning and an error",
         header('0') + "\r\n SGiacenza non coerente\r\n ECodice accisa errato\r\n",
         {"N° REGISTRAZIONE DEL FILE: 000000000012345", "ESITO POSITIVO", " FLUSSO ELABORATO",
          "ACCETTATO CON SEGNALAZIONI: Giacenza non coerente", "ERRORE SCARTATO: Codice accisa errato"},
         kOutcomeAccepted},
        {"lines before the header ignored, rejected, LF only",
         "RIGA DI SERVIZIO\n E prima della testata\n" + header('1', "") + "\nRIGA LIBERA\n",
         {"N° REGISTRAZIONE DEL FILE: 000000000012345", "ESITO NEGATIVO - SCARTATO", "", "RIGA LIBERA"},
         kOutcomeRejected},
        {"header shorter than 43 characters",
         "ALCOPP 1234567890123456789012345",
         {"N° REGISTRAZIONE DEL FILE: 12345", "ESITO NEGATIVO - SCARTATO", ""},
         kOutcomeRejected},
        {"detail of an unknown kind kept as it stands, empty line kept",
         header('0', "") + "\r\n X altro\r\n\r\n",
         {"N° REGISTRAZIONE DEL FILE: 000000000012345", "ESITO POSITIVO", "", " X altro", ""},
         kOutcomeAccepted},
        {"Windows-1252 text and control bytes",
         header('0', "") + "\r\n Equantit\xE0\x01 \x02\tok\r\n",
         {"N° REGISTRAZIONE DEL FILE: 000000000012345", "ESITO POSITIVO", "", "ERRORE SCARTATO: quantità \tok"},
         kOutcomeAccepted},
        {"empty file", "", {kDetailsMissing1, kDetailsMissing2, kNoHeaderLine}, kOutcomeMissing},
        {"binary without header", std::string("\0\x01\xFF\x80PK\r\n\0", 9),
         {kDetailsMissing1, kDetailsMissing2, kNoHeaderLine}, kOutcomeMissing},
    };
    for (const Case& c : cases) {
        const OutcomeReport report = buildOutcomeReport(c.file);
        EXPECT_EQ(report.lines, c.lines) << c.name;
        EXPECT_EQ(report.outcome, c.outcome) << c.name;
    }
}

TEST(OutcomeReport, HugeFileIsReadInOnePass) {
    std::string file = header('0') + "\r\n";
    for (int i = 0; i < 200000; ++i) file += " Sriga " + std::to_string(i) + "\r\n";
    const OutcomeReport report = buildOutcomeReport(file);
    ASSERT_EQ(report.lines.size(), 200003u);
    EXPECT_EQ(report.lines.back(), "ACCETTATO CON SEGNALAZIONI: riga 199999");
}

TEST(OutcomeReport, ReportFileIsWindows1252WithCrLf) {
    EXPECT_EQ(reportFileText({"N° 1", ""}), "N\xB0 1\r\n\r\n");
}

TEST(AgencySoap, PutAndGetEnvelopes) {
    EXPECT_EQ(putEnvelope("urn:x", std::string("AB\0\xFF", 4), "AB120315.C01.p7m"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
              "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xmlns:tns=\"urn:x\"><soapenv:Body><tns:put>"
              "<fileMsg_Content xsi:type=\"xsd:base64Binary\">QUIA/w==</fileMsg_Content>"
              "<fileMsg_Nome xsi:type=\"xsd:string\">AB120315.C01.p7m</fileMsg_Nome>"
              "</tns:put></soapenv:Body></soapenv:Envelope>");
    EXPECT_EQ(getEnvelope("urn:a&\"b", "A<B>.J01.p7m"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
              "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xmlns:tns=\"urn:a&amp;&quot;b\"><soapenv:Body><tns:get>"
              "<fileName xsi:type=\"xsd:string\">A&lt;B&gt;.J01.p7m</fileName>"
              "</tns:get></soapenv:Body></soapenv:Envelope>");
}

TEST(AgencySoap, Base64AndNamesAndCredentialsRule) {
    const std::vector<std::pair<std::string, std::string>> base64 = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}, {"\xFB\xFF", "+/8="}};
    for (const auto& [in, out] : base64) EXPECT_EQ(base64Encode(in), out) << in;
    EXPECT_EQ(outcomeFileName("AB120315.C01.p7m"), "AB120315.J01.p7m");
    EXPECT_EQ(outcomeFileName("SHORT"), "SHORT");
    EXPECT_TRUE(usesHttpCredentials("MRARSS-00-01"));
    EXPECT_FALSE(usesHttpCredentials("MRARSS-01"));
    EXPECT_FALSE(usesHttpCredentials(""));
}

TEST(ServiceSettings, DefaultsValuesAndRefusedValues) {
    TempDir dir;
    const Folders folders = Folders::of(dir.path() / "w", dir.path() / "t");
    folders.create();
    ServiceSettings s = readServiceSettings(folders);
    EXPECT_EQ(s.endpoint(AgencyEnvironment::Test),
              "https://localhost:8443/TelematicoFtpEjbHttpRouter/TelematicoFtpWsBindingImplService");
    EXPECT_EQ(s.targetNamespace, "urn:accise-birra:simulatore");
    EXPECT_EQ(s.timeoutSeconds, 60);
    EXPECT_TRUE(s.invalidKey.empty());
    // No default for the real environment: a real send must be refused, saying where to set it.
    EXPECT_FALSE(s.realConfigured());
    EXPECT_NE(realEnvironmentProblem(s).find("\"Servizio telematico\""), std::string::npos);
    EXPECT_NE(realEnvironmentProblem(s).find("HOST_REALE"), std::string::npos);

    writeWholeFile(folders.general(kServiceSettingsFile),
                   "HOST_PROVA=prova.example\r\nPORTA_PROVA=9443\r\nHOST_REALE=reale.example\r\nPORTA_REALE=443\r\n"
                   "NAMESPACE=urn:agenzia\r\nCA_AGGIUNTIVA=/etc/ca.pem\r\nTIMEOUT_SECONDI=5\r\n");
    s = readServiceSettings(folders);
    EXPECT_EQ(s.endpoint(AgencyEnvironment::Test),
              "https://prova.example:9443/TelematicoFtpEjbHttpRouter/TelematicoFtpWsBindingImplService");
    EXPECT_EQ(s.endpoint(AgencyEnvironment::Real),
              "https://reale.example:443/TelematicoFtpEjbHttpRouter/TelematicoFtpWsBindingImplService");
    EXPECT_EQ(s.targetNamespace, "urn:agenzia");
    // The extra CA of the test environment vouches for no real host.
    EXPECT_EQ(s.extraCa(AgencyEnvironment::Test), "/etc/ca.pem");
    EXPECT_EQ(s.extraCa(AgencyEnvironment::Real), "");
    EXPECT_EQ(s.timeoutSeconds, 5);
    EXPECT_TRUE(s.invalidKey.empty());
    EXPECT_TRUE(realEnvironmentProblem(s).empty());

    // The demo's old file: both environments at the simulator is no real environment.
    writeWholeFile(folders.general(kServiceSettingsFile),
                   "HOST_PROVA=localhost\r\nPORTA_PROVA=8443\r\nHOST_REALE=localhost\r\nPORTA_REALE=8443\r\n");
    EXPECT_NE(readServiceSettings(folders).realConfigured(), true);
    EXPECT_NE(realEnvironmentProblem(readServiceSettings(folders)).find("COINCIDE"), std::string::npos);

    const std::vector<std::pair<std::string, std::string>> refused = {
        {"PORTA_PROVA=0", "PORTA_PROVA"},          {"PORTA_REALE=70000", "PORTA_REALE"},
        {"HOST_REALE=user@evil.example", "HOST_REALE"}, {"HOST_PROVA=a.example/x", "HOST_PROVA"},
        {"TIMEOUT_SECONDI=dieci", "TIMEOUT_SECONDI"},
    };
    for (const auto& [line, key] : refused) {
        writeWholeFile(folders.general(kServiceSettingsFile), line + "\r\n");
        EXPECT_EQ(readServiceSettings(folders).invalidKey, key) << line;
    }
    EXPECT_TRUE(isLocalHost("localhost"));
    EXPECT_TRUE(isLocalHost("127.0.0.1"));
    EXPECT_FALSE(isLocalHost("localhost.example"));
}

} // namespace
} // namespace accise
