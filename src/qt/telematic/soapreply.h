#pragma once
// Reading the agency service's replies: a SOAP 1.1 envelope, alone or as the root
// part of a multipart/related message (SOAP with attachments, or MTOM/XOP). The file
// that `get` delivers comes as a MIME part referenced by href="cid:..." or by an
// xop:Include, as the only other MIME part, or inline as base64 text.
#include <optional>

#include <QByteArray>
#include <QString>

namespace accise {

struct SoapReply {
    bool fault = false;
    QString faultText;                    // faultcode and faultstring of a fault
    QString result;                       // text of the response's first part
    std::optional<QByteArray> attachment; // the delivered file, when there is one
    QString problem;                      // not empty: the reply could not be read
};

// `contentType` is the reply's Content-Type header; `body` its bytes.
SoapReply parseSoapReply(const QByteArray& contentType, const QByteArray& body);

// A parameter of a header value such as `multipart/related; boundary="x"`; empty
// when absent. Names without letter case, quoted or plain values.
QByteArray headerParameter(const QByteArray& headerValue, const QByteArray& name);

} // namespace accise
