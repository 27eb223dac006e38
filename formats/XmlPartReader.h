#pragma once

#include "formats/XmlTokenizer.h"

#include <QLatin1StringView>
#include <QString>
#include <QXmlStreamReader>
#include <memory>

class ZipArchive;
class ZipEntryStream;

// Streams one XML part of a zip archive a block at a time through our own tokenizer
// (XmlTokenizer), so that no part is ever held whole and a sheet of a hundred thousand
// rows is scanned at the speed of its bytes. Refuses with a LexomatError naming the
// part: malformed XML, document type declarations (entity bombs), elements nested
// deeper than MaxDepth, and a single tag or text longer than MaxTokenBytes.
class XmlPartReader {
public:
    static constexpr int MaxDepth = XmlTokenizer::MaxDepth;
    static constexpr qint64 MaxTokenBytes = qint64(XmlTokenizer::MaxTokenBytes);

    XmlPartReader(const ZipArchive &zip, const QString &partName);
    ~XmlPartReader();

    // StartElement, EndElement, Characters or EndDocument.
    QXmlStreamReader::TokenType Next();
    // Reads the next start element up to the end of the part; false at the end.
    bool NextStartElement();
    bool IsStart(QStringView localName) const {
        return token == QXmlStreamReader::StartElement && Is(localName);
    }
    bool IsEnd(QStringView localName) const {
        return token == QXmlStreamReader::EndElement && Is(localName);
    }
    bool AtStart() const { return token == QXmlStreamReader::StartElement; }
    // The current element's local name; element names of these formats are ASCII.
    QLatin1StringView Name() const {
        return QLatin1StringView(xml.Name().data(), qsizetype(xml.Name().size()));
    }
    // The current text.
    QString Text() const;
    // An attribute of the current start element by its local name, any namespace.
    QString Attribute(QStringView localName) const;
    // The value as the tag holds it, references not decoded: for names and numbers,
    // without making a string of it.
    std::string_view RawAttribute(std::string_view localName) const;
    // An attribute whose namespace URI contains `namespacePart`.
    QString Attribute(QStringView namespacePart, QStringView localName) const;
    // The text inside the current element, which is left at its end: at most
    // maxCharacters of it (the rest is read past).
    QString ReadText(qsizetype maxCharacters);
    // Leaves the current element at its end, skipping what it holds.
    void Skip();

private:
    [[noreturn]] void Refuse(const QString &why) const;
    bool Is(QStringView localName) const;
    // To the end of the current element, gathering its text when asked.
    void Walk(QString *text, qsizetype maxCharacters);

    QString part;
    std::unique_ptr<ZipEntryStream> stream;
    XmlTokenizer xml;
    QXmlStreamReader::TokenType token = QXmlStreamReader::NoToken;
};
