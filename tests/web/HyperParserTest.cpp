#include <gtest/gtest.h>

#include <functional>

#include <QTemporaryDir>

#include "foundation/Operation.h"
#include "support/BinaryPlist.h"
#include "web/HyperCodes.h"
#include "web/HyperParser.h"
#include "web/HyperParserDelegate.h"

// Readable failures: gtest finds this through the argument's namespace.
[[maybe_unused]] static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

// Writes every event as one line-free token so that a whole page's events
// compare as one string: <name key=[value]>, </name>, T[text], C[comment],
// D[cdata]. Brackets show value boundaries exactly.
class Recorder : public HyperParserDelegate
{
public:
    QStringList events;
    std::function<void(HyperParser &, const QString &)> onEvent;

    void foundCDATA(HyperParser &p, QStringView text) override { record(p, u"D[" + text + u"]"); }
    void foundComment(HyperParser &p, QStringView text) override { record(p, u"C[" + text + u"]"); }
    void foundCharacters(HyperParser &p, QStringView text) override { record(p, u"T[" + text + u"]"); }
    void didEndElement(HyperParser &p, QStringView name) override { record(p, u"</" + name + u">"); }
    void didStartElement(HyperParser &p, QStringView name, const HyperAttributes &attributes) override
    {
        QString event = u"<" + name.toString();
        for (const auto &a : attributes)
            event += u" " + a.key + u"=[" + a.value + u"]";
        record(p, event + u">");
    }

private:
    void record(HyperParser &p, const QString &event)
    {
        events.append(event);
        if (onEvent)
            onEvent(p, event);
    }
};

QString tokens(const QString &page)
{
    Recorder recorder;
    HyperParser parser(page);
    parser.setDelegate(&recorder);
    parser.parse();
    return recorder.events.join(u' ');
}

class NoWork : public Operation
{
public:
    void main() override {}
};

} // namespace

TEST(HyperParserTest, TagsAttributesAndSpecialSections)
{
    const struct {
        const char *page, *events;
    } cases[] = {
        // Self-closing only when nothing but white space follows the "/".
        {"<br/>", "<br> </br>"},
        {"<br>", "<br>"},
        {"<a/ >", "<a> </a>"},
        {"<img src=\"a.jpg\" />", "<img src=[a.jpg]> </img>"},
        {"<a/b>", "<a>"},
        // End tags, white space anywhere.
        {"</a>", "</a>"},
        {"</ a >", "</a>"},
        {"< /a>", "</a>"},
        {"</a b=\"c\">", "</a>"},
        // An unquoted value ends only at white space: ">" and text run into it.
        {"<a href=x>text more</a>x", "<a href=[x>text]>"},
        {"<a href=/b/c/>", "<a href=[/b/c/>]>"},
        // Quoting, white space around "=", the other quote kept inside.
        {"<a title = \"it's\" alt='say \"hi\"' x= ' a b ' >", "<a title=[it's] alt=[say \"hi\"] x=[ a b ]>"},
        {"<a b=x\"y c=\"\">", "<a b=[x\"y] c=[]>"},
        {"<a b=\"1\"c=\"2\">", "<a b=[1] c=[2]>"},
        // Names keep their case.
        {"<DIV CLASS=\"X\"></Div>", "<DIV CLASS=[X]> </Div>"},
        // Bare words, nameless tags, values without keys, repeated keys.
        {"<input checked name=x >", "<input name=[x]>"},
        {"<input checked ='x'>", "<input checked=[x]>"},
        {"<a x=1 x=\"2\" y='3'>", "<a x=[2] y=[3]>"},
        {"< >", ""},
        {"<=x>", ""},
        {"<a =x>", "<a>"},
        // Comments, CDATA, declarations and processing instructions.
        {"<!-- a > b <c> -->", "C[ a > b <c> ]"},
        {"<![CDATA[x<y]]>", "D[x<y]"},
        {"<!DOCTYPE html><?xml version=\"1.0\"?><p>", "<p>"},
        {"<!--x-->y<!x>", "C[x] T[y]"},
        // Text as it stands; what follows the last "<" is not text.
        {"a &amp; b<p>  c\n<p>tail", "T[a &amp; b] <p> T[  c\n] <p>"},
        // Cut off by the end of the page: reported with what was read.
        {"<a href=\"x", "<a href=[x]>"},
        {"<a href=", "<a href=[]>"},
        {"<a b", "<a>"},
        {"</a ", "</a>"},
        {"</a", ""},
        {"<!-- unterminated", "C[]"},
        // "<" inside a tag is an ordinary character.
        {"<a<b>", "<a<b>"},
        // No-break space and other Unicode white space separate words.
        {"<a\u00a0b=1\u2028c=\"2\">", "<a b=[1] c=[2]>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tokens(q(c.page)), q(c.events)) << c.page;
}

TEST(HyperParserTest, PageShapedLikeRealSites)
{
    // Scripts that write markup from strings of both quote kinds, comparisons
    // with "<", inline handlers and attribute values holding the other quote.
    const QString page = q(R"(<html><head>
<script type="text/javascript">
var i = 0; if (i<n && n>2) { document.write('<a href="/ad/">ad</a>'); }
var s = "<div class='x'>" + '</div>';
</script>
<!-- google_ad_section_start -->
</head><body>
<table class="listing"><tr><td><a href="/naruto/1" title='Naruto "1"'>Naruto 1</a> &nbsp;new</td>
<td><a href='/naruto/2' onclick="go('x');return false;">Naruto 2</a></td></tr>
<tr class="odd"><td><a href=/naruto/3 >Naruto 3</a></td></tr></table>
<img src="http://i.example.com/1.jpg" width="728"/>
</body></html>)");

    struct Links : HyperParserDelegate {
        QStringList hrefs, texts, titles;
        bool inLink = false;
        int images = 0, imageEnds = 0;
        void didStartElement(HyperParser &, QStringView name, const HyperAttributes &a) override
        {
            if (name == u"a" && a.contains("href") && a.value("href").startsWith(u"/naruto")) {
                hrefs.append(a.value("href"));
                titles.append(a.value("title"));
                inLink = true;
            }
            images += name == u"img" && a.value("src").endsWith(u".jpg");
        }
        void didEndElement(HyperParser &, QStringView name) override
        {
            inLink = inLink && name != u"a";
            imageEnds += name == u"img";
        }
        void foundCharacters(HyperParser &, QStringView text) override
        {
            if (inLink)
                texts.append(text.toString());
        }
    } links;
    HyperParser parser(page);
    parser.setDelegate(&links);
    parser.parse();
    EXPECT_EQ(links.hrefs, QStringList({q("/naruto/1"), q("/naruto/2"), q("/naruto/3")}));
    EXPECT_EQ(links.texts, QStringList({q("Naruto 1"), q("Naruto 2"), q("Naruto 3")}));
    EXPECT_EQ(links.titles, QStringList({q("Naruto \"1\""), QString(), QString()}));
    EXPECT_EQ(links.images, 1);
    EXPECT_EQ(links.imageEnds, 1);
}

TEST(HyperParserTest, AbortAndCancelStopAtOnceAndKeepWhatWasCollected)
{
    const QString page = q("<a>one<!--c--><b/><c>two<d>");
    const struct {
        const char *stopAt, *aborted, *cancelled;
    } cases[] = {
        {"<a>", "<a>", "<a>"},
        {"T[one]", "<a> T[one]", "<a> T[one]"},
        {"C[c]", "<a> T[one] C[c]", "<a> T[one] C[c]"},
        // Aborting drops the end event of a self-closing tag; a cancelled
        // operation is only noticed between tags.
        {"<b>", "<a> T[one] C[c] <b>", "<a> T[one] C[c] <b> </b>"},
        {"</b>", "<a> T[one] C[c] <b> </b>", "<a> T[one] C[c] <b> </b>"},
        {"T[two]", "<a> T[one] C[c] <b> </b> <c> T[two]", "<a> T[one] C[c] <b> </b> <c> T[two]"},
    };
    for (const bool byOperation : {false, true}) {
        for (const auto &c : cases) {
            const QString expected = q(byOperation ? c.cancelled : c.aborted);
            NoWork operation;
            Recorder recorder;
            recorder.onEvent = [&](HyperParser &p, const QString &event) {
                if (event != q(c.stopAt))
                    return;
                if (byOperation)
                    operation.cancel();
                else
                    p.abortParsing();
            };
            HyperParser parser(page);
            parser.setDelegate(&recorder);
            parser.setOperationDelegate(&operation);
            parser.parse();
            EXPECT_EQ(recorder.events.join(u' '), expected)
                << c.stopAt << (byOperation ? " (cancel)" : " (abort)");
            // A second parse after stopping reads nothing more.
            parser.parse();
            EXPECT_EQ(recorder.events.join(u' '), expected);
        }
    }

    NoWork cancelled;
    cancelled.cancel();
    Recorder recorder;
    HyperParser parser(page);
    parser.setDelegate(&recorder);
    parser.setOperationDelegate(&cancelled);
    parser.parse();
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST(HyperParserTest, DecodeReplacesKnownReferencesOnly)
{
    const HyperParser fallback(QString(), QStringLiteral("/nonexistent/codes.plist"));
    const HyperParser full{QString()};
    const struct {
        const HyperParser &parser;
        const char *in, *out;
    } cases[] = {
        {fallback, "a &lt; b &gt; c&nbsp;d", "a < b > c d"},
        {fallback, "&amp; &lt &;lt; &&lt;&", "&amp; &lt &;lt; &<&"},
        {fallback, "&LT;&lt;;", "&LT;<;"},
        {full, "Tom &amp; Jerry&eacute;&NewLine;&Afr;", "Tom & Jerry\u00e9\n\U0001D504"},
        {full, "&unknown; &amp &AMP;", "&unknown; &amp &"},
        // The longest name, and one character too many.
        {full, "&CounterClockwiseContourIntegral;|&CounterClockwiseContourIntegralX;",
         "\u2233|&CounterClockwiseContourIntegralX;"},
        {full, "x&", "x&"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.parser.decode(q(c.in)), q(c.out)) << c.in;

    const QString plain = q("no references here");
    EXPECT_EQ(fallback.decode(plain).constData(), plain.constData()) << "returned without copying";
    EXPECT_TRUE(fallback.decode(QString()).isNull());

    EXPECT_EQ(HyperCodes::forPath(QStringLiteral("/nonexistent/codes.plist"))->size(), 3);
    // A damaged table (a key in UTF-16 holding a NUL) once ended the program.
    QTemporaryDir dir;
    QFile damaged(dir.filePath(QStringLiteral("codes.plist")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    using namespace BinaryPlist;
    damaged.write(file({dictionary({1}, {2}), utf16(QByteArray("\0a\0\0", 4)), ascii("x")}));
    damaged.close();
    EXPECT_EQ(HyperCodes::forPath(damaged.fileName())->size(), 3);
    EXPECT_GT(HyperCodes::forPath(HyperCodes::defaultPath())->size(), 2000);
}

TEST(HyperParserTest, CursorAndCharacterHelpers)
{
    HyperInput input(q("<!--x-->rest"));
    EXPECT_FALSE(input.substringFromPrefix(u"!--", u"-->"));
    EXPECT_EQ(input.position(), 0);
    EXPECT_TRUE(input.startsWithPrefix(u"<!"));
    EXPECT_FALSE(input.startsWithPrefix(u"<!--x-->rest+"));
    EXPECT_EQ(input.substringToSuffix(u"<"), QStringView());
    EXPECT_EQ(*input.substringFromPrefix(u"!--", u"-->"), u"x");
    EXPECT_EQ(input.position(), 8);
    EXPECT_TRUE(input.substringToSuffix(u"missing").isEmpty());
    EXPECT_FALSE(input.hasNext());

    EXPECT_TRUE(HyperParser::string(u"abcdef", u"cd", 2));
    EXPECT_FALSE(HyperParser::string(u"abcdef", u"efg", 4));
    EXPECT_FALSE(HyperParser::string(u"abcdef", u"a", 7));

    for (char16_t c : {u' ', u'\t', u'\n', u'\r', u'\v', u'\f', u'\u0085', u'\u00a0', u'\u1680', u'\u2000',
                       u'\u200a', u'\u2028', u'\u2029', u'\u202f', u'\u205f', u'\u3000'})
        EXPECT_TRUE(HyperParser::isWhitespace(QChar(c))) << int(c);
    for (char16_t c : {u'a', u'>', u'\0', u'\u200b', u'\ufeff', u'\u180e', u'\u00ad'})
        EXPECT_FALSE(HyperParser::isWhitespace(QChar(c))) << int(c);
}
