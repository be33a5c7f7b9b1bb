#include "qt/telematic/agencyclient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QStringList>
#include <QUrl>

#include "core/flow/agencysoap.h"
#include "core/flow/servicesettings.h"
#include "qt/telematic/soapreply.h"

namespace accise {

namespace {

AgencyReply failure(const QString& why) {
    AgencyReply reply;
    reply.error = why.toStdString();
    return reply;
}

} // namespace

AgencyReply QtAgencyService::put(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                                 const std::string& fileName, const std::string& content) {
    const ServiceSettings settings = readServiceSettings(folders_);
    return call(environment, credentials, "put", putEnvelope(settings.targetNamespace, content, fileName));
}

AgencyReply QtAgencyService::get(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                                 const std::string& fileName) {
    const ServiceSettings settings = readServiceSettings(folders_);
    return call(environment, credentials, "get", getEnvelope(settings.targetNamespace, fileName));
}

AgencyReply QtAgencyService::call(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                                  const char* operation, const std::string& envelope) {
    const ServiceSettings settings = readServiceSettings(folders_);
    if (!settings.invalidKey.empty())
        return failure(QStringLiteral("valore non valido per %1 in %2")
                           .arg(QString::fromStdString(settings.invalidKey), QString::fromLatin1(kServiceSettingsFile)));
    if (environment == AgencyEnvironment::Real) {
        if (const std::string problem = realEnvironmentProblem(settings); !problem.empty())
            return failure(QString::fromStdString(problem));
    }
    const QUrl url(QString::fromStdString(settings.endpoint(environment)));
    if (credentials && url.scheme() != QStringLiteral("https") && !isLocalHost(settings.host(environment)))
        return failure(QStringLiteral("credenziali non inviate su una connessione non cifrata"));

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml; charset=utf-8"));
    request.setRawHeader("SOAPAction", QByteArray("\"") + operation + "\"");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // A redirect is not followed: the credentials stay with the configured host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(settings.timeoutSeconds * 1000);
    if (credentials) {
        const QByteArray pair = QByteArray::fromStdString(credentials->user + ":" + credentials->password);
        request.setRawHeader("Authorization", "Basic " + pair.toBase64());
    }
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    if (!settings.extraCa(environment).empty()) {
        const QString caFile = QString::fromStdString(settings.extraCa(environment));
        const QList<QSslCertificate> extra =
            QSslCertificate::fromPath(caFile, QSsl::Pem, QSslCertificate::PatternSyntax::FixedString);
        if (extra.isEmpty())
            return failure(QStringLiteral("il certificato aggiuntivo %1 (%2) non è leggibile")
                               .arg(caFile, environment == AgencyEnvironment::Real ? QStringLiteral("CA_AGGIUNTIVA_REALE")
                                                                                   : QStringLiteral("CA_AGGIUNTIVA")));
        ssl.addCaCertificates(extra);
    }
    ssl.setPeerVerifyMode(QSslSocket::VerifyPeer);
    request.setSslConfiguration(ssl);

    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.post(request, QByteArray::fromStdString(envelope));
    QStringList certificateProblems;
    bool tooLarge = false;
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&certificateProblems](const QList<QSslError>& errors) {
        for (const QSslError& e : errors) certificateProblems << e.errorString();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&tooLarge, reply](qint64 received, qint64 total) {
        if (received > kMaxReplyBytes || total > kMaxReplyBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (busyChanged) busyChanged(true);
    if (!reply->isFinished()) loop.exec();
    if (busyChanged) busyChanged(false);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray();
    const QByteArray contentType = reply->rawHeader("Content-Type");
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    reply->deleteLater();

    if (tooLarge) return failure(QStringLiteral("risposta del servizio troppo grande"));
    if (!certificateProblems.isEmpty())
        return failure(QStringLiteral("certificato del sito non valido: ") + certificateProblems.join(QStringLiteral("; ")));
    if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
        return failure(QStringLiteral("nessuna risposta dal servizio entro %1 secondi").arg(settings.timeoutSeconds));
    // SOAP 1.1 sends a fault with status 500; its text says more than the status.
    if (!body.isEmpty() && (status == 200 || status == 500)) {
        const SoapReply soap = parseSoapReply(contentType, body);
        if (soap.fault) return failure(QStringLiteral("errore del servizio: ") + soap.faultText);
        if (!soap.problem.isEmpty()) return failure(soap.problem);
        if (status == 200) {
            AgencyReply ok;
            ok.ok = true;
            ok.text = soap.result.toStdString();
            if (soap.attachment) ok.attachment = soap.attachment->toStdString();
            return ok;
        }
    }
    if (status != 0)
        return failure(QStringLiteral("errore HTTP %1 %2").arg(status).arg(reason));
    return failure(QStringLiteral("errore di rete: ") + errorText);
}

} // namespace accise
