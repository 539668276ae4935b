// The program's own small XML document model: a tree of nodes with names, text values and
// attributes, a lenient parser that builds it from wide text and a writer that turns it back
// into text with line breaks, tab indentation and entity references.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class XmlNode;

enum XmlNodeKind : int {
    XML_ELEMENT = 0,
    XML_PI = 1,
    XML_COMMENT = 2,
    XML_CDATA = 3,
    XML_DOCUMENT = 4,
};

// One character and the reference that stands for it.
struct XmlEntity {
    wchar_t character;
    std::wstring_view reference;  // "&amp;" and so on, the semicolon included
    std::size_t length;           // reference.size()
};

using XmlEntityTable = std::vector<XmlEntity>;

// & " ' < > in this order, built on first use and kept for the rest of the run.
const XmlEntityTable& StandardEntities();

// Without any of the table's characters the text comes back unchanged.
std::wstring EncodeEntities(std::wstring_view text, const XmlEntityTable& entities);
// An ampersand that starts no complete reference is copied as it stands.
std::wstring DecodeEntities(std::wstring_view text, const XmlEntityTable& entities);

struct XmlParseOptions {
    static constexpr std::size_t npos = std::wstring_view::npos;

    bool trim = false;
    bool decode_entities = true;
    const XmlEntityTable* entities = &StandardEntities();
    wchar_t escape_char = L'\\';  // 0: none. Dropped from values; only when set does it hide a delimiter.
    bool force = false;           // continue after a mismatched end tag

    // The first error of a parse; later errors leave these alone.
    bool error_flag = false;
    std::size_t error_pos = npos;
    int error_code = 0;
    std::wstring error_text;

    // Deeper element nesting is treated like an error: the parse stops, keeping what it built.
    int max_depth = 256;
};

struct XmlWriteOptions {
    bool new_lines = true;
    bool encode_entities = true;
    char quote_char = '"';
    const XmlEntityTable* entities = &StandardEntities();
    int indent = 0;  // current depth; restored at the end of every ToXml
};

// The one set of write options every writer in the program uses (user-interface thread only).
XmlWriteOptions& SharedWriteOptions();

class XmlAttribute {
public:
    XmlAttribute(std::wstring attrName, std::wstring attrValue, XmlNode* ownerNode)
        : name(std::move(attrName)), value(std::move(attrValue)), owner(ownerNode) {}

    std::wstring name;
    std::wstring value;
    XmlNode* owner = nullptr;
};

class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(std::wstring nodeName, std::wstring nodeValue = {})
        : name(std::move(nodeName)), value(std::move(nodeValue)) {}
    ~XmlNode();

    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    // Parses one element into this node, starting at `start`. Returns the position after it,
    // or nothing on an error or when the text holds no element; what was built stays.
    std::optional<std::size_t> Load(std::wstring_view text, XmlParseOptions& options, std::size_t start = 0);
    // The node and its subtree as text; options.indent is used and restored.
    std::wstring ToXml(XmlWriteOptions& options = SharedWriteOptions()) const;

    // First child whose name equals `childName` ignoring case.
    XmlNode* FindChild(std::wstring_view childName) const;
    // nullptr when the index is negative or too large.
    XmlNode* ChildAt(int index) const;
    int ChildCount() const;
    // Every child whose name equals `childName` exactly; they stay owned by this node.
    std::vector<XmlNode*> FindChildren(std::wstring_view childName) const;
    // First attribute whose name equals `attrName` exactly.
    XmlAttribute* FindAttr(std::wstring_view attrName) const;

    XmlNode* AppendChild(std::unique_ptr<XmlNode> child);
    XmlNode* AppendNewChild(std::wstring childName, std::wstring childValue = {});
    XmlNode* AppendCopy(const XmlNode& node);
    XmlAttribute* AppendAttr(std::wstring attrName, std::wstring attrValue);
    // Destroys the child with its subtree when it is one of this node's children.
    bool RemoveChild(const XmlNode* child);
    // Destroys all children and attributes; name, value and kind stay.
    void Clear();
    // Name, value, kind, parent, document and copies of the attributes; no children.
    void CopyFrom(const XmlNode& other);
    // CopyFrom, then deep copies of all children.
    void CopyTreeFrom(const XmlNode& other);

    std::wstring name;
    std::wstring value;
    XmlNode* parent = nullptr;
    std::vector<std::unique_ptr<XmlNode>> children;
    std::vector<std::unique_ptr<XmlAttribute>> attributes;
    int kind = XML_ELEMENT;
    XmlNode* document = nullptr;

private:
    std::optional<std::size_t> LoadAt(std::wstring_view text, XmlParseOptions& options, std::size_t pos, int depth);
    void WriteTo(std::wstring& out, XmlWriteOptions& options) const;
};
