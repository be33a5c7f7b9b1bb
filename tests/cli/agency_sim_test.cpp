// The agency simulator's request handling without a socket: the outcome of a flow,
// the SOAP calls put and get, the three deliveries of the outcome file, and the
// simulated failures.
#ifdef ACCISE_HAVE_AGENCY_SIM
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <fstream>
#include <iterator>

#include "agency-sim/agencyservice.h"
#include "agency-sim/outcome.h"
#include "agency-sim/soap.h"
#include "cms/cmssignature.h"
#include "test_support.h"

using namespace accise;
using namespace accise::agency;

namespace {

std::string flowFile(const std::string& name) {
    std::ifstream in(std::string(ACCISE_SOURCE_DIR) + "/tests/data/flows/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    const auto at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

const cms::Identity& signer() {
    static const cms::Identity identity = [] {
        cms::CertificateRequest r;
        r.commonName = "firmatario di prova";
        return cms::makeCertificate(r);
    }();
    return identity;
}

std::string signedFlow(const std::string& flow) { return cms::signAttached(flow, signer()); }

QByteArray putRequest(const std::string& p7m, const QString& name) {
    return QByteArray(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/soap/envelope/\"><S:Body>"
               "<t:put xmlns:t=\"urn:x\"><fileMsg_Content>") +
           QByteArray::fromStdString(p7m).toBase64() + "</fileMsg_Content><fileMsg_Nome>" + name.toUtf8() +
           "</fileMsg_Nome></t:put></S:Body></S:Envelope>";
}

QByteArray getRequest(const QString& name) {
    return "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>"
           "<get xmlns=\"urn:x\"><fileName>" + name.toUtf8() + "</fileName></get></soapenv:Body></soapenv:Envelope>";
}

Request call(const QByteArray& operation, const QByteArray& body) {
    Request r;
    r.soapAction = "\"" + operation + "\"";
    r.body = body;
    return r;
}

// The text of the first element of that local name in an XML answer.
QString element(const QByteArray& xml, const QString& name) {
    const QRegularExpression re(QStringLiteral("<(?:\\w+:)?%1[^>]*>([^<]*)</").arg(name));
    return re.match(QString::fromUtf8(xml)).captured(1);
}

// The outcome file of a get answer, however it was delivered.
QByteArray deliveredFile(const HttpAnswer& a) {
    if (!a.contentType.startsWith("multipart/related"))
        return QByteArray::fromBase64(element(a.body, QStringLiteral("fileMsg_Content")).toLatin1());
    const qsizetype cid = a.body.indexOf("Content-ID: <AB120315.J01.p7m>");
    if (cid < 0) return {};
    const qsizetype start = a.body.indexOf("\r\n\r\n", cid) + 4;
    return a.body.mid(start, a.body.indexOf("\r\n--MIMEBoundary_", start) - start);
}

TEST(AgencyOutcome, OutcomeNames) {
    EXPECT_EQ(outcomeNameOf("AB120315.C01.p7m"), "AB120315.J01.p7m");
    EXPECT_EQ(outcomeNameOf("AB120315.C07"), "AB120315.J07");
    EXPECT_EQ(outcomeNameOf("short.p7m"), "");
}

TEST(AgencyOutcome, WellFormedFlowsAreAccepted) {
    for (const char* name : {"one_movement.flow", "every_kind_alcoda.flow", "day_records_alcopp.flow"}) {
        const std::string flow = flowFile(name);
        const std::string sent = flow.substr(16, 12) + ".p7m";
        const Outcome o = buildOutcome(flow, sent, "20260000000042");
        ASSERT_TRUE(o.accepted) << name << "\n" << o.text;
        const auto lines = linesOf(o.text);
        ASSERT_EQ(lines.size(), 1u) << o.text;
        // The header as the client reads it: a profile, the number at 28-42, "0" at 43.
        const std::string& h = lines[0];
        EXPECT_TRUE(h.find("ALCODA") != std::string::npos || h.find("ALCOPP") != std::string::npos) << h;
        EXPECT_EQ(h.substr(27, 15), "020260000000042") << h;
        EXPECT_EQ(h[42], '0') << h;
        EXPECT_EQ(h.substr(43), " FLUSSO ACQUISITO");
    }
    EXPECT_NE(buildOutcome(flowFile("day_records_alcopp.flow"), "x.p7m", "1").text.find("ALCOPP"), std::string::npos);
}

TEST(AgencyOutcome, ProblemsBecomeDetailLinesNamingTheirLine) {
    const std::string good = flowFile("one_movement.flow");
    struct Case {
        const char* what;
        std::string flow;
        std::string sentAs;
        bool accepted;
        std::vector<std::string> details;
    };
    const std::vector<Case> cases = {
        {"bad date", replaced(good, "\t20140314\t\tIT\t", "\t20140231\t\tIT\t"), "AB120315.C01.p7m", false,
         {" Eriga 3: il campo 20 (\"20140231\") deve essere una data AAAAMMGG"}},
        {"head count and bare LF",
         replaced(replaced(good, "001 00003", "001 00004"), "NOTA: \t\t\t\t\r\n", "NOTA: \t\t\t\t\n"),
         "AB120315.C01.p7m", false,
         {" Eriga 3: termina con LF senza CR", " Eriga 1: la testata indica 00004 righe, il file ne ha 3"}},
        {"empty file", "", "AB120315.C01.p7m", false, {" Efile: il file e' vuoto"}},
        {"sent under another name", good, "AB120315.C02.p7m", true,
         {" Sriga 1: il nome nel record di testa (AB120315.C01) e' diverso dal nome del file inviato (AB120315.C02)"}},
    };
    for (const Case& c : cases) {
        const Outcome o = buildOutcome(c.flow, c.sentAs, "7");
        EXPECT_EQ(o.accepted, c.accepted) << c.what;
        const auto lines = linesOf(o.text);
        ASSERT_GE(lines.size(), 1u) << c.what;
        EXPECT_EQ(lines[0][42], c.accepted ? '0' : kRejected) << c.what << ": " << lines[0];
        EXPECT_EQ(lines[0].substr(27, 15), "000000000000007") << c.what;
        EXPECT_NE(lines[0].find("ALCODA"), std::string::npos) << c.what;
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), c.details) << c.what;
    }
}

TEST(AgencySoap, ReadsCallsWithAnyPrefixAndRefusesMismatches) {
    const SoapCall put = parseCall(putRequest("abc", QStringLiteral("A.p7m")), "text/xml", "\"put\"");
    EXPECT_TRUE(put.problem.isEmpty()) << put.problem.toStdString();
    EXPECT_EQ(put.operation, QStringLiteral("put"));
    EXPECT_EQ(put.params.value(QStringLiteral("fileMsg_Nome")), QStringLiteral("A.p7m"));
    EXPECT_EQ(QByteArray::fromBase64(put.params.value(QStringLiteral("fileMsg_Content")).toLatin1()), "abc");

    for (const char* action : {"urn:accise-birra:simulatore:put", "urn:x/put", ""})
        EXPECT_TRUE(parseCall(putRequest("abc", QStringLiteral("A.p7m")), "text/xml", action).problem.isEmpty()) << action;
    EXPECT_FALSE(parseCall(putRequest("abc", QStringLiteral("A.p7m")), "text/xml", "get").problem.isEmpty());
    EXPECT_FALSE(parseCall("<not xml", "text/xml", "put").problem.isEmpty());
    EXPECT_FALSE(parseCall("<a/>", "text/xml", "").problem.isEmpty());

    // MTOM: the bytes of a parameter in their own part.
    const QByteArray mtom =
        "--B1\r\nContent-Type: application/xop+xml; type=\"text/xml\"\r\nContent-ID: <root>\r\n\r\n"
        "<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"><e:Body><put>"
        "<fileMsg_Content><xop:Include xmlns:xop=\"http://www.w3.org/2004/08/xop/include\" href=\"cid:f1\"/>"
        "</fileMsg_Content><fileMsg_Nome>A.p7m</fileMsg_Nome></put></e:Body></e:Envelope>\r\n"
        "--B1\r\nContent-Type: application/octet-stream\r\nContent-ID: <f1>\r\n\r\n\x01\x02 bytes\r\n--B1--\r\n";
    const SoapCall m = parseCall(mtom, "multipart/related; boundary=B1; start=\"<root>\"; type=\"application/xop+xml\"", "put");
    EXPECT_TRUE(m.problem.isEmpty()) << m.problem.toStdString();
    EXPECT_EQ(QByteArray::fromBase64(m.params.value(QStringLiteral("fileMsg_Content")).toLatin1()), "\x01\x02 bytes");
}

TEST(AgencyService, PutThenGetInEveryDelivery) {
    const std::string flow = flowFile("every_kind_alcoda.flow");
    const QString name = QString::fromStdString(flow.substr(16, 12)) + QStringLiteral(".p7m");
    for (Attachment how : {Attachment::SwA, Attachment::Mtom, Attachment::Inline}) {
        ServiceOptions options;
        options.attachment = how;
        AgencyService service(options);
        const HttpAnswer put = service.handle(call("put", putRequest(signedFlow(flow), name)));
        ASSERT_EQ(put.status, 200);
        EXPECT_TRUE(element(put.body, QStringLiteral("return")).contains(QStringLiteral("successo"))) << put.body.toStdString();
        EXPECT_TRUE(put.body.contains("xmlns:ns=\"urn:accise-birra:simulatore\"")) << put.body.toStdString();

        const HttpAnswer get = service.handle(call("get", getRequest(QStringLiteral("AB120315.J01.p7m"))));
        ASSERT_EQ(get.status, 200) << get.body.toStdString();
        const QByteArray file = deliveredFile(get);
        EXPECT_EQ(file, service.outcome(QStringLiteral("AB120315.J01.p7m"))) << static_cast<int>(how);
        ASSERT_GT(file.size(), 43);
        EXPECT_EQ(file[42], '0') << file.toStdString();
        if (how == Attachment::Mtom) {
            EXPECT_TRUE(get.contentType.contains("application/xop+xml"));
        }
    }
}

TEST(AgencyService, RefusedPutsSayWhyAndKeepNoOutcome) {
    const std::string flow = flowFile("one_movement.flow");
    std::string tampered = signedFlow(flow);
    tampered[tampered.find("Bar Roma")] = 'C';
    struct Case {
        const char* what;
        QByteArray body;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"altered content", putRequest(tampered, QStringLiteral("AB120315.C01.p7m")), "firma"},
        {"not signed", putRequest(flow, QStringLiteral("AB120315.C01.p7m")), "firma"},
        {"unsigned name", putRequest(signedFlow(flow), QStringLiteral("AB120315.C01")), ".p7m"},
        {"folder in the name", putRequest(signedFlow(flow), QStringLiteral("../../AB120315.C01.p7m")), "nome"},
        {"no content", getRequest(QStringLiteral("x")).replace("get", "put"), "mancano"},
    };
    for (const Case& c : cases) {
        AgencyService service({});
        const HttpAnswer a = service.handle(call("put", c.body));
        const QString text = element(a.body, QStringLiteral("return"));
        EXPECT_EQ(a.status, 200) << c.what;
        EXPECT_TRUE(text.startsWith(QStringLiteral("ERRORE"))) << c.what << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("successo"))) << c.what;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.reason))) << c.what << ": " << text.toStdString();
        EXPECT_TRUE(service.outcome(QStringLiteral("AB120315.J01.p7m")).isEmpty()) << c.what;
    }
}

TEST(AgencyService, RejectedFlowIsReceivedWithItsErrors) {
    const std::string bad = replaced(flowFile("one_movement.flow"), "\t278.40\t", "\t278,40\t");
    AgencyService service({});
    const HttpAnswer put = service.handle(call("put", putRequest(signedFlow(bad), QStringLiteral("AB120315.C01.p7m"))));
    EXPECT_TRUE(element(put.body, QStringLiteral("return")).contains(QStringLiteral("successo")));
    const auto lines = linesOf(service.outcome(QStringLiteral("AB120315.J01.p7m")).toStdString());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][42], kRejected);
    EXPECT_EQ(lines[1].substr(0, 9), " Eriga 3:");
}

TEST(AgencyService, SimulatedFailuresCredentialsAndUnknownFiles) {
    const std::string flow = flowFile("one_movement.flow");
    const QByteArray put = putRequest(signedFlow(flow), QStringLiteral("AB120315.C01.p7m"));
    const QByteArray get = getRequest(QStringLiteral("AB120315.J01.p7m"));

    ServiceOptions failing;
    failing.failGet = 2;
    AgencyService flaky(failing);
    ASSERT_EQ(flaky.handle(call("put", put)).status, 200);
    EXPECT_EQ(flaky.handle(call("get", get)).status, 500);
    EXPECT_EQ(flaky.handle(call("get", get)).status, 500);
    EXPECT_EQ(flaky.handle(call("get", get)).status, 200);
    const HttpAnswer unknown = flaky.handle(call("get", getRequest(QStringLiteral("ZZ120315.J09.p7m"))));
    EXPECT_EQ(unknown.status, 500);
    EXPECT_TRUE(unknown.body.contains("Fault"));

    ServiceOptions faulty;
    faulty.fault = true;
    EXPECT_EQ(AgencyService(faulty).handle(call("put", put)).status, 500);

    ServiceOptions guarded;
    guarded.user = QStringLiteral("AB12-00");
    guarded.password = QStringLiteral("segreta");
    AgencyService locked(guarded);
    Request anonymous = call("put", put);
    EXPECT_EQ(locked.handle(anonymous).status, 401);
    Request wrong = anonymous;
    wrong.authorization = "Basic " + QByteArray("AB12-00:altra").toBase64();
    EXPECT_EQ(locked.handle(wrong).status, 401);
    Request right = anonymous;
    right.authorization = "Basic " + QByteArray("AB12-00:segreta").toBase64();
    EXPECT_EQ(locked.handle(right).status, 200);

    Request elsewhere = anonymous;
    elsewhere.path = "/altro";
    EXPECT_EQ(AgencyService({}).handle(elsewhere).status, 404);

    // A body past the limit is refused whole, before any parsing.
    Request huge = call("put", put);
    huge.body = QByteArray(kMaxRequestBytes + 1, 'x');
    EXPECT_EQ(AgencyService({}).handle(huge).status, 413);
}

TEST(AgencyService, StoreKeepsOutcomesAcrossRuns) {
    accise::testing::TempDir dir;
    ServiceOptions options;
    options.store = dir / "store";
    const std::string flow = flowFile("one_movement.flow");
    {
        AgencyService first(options);
        first.handle(call("put", putRequest(signedFlow(flow), QStringLiteral("AB120315.C01.p7m"))));
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "store/AB120315.C01.p7m"));
    AgencyService second(options);
    EXPECT_EQ(second.handle(call("get", getRequest(QStringLiteral("AB120315.J01.p7m")))).status, 200);
    // Registration numbers go on from the kept outcomes.
    second.handle(call("put", putRequest(signedFlow(flow), QStringLiteral("AB120315.C02.p7m"))));
    const QByteArray again = second.outcome(QStringLiteral("AB120315.J02.p7m"));
    ASSERT_GT(again.size(), 43);
    EXPECT_EQ(again.mid(27, 15).right(2), "02");
}

} // namespace
#endif
