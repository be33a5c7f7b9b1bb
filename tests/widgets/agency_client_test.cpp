// The agency service client against a local HTTPS server over loopback: the request
// it sends, the three ways a file comes back, the credentials rule, faults, broken
// replies, a server that never answers, an untrusted certificate, and the
// transmission logic's retry of the outcome over the real client.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include <QCoreApplication>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTest>

#include "core/files/recordfile.h"
#include "core/flow/agencysoap.h"
#include "core/flow/servicesettings.h"
#include "core/tables/company.h"
#include "logic/telematic/transmissionwindow.h"
#include "logic/window_fixtures.h"
#include "qt/telematic/agencyclient.h"
#include "qt/telematic/soapreply.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

const QString kTlsDir = QStringLiteral(ACCISE_SOURCE_DIR "/tests/data/tls/");

struct Request {
    QByteArray head; // request line and headers
    QByteArray body;
    QByteArray header(const QByteArray& name) const {
        for (const QByteArray& line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower()) return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

struct Response {
    int status = 200;
    QByteArray contentType = "text/xml; charset=utf-8";
    QByteArray body;
    bool silent = false; // never answers
};

// Answers each request with the next scripted response.
class TestServer {
public:
    std::deque<Response> responses;
    std::vector<Request> requests;

    TestServer() {
        QFile certFile(kTlsDir + "localhost.pem"), keyFile(kTlsDir + "localhost.key");
        certFile.open(QIODevice::ReadOnly);
        keyFile.open(QIODevice::ReadOnly);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(&certFile, QSsl::Pem));
        tls.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa, QSsl::Pem));
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        server_.setSslConfiguration(tls);
        QObject::connect(&server_, &QTcpServer::pendingConnectionAvailable, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) serve(socket);
        });
        listening = server_.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return server_.serverPort(); }
    bool listening = false;

private:
    void serve(QTcpSocket* socket) {
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) return;
            Request r{buffer->left(end), {}};
            const qsizetype length = r.header("Content-Length").toLongLong();
            if (buffer->size() < end + 4 + length) return;
            r.body = buffer->mid(end + 4, length);
            buffer->clear();
            requests.push_back(r);
            Response response = responses.empty() ? Response{404, "text/plain", "nessuna risposta prevista"}
                                                  : responses.front();
            if (!responses.empty()) responses.pop_front();
            if (response.silent) return;
            QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " X\r\nContent-Type: " +
                             response.contentType + "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                             "\r\nConnection: close\r\n\r\n" + response.body;
            socket->write(out);
            socket->disconnectFromHost();
        });
    }
    QSslServer server_;
};

QByteArray envelope(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
           "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>" +
           body + "</soapenv:Body></soapenv:Envelope>";
}

Response putAnswer(const QByteArray& text) {
    return {200, "text/xml; charset=utf-8", envelope("<ns:putResponse xmlns:ns=\"urn:x\"><return>" + text +
                                                     "</return></ns:putResponse>")};
}

Response fault(const QByteArray& text) {
    return {500, "text/xml; charset=utf-8",
            envelope("<soapenv:Fault><faultcode>soapenv:Server</faultcode><faultstring>" + text +
                     "</faultstring></soapenv:Fault>")};
}

// The outcome file in each of the three ways `get` may deliver it.
Response getAnswer(const std::string& style, const QByteArray& file) {
    if (style == "inline")
        return {200, "text/xml", envelope("<ns:getResponse xmlns:ns=\"urn:x\"><return>ok</return>"
                                          "<fileMsg_Nome>A.J01.p7m</fileMsg_Nome><fileMsg_Content>" +
                                          file.toBase64() + "</fileMsg_Content></ns:getResponse>")};
    const QByteArray boundary = "MIME_boundary";
    QByteArray root, rootType, partHeaders;
    if (style == "swa") {
        root = envelope("<ns:getResponse xmlns:ns=\"urn:x\"><return href=\"cid:esito\">ok</return></ns:getResponse>");
        rootType = "text/xml; charset=UTF-8";
        partHeaders = "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: binary\r\n"
                      "Content-ID: <esito>\r\n";
    } else {
        root = envelope("<ns:getResponse xmlns:ns=\"urn:x\"><return><xop:Include "
                        "xmlns:xop=\"http://www.w3.org/2004/08/xop/include\" href=\"cid:esito%40sim\"/>"
                        "</return></ns:getResponse>");
        rootType = "application/xop+xml; charset=UTF-8; type=\"text/xml\"";
        partHeaders = "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
                      "Content-ID: <esito@sim>\r\n";
    }
    const QByteArray part2 = style == "swa" ? file : file.toBase64();
    QByteArray body = "--" + boundary + "\r\nContent-Type: " + rootType + "\r\nContent-ID: <root>\r\n\r\n" + root +
                      "\r\n--" + boundary + "\r\n" + partHeaders + "\r\n" + part2 + "\r\n--" + boundary + "--\r\n";
    const QByteArray type = style == "swa" ? "multipart/related; type=\"text/xml\"; start=\"<root>\"; boundary=\"" +
                                                 boundary + "\""
                                           : "multipart/related; type=\"application/xop+xml\"; boundary=" +
                                                 boundary + "; start=\"<root>\"; start-info=\"text/xml\"";
    return {200, type, body};
}

struct ClientFixture : ::testing::Test {
    WorkingFolder work;
    TestServer server;
    QtAgencyService client{work.folders};

    void SetUp() override {
        // Wine's Schannel has no server side: the test server's handshakes fail there.
        if (testing::runningUnderWine()) GTEST_SKIP() << "Wine serves no TLS: run on Windows itself";
        ASSERT_TRUE(server.listening);
        // The test certificate vouches for both environments only when each key names it.
        settings("CA_AGGIUNTIVA=" + (kTlsDir + "localhost.pem").toStdString() +
                 "\r\nCA_AGGIUNTIVA_REALE=" + (kTlsDir + "localhost.pem").toStdString());
    }
    void settings(const std::string& extra) {
        writeWholeFile(work.folders.general(kServiceSettingsFile),
                       "HOST_PROVA=127.0.0.1\r\nPORTA_PROVA=" + std::to_string(server.port()) +
                           "\r\nHOST_REALE=localhost\r\nPORTA_REALE=" + std::to_string(server.port()) +
                           "\r\nNAMESPACE=urn:prova\r\nTIMEOUT_SECONDI=2\r\n" + extra + "\r\n");
    }
};

TEST_F(ClientFixture, PutSendsTheEnvelopeWithItsActionAndNoCredentials) {
    server.responses = {putAnswer("File ricevuto con successo")};
    const std::string content("P7M\0\xFF", 5);
    const AgencyReply reply = client.put(AgencyEnvironment::Test, std::nullopt, "AB120315.C01.p7m", content);
    EXPECT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.text, "File ricevuto con successo");
    ASSERT_EQ(server.requests.size(), 1u);
    const Request& r = server.requests[0];
    EXPECT_TRUE(r.head.startsWith("POST " + QByteArray(kServicePath) + " HTTP/1.1")) << r.head.toStdString();
    EXPECT_EQ(r.header("SOAPAction"), "\"put\"");
    EXPECT_EQ(r.header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(r.header("Authorization"), "");
    EXPECT_EQ(r.body.toStdString(), putEnvelope("urn:prova", content, "AB120315.C01.p7m"));
}

TEST_F(ClientFixture, GetReceivesTheFileInEachAttachmentStyleWithCredentials) {
    const QByteArray file("AB12ALCODA\r\n\0\x80\xFF binario", 22);
    for (const std::string style : {"swa", "mtom", "inline"}) {
        server.requests.clear();
        server.responses = {getAnswer(style, file)};
        const AgencyReply reply =
            client.get(AgencyEnvironment::Real, AgencyCredentials{"MRARSS-00-01", "segreta"}, "AB120315.J01.p7m");
        ASSERT_TRUE(reply.ok) << style << ": " << reply.error;
        ASSERT_TRUE(reply.attachment) << style;
        EXPECT_EQ(*reply.attachment, file.toStdString()) << style;
        ASSERT_EQ(server.requests.size(), 1u);
        EXPECT_EQ(server.requests[0].header("SOAPAction"), "\"get\"");
        EXPECT_EQ(server.requests[0].header("Authorization"), "Basic " + QByteArray("MRARSS-00-01:segreta").toBase64());
        EXPECT_EQ(server.requests[0].body.toStdString(), getEnvelope("urn:prova", "AB120315.J01.p7m"));
    }
}

TEST_F(ClientFixture, FailuresAreReportedWithoutCredentials) {
    struct Case {
        const char* name;
        Response response;
        const char* errorPart;
    };
    const QByteArray swaBody = getAnswer("swa", "x").body;
    const std::vector<Case> cases = {
        {"SOAP fault", fault("Utente non autorizzato"), "Utente non autorizzato"},
        {"not XML", {200, "text/xml", "<html>pagina di errore"}, "XML non valido o troncato"},
        {"truncated envelope", {200, "text/xml", envelope("<r><return>ok</return></r>").left(60)},
         "XML non valido o troncato"},
        {"empty envelope", {200, "text/xml", envelope("")}, "senza contenuto"},
        {"attachment missing",
         {200, "multipart/related; start=\"<root>\"; boundary=MIME_boundary",
          "--MIME_boundary\r\nContent-ID: <root>\r\n\r\n" +
              envelope("<g><return href=\"cid:manca\"/></g>") + "\r\n--MIME_boundary--\r\n"},
         "assente"},
        {"multipart cut short", {200, "multipart/related; boundary=MIME_boundary", swaBody.left(swaBody.size() - 30)},
         "troncato"},
        {"HTTP error", {404, "text/plain", "non trovato"}, "errore HTTP 404"},
        {"never answers", {200, "", "", true}, "nessuna risposta dal servizio entro 2 secondi"},
    };
    for (const Case& c : cases) {
        server.responses = {c.response};
        const AgencyReply reply =
            client.get(AgencyEnvironment::Test, AgencyCredentials{"MRARSS-00-01", "segreta"}, "A.J01.p7m");
        EXPECT_FALSE(reply.ok) << c.name;
        EXPECT_NE(reply.error.find(c.errorPart), std::string::npos) << c.name << ": " << reply.error;
        EXPECT_EQ(reply.error.find("segreta"), std::string::npos) << c.name;
    }
}

TEST_F(ClientFixture, AnUntrustedCertificateIsAnError) {
    settings("");
    server.responses = {putAnswer("successo")};
    const AgencyReply reply = client.put(AgencyEnvironment::Test, std::nullopt, "A.C01.p7m", "x");
    EXPECT_FALSE(reply.ok);
    EXPECT_NE(reply.error.find("certificato del sito non valido"), std::string::npos) << reply.error;
    EXPECT_TRUE(server.requests.empty()); // nothing was sent over the untrusted connection

    // The extra CA of the test environment vouches for no real host.
    settings("CA_AGGIUNTIVA=" + (kTlsDir + "localhost.pem").toStdString());
    const AgencyReply real = client.put(AgencyEnvironment::Real, std::nullopt, "A.C01.p7m", "x");
    EXPECT_FALSE(real.ok);
    EXPECT_NE(real.error.find("certificato del sito non valido"), std::string::npos) << real.error;
    EXPECT_TRUE(server.requests.empty());

    settings("CA_AGGIUNTIVA=/manca/ca.pem");
    const AgencyReply missing = client.put(AgencyEnvironment::Test, std::nullopt, "A.C01.p7m", "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("CA_AGGIUNTIVA"), std::string::npos) << missing.error;
}

TEST_F(ClientFixture, TransmissionRetriesTheOutcomeOverTheClient) {
    RecordingPrompt prompt;
    FakeServices services;
    CommandContext ctx = work.context();
    const fs::path signedDir = work.dir / "firmati";
    fs::create_directories(signedDir);
    writeApplConfig(work.folders, {"/opt/fv", (work.dir / "dafirmare").string(), signedDir.string(), "x"});
    writeWholeFile(signedDir / "AB120315.C01.p7m", "firmato");
    ctx.company = blankAddress();
    ctx.company.street2 = "UTENTE";
    ctx.flowFileName = "AB120315.C01";
    server.responses = {putAnswer("File ricevuto con successo"), fault("esito non pronto"), fault("esito non pronto"),
                        getAnswer("swa", "AB12ALCODA0315     ITAB12X 0000000000123450 ELABORATO\r\n")};
    TransmissionLogic window(ctx, prompt, services, client);
    std::vector<int> pauses;
    window.setPause([&pauses](int seconds) { pauses.push_back(seconds); });
    window.open();
    window.startWaitPass();
    window.secondElapsed();
    window.setValue("GAMBIENTE", TransmissionLogic::kReal);
    EXPECT_EQ(window.confirm(), std::nullopt);
    EXPECT_EQ(server.requests.size(), 4u);
    EXPECT_EQ(pauses, (std::vector<int>{2, 4}));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{std::string(kServiceAnswer) + "File ricevuto con successo",
                                                         attemptMessage(1), attemptMessage(2)}));
    EXPECT_TRUE(window.sent());
    EXPECT_EQ(window.outcome(), "ESITO POSITIVO");
    EXPECT_EQ(server.requests[0].body.toStdString(), putEnvelope("urn:prova", "firmato", "AB120315.C01.p7m"));
}

TEST(SoapReply, HeaderParameters) {
    const QByteArray type = "multipart/related; type=\"application/xop+xml\"; boundary=uuid:1; start=\"<a;b>\"";
    EXPECT_EQ(headerParameter(type, "BOUNDARY"), "uuid:1");
    EXPECT_EQ(headerParameter(type, "start"), "<a;b>");
    EXPECT_EQ(headerParameter(type, "charset"), "");
}

} // namespace
} // namespace accise
