// The in-memory document of a picture: the three edits, looked up by tag and
// id in document order, and the text they write back.

#include <SvgDocument.h>

#include <QTextCodec>
#include <QtTest>

namespace {

const QByteArray kPicture = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- a module -->\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"76\" height=\"140\">\n"
    "  <rect id=\"mess\" x=\"1\" visibility=\"hidden\"/>\n"
    "  <text id=\"number\" x=\"54\" fill=\"#263238\">0</text>\n"
    "  <text id=\"name\" x=\"38\">A &amp; B</text>\n"
    "  <g id=\"number\"><text id=\"inner\">x</text></g>\n"
    "  <text id=\"empty\"></text>\n"
    "  <text id=\"bare\"/>\n"
    "  <text id=\"number\" fill=\"#000000\">second</text>\n"
    "  <path d=\"M0 0\" fill=\"#666666\"/>\n"
    "  <path d=\"M1 1\"/>\n"
    "  <g id=\"group\">\n"
    "    <path d=\"M2 2\" fill=\"#666666\"/>\n"
    "  </g>\n"
    "</svg>\n";

SvgDocument documentOf(const QByteArray &bytes = kPicture)
{
    QString error;
    auto parsed = SvgTemplate::parse(bytes, &error);
    if (!parsed)
        qWarning() << error;
    return SvgDocument(parsed);
}

// The document read back through a fresh parse.
SvgDocument reread(const SvgDocument &document)
{
    return documentOf(document.toByteArray());
}

} // namespace

class TestSvgDocument : public QObject
{
    Q_OBJECT

private slots:
    void untouchedDocumentIsTheTemplate()
    {
        const SvgDocument document = documentOf();
        QVERIFY(!document.isNull());
        QVERIFY(!document.isEdited());
        QCOMPARE(document.toByteArray(), kPicture);
        QCOMPARE(document.text("text", "number"), QStringLiteral("0"));
        QCOMPARE(document.text("text", "name"), QStringLiteral("A & B"));
        QCOMPARE(document.attribute("rect", "mess", "visibility"), QStringLiteral("hidden"));
    }

    void setText_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("first of the id") << "number" << "42" << true << "42";
        QTest::newRow("same text") << "number" << "0" << false << "0";
        QTest::newRow("markup in the text") << "name" << "<TB & \"x\">" << true << "<TB & \"x\">";
        QTest::newRow("chinese") << "name" << "输入(出)内存超限" << true << "输入(出)内存超限";
        QTest::newRow("no children") << "empty" << "new" << true << "new";
        QTest::newRow("self-closing") << "bare" << "new" << true << "new";
        QTest::newRow("not there") << "nothing" << "new" << false << "";
    }

    void setText()
    {
        QFETCH(QString, id);
        QFETCH(QString, text);
        QFETCH(bool, changes);
        QFETCH(QString, readBack);
        SvgDocument document = documentOf();
        QCOMPARE(document.setText("text", id, text), changes);
        QCOMPARE(document.isEdited(), changes);
        QCOMPARE(document.text("text", id), readBack);
        QCOMPARE(reread(document).text("text", id), readBack);
        // The later element of the same id and the other tags are left alone.
        QCOMPARE(reread(document).attributeOfAll("text", "fill"),
                 (QStringList{"#263238", "", "", "", "", "#000000"}));
    }

    void textOfAnElementWithChildElements()
    {
        SvgDocument document = documentOf();
        QVERIFY(!document.setText("g", "number", "x"));
        QVERIFY(!document.isEdited());
    }

    void repeatedEditsOfOneElement()
    {
        SvgDocument document = documentOf();
        QVERIFY(document.setText("text", "bare", "1"));
        QVERIFY(document.setText("text", "bare", "2"));
        QVERIFY(document.setAttributeById("text", "bare", "fill", "#FF0000"));
        QVERIFY(document.setText("text", "number", "7"));
        QVERIFY(document.setAttributeById("text", "number", "fill", "#FF0000"));
        const SvgDocument back = reread(document);
        QCOMPARE(back.text("text", "bare"), QStringLiteral("2"));
        QCOMPARE(back.attribute("text", "bare", "fill"), QStringLiteral("#FF0000"));
        QCOMPARE(back.text("text", "number"), QStringLiteral("7"));
        QCOMPARE(back.attribute("text", "number", "fill"), QStringLiteral("#FF0000"));
        QCOMPARE(back.attribute("text", "number", "x"), QStringLiteral("54"));
        QVERIFY(document.toByteArray().contains("xmlns:xlink=\"http://www.w3.org/1999/xlink\""));
    }

    void setAttributeById_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("changes");
        QTest::newRow("replaced") << "rect" << "mess" << "visibility" << "visible" << true;
        QTest::newRow("added") << "text" << "name" << "fill" << "#FF0000" << true;
        QTest::newRow("same value") << "rect" << "mess" << "visibility" << "hidden" << false;
        QTest::newRow("id of another tag") << "rect" << "number" << "fill" << "#FF0000" << false;
        QTest::newRow("quotes in the value") << "text" << "name" << "font-family" << "\"Noto\" & <x>" << true;
    }

    void setAttributeById()
    {
        QFETCH(QString, tag);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(bool, changes);
        SvgDocument document = documentOf();
        QCOMPARE(document.setAttributeById(tag, id, name, value), changes);
        if (changes) {
            QCOMPARE(document.attribute(tag, id, name), value);
            QCOMPARE(reread(document).attribute(tag, id, name), value);
        }
    }

    void setAttributeOnAll()
    {
        SvgDocument document = documentOf();
        QVERIFY(document.setAttributeOnAll("path", "fill", "#e53935"));
        QCOMPARE(reread(document).attributeOfAll("path", "fill"), (QStringList{"#e53935", "#e53935", "#e53935"}));
        QVERIFY(!document.setAttributeOnAll("path", "fill", "#e53935"));
        QVERIFY(document.setAttributeOnAll("path", "fill", "#666666"));
        QCOMPARE(reread(document).attributeOfAll("path", "fill"), (QStringList{"#666666", "#666666", "#666666"}));
        QVERIFY(!document.setAttributeOnAll("circle", "fill", "#666666"));
    }

    void pictureInAnotherEncoding()
    {
        QTextCodec *codec = QTextCodec::codecForName("GB18030");
        QVERIFY(codec);
        const QByteArray bytes = codec->fromUnicode(QString::fromUtf8(
            "<?xml version=\"1.0\" encoding=\"GB18030\"?><svg xmlns=\"http://www.w3.org/2000/svg\"><text id=\"name\">模块</text></svg>"));
        SvgDocument document = documentOf(bytes);
        QCOMPARE(document.text("text", "name"), QStringLiteral("模块"));
        QVERIFY(document.setText("text", "name", QStringLiteral("输入")));
        QCOMPARE(reread(document).text("text", "name"), QStringLiteral("输入"));
    }

    void notAPicture_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("broken") << QByteArray("<svg><text>");
        QTest::newRow("text") << QByteArray("hello");
    }

    void notAPicture()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!SvgTemplate::parse(bytes));
        SvgDocument none;
        QVERIFY(none.isNull());
        QVERIFY(!none.setText("text", "name", "x"));
        QVERIFY(!none.setAttributeOnAll("path", "fill", "x"));
        QVERIFY(none.toByteArray().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSvgDocument)
#include "tst_svgdocument.moc"
