#include "settings/XmlNode.h"

#include <utility>

#include "settings/XmlText.h"

using zr::xmltext::EqualsNoCase;
using zr::xmltext::IsBlank;
using zr::xmltext::IsTokenSpace;
using zr::xmltext::IsWideSpace;

namespace {

constexpr std::size_t npos = std::wstring_view::npos;

const wchar_t* const kEntityReferences[] = {L"&amp;", L"&quot;", L"&apos;", L"&lt;", L"&gt;"};

enum XmlError {
    kErrorNotClosed = 1,
    kErrorEndTagName = 2,
    kErrorMismatch = 3,
    kErrorAttribute = 4,
    kErrorTooDeep = 5,
    kErrorUnterminated = 6,
};

std::size_t SkipTokenSpace(std::wstring_view text, std::size_t pos)
{
    while (pos < text.size() && IsTokenSpace(text[pos]))
        ++pos;
    return pos;
}

bool StartsWithNoCase(std::wstring_view text, std::size_t pos, std::wstring_view marker)
{
    return pos <= text.size() && text.size() - pos >= marker.size() &&
           EqualsNoCase(text.substr(pos, marker.size()), marker);
}

// The first of `stops` at or after `pos`. When `escape` is set, the character after an
// escape character never counts as a stop.
std::size_t FindStop(std::wstring_view text, std::size_t pos, std::wstring_view stops, wchar_t escape)
{
    for (std::size_t i = pos; i < text.size(); ++i) {
        if (escape != 0 && text[i] == escape) {
            ++i;
            continue;
        }
        if (stops.find(text[i]) != npos)
            return i;
    }
    return npos;
}

std::size_t FindMarker(std::wstring_view text, std::size_t pos, std::wstring_view marker, wchar_t escape)
{
    for (std::size_t i = pos; i < text.size(); ++i) {
        if (escape != 0 && text[i] == escape) {
            ++i;
            continue;
        }
        if (text.compare(i, marker.size(), marker) == 0)
            return i;
    }
    return npos;
}

// Copies text[begin, end) into target by the value rules; false when nothing was left to
// copy after trimming (the target then keeps what it held).
bool CopyValue(std::wstring& target, std::wstring_view text, std::size_t begin, std::size_t end, bool trim,
               wchar_t escape)
{
    if (trim) {
        while (begin < end && IsWideSpace(text[begin]))
            ++begin;
        while (end > begin && IsWideSpace(text[end - 1]))
            --end;
    }
    if (begin >= end)
        return false;
    std::wstring out;
    out.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        if (escape != 0 && text[i] == escape) {
            if (++i >= end)
                break;
        }
        out += text[i];
    }
    if (IsBlank(out))
        out.clear();
    target = std::move(out);
    return true;
}

void ReadValue(std::wstring& target, std::wstring_view text, std::size_t begin, std::size_t end,
               const XmlParseOptions& options)
{
    if (CopyValue(target, text, begin, end, options.trim, options.escape_char) && options.decode_entities &&
        options.entities)
        target = DecodeEntities(target, *options.entities);
}

void RecordError(XmlParseOptions& options, int code, std::size_t pos, std::wstring text)
{
    if (options.error_flag)
        return;
    options.error_flag = true;
    options.error_code = code;
    options.error_pos = pos;
    options.error_text = std::move(text);
}

void AppendNewLine(std::wstring& out, int indent)
{
    out += L"\r\n";
    if (indent > 0)
        out.append(static_cast<std::size_t>(indent), L'\t');
}

}  // namespace

const XmlEntityTable& StandardEntities()
{
    static const XmlEntityTable table = [] {
        const wchar_t characters[] = {L'&', L'"', L'\'', L'<', L'>'};
        XmlEntityTable entries;
        for (std::size_t i = 0; i < std::size(characters); ++i) {
            const std::wstring_view reference = kEntityReferences[i];
            entries.push_back({characters[i], reference, reference.size()});
        }
        return entries;
    }();
    return table;
}

std::wstring EncodeEntities(std::wstring_view text, const XmlEntityTable& entities)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const XmlEntity* match = nullptr;
        for (const XmlEntity& entity : entities) {
            if (entity.character == c) {
                match = &entity;
                break;
            }
        }
        if (match)
            out += match->reference;
        else
            out += c;
    }
    return out;
}

std::wstring DecodeEntities(std::wstring_view text, const XmlEntityTable& entities)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const XmlEntity* match = nullptr;
        for (const XmlEntity& entity : entities) {
            if (!entity.reference.empty() && text.compare(i, entity.reference.size(), entity.reference) == 0) {
                match = &entity;
                break;
            }
        }
        if (match) {
            out += match->character;
            i += match->reference.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

XmlWriteOptions& SharedWriteOptions()
{
    static XmlWriteOptions options;
    return options;
}

// Children are released level by level rather than through nested destructors, so a very
// deep tree cannot exhaust the stack while it is destroyed.
XmlNode::~XmlNode()
{
    std::vector<std::unique_ptr<XmlNode>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<XmlNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children)
            pending.push_back(std::move(child));
        node->children.clear();
    }
}

std::optional<std::size_t> XmlNode::Load(std::wstring_view text, XmlParseOptions& options, std::size_t start)
{
    return LoadAt(text, options, start, 0);
}

std::optional<std::size_t> XmlNode::LoadAt(std::wstring_view text, XmlParseOptions& options, std::size_t pos,
                                           int depth)
{
    Clear();
    if (depth > options.max_depth) {
        RecordError(options, kErrorTooDeep, pos, L"Elements are nested too deeply.");
        return std::nullopt;
    }
    const wchar_t escape = options.escape_char;
    const std::size_t size = text.size();

    std::size_t p = pos < size ? text.find(L'<', pos) : npos;
    if (p == npos)
        return std::nullopt;
    if (p + 1 < size && text[p + 1] == L'/')
        return p;  // an end tag: the caller's business

    // Declarations, comments and CDATA sections before the start tag.
    for (bool consumed = true; consumed;) {
        consumed = false;
        p = SkipTokenSpace(text, p);
        if (StartsWithNoCase(text, p, L"<?")) {
            const std::size_t end = FindMarker(text, p + 2, L"?>", escape);
            if (end == npos) {
                RecordError(options, kErrorUnterminated, p, L"Unterminated markup.");
                return std::nullopt;
            }
            p = end + 2;
            consumed = true;
            // Inside an element what follows (text, a child, the end tag) is the element's to
            // read, as after a comment.
            if (parent && parent->kind != XML_DOCUMENT)
                return p;
        }
        p = SkipTokenSpace(text, p);
        for (int construct = 0; construct < 2; ++construct) {
            const bool isComment = construct == 0;
            const std::wstring_view open = isComment ? L"<!--" : L"<![CDATA[";
            const std::wstring_view close = isComment ? L"-->" : L"]]>";
            if (!StartsWithNoCase(text, p, open))
                continue;
            const std::size_t end = FindMarker(text, p + open.size(), close, escape);
            if (end == npos) {
                RecordError(options, kErrorUnterminated, p, L"Unterminated markup.");
                return std::nullopt;
            }
            auto node = std::make_unique<XmlNode>(isComment ? L"#COMMENT" : L"#CDATA");
            node->kind = isComment ? XML_COMMENT : XML_CDATA;
            CopyValue(node->value, text, p + open.size(), end, false, escape);
            p = end + close.size();
            consumed = true;
            if (parent) {
                parent->AppendChild(std::move(node));
                if (parent->kind != XML_DOCUMENT)
                    return p;
            }
            if (isComment)
                p = SkipTokenSpace(text, p);
        }
    }

    // Start tag and name.
    if (p >= size)
        return std::nullopt;
    const std::size_t nameEnd = text.find_first_of(L" />\t\r\n", p + 1);
    if (nameEnd == npos)
        return std::nullopt;
    name.assign(text.substr(p + 1, nameEnd - p - 1));

    // Attributes.
    std::size_t q = nameEnd;
    for (;;) {
        q = SkipTokenSpace(text, q);
        if (q >= size)
            return std::nullopt;
        if (text[q] == L'>' || text[q] == L'/')
            break;
        const std::size_t attrEnd = text.find_first_of(L" =", q);
        if (attrEnd == npos) {
            RecordError(options, kErrorAttribute, q, L"<" + name + L"> attribute has error ");
            return std::nullopt;
        }
        XmlAttribute* attr = AppendAttr(std::wstring(text.substr(q, attrEnd - q)), {});
        q = SkipTokenSpace(text, attrEnd);
        if (q >= size || text[q] != L'=')
            continue;
        q = SkipTokenSpace(text, q + 1);
        if (q >= size)
            return std::nullopt;
        if (text[q] == L'"' || text[q] == L'\'') {
            const std::size_t close = FindStop(text, q + 1, std::wstring_view(&text[q], 1), escape);
            if (close == npos) {
                RecordError(options, kErrorUnterminated, q, L"Unterminated markup.");
                return std::nullopt;
            }
            ReadValue(attr->value, text, q + 1, close, options);
            q = close + 1;
        } else {
            const std::size_t close = FindStop(text, q, L" >", escape);
            if (close == npos) {
                RecordError(options, kErrorUnterminated, q, L"Unterminated markup.");
                return std::nullopt;
            }
            ReadValue(attr->value, text, q, close, options);
            q = close;
        }
    }

    if (text[q] == L'/') {
        if (q + 1 < size && text[q + 1] == L'>')
            return q + 2;
        RecordError(options, kErrorNotClosed, q + 1, L"Element must be closed.");
        return std::nullopt;
    }

    // '>': the text up to the next '<' is the value.
    ++q;
    // Kept up to date instead of testing the value again for every child.
    bool valueBlank = IsBlank(value);
    if (valueBlank) {
        std::size_t end = FindStop(text, q, L"<", escape);
        if (end == npos)
            end = size;
        ReadValue(value, text, q, end, options);
        valueBlank = IsBlank(value);
        q = end;
    }

    while (q < size) {
        auto child = std::make_unique<XmlNode>();
        child->parent = this;
        child->document = document;
        child->kind = kind;
        const std::optional<std::size_t> next = child->LoadAt(text, options, q, depth + 1);
        if (!child->name.empty())
            AppendChild(std::move(child));
        if (!next)
            return std::nullopt;
        q = *next;

        if (text.compare(q, 2, L"</") == 0) {
            q = SkipTokenSpace(text, q + 2);
            const std::size_t endName = text.find_first_of(L" >", q);
            if (endName == npos) {
                RecordError(options, kErrorEndTagName, q, L"it must be closed with </" + name + L">");
                return std::nullopt;
            }
            const std::wstring_view closing = text.substr(q, endName - q);
            if (closing == name)
                return endName + 1;
            if (!options.force) {
                RecordError(options, kErrorMismatch, endName + 1,
                            L"'<" + name + L"> ... </" + std::wstring(closing) + L">' is not wel-formed.");
                return std::nullopt;
            }
            q = endName + 1;
        } else if (q < size && valueBlank && text[q] != L'<') {
            std::size_t end = FindStop(text, q, L"<", escape);
            if (end == npos)
                end = size;
            ReadValue(value, text, q, end, options);
            valueBlank = IsBlank(value);
            q = end;
        }
    }
    // Never closed: accepted as it stands.
    return size;
}

std::wstring XmlNode::ToXml(XmlWriteOptions& options) const
{
    const int indent = options.indent;
    std::wstring out;
    WriteTo(out, options);
    options.indent = indent;
    return out;
}

void XmlNode::WriteTo(std::wstring& out, XmlWriteOptions& options) const
{
    if (options.new_lines)
        AppendNewLine(out, options.indent);

    const auto writeValue = [&](const std::wstring& text) {
        if (options.encode_entities && options.entities)
            out += EncodeEntities(text, *options.entities);
        else
            out += text;
    };
    const auto writeAttributes = [&] {
        if (attributes.empty())
            return;
        out += L' ';
        const wchar_t quote = static_cast<wchar_t>(static_cast<unsigned char>(options.quote_char));
        for (const auto& attr : attributes) {
            out += attr->name;
            out += L'=';
            out += quote;
            writeValue(attr->value);
            out += quote;
            out += L' ';
        }
    };

    switch (kind) {
    case XML_DOCUMENT:
        for (const auto& child : children)
            child->WriteTo(out, options);
        return;
    case XML_PI:
        out += L"<?";
        out += name;
        writeAttributes();
        out += L"?>";
        return;
    case XML_COMMENT:
        out += L"<!--";
        out += value;
        out += L"-->";
        return;
    case XML_CDATA:
        out += L"<![CDATA[";
        out += value;
        out += L"]]>";
        return;
    default:
        break;
    }

    out += L'<';
    out += name;
    writeAttributes();
    if (children.empty() && value.empty()) {
        out += L"/>";
        return;
    }
    out += L'>';
    const bool nested = options.new_lines && !children.empty();
    if (nested)
        ++options.indent;
    for (const auto& child : children)
        child->WriteTo(out, options);
    // A value that begins with a carriage return is not written.
    if (!value.empty() && value.front() != L'\r') {
        if (nested)
            AppendNewLine(out, options.indent);
        writeValue(value);
    }
    if (nested)
        AppendNewLine(out, options.indent - 1);
    out += L"</";
    out += name;
    out += L'>';
    if (nested)
        --options.indent;
}

XmlNode* XmlNode::FindChild(std::wstring_view childName) const
{
    for (const auto& child : children)
        if (EqualsNoCase(child->name, childName))
            return child.get();
    return nullptr;
}

XmlNode* XmlNode::ChildAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= children.size())
        return nullptr;
    return children[static_cast<std::size_t>(index)].get();
}

int XmlNode::ChildCount() const
{
    return static_cast<int>(children.size());
}

std::vector<XmlNode*> XmlNode::FindChildren(std::wstring_view childName) const
{
    std::vector<XmlNode*> found;
    for (const auto& child : children)
        if (child->name == childName)
            found.push_back(child.get());
    return found;
}

XmlAttribute* XmlNode::FindAttr(std::wstring_view attrName) const
{
    for (const auto& attr : attributes)
        if (attr->name == attrName)
            return attr.get();
    return nullptr;
}

XmlNode* XmlNode::AppendChild(std::unique_ptr<XmlNode> child)
{
    if (!child)
        return nullptr;
    child->parent = this;
    child->document = document;
    children.push_back(std::move(child));
    return children.back().get();
}

XmlNode* XmlNode::AppendNewChild(std::wstring childName, std::wstring childValue)
{
    return AppendChild(std::make_unique<XmlNode>(std::move(childName), std::move(childValue)));
}

XmlNode* XmlNode::AppendCopy(const XmlNode& node)
{
    auto copy = std::make_unique<XmlNode>();
    copy->CopyTreeFrom(node);
    return AppendChild(std::move(copy));
}

XmlAttribute* XmlNode::AppendAttr(std::wstring attrName, std::wstring attrValue)
{
    attributes.push_back(std::make_unique<XmlAttribute>(std::move(attrName), std::move(attrValue), this));
    return attributes.back().get();
}

bool XmlNode::RemoveChild(const XmlNode* child)
{
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (it->get() == child) {
            children.erase(it);
            return true;
        }
    }
    return false;
}

void XmlNode::Clear()
{
    // Moving the children into a temporary node releases them through the iterative destructor.
    XmlNode discard;
    discard.children = std::move(children);
    children.clear();
    attributes.clear();
}

namespace {
bool IsWithin(const XmlNode* node, const XmlNode* root)
{
    for (; node; node = node->parent)
        if (node == root)
            return true;
    return false;
}
}  // namespace

void XmlNode::CopyFrom(const XmlNode& other)
{
    // Clear may destroy `other` when it lies inside this node's subtree, so take its fields first.
    XmlNode* const otherDocument = other.document;
    XmlNode* const otherParent = other.parent;
    std::wstring otherName = other.name;
    std::wstring otherValue = other.value;
    const int otherKind = other.kind;
    std::vector<std::pair<std::wstring, std::wstring>> otherAttributes;
    for (const auto& attr : other.attributes)
        otherAttributes.emplace_back(attr->name, attr->value);
    const bool inside = IsWithin(&other, this);

    Clear();
    document = otherDocument;
    if (!inside)
        parent = otherParent;
    name = std::move(otherName);
    value = std::move(otherValue);
    kind = otherKind;
    for (auto& [attrName, attrValue] : otherAttributes)
        AppendAttr(std::move(attrName), std::move(attrValue));
}

// Copies level by level with an explicit list of pending pairs instead of recursion.
void XmlNode::CopyTreeFrom(const XmlNode& other)
{
    if (IsWithin(&other, this)) {
        // The source would be destroyed by the copy: copy it aside first.
        XmlNode aside;
        aside.CopyTreeFrom(other);
        aside.parent = nullptr;
        XmlNode* const ownParent = parent;
        CopyTreeFrom(aside);
        parent = ownParent;
        return;
    }
    CopyFrom(other);
    std::vector<std::pair<XmlNode*, const XmlNode*>> pending{{this, &other}};
    while (!pending.empty()) {
        auto [target, source] = pending.back();
        pending.pop_back();
        for (const auto& child : source->children) {
            auto copy = std::make_unique<XmlNode>();
            copy->CopyFrom(*child);
            XmlNode* added = target->AppendChild(std::move(copy));
            if (!child->children.empty())
                pending.emplace_back(added, child.get());
        }
    }
}
