#pragma once
// The requests sent to the agency's file-transfer service, as plain text: SOAP 1.1,
// RPC style, UTF-8, the operation in the SOAP action. Only `put` and `get` are used.
// Replies are read by the Qt layer (they may come as multipart messages).
#include <string>
#include <string_view>

namespace accise {

// `put`: the signed file's bytes as base64 (fileMsg_Content) and its name without
// folder (fileMsg_Nome).
std::string putEnvelope(std::string_view targetNamespace, std::string_view content, std::string_view fileName);
// `get`: the name of the file asked for (fileName).
std::string getEnvelope(std::string_view targetNamespace, std::string_view fileName);

std::string base64Encode(std::string_view bytes);
// Text and attribute values with &, <, >, " and ' written as entities.
std::string xmlEscaped(std::string_view text);

// The outcome file of a signed file: its 10th character made "J" (".C01" becomes
// ".J01"); a name shorter than 10 characters is returned unchanged.
std::string outcomeFileName(std::string_view signedFileName);

// The agency's HTTP credentials are given only for a user name holding "-00".
bool usesHttpCredentials(std::string_view ediUserName);

} // namespace accise
