#pragma once

#include <QXmlStreamReader>
#include <memory>

class ZipArchive;
class ZipEntryStream;

// Streams one XML part of a zip archive through QXmlStreamReader, a chunk at a
// time, so that no part is ever held whole. Refuses with a LexomatError naming the
// part: malformed XML, document type declarations (entity bombs), and what would
// make the parser itself hold much memory: elements nested deeper than MaxDepth,
// and a single tag or text longer than MaxTokenBytes.
class XmlPartReader {
public:
    static constexpr int MaxDepth = 128;
    static constexpr qint64 MaxTokenBytes = qint64(4) << 20;

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
    // The text inside the current element, which is left at its end: at most
    // maxCharacters of it (the rest is read past).
    QString ReadText(qsizetype maxCharacters);
    // Leaves the current element at its end, skipping what it holds.
    void Skip();

private:
    [[noreturn]] void Refuse(const QString &why) const;
    // To the end of the current element, gathering its text when asked.
    void Walk(QString *text, qsizetype maxCharacters);

    QString part;
    std::unique_ptr<ZipEntryStream> stream;
    QXmlStreamReader xml;
    bool inputDone = false;
    int depth = 0;
    qint64 bytesSinceToken = 0;
};
