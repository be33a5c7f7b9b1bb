// accise-agency-sim: a stand-in for the customs agency's file-transfer service, for
// tests and demonstrations on one machine. An HTTPS server with a certificate made
// at start for "localhost" and 127.0.0.1; its authority is written to --ca-out for
// the client to trust.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QSaveFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QThread>
#include <QtConcurrent>
#include <cstdio>

#include "agency-sim/agencyservice.h"
#include "cms/cmssignature.h"

using namespace accise;

namespace {

[[noreturn]] void die(const QString& text) {
    std::fprintf(stderr, "accise-agency-sim: %s\n", qPrintable(text));
    std::exit(2);
}

QHttpServerResponse toResponse(const agency::HttpAnswer& a) {
    QHttpServerResponse response(a.contentType, a.body, static_cast<QHttpServerResponse::StatusCode>(a.status));
    if (a.status == 401) response.addHeader("WWW-Authenticate", "Basic realm=\"TelematicoFtpWs\"");
    return response;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("accise-agency-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulatore del servizio di trasmissione file dell'Agenzia (solo per prove)"));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("porta (0 = una libera, scritta su stdout)"), QStringLiteral("N"), QStringLiteral("8443"));
    const QCommandLineOption caOut(QStringLiteral("ca-out"), QStringLiteral("file PEM dove scrivere il certificato dell'autorità"), QStringLiteral("FILE"));
    const QCommandLineOption ns(QStringLiteral("namespace"), QStringLiteral("namespace SOAP delle risposte"), QStringLiteral("URI"), QString::fromLatin1(agency::kDefaultNamespace));
    const QCommandLineOption store(QStringLiteral("store"), QStringLiteral("cartella dove conservare file ricevuti ed esiti"), QStringLiteral("DIR"));
    const QCommandLineOption delay(QStringLiteral("delay-ms"), QStringLiteral("attesa prima di ogni risposta"), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption failGet(QStringLiteral("fail-get"), QStringLiteral("le prime N richieste get falliscono"), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption fault(QStringLiteral("fault"), QStringLiteral("ogni chiamata risponde con un SOAP Fault"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("utente HTTP richiesto"), QStringLiteral("U"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("password HTTP richiesta"), QStringLiteral("P"));
    const QCommandLineOption attachment(QStringLiteral("attachment"), QStringLiteral("consegna dell'esito: swa, mtom o inline"), QStringLiteral("MODO"), QStringLiteral("swa"));
    parser.addOptions({port, caOut, ns, store, delay, failGet, fault, user, password, attachment});
    parser.process(app);

    const auto number = [&](const QCommandLineOption& o, int max) {
        bool ok = false;
        const int n = parser.value(o).toInt(&ok);
        if (!ok || n < 0 || n > max) die(QStringLiteral("valore non valido per --%1: %2").arg(o.names().first(), parser.value(o)));
        return n;
    };
    if (!parser.isSet(caOut)) die(QStringLiteral("manca --ca-out FILE"));
    if (parser.isSet(user) != parser.isSet(password)) die(QStringLiteral("--user e --password vanno indicati insieme"));

    agency::ServiceOptions options;
    options.ns = parser.value(ns);
    options.failGet = number(failGet, 1000000);
    options.fault = parser.isSet(fault);
    options.user = parser.value(user);
    options.password = parser.value(password);
    if (parser.isSet(store)) options.store = parser.value(store).toStdString();
    const QString how = parser.value(attachment).toLower();
    if (how == QLatin1String("swa")) options.attachment = agency::Attachment::SwA;
    else if (how == QLatin1String("mtom")) options.attachment = agency::Attachment::Mtom;
    else if (how == QLatin1String("inline")) options.attachment = agency::Attachment::Inline;
    else die(QStringLiteral("--attachment vale swa, mtom o inline, non ") + how);
    const int delayMs = number(delay, 600000);
    const int wantedPort = number(port, 65535);

    // A throw-away authority and the server's certificate signed by it.
    cms::Identity authority, server;
    try {
        cms::CertificateRequest ca;
        ca.commonName = "Accise Birra - autorita' di prova del simulatore";
        ca.organization = "Accise Birra (prova)";
        ca.authority = true;
        ca.days = 30;
        authority = cms::makeCertificate(ca);
        cms::CertificateRequest host;
        host.commonName = "localhost";
        host.organization = "Accise Birra (prova)";
        host.days = 30;
        host.dnsNames = {"localhost"};
        host.ipAddresses = {"127.0.0.1", "::1"};
        server = cms::makeCertificate(host, &authority);
    } catch (const std::exception& e) {
        die(QStringLiteral("certificato non generato: ") + QString::fromStdString(e.what()));
    }
    QSaveFile caFile(parser.value(caOut));
    if (!caFile.open(QIODevice::WriteOnly) || caFile.write(QByteArray::fromStdString(authority.certificatePem)) < 0 ||
        !caFile.commit())
        die(QStringLiteral("impossibile scrivere %1: %2").arg(caFile.fileName(), caFile.errorString()));

    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain({QSslCertificate(QByteArray::fromStdString(server.certificatePem)),
                                  QSslCertificate(QByteArray::fromStdString(authority.certificatePem))});
    tls.setPrivateKey(QSslKey(QByteArray::fromStdString(server.privateKeyPem), QSsl::Rsa));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);

    agency::AgencyService service(options);
    QHttpServer http;
    const auto serve = [&service, delayMs](const QHttpServerRequest& request) {
        agency::Request r;
        r.method = request.method() == QHttpServerRequest::Method::Post ? "POST" : "OTHER";
        r.path = request.url().path().toUtf8();
        r.contentType = request.value("Content-Type");
        r.soapAction = request.value("SOAPAction");
        r.authorization = request.value("Authorization");
        // A declared length past the limit is refused before the body is looked at.
        if (request.value("Content-Length").toLongLong() > agency::kMaxRequestBytes)
            return QtConcurrent::run([] {
                return toResponse({413, "text/plain; charset=UTF-8", "richiesta troppo grande\n"});
            });
        r.body = request.body();
        const agency::HttpAnswer answer = service.handle(r);
        std::fprintf(stderr, "%s %s -> %d\n", r.soapAction.constData(), r.path.constData(), answer.status);
        return QtConcurrent::run([answer, delayMs] {
            if (delayMs > 0) QThread::msleep(static_cast<unsigned long>(delayMs));
            return toResponse(answer);
        });
    };
    http.route(QString::fromLatin1(agency::kEndpointPath), serve);

    auto* listener = new QSslServer(&app);
    listener->setSslConfiguration(tls);
    if (!listener->listen(QHostAddress::LocalHost, static_cast<quint16>(wantedPort)))
        die(QStringLiteral("porta %1 non disponibile: %2").arg(wantedPort).arg(listener->errorString()));
    http.bind(listener);
    std::printf("listening on %u\n", static_cast<unsigned>(listener->serverPort()));
    std::fflush(stdout);
    return app.exec();
}
