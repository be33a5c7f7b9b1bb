#pragma once
// The agency's file-transfer service as the transmission window sees it: `put` sends
// a signed file, `get` fetches a file the agency delivers as an attachment. One call
// is one exchange; the desktop program serves it over HTTPS (telematic/qt), tests
// with a double. A call never throws for a network or service failure: it reports it.
#include <optional>
#include <string>

#include "core/flow/servicesettings.h"

namespace accise {

struct AgencyCredentials {
    std::string user;
    std::string password;
};

struct AgencyReply {
    bool ok = false;                       // the service answered with a result
    std::string text;                      // the returned text when ok
    std::optional<std::string> attachment; // `get`: the delivered file's bytes
    std::string error;                     // why not ok, for the clerk (no credentials in it)
};

class AgencyService {
public:
    virtual ~AgencyService() = default;
    virtual AgencyReply put(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                            const std::string& fileName, const std::string& content) = 0;
    virtual AgencyReply get(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                            const std::string& fileName) = 0;
};

} // namespace accise
