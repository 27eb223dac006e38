#pragma once

#include <QXmlStreamReader>
#include <memory>

class ZipArchive;
class ZipEntryStream;

// Streams one XML part of a zip archive through QXmlStreamReader, a chunk at a
// time, so that no part is ever held whole. Refuses document type declarations
// (entity bombs) and malformed XML with a LexomatError naming the part.
class XmlPartReader {
public:
    XmlPartReader(const ZipArchive &zip, const QString &partName);
    ~XmlPartReader();

    QXmlStreamReader::TokenType Next();
    // Reads the next start element up to the end of the part; false at the end.
    bool NextStartElement();
    bool IsStart(QStringView localName) const {
        return xml.tokenType() == QXmlStreamReader::StartElement && xml.name() == localName;
    }
    bool IsEnd(QStringView localName) const {
        return xml.tokenType() == QXmlStreamReader::EndElement && xml.name() == localName;
    }
    bool AtStart() const { return xml.tokenType() == QXmlStreamReader::StartElement; }
    QStringView Name() const { return xml.name(); }
    QStringView Text() const { return xml.text(); }
    // An attribute of the current start element by its local name, any namespace.
    QString Attribute(QStringView localName) const;
    // An attribute whose namespace URI contains `namespacePart`.
    QString Attribute(QStringView namespacePart, QStringView localName) const;
    // All text inside the current element, which is left at its end.
    QString ReadText();
    // Leaves the current element at its end, skipping what it holds.
    void Skip();

private:
    [[noreturn]] void Refuse(const QString &why) const;
    // To the end of the current element, gathering its text when asked.
    void Walk(QString *text);

    QString part;
    std::unique_ptr<ZipEntryStream> stream;
    QXmlStreamReader xml;
    bool inputDone = false;
};
