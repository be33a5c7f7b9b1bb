// The test signing program, "accise-cli flow verify" and the agency simulator as
// programs: signatures checked by the openssl command, and one call over real HTTPS.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "cli/cli_support.h"
#include "test_support.h"

using accise::testing::CliResult;
using accise::testing::runCli;
using accise::testing::runProgram;
using accise::testing::TempDir;
namespace fs = std::filesystem;

namespace {

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string flowFile(const std::string& name) { return readFile(fs::path(ACCISE_SOURCE_DIR) / "tests/data/flows" / name); }

std::string tool(const char* name) { return std::string(ACCISE_BINARY_DIR) + "/src/tools/" + name; }

bool haveProgram(const char* name) { return runProgram(std::string("command -v ") + name).exitCode == 0; }

// A copy of the signed file with one byte of the carried flow changed.
void tamper(const fs::path& from, const fs::path& to) {
    std::string bytes = readFile(from);
    const auto at = bytes.find("Bar Roma");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'C';
    writeFile(to, bytes);
}

#ifdef ACCISE_HAVE_CMS
TEST(FlowVerify, GoodAndTamperedSignatures) {
#ifndef ACCISE_HAVE_FIRMA
    GTEST_SKIP() << "accise-firma not built";
#else
    TempDir dir;
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    const fs::path flow = dir / "AB120315.C01";
    writeFile(flow, flowFile("one_movement.flow"));
    const CliResult sign = runProgram(tool("accise-firma") + " --batch " + q(flow) + " --out " + q(dir / "s.p7m"));
    ASSERT_EQ(sign.exitCode, 0) << sign.err;

    const CliResult good = runCli("flow verify " + q(dir / "s.p7m") + " --out " + q(dir / "extracted"));
    EXPECT_EQ(good.exitCode, 0) << good.out << good.err;
    EXPECT_NE(good.out.find("firma integra"), std::string::npos) << good.out;
    EXPECT_NE(good.out.find("firmato da: "), std::string::npos) << good.out;
    EXPECT_NE(good.out.find("FIRMA DI PROVA accise-firma"), std::string::npos) << good.out;
    EXPECT_NE(good.out.find("autofirmato"), std::string::npos) << good.out;
    EXPECT_EQ(readFile(dir / "extracted"), readFile(flow));

    tamper(dir / "s.p7m", dir / "t.p7m");
    const CliResult bad = runCli("flow verify " + q(dir / "t.p7m") + " --out " + q(dir / "t-extracted"));
    EXPECT_EQ(bad.exitCode, 1) << bad.out;
    EXPECT_NE(bad.out.find("firma non valida"), std::string::npos) << bad.out;
    EXPECT_FALSE(fs::exists(dir / "t-extracted"));

    const CliResult plain = runCli("flow verify " + q(flow));
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_NE(plain.out.find("non è una busta firmata"), std::string::npos) << plain.out;
    EXPECT_EQ(runCli("flow verify " + q(dir / "missing.p7m")).exitCode, 2);
#endif
}
#endif

#ifdef ACCISE_HAVE_FIRMA
TEST(Firma, SignatureVerifiedByOpensslAndKeptCertificate) {
    if (!haveProgram("openssl")) GTEST_SKIP() << "openssl command not installed";
    TempDir dir;
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    const fs::path flow = dir / "AB120315.C01";
    writeFile(flow, flowFile("every_kind_alcoda.flow"));
    ASSERT_EQ(runProgram(tool("accise-firma") + " --batch " + q(flow) + " --out " + q(dir / "a.p7m")).exitCode, 0);
    const fs::path cert = dir / "config/accise-firma/certificato-prova.pem";
    ASSERT_TRUE(fs::exists(cert));
    // The test key is its owner's alone, and no half-written copy is left beside it.
    const fs::path key = dir / "config/accise-firma/chiave-prova.pem";
    EXPECT_EQ(fs::status(key).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(key.string() + ".~nuovo"));

    // Checked against the test certificate as the only trusted one: signature and signer.
    const std::string verify = "openssl cms -verify -inform DER -binary -CAfile " + q(cert) + " -in ";
    const CliResult ok = runProgram(verify + q(dir / "a.p7m") + " -out " + q(dir / "content"));
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(readFile(dir / "content"), readFile(flow));

    tamper(dir / "a.p7m", dir / "b.p7m");
    EXPECT_NE(runProgram(verify + q(dir / "b.p7m") + " -out " + q(dir / "content2")).exitCode, 0);

    // A second signature uses the same certificate, created once.
    const std::string before = readFile(cert);
    ASSERT_EQ(runProgram(tool("accise-firma") + " --batch " + q(flow) + " --out " + q(dir / "c.p7m")).exitCode, 0);
    EXPECT_EQ(readFile(cert), before);
    EXPECT_EQ(runProgram(verify + q(dir / "c.p7m") + " -out " + q(dir / "content3")).exitCode, 0);
}

TEST(Firma, BatchUsesTheConfiguredFoldersOfTheWorkingFolder) {
    TempDir dir;
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    const fs::path work = dir / "demo";
    ASSERT_EQ(runCli("demo " + q(work)).exitCode, 0);
    const CliResult set = runCli("paths " + q(work) + " --signing-program " + q(tool("accise-firma")));
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("programma di firma: " + tool("accise-firma")), std::string::npos) << set.out;
    EXPECT_NE(runCli("paths " + q(work)).out.find(tool("accise-firma")), std::string::npos);

    const fs::path flow = work / "FLUSSI/dafirmare/AB120315.C01";
    writeFile(flow, flowFile("one_movement.flow"));
    const CliResult sign = runProgram("cd " + q(work) + " && " + tool("accise-firma") + " --batch " + q(flow));
    ASSERT_EQ(sign.exitCode, 0) << sign.err;
    EXPECT_TRUE(fs::exists(work / "FLUSSI/firmati/AB120315.C01.p7m")) << sign.out;
    EXPECT_EQ(runCli("flow verify " + q(work / "FLUSSI/firmati/AB120315.C01.p7m")).exitCode, 0);

    EXPECT_EQ(runProgram(tool("accise-firma") + " --out x").exitCode, 2);
    EXPECT_EQ(runProgram(tool("accise-firma") + " --batch " + q(dir / "missing")).exitCode, 2);
}
#endif

#ifdef ACCISE_HAVE_AGENCY_SIM
// The simulator as a process: started on a free port, stopped at the end of the test.
class RunningSimulator {
public:
    RunningSimulator(const fs::path& ca, const std::string& options) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(pipeFds[1], 1);
            ::close(pipeFds[0]);
            const std::string command = "exec " + tool("accise-agency-sim") + " --port 0 --ca-out " + q(ca) + " " + options;
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        FILE* out = ::fdopen(pipeFds[0], "r");
        char line[128] = {};
        if (out && std::fgets(line, sizeof line, out)) {
            unsigned p = 0;
            if (std::sscanf(line, "listening on %u", &p) == 1) port = static_cast<int>(p);
        }
        if (out) std::fclose(out);
    }
    ~RunningSimulator() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    int port = 0;

private:
    pid_t pid_ = -1;
};

TEST(AgencySimulator, PutAndGetOverLoopbackHttps) {
    if (!haveProgram("curl")) GTEST_SKIP() << "curl not installed";
    TempDir dir;
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    const fs::path flow = dir / "AB120315.C01";
    writeFile(flow, flowFile("one_movement.flow"));
#ifdef ACCISE_HAVE_FIRMA
    ASSERT_EQ(runProgram(tool("accise-firma") + " --batch " + q(flow) + " --out " + q(dir / "AB120315.C01.p7m")).exitCode, 0);
#else
    GTEST_SKIP() << "accise-firma not built";
#endif
    RunningSimulator sim(dir / "ca.pem", "--attachment swa --user AB12-00 --password segreta");
    ASSERT_GT(sim.port, 0);
    const std::string url = "https://localhost:" + std::to_string(sim.port) +
                            "/TelematicoFtpEjbHttpRouter/TelematicoFtpWsBindingImplService";

    const std::string base64 = runProgram("base64 -w0 " + q(dir / "AB120315.C01.p7m")).out;
    writeFile(dir / "put.xml",
              "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>"
              "<put xmlns=\"urn:accise-birra:simulatore\"><fileMsg_Content>" + base64 +
              "</fileMsg_Content><fileMsg_Nome>AB120315.C01.p7m</fileMsg_Nome></put></soapenv:Body></soapenv:Envelope>");
    writeFile(dir / "get.xml",
              "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>"
              "<get xmlns=\"urn:accise-birra:simulatore\"><fileName>AB120315.J01.p7m</fileName></get>"
              "</soapenv:Body></soapenv:Envelope>");
    const std::string curl = "curl -sS --max-time 20 -u AB12-00:segreta -H 'Content-Type: text/xml; charset=UTF-8' ";

    // The certificate is trusted only through the authority the simulator wrote.
    EXPECT_NE(runProgram(curl + "-H 'SOAPAction: \"put\"' --data-binary @" + q(dir / "put.xml") + " " + url).exitCode, 0);
    const std::string trusted = curl + "--cacert " + q(dir / "ca.pem") + " ";
    const CliResult put = runProgram(trusted + "-H 'SOAPAction: \"put\"' --data-binary @" + q(dir / "put.xml") + " " + url);
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_NE(put.out.find("successo"), std::string::npos) << put.out;

    const CliResult get = runProgram(trusted + "-i -H 'SOAPAction: \"get\"' --data-binary @" + q(dir / "get.xml") + " " + url);
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_NE(get.out.find("multipart/related"), std::string::npos) << get.out;
    const auto header = get.out.find("ALCODA AB120315.C01");
    ASSERT_NE(header, std::string::npos) << get.out;
    EXPECT_EQ(get.out[header + 42], '0') << get.out.substr(header, 60);

    const CliResult anonymous = runProgram("curl -s -o /dev/null -w '%{http_code}' --cacert " + q(dir / "ca.pem") +
                                           " -H 'SOAPAction: get' --data-binary @" + q(dir / "get.xml") + " " + url);
    EXPECT_EQ(anonymous.out, "401");
}

#ifdef ACCISE_HAVE_FIRMA
// A flow's whole life through the commands a script uses: created, signed, refused for
// the real environment that was never set, sent to a slow test service whose outcome
// is late (told as late, not as errors), and fetched later from the history.
TEST(FlowLife, CreateSignSendAndAskTheLateOutcomeAgain) {
    TempDir dir;
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    const fs::path work = dir / "demo";
    ASSERT_EQ(runCli("demo " + q(work)).exitCode, 0);
    std::string year;
    for (const auto& e : fs::directory_iterator(work / "REGISTRI"))
        if (e.path().extension() == ".RGM") year = std::max(year, e.path().stem().string());
    const CliResult create = runCli("flow create " + q(work) + " --year " + year + " --date 15/03/" + year + " --lines 0,1");
    ASSERT_EQ(create.exitCode, 0) << create.err;
    const std::string name = fs::path(create.out.substr(0, create.out.size() - 1)).filename().string();
    const CliResult sign = runProgram("cd " + q(work) + " && " + tool("accise-firma") + " --batch " +
                                      q(work / "FLUSSI/dafirmare" / name));
    ASSERT_EQ(sign.exitCode, 0) << sign.err;
    const fs::path signedFile = work / "FLUSSI/firmati" / (name + ".p7m");
    ASSERT_TRUE(fs::exists(signedFile));

    // The outcome is not ready for the first three requests, and every answer is slow.
    RunningSimulator sim(dir / "ca.pem", "--fail-get 3 --delay-ms 300");
    ASSERT_GT(sim.port, 0);
    writeFile(work / "DATI_GEN/SERVIZIO.INI", "HOST_PROVA=localhost\r\nPORTA_PROVA=" + std::to_string(sim.port) +
                                                  "\r\nCA_AGGIUNTIVA=" + (dir / "ca.pem").string() +
                                                  "\r\nTIMEOUT_SECONDI=30\r\n");

    const CliResult real = runCli("flow send " + q(work) + " " + q(signedFile) + " --env reale");
    EXPECT_NE(real.exitCode, 0);
    EXPECT_NE(real.err.find("L'AMBIENTE REALE NON E' IMPOSTATO"), std::string::npos) << real.err;

    const CliResult test = runCli("flow send " + q(work) + " " + q(signedFile) + " --env prova");
    EXPECT_EQ(test.exitCode, 1) << test.err;
    EXPECT_NE(test.err.find("successo"), std::string::npos) << test.err;
    EXPECT_NE(test.err.find("Tentativo di connessione N. 3"), std::string::npos) << test.err;
    EXPECT_NE(test.err.find("L'ESITO NON E' ANCORA DISPONIBILE"), std::string::npos) << test.err;
    EXPECT_EQ(test.err.find("Il file contiene errori."), std::string::npos) << test.err;

    const CliResult waiting = runCli("flow history " + q(work) + " --year " + year);
    ASSERT_EQ(waiting.exitCode, 0) << waiting.err;
    EXPECT_NE(waiting.out.find(name + "\t15/03/" + year + "\t2\t0\t0\t0\t0\tsi\tprova\t-\tIN ATTESA\n"),
              std::string::npos)
        << waiting.out;

    // Later the outcome is there: asked again by name, in the environment of the send.
    const CliResult later = runCli("flow outcome " + q(work) + " " + name);
    EXPECT_EQ(later.exitCode, 0) << later.err;
    EXPECT_NE(later.out.find("ESITO POSITIVO"), std::string::npos) << later.out;
    const CliResult done = runCli("flow history " + q(work) + " --year " + year);
    const auto row = done.out.find(name + "\t");
    ASSERT_NE(row, std::string::npos) << done.out;
    const std::string line = done.out.substr(row, done.out.find('\n', row) - row);
    // The registration number the agency gave the file, where "-" stood while waiting.
    EXPECT_NE(line.find("\tsi\tprova\t"), std::string::npos) << line;
    EXPECT_EQ(line.find("\tprova\t-"), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 15), "\tESITO POSITIVO") << line;
}
#endif
#endif

} // namespace
