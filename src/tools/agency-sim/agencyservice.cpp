#include "agency-sim/agencyservice.h"

#include <QDate>
#include <QFile>
#include <QSaveFile>
#include <QtGlobal>

#include "agency-sim/outcome.h"
#include "cms/cmssignature.h"

namespace accise::agency {
namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }

QString storePath(const std::filesystem::path& store, const QString& name) {
    return QString::fromStdString((store / name.toStdString()).string());
}

} // namespace

bool isPlainFileName(const QString& name) {
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || forbidden.contains(c)) return false;
    return true;
}

AgencyService::AgencyService(ServiceOptions options) : options_(std::move(options)) {
    if (!options_.store.empty()) {
        std::filesystem::create_directories(options_.store);
        // Numbers go on from the outcomes kept by an earlier run.
        for (const auto& e : std::filesystem::directory_iterator(options_.store))
            if (e.path().filename().string().size() >= 10 && e.path().filename().string()[9] == 'J') ++received_;
    }
}

HttpAnswer AgencyService::handle(const Request& request) {
    if (request.path != kEndpointPath) return {404, "text/plain; charset=UTF-8", "servizio non trovato\n"};
    if (request.method != "POST") return {405, "text/plain; charset=UTF-8", "usare POST (SOAP 1.1)\n"};
    if (!options_.user.isEmpty()) {
        const QByteArray expected = "Basic " + (options_.user + QLatin1Char(':') + options_.password).toUtf8().toBase64();
        if (request.authorization.trimmed() != expected) {
            HttpAnswer denied{401, "text/plain; charset=UTF-8", "credenziali mancanti o errate\n"};
            return denied;
        }
    }
    if (request.body.size() > kMaxRequestBytes)
        return {413, "text/plain; charset=UTF-8", "richiesta troppo grande\n"};
    const SoapCall call = parseCall(request.body, request.contentType, request.soapAction);
    if (!call.problem.isEmpty()) return faultAnswer(call.problem, true);
    if (options_.fault) return faultAnswer(QStringLiteral("servizio non disponibile (errore simulato)"));
    if (call.operation == QLatin1String("put")) return put(call.params);
    if (call.operation == QLatin1String("get")) return get(call.params);
    return faultAnswer(QStringLiteral("operazione non gestita dal simulatore: ") + call.operation, true);
}

HttpAnswer AgencyService::put(const QMap<QString, QString>& params) {
    const QString name = params.value(QStringLiteral("fileMsg_Nome")).trimmed();
    const auto refuse = [](const QString& why) { return QStringLiteral("ERRORE: ") + why; };
    const auto answer = [this](const QString& text) { return textAnswer(options_.ns, QStringLiteral("put"), text); };
    if (!params.contains(QStringLiteral("fileMsg_Content")) || name.isEmpty())
        return answer(refuse(QStringLiteral("mancano il contenuto (fileMsg_Content) o il nome (fileMsg_Nome) del file")));
    if (!isPlainFileName(name) || outcomeNameOf(name.toStdString()).empty())
        return answer(refuse(QStringLiteral("nome del file non valido: ") + name));
    if (!name.endsWith(QLatin1String(".p7m"), Qt::CaseInsensitive))
        return answer(refuse(QStringLiteral("il file deve essere firmato (estensione .p7m): ") + name));

    const auto decoded = QByteArray::fromBase64Encoding(params.value(QStringLiteral("fileMsg_Content")).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return answer(refuse(QStringLiteral("contenuto del file vuoto o non in base64")));
    const cms::Verification signature =
        cms::verifyAttached(std::string_view(decoded.decoded.constData(), static_cast<std::size_t>(decoded.decoded.size())));
    if (!signature.valid) return answer(refuse(QStringLiteral("firma del file %1 non valida: %2").arg(name, qt(signature.problem))));

    const QString outcomeName = qt(outcomeNameOf(name.toStdString()));
    const Outcome outcome = buildOutcome(signature.content, name.toStdString(), nextRegistration().toStdString());
    const QByteArray outcomeBytes = QByteArray::fromStdString(outcome.text);
    outcomes_[outcomeName] = outcomeBytes;
    keep(name, decoded.decoded);
    keep(outcomeName, outcomeBytes);
    return answer(QStringLiteral("File %1 ricevuto con successo: l'esito sarà disponibile come %2").arg(name, outcomeName));
}

HttpAnswer AgencyService::get(const QMap<QString, QString>& params) {
    if (getCalls_++ < options_.failGet)
        return faultAnswer(QStringLiteral("esito non disponibile (errore simulato, tentativo %1)").arg(getCalls_));
    const QString name = params.value(QStringLiteral("fileName")).trimmed();
    if (!isPlainFileName(name)) return faultAnswer(QStringLiteral("nome del file non valido: ") + name, true);
    const QByteArray bytes = outcome(name);
    if (bytes.isEmpty()) return faultAnswer(QStringLiteral("file non trovato: ") + name, true);
    return fileAnswer(options_.ns, QStringLiteral("get"), QStringLiteral("File %1 trasmesso come allegato").arg(name),
                      name, bytes, options_.attachment);
}

QByteArray AgencyService::outcome(const QString& name) const {
    if (outcomes_.contains(name)) return outcomes_.value(name);
    if (options_.store.empty() || !isPlainFileName(name)) return {};
    QFile file(storePath(options_.store, name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString AgencyService::nextRegistration() {
    ++received_;
    return QString::number(QDate::currentDate().year()) + QStringLiteral("%1").arg(received_, 11, 10, QLatin1Char('0'));
}

void AgencyService::keep(const QString& name, const QByteArray& bytes) {
    if (options_.store.empty()) return;
    QSaveFile file(storePath(options_.store, name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        qWarning("accise-agency-sim: impossibile conservare %s: %s", qPrintable(file.fileName()),
                 qPrintable(file.errorString()));
}

} // namespace accise::agency
