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
                // The parser keeps an unfinished tag or text whole until it ends.
                if ((bytesSinceToken += chunk.size()) > MaxTokenBytes)
                    Refuse(QStringLiteral("a single tag or text is longer than %1 MiB.")
                               .arg(MaxTokenBytes >> 20));
                continue;
            }
            Refuse(xml.errorString() + QStringLiteral(" (line %1).").arg(xml.lineNumber()));
        }
        if (token == QXmlStreamReader::DTD)
            Refuse(QStringLiteral("it declares a document type or entities, which a workbook "
                                  "never needs."));
        if (token == QXmlStreamReader::EntityReference)
            Refuse(QStringLiteral("it refers to an undeclared entity."));
        bytesSinceToken = 0;
        // The parser keeps every open element: a part nested without end would fill
        // the memory long before it ends.
        if (token == QXmlStreamReader::StartElement && ++depth > MaxDepth)
            Refuse(QStringLiteral("its elements are nested more than %1 deep.").arg(MaxDepth));
        if (token == QXmlStreamReader::EndElement)
            --depth;
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

QString XmlPartReader::ReadText(qsizetype maxCharacters) {
    QString text;
    Walk(&text, maxCharacters);
    return text;
}

void XmlPartReader::Skip() {
    Walk(nullptr, 0);
}

void XmlPartReader::Walk(QString *text, qsizetype maxCharacters) {
    for (int open = 1; open > 0;) {
        switch (Next()) {
        case QXmlStreamReader::StartElement:
            ++open;
            break;
        case QXmlStreamReader::EndElement:
            --open;
            break;
        case QXmlStreamReader::Characters:
            if (text && text->size() < maxCharacters)
                *text += xml.text().left(maxCharacters - text->size());
            break;
        case QXmlStreamReader::EndDocument:
            Refuse(QStringLiteral("it ends inside an element."));
        default:
            break;
        }
    }
}
