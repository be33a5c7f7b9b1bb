#pragma once
// The agency's file-transfer service over HTTPS (QtNetwork): each call reads
// SERVIZIO.INI afresh, posts the envelope with the operation as SOAP action, and waits
// for the answer in a local event loop, so the window keeps repainting; the caller
// disables its controls and shows the wait cursor meanwhile (busyChanged). It needs
// QtNetwork only: accise-cli uses it too, under a QCoreApplication. The server's certificate is checked
// against the system's store and the optional extra CA file; a certificate error
// fails the call. HTTP credentials travel only over HTTPS (or to this machine) and
// never appear in an error text.
#include <functional>

#include "core/files/folders.h"
#include "logic/telematic/agencyservice.h"

namespace accise {

class QtAgencyService : public AgencyService {
public:
    explicit QtAgencyService(Folders folders) : folders_(std::move(folders)) {}

    AgencyReply put(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                    const std::string& fileName, const std::string& content) override;
    AgencyReply get(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                    const std::string& fileName) override;

    // Called with true before a call waits and with false after it.
    std::function<void(bool)> busyChanged;

    // A reply larger than this is refused (an outcome file is a few kilobytes).
    static constexpr long long kMaxReplyBytes = 32 * 1024 * 1024;

private:
    AgencyReply call(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                     const char* operation, const std::string& envelope);
    Folders folders_;
};

} // namespace accise
