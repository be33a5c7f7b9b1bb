#include "qt/telematic/soapreply.h"

#include <vector>

#include <QUrl>
#include <QXmlStreamReader>

namespace accise {

namespace {

struct MimePart {
    QByteArray contentId; // without the angle brackets
    QByteArray contentType;
    QByteArray body;
};

// Base64 as it travels: lines may be wrapped, blanks are not part of it.
std::optional<QByteArray> decodeBase64(const QByteArray& text) {
    QByteArray compact;
    compact.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t') compact += c;
    auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    return *decoded;
}

QByteArray unbracketed(QByteArray id) {
    id = id.trimmed();
    if (id.startsWith('<') && id.endsWith('>')) id = id.mid(1, id.size() - 2);
    return id;
}

// The parts between the boundaries; false (with `problem`) when the message is cut
// short or a part has no header block.
bool splitMultipart(const QByteArray& body, const QByteArray& boundary, std::vector<MimePart>& parts,
                    QString& problem) {
    const QByteArray delimiter = "--" + boundary;
    qsizetype at = body.startsWith(delimiter) ? 0 : body.indexOf("\r\n" + delimiter);
    if (at < 0) {
        problem = QStringLiteral("messaggio multipart senza il separatore dichiarato");
        return false;
    }
    if (at > 0) at += 2;
    for (;;) {
        qsizetype after = at + delimiter.size();
        if (body.mid(after, 2) == "--") return true; // the closing delimiter
        const qsizetype lineEnd = body.indexOf("\r\n", after);
        if (lineEnd < 0) break;
        const qsizetype start = lineEnd + 2;
        const qsizetype next = body.indexOf("\r\n" + delimiter, start);
        if (next < 0) break;
        const QByteArray raw = body.mid(start, next - start);
        const qsizetype headersEnd = raw.indexOf("\r\n\r\n");
        if (headersEnd < 0 && !raw.startsWith("\r\n")) {
            problem = QStringLiteral("parte del messaggio multipart senza intestazioni");
            return false;
        }
        MimePart part;
        const qsizetype contentStart = headersEnd < 0 ? 2 : headersEnd + 4;
        const QByteArray headers = headersEnd < 0 ? QByteArray() : raw.left(headersEnd);
        QByteArray encoding;
        for (const QByteArray& line : headers.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon < 0) continue;
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-id") part.contentId = unbracketed(value);
            else if (name == "content-type") part.contentType = value;
            else if (name == "content-transfer-encoding") encoding = value.toLower();
        }
        part.body = raw.mid(contentStart);
        if (encoding == "base64") {
            auto decoded = decodeBase64(part.body);
            if (!decoded) {
                problem = QStringLiteral("allegato in base64 non valido");
                return false;
            }
            part.body = *decoded;
        }
        parts.push_back(std::move(part));
        at = next + 2;
    }
    problem = QStringLiteral("messaggio multipart troncato");
    return false;
}

struct ResponsePart {
    QString name;
    QString text;
    QString xsiType;
    QByteArray reference; // cid of an attachment it points at
};

QByteArray cidOf(const QString& href) {
    QString id = href.trimmed();
    if (id.startsWith(QStringLiteral("cid:"), Qt::CaseInsensitive)) id = id.mid(4);
    return unbracketed(QUrl::fromPercentEncoding(id.toUtf8()).toUtf8());
}

// Reads the element the reader stands on up to its end: its text and the first
// attachment reference inside it.
void readPart(QXmlStreamReader& xml, ResponsePart& part) {
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (part.reference.isEmpty() && xml.attributes().hasAttribute(QStringLiteral("href")))
                part.reference = cidOf(xml.attributes().value(QStringLiteral("href")).toString());
            break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::Characters: part.text += xml.text(); break;
        default: break;
        }
    }
}

} // namespace

QByteArray headerParameter(const QByteArray& headerValue, const QByteArray& name) {
    const QByteArray wanted = name.toLower();
    qsizetype i = headerValue.indexOf(';');
    while (i >= 0 && i < headerValue.size()) {
        ++i;
        while (i < headerValue.size() && headerValue[i] == ' ') ++i;
        const qsizetype equals = headerValue.indexOf('=', i);
        if (equals < 0) break;
        const QByteArray key = headerValue.mid(i, equals - i).trimmed().toLower();
        QByteArray value;
        qsizetype j = equals + 1;
        if (j < headerValue.size() && headerValue[j] == '"') {
            const qsizetype close = headerValue.indexOf('"', j + 1);
            if (close < 0) break;
            value = headerValue.mid(j + 1, close - j - 1);
            j = close + 1;
        } else {
            const qsizetype end = headerValue.indexOf(';', j);
            value = headerValue.mid(j, end < 0 ? -1 : end - j).trimmed();
            j = end < 0 ? headerValue.size() : end;
        }
        if (key == wanted) return value;
        i = headerValue.indexOf(';', j);
    }
    return {};
}

SoapReply parseSoapReply(const QByteArray& contentType, const QByteArray& body) {
    SoapReply reply;
    std::vector<MimePart> parts;
    QByteArray envelope = body;
    qsizetype root = -1;
    if (contentType.trimmed().toLower().startsWith("multipart/")) {
        const QByteArray boundary = headerParameter(contentType, "boundary");
        if (boundary.isEmpty()) {
            reply.problem = QStringLiteral("messaggio multipart senza separatore");
            return reply;
        }
        if (!splitMultipart(body, boundary, parts, reply.problem)) return reply;
        if (parts.empty()) {
            reply.problem = QStringLiteral("messaggio multipart vuoto");
            return reply;
        }
        const QByteArray start = unbracketed(headerParameter(contentType, "start"));
        root = 0;
        for (std::size_t i = 0; i < parts.size() && !start.isEmpty(); ++i)
            if (parts[i].contentId == start) root = qsizetype(i);
        envelope = parts[std::size_t(root)].body;
    }

    QXmlStreamReader xml(envelope);
    std::vector<ResponsePart> children;
    bool inBody = false, sawBody = false, sawResponse = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const QStringView name = xml.name();
        if (!inBody) {
            if (name == QStringLiteral("Body")) inBody = sawBody = true;
            continue;
        }
        // The first element inside Body: a fault, or the operation's response.
        sawResponse = true;
        if (name == QStringLiteral("Fault")) {
            reply.fault = true;
            int depth = 1;
            QString code, text;
            QString current;
            while (depth > 0 && !xml.atEnd()) {
                switch (xml.readNext()) {
                case QXmlStreamReader::StartElement: ++depth; current = xml.name().toString(); break;
                case QXmlStreamReader::EndElement: --depth; current.clear(); break;
                case QXmlStreamReader::Characters:
                    if (current == QStringLiteral("faultcode")) code += xml.text();
                    else if (current == QStringLiteral("faultstring")) text += xml.text();
                    break;
                default: break;
                }
            }
            reply.faultText = code.trimmed().isEmpty() ? text.trimmed() : code.trimmed() + ": " + text.trimmed();
        } else {
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement()) break; // end of the response element
                if (!xml.isStartElement()) continue;
                ResponsePart part;
                part.name = xml.name().toString();
                part.xsiType = xml.attributes().value(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                                                      QStringLiteral("type")).toString();
                if (xml.attributes().hasAttribute(QStringLiteral("href")))
                    part.reference = cidOf(xml.attributes().value(QStringLiteral("href")).toString());
                readPart(xml, part);
                children.push_back(std::move(part));
            }
        }
        break;
    }
    if (xml.hasError()) {
        reply.problem = QStringLiteral("risposta non leggibile (XML non valido o troncato: %1)").arg(xml.errorString());
        return reply;
    }
    if (!sawBody || !sawResponse) {
        reply.problem = QStringLiteral("risposta SOAP senza contenuto");
        return reply;
    }
    if (reply.fault) return reply;

    if (!children.empty() && children.front().reference.isEmpty()) reply.result = children.front().text;
    for (const ResponsePart& child : children) {
        if (child.reference.isEmpty()) continue;
        for (const MimePart& part : parts)
            if (part.contentId == child.reference) reply.attachment = part.body;
        if (!reply.attachment) {
            reply.problem = QStringLiteral("allegato indicato nella risposta ma assente dal messaggio");
            return reply;
        }
        return reply;
    }
    if (parts.size() > 1) {
        reply.attachment = parts[root == 0 ? 1 : 0].body;
        return reply;
    }
    // Inline: a part typed base64Binary or named as content; failing those, the first
    // part after the returned text that is base64 (a file name beside it is not).
    for (const ResponsePart& child : children) {
        if (!child.xsiType.endsWith(QStringLiteral("base64Binary")) &&
            !child.name.contains(QStringLiteral("content"), Qt::CaseInsensitive))
            continue;
        auto decoded = decodeBase64(child.text.toLatin1());
        if (!decoded) {
            reply.problem = QStringLiteral("file in base64 non valido nella risposta");
            return reply;
        }
        reply.attachment = *decoded;
        if (&child == &children.front()) reply.result.clear();
        return reply;
    }
    for (std::size_t i = 1; i < children.size(); ++i) {
        if (auto decoded = decodeBase64(children[i].text.toLatin1())) {
            reply.attachment = *decoded;
            return reply;
        }
    }
    return reply;
}

} // namespace accise
