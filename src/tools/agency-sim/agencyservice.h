#pragma once
// The simulated agency service without its socket: "put" receives a signed flow,
// checks its signature and its format and keeps its outcome; "get" hands the outcome
// back. Everything a request can do is here, so it is tested without a network.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <filesystem>

#include "agency-sim/soap.h"

namespace accise::agency {

struct ServiceOptions {
    QString ns = QString::fromLatin1(kDefaultNamespace);
    Attachment attachment = Attachment::SwA;
    int failGet = 0;              // so many first "get" calls fail (server fault)
    bool fault = false;           // every call answers with a fault
    QString user, password;       // HTTP Basic credentials required when user is set
    std::filesystem::path store;  // where received files and outcomes are kept (none: memory only)
};

// The largest request the simulator reads: a signed flow of a busy year is a few
// hundred kilobytes, base64 and the envelope add a third.
inline constexpr qsizetype kMaxRequestBytes = 16 * 1024 * 1024;

struct Request {
    QByteArray method = "POST";
    QByteArray path = kEndpointPath;
    QByteArray contentType = "text/xml; charset=UTF-8";
    QByteArray soapAction;
    QByteArray authorization; // the Authorization header
    QByteArray body;
};

class AgencyService {
public:
    explicit AgencyService(ServiceOptions options);

    HttpAnswer handle(const Request& request);

    // The outcome file kept for a name (the "J" name), empty when none.
    QByteArray outcome(const QString& name) const;

private:
    HttpAnswer put(const QMap<QString, QString>& params);
    HttpAnswer get(const QMap<QString, QString>& params);
    QString nextRegistration();
    void keep(const QString& name, const QByteArray& bytes);

    ServiceOptions options_;
    QMap<QString, QByteArray> outcomes_;
    int getCalls_ = 0;
    int received_ = 0;
};

// A file name as a client may send it: no folder parts, nothing that leaves the store.
bool isPlainFileName(const QString& name);

} // namespace accise::agency
