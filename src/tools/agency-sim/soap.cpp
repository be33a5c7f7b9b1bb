#include "agency-sim/soap.h"

#include <functional>

#include <QRegularExpression>
#include <QUrl>
#include <QUuid>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace accise::agency {
namespace {

constexpr const char* kEnvelopeNs = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr const char* kXopNs = "http://www.w3.org/2004/08/xop/include";

QByteArray headerParameter(const QByteArray& header, const QByteArray& name) {
    const QRegularExpression re(QStringLiteral("(?:^|;)\\s*%1\\s*=\\s*(\"[^\"]*\"|[^;]*)").arg(QString::fromLatin1(name)),
                                QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(QString::fromLatin1(header));
    if (!m.hasMatch()) return {};
    QByteArray value = m.captured(1).trimmed().toLatin1();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) value = value.mid(1, value.size() - 2);
    return value;
}

struct Part {
    QMap<QByteArray, QByteArray> headers; // lower-case names
    QByteArray body;
};

// The parts of a multipart body; empty when the boundary is not found.
QList<Part> splitMultipart(const QByteArray& body, const QByteArray& boundary) {
    QList<Part> parts;
    const QByteArray delimiter = "--" + boundary;
    qsizetype at = body.indexOf(delimiter);
    while (at >= 0) {
        qsizetype start = at + delimiter.size();
        if (body.mid(start, 2) == "--") break; // the closing delimiter
        const qsizetype next = body.indexOf("\r\n" + delimiter, start);
        if (next < 0) break;
        start = body.indexOf("\r\n", start);
        if (start < 0 || start > next) break;
        start += 2;
        const qsizetype headersEnd = body.indexOf("\r\n\r\n", start);
        Part part;
        if (headersEnd >= 0 && headersEnd <= next) {
            for (const QByteArray& line : body.mid(start, headersEnd - start).split('\n')) {
                const qsizetype colon = line.indexOf(':');
                if (colon > 0) part.headers[line.left(colon).trimmed().toLower()] = line.mid(colon + 1).trimmed();
            }
            part.body = body.mid(headersEnd + 4, next - headersEnd - 4);
        } else {
            part.body = body.mid(start, next - start);
        }
        parts.append(part);
        at = next + 2;
    }
    return parts;
}

QByteArray contentIdOf(QByteArray href) {
    if (href.startsWith("cid:")) href = QByteArray::fromPercentEncoding(href.mid(4));
    return href;
}

QByteArray envelope(const std::function<void(QXmlStreamWriter&)>& body) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(QString::fromLatin1(kEnvelopeNs), QStringLiteral("soapenv"));
    w.writeStartElement(QString::fromLatin1(kEnvelopeNs), QStringLiteral("Envelope"));
    w.writeStartElement(QString::fromLatin1(kEnvelopeNs), QStringLiteral("Body"));
    body(w);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QByteArray responseEnvelope(const QString& ns, const QString& operation,
                            const std::function<void(QXmlStreamWriter&)>& extra) {
    return envelope([&](QXmlStreamWriter& w) {
        w.writeNamespace(ns, QStringLiteral("ns"));
        w.writeStartElement(ns, operation + QStringLiteral("Response"));
        extra(w);
        w.writeEndElement();
    });
}

} // namespace

SoapCall parseCall(const QByteArray& rawBody, const QByteArray& contentType, const QByteArray& soapAction) {
    SoapCall call;
    QByteArray body = rawBody;
    QMap<QByteArray, QByteArray> attachments; // Content-ID -> bytes
    if (contentType.trimmed().toLower().startsWith("multipart/related")) {
        const QList<Part> parts = splitMultipart(rawBody, headerParameter(contentType, "boundary"));
        if (parts.isEmpty()) {
            call.problem = QStringLiteral("messaggio multipart senza parti leggibili");
            return call;
        }
        const QByteArray start = headerParameter(contentType, "start");
        body = parts.first().body;
        for (const Part& p : parts) {
            QByteArray id = p.headers.value("content-id");
            if (id.startsWith('<') && id.endsWith('>')) id = id.mid(1, id.size() - 2);
            if (!start.isEmpty() && "<" + id + ">" == start) body = p.body;
            attachments[id] = p.body;
        }
    }

    QXmlStreamReader xml(body);
    int depth = 0;              // depth below Body
    bool inBody = false;
    QString param;
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (!inBody) {
                if (xml.name() == QLatin1String("Body") && xml.namespaceUri() == QLatin1String(kEnvelopeNs)) inBody = true;
                continue;
            }
            ++depth;
            if (depth == 1 && call.operation.isEmpty()) {
                call.operation = xml.name().toString();
            } else if (depth == 2) {
                param = xml.name().toString();
                text.clear();
            } else if (depth == 3 && xml.name() == QLatin1String("Include") && xml.namespaceUri() == QLatin1String(kXopNs)) {
                // MTOM: the parameter's bytes are in the part the href names.
                const QByteArray id = contentIdOf(xml.attributes().value(QStringLiteral("href")).toLatin1());
                if (!attachments.contains(id)) {
                    call.problem = QStringLiteral("parte allegata mancante: ") + QString::fromLatin1(id);
                    return call;
                }
                text = QString::fromLatin1(attachments.value(id).toBase64());
            }
        } else if (xml.isCharacters() && inBody && depth == 2) {
            text += xml.text();
        } else if (xml.isEndElement() && inBody) {
            if (depth == 0) break; // end of Body
            if (depth == 2) call.params[param] = text;
            --depth;
        }
    }
    if (xml.hasError()) {
        call.problem = QStringLiteral("XML non valido: ") + xml.errorString();
        return call;
    }
    if (!inBody || call.operation.isEmpty()) {
        call.problem = QStringLiteral("manca il corpo SOAP (Envelope/Body) con l'operazione");
        return call;
    }
    QByteArray action = soapAction.trimmed();
    if (action.size() >= 2 && action.startsWith('"') && action.endsWith('"')) action = action.mid(1, action.size() - 2);
    // An action may be a URI ending with the operation's name ("urn:x:put", ".../put", "...#put").
    const QString actionName = QString::fromUtf8(action)
                                   .section(QLatin1Char('/'), -1)
                                   .section(QLatin1Char('#'), -1)
                                   .section(QLatin1Char(':'), -1);
    if (!actionName.isEmpty() && actionName != call.operation)
        call.problem = QStringLiteral("SOAPAction \"%1\" diversa dall'operazione del corpo \"%2\"").arg(actionName, call.operation);
    return call;
}

HttpAnswer textAnswer(const QString& ns, const QString& operation, const QString& text) {
    return {200, "text/xml; charset=UTF-8",
            responseEnvelope(ns, operation, [&](QXmlStreamWriter& w) { w.writeTextElement(QStringLiteral("return"), text); })};
}

HttpAnswer fileAnswer(const QString& ns, const QString& operation, const QString& text, const QString& name,
                      const QByteArray& content, Attachment how) {
    if (how == Attachment::Inline) {
        return {200, "text/xml; charset=UTF-8", responseEnvelope(ns, operation, [&](QXmlStreamWriter& w) {
                    w.writeTextElement(QStringLiteral("return"), text);
                    w.writeTextElement(QStringLiteral("fileMsg_Nome"), name);
                    w.writeTextElement(QStringLiteral("fileMsg_Content"), QString::fromLatin1(content.toBase64()));
                })};
    }
    const QByteArray boundary = "MIMEBoundary_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    const QByteArray rootId = "root.message@accise-birra";
    const QByteArray fileId = name.toUtf8();
    const bool mtom = how == Attachment::Mtom;
    const QByteArray root = responseEnvelope(ns, operation, [&](QXmlStreamWriter& w) {
        w.writeTextElement(QStringLiteral("return"), text);
        w.writeTextElement(QStringLiteral("fileMsg_Nome"), name);
        w.writeStartElement(QStringLiteral("fileMsg_Content"));
        const QString href = QStringLiteral("cid:") + QString::fromUtf8(QUrl::toPercentEncoding(name));
        if (mtom) {
            w.writeNamespace(QString::fromLatin1(kXopNs), QStringLiteral("xop"));
            w.writeEmptyElement(QString::fromLatin1(kXopNs), QStringLiteral("Include"));
            w.writeAttribute(QStringLiteral("href"), href);
        } else {
            w.writeAttribute(QStringLiteral("href"), href);
        }
        w.writeEndElement();
    });
    QByteArray body;
    body += "--" + boundary + "\r\n";
    body += mtom ? "Content-Type: application/xop+xml; charset=UTF-8; type=\"text/xml\"\r\n"
                 : "Content-Type: text/xml; charset=UTF-8\r\n";
    body += "Content-Transfer-Encoding: binary\r\nContent-ID: <" + rootId + ">\r\n\r\n";
    body += root + "\r\n";
    body += "--" + boundary + "\r\n";
    body += "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: binary\r\n";
    body += "Content-ID: <" + fileId + ">\r\n";
    body += "Content-Disposition: attachment; filename=\"" + fileId + "\"\r\n\r\n";
    body += content + "\r\n";
    body += "--" + boundary + "--\r\n";
    QByteArray type = "multipart/related; boundary=\"" + boundary + "\"; start=\"<" + rootId + ">\"";
    type += mtom ? "; type=\"application/xop+xml\"; start-info=\"text/xml\"" : "; type=\"text/xml\"";
    return {200, type, body};
}

HttpAnswer faultAnswer(const QString& text, bool client) {
    return {500, "text/xml; charset=UTF-8", envelope([&](QXmlStreamWriter& w) {
                w.writeStartElement(QString::fromLatin1(kEnvelopeNs), QStringLiteral("Fault"));
                w.writeTextElement(QStringLiteral("faultcode"), client ? QStringLiteral("soapenv:Client") : QStringLiteral("soapenv:Server"));
                w.writeTextElement(QStringLiteral("faultstring"), text);
                w.writeEndElement();
            })};
}

} // namespace accise::agency
