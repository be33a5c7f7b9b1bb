#pragma once
// The SOAP 1.1 messages of the agency simulator (RPC style, UTF-8): reading a call
// and writing its answer, a fault, and the three ways "get" can deliver a file
// (a SOAP-with-attachments part, an MTOM/XOP part, or base64 inside the answer).
#include <QByteArray>
#include <QMap>
#include <QString>

namespace accise::agency {

inline constexpr const char* kEndpointPath = "/TelematicoFtpEjbHttpRouter/TelematicoFtpWsBindingImplService";
inline constexpr const char* kDefaultNamespace = "urn:accise-birra:simulatore";

struct SoapCall {
    QString operation;              // local name of the Body's first element
    QMap<QString, QString> params;  // its child elements' local names and texts
    QString problem;                // why the message cannot be read (empty when it can)
};

// Reads a SOAP 1.1 request. `soapAction` is the HTTP header's value (quotes allowed);
// when given it must name the same operation as the body. A multipart/related body
// (attachments) is read from its root part.
SoapCall parseCall(const QByteArray& body, const QByteArray& contentType, const QByteArray& soapAction);

enum class Attachment { SwA, Mtom, Inline };

struct HttpAnswer {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
};

// "<operation>Response" with one <return> element.
HttpAnswer textAnswer(const QString& ns, const QString& operation, const QString& text);
// The get answer: <return> with `text`, and the file `name` with `content` delivered
// as `how` says. SwA and MTOM answers are multipart/related with the file in the
// second part (Content-ID <name>); an inline answer carries <fileMsg_Nome> and
// <fileMsg_Content> (base64) after <return>.
HttpAnswer fileAnswer(const QString& ns, const QString& operation, const QString& text, const QString& name,
                      const QByteArray& content, Attachment how);
// A SOAP fault, HTTP 500. `client` for a fault of the request (soapenv:Client).
HttpAnswer faultAnswer(const QString& text, bool client = false);

} // namespace accise::agency
