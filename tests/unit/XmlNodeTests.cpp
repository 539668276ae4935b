#include <gtest/gtest.h>

#include <string>

#include "settings/XmlNode.h"

namespace {

// The options every parse in the program uses.
XmlParseOptions ProgramOptions()
{
    XmlParseOptions options;
    options.trim = true;
    options.escape_char = 0;
    return options;
}

struct Parsed {
    XmlNode node;
    XmlParseOptions options = ProgramOptions();
    std::optional<std::size_t> end;
};

std::unique_ptr<Parsed> Parse(std::wstring_view text, XmlParseOptions options = ProgramOptions())
{
    auto parsed = std::make_unique<Parsed>();
    parsed->options = options;
    parsed->end = parsed->node.Load(text, parsed->options);
    return parsed;
}

std::wstring Attr(const XmlNode& node, const wchar_t* name)
{
    const XmlAttribute* attr = node.FindAttr(name);
    return attr ? attr->value : L"<missing>";
}

void ExpectSameTree(const XmlNode& a, const XmlNode& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.value, b.value) << "in " << std::string(a.name.begin(), a.name.end());
    ASSERT_EQ(a.attributes.size(), b.attributes.size());
    for (std::size_t i = 0; i < a.attributes.size(); ++i) {
        EXPECT_EQ(a.attributes[i]->name, b.attributes[i]->name);
        EXPECT_EQ(a.attributes[i]->value, b.attributes[i]->value);
    }
    ASSERT_EQ(a.ChildCount(), b.ChildCount());
    for (int i = 0; i < a.ChildCount(); ++i)
        ExpectSameTree(*a.ChildAt(i), *b.ChildAt(i));
}

}  // namespace

TEST(XmlLoad, TextWithoutAnElementReturnsNoneAndKeepsNameAndValue)
{
    for (const wchar_t* text : {L"", L"just words", L"   "}) {
        XmlNode node(L"keep", L"value");
        node.AppendNewChild(L"old");
        node.AppendAttr(L"x", L"1");
        XmlParseOptions options = ProgramOptions();
        EXPECT_FALSE(node.Load(text, options));
        EXPECT_EQ(node.name, L"keep");
        EXPECT_EQ(node.value, L"value");
        EXPECT_EQ(node.ChildCount(), 0);
        EXPECT_TRUE(node.attributes.empty());
        EXPECT_FALSE(options.error_flag);
    }
}

TEST(XmlLoad, EmptyElementTagAndTheSlashThatIsNotClosed)
{
    auto ok = Parse(L"<a/>");
    ASSERT_EQ(ok->end, 4u);
    EXPECT_EQ(ok->node.name, L"a");
    EXPECT_TRUE(ok->node.attributes.empty());
    EXPECT_EQ(ok->node.ChildCount(), 0);
    EXPECT_TRUE(ok->node.value.empty());

    auto bad = Parse(L"<a/ >");
    EXPECT_FALSE(bad->end);
    EXPECT_EQ(bad->options.error_code, 1);
    EXPECT_EQ(bad->options.error_pos, 3u);
    EXPECT_EQ(bad->options.error_text, L"Element must be closed.");
}

TEST(XmlLoad, QuotedUnquotedAndBareAttributes)
{
    auto open = Parse(L"<a x='1' y=2 z >");
    EXPECT_EQ(open->end, 16u);  // never closed: accepted up to the end
    EXPECT_FALSE(open->options.error_flag);
    ASSERT_EQ(open->node.attributes.size(), 3u);
    EXPECT_EQ(Attr(open->node, L"x"), L"1");
    EXPECT_EQ(Attr(open->node, L"y"), L"2");
    EXPECT_EQ(Attr(open->node, L"z"), L"");

    auto bad = Parse(L"<a x='1' y=2 z>");
    EXPECT_FALSE(bad->end);
    EXPECT_EQ(bad->options.error_code, 4);
    EXPECT_EQ(bad->options.error_pos, 13u);
    EXPECT_EQ(bad->options.error_text, L"<a> attribute has error ");
    EXPECT_EQ(bad->node.attributes.size(), 2u);  // what was built stays

    auto entities = Parse(L"<a t=\"&lt;&quot;&amp;\" s=' padded ' />");
    EXPECT_EQ(Attr(entities->node, L"t"), L"<\"&");
    EXPECT_EQ(Attr(entities->node, L"s"), L"padded");
}

TEST(XmlLoad, TextValuesAreTrimmedDecodedAndTakenOnlyOnce)
{
    EXPECT_EQ(Parse(L"<a>  text  </a>")->node.value, L"text");
    EXPECT_EQ(Parse(L"<a>x &amp; y</a>")->node.value, L"x & y");
    EXPECT_EQ(Parse(L"<a>x &amp y</a>")->node.value, L"x &amp y");
    EXPECT_EQ(Parse(L"<a>\u00a0\u3000</a>")->node.value, L"");  // Unicode spaces are blank too

    auto tail = Parse(L"<a><b/>tail</a>");
    EXPECT_EQ(tail->node.value, L"tail");
    EXPECT_EQ(tail->node.ChildCount(), 1);

    auto head = Parse(L"<a>head<b/>tail</a>");
    EXPECT_EQ(head->node.value, L"head");
    EXPECT_EQ(head->end, 19u);
    ASSERT_EQ(head->node.ChildCount(), 1);
    EXPECT_EQ(head->node.ChildAt(0)->name, L"b");
    EXPECT_EQ(head->node.ChildAt(0)->parent, &head->node);
}

TEST(XmlLoad, MismatchedEndTagsRecordTheFirstErrorOnly)
{
    auto bad = Parse(L"<a></b>");
    EXPECT_FALSE(bad->end);
    EXPECT_EQ(bad->options.error_code, 3);
    EXPECT_EQ(bad->options.error_pos, 7u);
    EXPECT_EQ(bad->options.error_text, L"'<a> ... </b>' is not wel-formed.");

    auto unterminated = Parse(L"<a></a");
    EXPECT_FALSE(unterminated->end);
    EXPECT_EQ(unterminated->options.error_code, 2);
    EXPECT_EQ(unterminated->options.error_text, L"it must be closed with </a>");

    XmlParseOptions forced = ProgramOptions();
    forced.force = true;
    auto cont = Parse(L"<a><c/></b>tail</a>", forced);
    EXPECT_EQ(cont->end, 19u);
    EXPECT_EQ(cont->node.ChildCount(), 1);
    EXPECT_FALSE(cont->options.error_flag);

    // The first error wins: a later one leaves the record alone.
    XmlParseOptions options = ProgramOptions();
    XmlNode node;
    node.Load(L"<a></b>", options);
    node.Load(L"<a/ >", options);
    EXPECT_EQ(options.error_code, 3);
}

TEST(XmlLoad, BackslashIsOrdinaryUnlessItIsTheEscapeCharacter)
{
    auto path = Parse(L"<a x=\"C:\\dir\\\" y=1 />");
    EXPECT_FALSE(path->options.error_flag);
    EXPECT_EQ(Attr(path->node, L"x"), L"C:\\dir\\");
    EXPECT_EQ(Attr(path->node, L"y"), L"1");
    EXPECT_EQ(Parse(L"<p>C:\\dir\\</p>")->node.value, L"C:\\dir\\");

    XmlParseOptions escaping = ProgramOptions();
    escaping.escape_char = L'\\';
    auto quoted = Parse(L"<a x=\"say \\\"hi\\\"\">C:\\\\x \\<y</a>", escaping);
    EXPECT_EQ(Attr(quoted->node, L"x"), L"say \"hi\"");
    EXPECT_EQ(quoted->node.value, L"C:\\x <y");
}

TEST(XmlLoad, DeclarationCommentsAndCdata)
{
    auto declared = Parse(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>v</a>");
    EXPECT_EQ(declared->node.name, L"a");
    EXPECT_EQ(declared->node.value, L"v");
    EXPECT_EQ(declared->node.ChildCount(), 0);

    auto commented = Parse(L"<!-- top --><a><!-- note --><b/><![cdata[ raw <x> ]]></a>");
    ASSERT_EQ(commented->node.ChildCount(), 3);
    EXPECT_EQ(commented->node.ChildAt(0)->name, L"#COMMENT");
    EXPECT_EQ(commented->node.ChildAt(0)->kind, XML_COMMENT);
    EXPECT_EQ(commented->node.ChildAt(0)->value, L" note ");
    EXPECT_EQ(commented->node.ChildAt(1)->name, L"b");
    EXPECT_EQ(commented->node.ChildAt(2)->kind, XML_CDATA);
    EXPECT_EQ(commented->node.ChildAt(2)->value, L" raw <x> ");
}

TEST(XmlLoad, MissingClosingMarkersStopAtTheEndOfTheText)
{
    for (const wchar_t* text : {L"<a><b/><!-- never", L"<a><b/><![CDATA[never", L"<?xml never", L"<a><b/><c x=\"1",
                                L"<a><b/><c x='1 />", L"<a><b/><c x="}) {
        auto parsed = Parse(text);
        EXPECT_FALSE(parsed->end) << std::wstring(text).size();
        if (parsed->node.name == L"a") {
            ASSERT_GE(parsed->node.ChildCount(), 1);
            EXPECT_EQ(parsed->node.ChildAt(0)->name, L"b");  // what came before survives
        }
    }
}

TEST(XmlLoad, EveryPrefixOfADocumentParsesWithinBounds)
{
    // Each prefix cuts some construct short; under the sanitizers this proves that no
    // search runs past the end of the text.
    const std::wstring document =
        L"<?xml version=\"1.0\"?><!-- c --><Z v=\"1\" w='2' u=3 bare >text &amp; more<A><B k=\"&lt;\"/>"
        L"<![CDATA[ d ]]><C>x</C></A><D/ ></Z >";
    for (const bool trim : {true, false}) {
        for (const wchar_t escape : {L'\0', L'\\'}) {
            for (std::size_t n = 0; n <= document.size(); ++n) {
                XmlParseOptions options;
                options.trim = trim;
                options.escape_char = escape;
                XmlNode node;
                const std::wstring prefix = document.substr(0, n);
                const auto end = node.Load(prefix, options);
                if (end) {
                    ASSERT_LE(*end, prefix.size());
                }
            }
        }
    }
}

TEST(XmlLoad, NestingIsBoundedAndTheBuiltPartStaysUsable)
{
    std::wstring deep;
    for (int i = 0; i < 100000; ++i)
        deep += L"<a>";
    XmlParseOptions options = ProgramOptions();
    auto root = std::make_unique<XmlNode>();
    EXPECT_FALSE(root->Load(deep, options));
    EXPECT_TRUE(options.error_flag);
    int levels = 1;
    for (const XmlNode* n = root.get(); n->ChildCount() > 0; n = n->ChildAt(0))
        ++levels;
    EXPECT_GT(levels, 200);
    EXPECT_LE(levels, options.max_depth + 1);

    XmlNode copy;
    copy.CopyTreeFrom(*root);
    EXPECT_EQ(copy.ToXml().size(), root->ToXml().size());
    root.reset();  // destroying the deep tree must not exhaust the stack

    std::wstring ok;
    for (int i = 0; i < 200; ++i)
        ok += L"<b>";
    for (int i = 0; i < 200; ++i)
        ok += L"</b>";
    auto parsed = Parse(ok);
    EXPECT_EQ(parsed->end, ok.size());
    EXPECT_FALSE(parsed->options.error_flag);
}

TEST(XmlToXml, ElementsAttributesAndValues)
{
    XmlNode item(L"Item");
    item.AppendAttr(L"width", L"1024");
    item.AppendAttr(L"height", L"768");
    EXPECT_EQ(item.ToXml(), L"\r\n<Item width=\"1024\" height=\"768\" />");

    EXPECT_EQ(XmlNode(L"Block_Switch", L"On").ToXml(), L"\r\n<Block_Switch>On</Block_Switch>");

    XmlNode list(L"Favourite_Resolutions");
    list.AppendNewChild(L"Item")->AppendAttr(L"bpp", L"32");
    EXPECT_EQ(list.ToXml(), L"\r\n<Favourite_Resolutions>\r\n\t<Item bpp=\"32\" />\r\n</Favourite_Resolutions>");

    XmlNode mixed(L"a", L"v & w");
    mixed.AppendNewChild(L"b");
    EXPECT_EQ(mixed.ToXml(), L"\r\n<a>\r\n\t<b/>\r\n\tv &amp; w\r\n</a>");

    XmlNode quoted(L"q");
    quoted.AppendAttr(L"t", L"say \"x\" <y>");
    EXPECT_EQ(quoted.ToXml(), L"\r\n<q t=\"say &quot;x&quot; &lt;y&gt;\" />");

    EXPECT_EQ(XmlNode(L"r", L"\rhidden").ToXml(), L"\r\n<r></r>");
    EXPECT_EQ(SharedWriteOptions().indent, 0);
}

TEST(XmlToXml, OtherKindsAndOptions)
{
    XmlNode doc;
    doc.kind = XML_DOCUMENT;
    XmlNode* pi = doc.AppendNewChild(L"xml");
    pi->kind = XML_PI;
    pi->AppendAttr(L"version", L"1.0");
    XmlNode* comment = doc.AppendNewChild(L"#COMMENT", L" a<b ");
    comment->kind = XML_COMMENT;
    XmlNode* cdata = doc.AppendNewChild(L"#CDATA", L"&");
    cdata->kind = XML_CDATA;
    EXPECT_EQ(doc.ToXml(), L"\r\n\r\n<?xml version=\"1.0\" ?>\r\n<!-- a<b -->\r\n<![CDATA[&]]>");

    XmlWriteOptions flat;
    flat.new_lines = false;
    flat.encode_entities = false;
    flat.quote_char = '\'';
    flat.indent = 3;
    XmlNode a(L"a", L"&");
    a.AppendNewChild(L"b")->AppendAttr(L"k", L"v");
    EXPECT_EQ(a.ToXml(flat), L"<a><b k='v' />&</a>");
    EXPECT_EQ(flat.indent, 3);
}

TEST(XmlToXml, WrittenTreesParseBackTheSame)
{
    XmlNode root(L"Zerenta");
    root.AppendAttr(L"version", L"1.2.3.4");
    XmlNode* gamma = root.AppendNewChild(L"Gamma");
    XmlNode* list = gamma->AppendNewChild(L"Favourite_Gammas");
    for (const wchar_t* name : {L"Night", L"<&>\"'", L"C:\\Games\\", L"\u00e9\u20ac"}) {
        XmlNode* item = list->AppendNewChild(L"Item", name);
        item->AppendAttr(L"R", L"40");
        item->AppendAttr(L"quote", name);
    }
    gamma->AppendNewChild(L"Empty");
    root.AppendNewChild(L"Block_Switch", L"On");

    const std::wstring text = root.ToXml();
    XmlNode back;
    XmlParseOptions options = ProgramOptions();
    EXPECT_EQ(back.Load(text, options), text.size());
    EXPECT_FALSE(options.error_flag) << std::string(options.error_text.begin(), options.error_text.end());
    ExpectSameTree(root, back);
}

TEST(XmlNodeOperations, LookupsAppendRemoveAndCopies)
{
    XmlNode root(L"root");
    XmlNode* first = root.AppendNewChild(L"Item", L"1");
    root.AppendNewChild(L"ITEM", L"2");
    root.AppendNewChild(L"Item", L"3");
    first->AppendAttr(L"k", L"a");
    first->AppendAttr(L"k", L"b");

    EXPECT_EQ(root.FindChild(L"item"), first);
    EXPECT_EQ(root.FindChild(L"none"), nullptr);
    EXPECT_EQ(root.FindChildren(L"Item").size(), 2u);
    EXPECT_EQ(first->FindAttr(L"k")->value, L"a");
    EXPECT_EQ(first->FindAttr(L"K"), nullptr);
    EXPECT_EQ(root.ChildAt(-1), nullptr);
    EXPECT_EQ(root.ChildAt(3), nullptr);
    EXPECT_EQ(first->parent, &root);

    XmlNode stranger(L"Item");
    EXPECT_FALSE(root.RemoveChild(&stranger));
    EXPECT_TRUE(root.RemoveChild(first));
    EXPECT_EQ(root.ChildCount(), 2);

    XmlNode copy;
    copy.CopyTreeFrom(root);
    root.ChildAt(0)->value = L"changed";
    EXPECT_EQ(copy.ChildAt(0)->value, L"2");
    EXPECT_EQ(copy.ChildAt(0)->parent, &copy);

    XmlNode shallow;
    shallow.AppendNewChild(L"gone");
    shallow.CopyFrom(root);
    EXPECT_EQ(shallow.name, L"root");
    EXPECT_EQ(shallow.ChildCount(), 0);

    // Copying a node's own descendant over it must not read the destroyed subtree.
    XmlNode* grandchild = copy.ChildAt(1)->AppendNewChild(L"leaf", L"x");
    grandchild->AppendNewChild(L"deeper", L"y");
    copy.CopyTreeFrom(*grandchild);
    EXPECT_EQ(copy.name, L"leaf");
    ASSERT_EQ(copy.ChildCount(), 1);
    EXPECT_EQ(copy.ChildAt(0)->value, L"y");

    root.Clear();
    EXPECT_EQ(root.ChildCount(), 0);
    EXPECT_EQ(root.name, L"root");
}

TEST(XmlEntities, EncodeAndDecodeWithTheStandardTable)
{
    const XmlEntityTable& table = StandardEntities();
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[0].reference, L"&amp;");
    EXPECT_EQ(table[1].length, 6u);
    EXPECT_EQ(EncodeEntities(L"plain text", table), L"plain text");
    EXPECT_EQ(EncodeEntities(L"a&b<c>'\"", table), L"a&amp;b&lt;c&gt;&apos;&quot;");
    EXPECT_EQ(DecodeEntities(L"&amp;lt; &AMP; &amp &gt;&", table), L"&lt; &AMP; &amp >&");
}
