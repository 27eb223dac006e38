#include "formats/XmlPartReader.h"
#include "formats/ZipArchive.h"
#include "platform/LexomatError.h"

namespace {
// The ASCII local names the readers ask for, as bytes.
std::string Ascii(QStringView name) {
    std::string bytes(size_t(name.size()), '\0');
    for (qsizetype i = 0; i < name.size(); ++i)
        bytes[size_t(i)] = char(name[i].unicode() < 0x80 ? name[i].unicode() : 0);
    return bytes;
}
} // namespace

XmlPartReader::XmlPartReader(const ZipArchive &zip, const QString &partName)
    : part(partName), stream(zip.Open(partName)), xml([this](char *to, size_t maxBytes) {
          return size_t(stream->ReadInto(to, qint64(maxBytes)));
      }) {}

XmlPartReader::~XmlPartReader() = default;

void XmlPartReader::Refuse(const QString &why) const {
    throw LexomatError(QStringLiteral("The part “%1” cannot be read: %2").arg(part, why));
}

bool XmlPartReader::Is(QStringView localName) const {
    const std::string_view name = xml.Name();
    if (qsizetype(name.size()) != localName.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (char16_t(uint8_t(name[i])) != localName[qsizetype(i)].unicode())
            return false;
    return true;
}

QXmlStreamReader::TokenType XmlPartReader::Next() {
    try {
        switch (xml.Next()) {
        case XmlTokenizer::Token::StartElement:
            return token = QXmlStreamReader::StartElement;
        case XmlTokenizer::Token::EndElement:
            return token = QXmlStreamReader::EndElement;
        case XmlTokenizer::Token::Characters:
            return token = QXmlStreamReader::Characters;
        case XmlTokenizer::Token::EndDocument:
            break;
        }
        return token = QXmlStreamReader::EndDocument;
    } catch (const XmlTokenizer::Refusal &refusal) {
        Refuse(refusal.why);
    }
}

bool XmlPartReader::NextStartElement() {
    for (;;) {
        const QXmlStreamReader::TokenType next = Next();
        if (next == QXmlStreamReader::StartElement)
            return true;
        if (next == QXmlStreamReader::EndDocument)
            return false;
    }
}

QString XmlPartReader::Text() const {
    return token == QXmlStreamReader::Characters ? xml.Text() : QString();
}

QString XmlPartReader::Attribute(QStringView localName) const {
    return xml.Attribute(Ascii(localName));
}

std::string_view XmlPartReader::RawAttribute(std::string_view localName) const {
    return xml.RawAttribute(localName);
}

QString XmlPartReader::Attribute(QStringView namespacePart, QStringView localName) const {
    return xml.Attribute(Ascii(namespacePart), Ascii(localName));
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
            if (text)
                xml.AppendText(*text, maxCharacters);
            break;
        case QXmlStreamReader::EndDocument:
            Refuse(QStringLiteral("it ends inside an element."));
        default:
            break;
        }
    }
}
