#include "core/flow/agencysoap.h"

namespace accise {

namespace {

std::string envelope(std::string_view targetNamespace, std::string_view body) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:tns=\"";
    out += xmlEscaped(targetNamespace);
    out += "\"><soapenv:Body>";
    out += body;
    out += "</soapenv:Body></soapenv:Envelope>";
    return out;
}

} // namespace

std::string xmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string base64Encode(std::string_view bytes) {
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8 | (unsigned char)bytes[i + 2];
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += alphabet[v >> 6 & 63];
        out += alphabet[v & 63];
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = (unsigned char)bytes[i] << 16;
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += "==";
    } else if (i + 2 == bytes.size()) {
        const unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8;
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += alphabet[v >> 6 & 63];
        out += '=';
    }
    return out;
}

std::string putEnvelope(std::string_view targetNamespace, std::string_view content, std::string_view fileName) {
    std::string body = "<tns:put><fileMsg_Content xsi:type=\"xsd:base64Binary\">";
    body += base64Encode(content);
    body += "</fileMsg_Content><fileMsg_Nome xsi:type=\"xsd:string\">";
    body += xmlEscaped(fileName);
    body += "</fileMsg_Nome></tns:put>";
    return envelope(targetNamespace, body);
}

std::string getEnvelope(std::string_view targetNamespace, std::string_view fileName) {
    std::string body = "<tns:get><fileName xsi:type=\"xsd:string\">";
    body += xmlEscaped(fileName);
    body += "</fileName></tns:get>";
    return envelope(targetNamespace, body);
}

std::string outcomeFileName(std::string_view signedFileName) {
    std::string name(signedFileName);
    if (name.size() >= 10) name[9] = 'J';
    return name;
}

bool usesHttpCredentials(std::string_view ediUserName) {
    return ediUserName.find("-00") != std::string_view::npos;
}

} // namespace accise
