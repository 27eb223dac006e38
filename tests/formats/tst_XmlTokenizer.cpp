#include "formats/XmlTokenizer.h"

#include <QTest>
#include <algorithm>

namespace {
// Reads a document handing out at most `step` bytes a call, and writes down what the
// tokenizer made of it: "<name a=value>", "</name>", "[text]" (pieces joined).
QString Tokens(const std::string &document, size_t step) {
    size_t at = 0;
    XmlTokenizer xml([&](char *to, size_t maxBytes) {
        const size_t n = std::min({step, maxBytes, document.size() - at});
        std::copy_n(document.data() + at, n, to);
        at += n;
        return n;
    });
    QString out, text;
    auto flushText = [&] {
        if (!text.isEmpty())
            out += "[" + text + "]";
        text.clear();
    };
    for (;;) {
        switch (xml.Next()) {
        case XmlTokenizer::Token::StartElement: {
            flushText();
            out += "<" + QString::fromStdString(std::string(xml.Name()));
            bool found = false;
            const QString a = xml.Attribute("a", &found);
            if (found)
                out += " a=" + a;
            out += ">";
            break;
        }
        case XmlTokenizer::Token::EndElement:
            flushText();
            out += "</" + QString::fromStdString(std::string(xml.Name())) + ">";
            break;
        case XmlTokenizer::Token::Characters:
            xml.AppendText(text, 1 << 30);
            break;
        case XmlTokenizer::Token::EndDocument:
            flushText();
            return out;
        }
    }
}

QString Refusal(const std::string &document) {
    try {
        Tokens(document, 3);
    } catch (const XmlTokenizer::Refusal &refusal) {
        return refusal.why;
    }
    return QString();
}
} // namespace

class TestXmlTokenizer : public QObject {
    Q_OBJECT
private slots:
    // The same tokens however the bytes arrive: a byte at a time, a few, or all at once
    // (so a reference, a tag and a character split between arrivals are all met).
    void wellFormedDocumentsRead_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("tokens");
        QTest::newRow("prefixes and self-closing elements")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<x:r xmlns:x=\"u\">"
                          "<x:c a='1'/><c a=\"2\"></c></x:r>")
            << QString("<r><c a=1></c><c a=2></c></r>");
        QTest::newRow("references in text and attributes")
            << QByteArray(
                   "<r a=\"&lt;&amp;&#65;&#x42;&quot;\">&lt;b&gt; &amp; &apos;&#233;&#x1F600;</r>")
            << QString::fromUtf8("<r a=<&AB\">[<b> & '\u00e9\U0001F600]</r>");
        QTest::newRow("CDATA, comments and instructions")
            << QByteArray("<!-- c --><r><![CDATA[<a>&amp;]]><!-- x --><?pi y?>t</r><!-- e -->")
            << "<r>[<a>&amp;t]</r>";
        QTest::newRow("text in many scripts and a byte order mark")
            << QByteArray("\xEF\xBB\xBF<r>\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 z</r>")
            << QString::fromUtf8("<r>[\u00e9\u20ac\U0001F600 z]</r>");
        QTest::newRow("a '>' inside an attribute value")
            << QByteArray("<r a=\"x>y\"/>") << "<r a=x>y></r>";
        QTest::newRow("blanks around the root") << QByteArray("\n <r/> \n") << "<r></r>";
    }
    void wellFormedDocumentsRead() {
        QFETCH(QByteArray, document);
        QFETCH(QString, tokens);
        for (size_t step : {size_t(1), size_t(2), size_t(7), size_t(1) << 20})
            QCOMPARE(Tokens(document.toStdString(), step), tokens);
    }

    void malformedDocumentsRefused_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("reason");
        QTest::newRow("tags that do not match") << QByteArray("<r><a></b></r>") << "does not match";
        QTest::newRow("ends inside an element") << QByteArray("<r><a>text") << "ends inside";
        QTest::newRow("ends inside a tag") << QByteArray("<r><a b=\"1\"") << "ends inside";
        QTest::newRow("no element at all") << QByteArray("  ") << "no element";
        QTest::newRow("two roots") << QByteArray("<r/><s/>") << "more than one root";
        QTest::newRow("text after the root") << QByteArray("<r/>x") << "text follows";
        QTest::newRow("unquoted attribute") << QByteArray("<r a=1/>") << "not quoted";
        QTest::newRow("attribute given twice") << QByteArray("<r a='1' a='2'/>") << "twice";
        QTest::newRow("attribute without value") << QByteArray("<r a/>") << "no value";
        QTest::newRow("'<' in a value") << QByteArray("<r a='<'/>") << "holds “<”";
        QTest::newRow("undeclared entity") << QByteArray("<r>&nbsp;</r>") << "undeclared entity";
        QTest::newRow("reference without end") << QByteArray("<r>&amp x</r>") << "not ended";
        QTest::newRow("character zero") << QByteArray("<r>&#0;</r>") << "names no character";
        QTest::newRow("document type")
            << QByteArray("<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>") << "document type";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE<\0r\0/\0>\0", 10) << "UTF-8";
        QTest::newRow("another encoding declared")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r/>") << "UTF-8";
        QTest::newRow("nested too deep")
            << QByteArray(std::string(200, 'x').c_str()).replace("x", "<a>")
            << "nested more than 128";
    }
    void malformedDocumentsRefused() {
        QFETCH(QByteArray, document);
        QFETCH(QString, reason);
        const QString why = Refusal(document.toStdString());
        QVERIFY2(why.contains(reason), qPrintable(why));
    }

    // A text far longer than the tokenizer's pieces comes whole, and one longer than a
    // tag may be is read without holding it whole; a tag that long is refused.
    void longTextsAndTags() {
        const std::string text(XmlTokenizer::MaxTokenBytes + 100000, 'y');
        QCOMPARE(Tokens("<r>" + text + "&amp;</r>", 1 << 20).size(),
                 qsizetype(text.size() + 1 + 2 + 4 + 3));
        QVERIFY(Refusal("<r a=\"" + text + "\"/>").contains("longer than"));
    }
};

QTEST_GUILESS_MAIN(TestXmlTokenizer)
#include "tst_XmlTokenizer.moc"
