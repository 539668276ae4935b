#include <gtest/gtest.h>

#include <memory>
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
    XmlParseOptions options;
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
    EXPECT_EQ(a.value, b.value);
    ASSERT_EQ(a.attributes.size(), b.attributes.size());
    for (std::size_t i = 0; i < a.attributes.size(); ++i)
        EXPECT_EQ(a.attributes[i]->value, b.attributes[i]->value);
    ASSERT_EQ(a.ChildCount(), b.ChildCount());
    for (int i = 0; i < a.ChildCount(); ++i)
        ExpectSameTree(*a.ChildAt(i), *b.ChildAt(i));
}

}  // namespace

TEST(XmlLoad, TextWithoutAnElementReturnsNoneAndKeepsNameAndValue)
{
    XmlNode node(L"keep", L"value");
    node.AppendNewChild(L"old");
    XmlParseOptions options = ProgramOptions();
    EXPECT_FALSE(node.Load(L"just words", options));
    EXPECT_EQ(node.name, L"keep");
    EXPECT_EQ(node.value, L"value");
    EXPECT_EQ(node.ChildCount(), 0);
    EXPECT_FALSE(options.error_flag);
}

TEST(XmlLoad, AttributesInEveryForm)
{
    auto open = Parse(L"<a x='1' y=2 z >");
    EXPECT_EQ(open->end, 16u);  // never closed: accepted up to the end
    EXPECT_FALSE(open->options.error_flag);
    ASSERT_EQ(open->node.attributes.size(), 3u);
    EXPECT_EQ(Attr(open->node, L"x"), L"1");
    EXPECT_EQ(Attr(open->node, L"y"), L"2");
    EXPECT_EQ(Attr(open->node, L"z"), L"");

    auto decoded = Parse(L"<a t=\"&lt;&quot;&amp;\" s=' padded ' />");
    EXPECT_EQ(Attr(decoded->node, L"t"), L"<\"&");
    EXPECT_EQ(Attr(decoded->node, L"s"), L"padded");
}

TEST(XmlLoad, ErrorsCarryCodePositionAndTextAndTheFirstOneWins)
{
    struct Case {
        const wchar_t* text;
        int code;
        std::size_t pos;
        const wchar_t* message;
    };
    for (const Case& c : {Case{L"<a/ >", 1, 3, L"Element must be closed."},
                          Case{L"<a></a", 2, 5, L"it must be closed with </a>"},
                          Case{L"<a></b>", 3, 7, L"'<a> ... </b>' is not wel-formed."},
                          Case{L"<a x='1' y=2 z>", 4, 13, L"<a> attribute has error "},
                          Case{L"<a></", 2, 5, L"it must be closed with </a>"},
                          Case{L"<r><>x</r>", 3, 10, L"'<> ... </r>' is not wel-formed."}}) {
        auto parsed = Parse(c.text);
        EXPECT_FALSE(parsed->end) << c.code;
        EXPECT_EQ(parsed->options.error_code, c.code);
        EXPECT_EQ(parsed->options.error_pos, c.pos) << c.code;
        EXPECT_EQ(parsed->options.error_text, c.message);
    }
    XmlParseOptions options = ProgramOptions();
    XmlNode node;
    node.Load(L"<a></b>", options);
    node.Load(L"<a/ >", options);
    EXPECT_EQ(options.error_code, 3);
}

TEST(XmlLoad, TextValuesAreTrimmedDecodedAndTakenOnlyOnce)
{
    EXPECT_EQ(Parse(L"<a>  text  </a>")->node.value, L"text");
    EXPECT_EQ(Parse(L"<a>x &amp; y &amp z &amp;lt;</a>")->node.value, L"x & y &amp z &lt;");
    // Unicode spaces are blank too, and their neighbours are not.
    EXPECT_EQ(Parse(L"<a>\u0085\u00a0\u1680\u2000\u200a\u2028\u2029\u202f\u205f\u3000</a>")->node.value, L"");
    for (const wchar_t* text : {L"\u0084", L"\u1681", L"\u200b", L"\u202a", L"\u2060", L"\u3001"})
        EXPECT_EQ(Parse(std::wstring(L"<a>") + text + L"</a>")->node.value, text);
    EXPECT_EQ(Parse(L"<a><b/>tail</a>")->node.value, L"tail");

    auto head = Parse(L"<a>head<b/>tail</a>");
    EXPECT_EQ(head->node.value, L"head");
    EXPECT_EQ(head->end, 19u);
    ASSERT_EQ(head->node.ChildCount(), 1);
    EXPECT_EQ(head->node.ChildAt(0)->parent, &head->node);
}

TEST(XmlLoad, BackslashIsAnOrdinaryCharacter)
{
    auto path = Parse(L"<a x=\"C:\\dir\\\" y=1 />");
    EXPECT_FALSE(path->options.error_flag);
    EXPECT_EQ(Attr(path->node, L"x"), L"C:\\dir\\");
    EXPECT_EQ(Attr(path->node, L"y"), L"1");
    EXPECT_EQ(Parse(L"<p>C:\\dir\\</p>")->node.value, L"C:\\dir\\");
}

TEST(XmlLoad, DeclarationCommentsAndCdata)
{
    auto declared = Parse(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>v</a>");
    EXPECT_EQ(declared->node.name, L"a");
    EXPECT_EQ(declared->node.value, L"v");

    auto commented = Parse(L"<!-- top --><a><!-- note --><b/><![cdata[ raw <x> ]]></a>");
    ASSERT_EQ(commented->node.ChildCount(), 3);
    EXPECT_EQ(commented->node.ChildAt(0)->name, L"#COMMENT");
    EXPECT_EQ(commented->node.ChildAt(0)->value, L" note ");
    EXPECT_EQ(commented->node.ChildAt(1)->name, L"b");
    EXPECT_EQ(commented->node.ChildAt(2)->kind, XML_CDATA);
    EXPECT_EQ(commented->node.ChildAt(2)->value, L" raw <x> ");

    // Inside an element, what follows a processing instruction is read as ever.
    auto instructed = Parse(L"<r><?x?>y<b/><?z?></r>");
    EXPECT_EQ(instructed->end, 22u);
    EXPECT_EQ(instructed->node.value, L"y");
    ASSERT_EQ(instructed->node.ChildCount(), 1);
    EXPECT_EQ(instructed->node.ChildAt(0)->name, L"b");
    EXPECT_EQ(Parse(L"<?" L"?><a/>")->node.name, L"a");
}

TEST(XmlLoad, CutShortTextNeverReadsPastItsEnd)
{
    for (const wchar_t* text : {L"<a><b/><!-- never", L"<a><b/><![CDATA[never", L"<a><b/><c x=\"1", L"<a><b/><c x="}) {
        auto parsed = Parse(text);
        EXPECT_FALSE(parsed->end);
        ASSERT_GE(parsed->node.ChildCount(), 1);
        EXPECT_EQ(parsed->node.ChildAt(0)->name, L"b");  // what came before survives
    }
    // Every prefix cuts some construct short; under the sanitizers this shows that no
    // search runs past the end.
    const std::wstring document =
        L"<?xml version=\"1.0\"?><!-- c --><Z v=\"1\" w='2' u=3 bare >text &amp; more<A><B k=\"&lt;\"/>"
        L"<![CDATA[ d ]]><C>x</C></A><D/ ></Z >";
    for (std::size_t n = 0; n <= document.size(); ++n)
        ASSERT_LE(Parse(document.substr(0, n))->end.value_or(0), n);
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
    root.reset();
    // However it was built, destroying a deep tree must not exhaust the stack.
    auto chain = std::make_unique<XmlNode>(L"c");
    XmlNode* last = chain.get();
    for (int i = 0; i < 200000; ++i)
        last = last->AppendNewChild(L"c");
    chain.reset();

    // As deep as max_depth levels, and not one more.
    std::wstring deepest;
    for (int i = 0; i < ProgramOptions().max_depth; ++i)
        deepest = L"<b>" + deepest + L"</b>";
    EXPECT_EQ(Parse(deepest)->end, deepest.size());
    EXPECT_FALSE(Parse(L"<b>" + deepest + L"</b>")->end);
}

TEST(XmlToXml, ElementsAttributesAndValues)
{
    XmlNode item(L"Item");
    item.AppendAttr(L"width", L"1024");
    item.AppendAttr(L"height", L"768");
    EXPECT_EQ(item.ToXml(), L"\r\n<Item width=\"1024\" height=\"768\" />");
    EXPECT_EQ(XmlNode(L"Block_Switch", L"On").ToXml(), L"\r\n<Block_Switch>On</Block_Switch>");

    XmlNode mixed(L"a", L"v & w");
    mixed.AppendNewChild(L"b")->AppendAttr(L"t", L"say \"x\" <y>");
    mixed.AppendNewChild(L"#COMMENT", L" a<b ")->kind = XML_COMMENT;
    EXPECT_EQ(mixed.ToXml(),
              L"\r\n<a>\r\n\t<b t=\"say &quot;x&quot; &lt;y&gt;\" />\r\n\t<!-- a<b -->\r\n\tv &amp; w\r\n</a>");
    EXPECT_EQ(XmlNode(L"r", L"\rhidden").ToXml(), L"\r\n<r></r>");
    EXPECT_EQ(SharedWriteOptions().indent, 0);
}

TEST(XmlToXml, WrittenTreesParseBackTheSame)
{
    XmlNode root(L"Zerenta");
    root.AppendAttr(L"version", L"1.2.3.4");
    XmlNode* list = root.AppendNewChild(L"Gamma")->AppendNewChild(L"Favourite_Gammas");
    for (const wchar_t* name : {L"Night", L"<&>\"'", L"C:\\Games\\", L"\u00e9\u20ac"})
        list->AppendNewChild(L"Item", name)->AppendAttr(L"quote", name);
    root.AppendNewChild(L"Empty");

    const std::wstring text = root.ToXml();
    XmlNode back;
    XmlParseOptions options = ProgramOptions();
    EXPECT_EQ(back.Load(text, options), text.size());
    EXPECT_FALSE(options.error_flag);
    ExpectSameTree(root, back);
}

TEST(XmlNodeOperations, LookupsRemovalAndCopies)
{
    XmlNode root(L"root");
    XmlNode* first = root.AppendNewChild(L"Item", L"1");
    root.AppendNewChild(L"ITEM", L"2");
    EXPECT_EQ(root.FindChild(L"item"), first);  // without letter case, but letter by letter
    EXPECT_EQ(root.FindChild(L"Xtem"), nullptr);
    EXPECT_EQ(root.FindChild(L"Items"), nullptr);
    EXPECT_EQ(root.FindChildren(L"Item").size(), 1u);
    EXPECT_EQ(root.ChildAt(2), nullptr);
    XmlNode stranger(L"Item");
    EXPECT_FALSE(root.RemoveChild(&stranger));

    XmlNode copy;
    copy.CopyTreeFrom(root);
    root.ChildAt(0)->value = L"changed";
    EXPECT_EQ(copy.ChildAt(0)->value, L"1");
    EXPECT_EQ(copy.ChildAt(0)->parent, &copy);

    // Copying a node's own descendant over it must not read the destroyed subtree.
    XmlNode* leaf = copy.ChildAt(1)->AppendNewChild(L"leaf", L"x");
    leaf->AppendNewChild(L"deeper", L"y");
    copy.CopyTreeFrom(*leaf);
    EXPECT_EQ(copy.name, L"leaf");
    ASSERT_EQ(copy.ChildCount(), 1);
    EXPECT_EQ(copy.ChildAt(0)->value, L"y");
}
