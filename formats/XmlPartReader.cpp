#include "formats/XmlPartReader.h"
#include "formats/ZipArchive.h"
#include "platform/LexomatError.h"

namespace {
constexpr qint64 ChunkBytes = 256 * 1024;
}

XmlPartReader::XmlPartReader(const ZipArchive &zip, const QString &partName)
    : part(partName), stream(zip.Open(partName)) {}

XmlPartReader::~XmlPartReader() = default;

void XmlPartReader::Refuse(const QString &why) const {
    throw LexomatError(QStringLiteral("The part “%1” cannot be read: %2").arg(part, why));
}

QXmlStreamReader::TokenType XmlPartReader::Next() {
    for (;;) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && !inputDone) {
                const QByteArray chunk = stream->Read(ChunkBytes);
                if (chunk.isEmpty())
                    inputDone = true;
                else
                    xml.addData(chunk);
                continue;
            }
            Refuse(xml.errorString() + QStringLiteral(" (line %1).").arg(xml.lineNumber()));
        }
        if (token == QXmlStreamReader::DTD)
            Refuse(QStringLiteral("it declares a document type or entities, which a workbook "
                                  "never needs."));
        if (token == QXmlStreamReader::EntityReference)
            Refuse(QStringLiteral("it refers to an undeclared entity."));
        return token;
    }
}

bool XmlPartReader::NextStartElement() {
    for (;;) {
        const QXmlStreamReader::TokenType token = Next();
        if (token == QXmlStreamReader::StartElement)
            return true;
        if (token == QXmlStreamReader::EndDocument)
            return false;
    }
}

QString XmlPartReader::Attribute(QStringView localName) const {
    const QXmlStreamAttributes attributes = xml.attributes();
    for (const QXmlStreamAttribute &attribute : attributes)
        if (attribute.name() == localName)
            return attribute.value().toString();
    return QString();
}

QString XmlPartReader::Attribute(QStringView namespacePart, QStringView localName) const {
    const QXmlStreamAttributes attributes = xml.attributes();
    for (const QXmlStreamAttribute &attribute : attributes)
        if (attribute.name() == localName && attribute.namespaceUri().contains(namespacePart))
            return attribute.value().toString();
    return QString();
}

QString XmlPartReader::ReadText() {
    QString text;
    Walk(&text);
    return text;
}

void XmlPartReader::Skip() {
    Walk(nullptr);
}

void XmlPartReader::Walk(QString *text) {
    for (int depth = 1; depth > 0;) {
        switch (Next()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (text)
                *text += xml.text();
            break;
        case QXmlStreamReader::EndDocument:
            Refuse(QStringLiteral("it ends inside an element."));
        default:
            break;
        }
    }
}
