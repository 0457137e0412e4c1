#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vk410 {

// The system's own small XML document model: a node tree that is built in
// memory and written as text, and a parser that reads text back into a tree.
// Texts are UTF-8. Names are compared without regard to (ASCII) case in every
// lookup. Malformed input never throws: the parser stops and keeps what it built.

enum class TsdElementType : int {
    xeElement, xeAttribute, xeCharData, xeComment, xeCData, xeConditionalSection,
    xeDeclaration, xeStylesheet, xeDocType, xeDtdElement, xeDtdAttList, xeDtdEntity,
    xeDtdNotation, xeInstruction, xeWhiteSpace, xeQuotedText, xeEndTag, xeError
};

enum class TsdXmlOutputStyle { xosCompact, xosReadable, xosPreserve };
enum class TsdLineBreakStyle { lbLF, lbCRLF };
enum class TsdWarnStyle { wsInfo, wsHint, wsWarn, wsFail };

// Nesting deeper than this ends a parse (with a "fail" diagnostic). No walk
// recurses; the bound keeps what a hostile file costs (the stack of open
// elements, the indentation of readable output) small.
constexpr int kMaxXmlDepth = 1024;
// Bytes a whole parse may add through declared entities; beyond it references
// are left as they stand.
constexpr std::size_t kEntityBudget = 1 << 20;

// A fault in the structure of the text: the parse ended early or read a tag
// other than it stands, so the tree is not what the text meant.
enum class TsdParseFault {
    None,
    PrematureEnd,        // the text ends inside an element, tag, comment, ...
    IllegalTag,          // "<!" followed by nothing the parser knows
    IllegalEndTag,       // a start tag that ends in neither ">" nor "/>"
    TagMismatch,         // an end tag that names another element
    StrayEndTag,         // an end tag outside every element
    QuoteExpected,       // an attribute value without quotes
    DepthBound,          // nesting deeper than kMaxXmlDepth
    UnsupportedEncoding, // UCS-4
};

// The first structural fault of a parse and where it was found (line and
// column count from 1; the column in characters). Beside the diagnostics.
struct TsdParseResult {
    TsdParseFault fault = TsdParseFault::None;
    int line = 0;
    int column = 0;
    std::string diagnostic; // the parser's own text for it
    bool ok() const { return fault == TsdParseFault::None; }
};

class TNativeXml;
class TsdContainerNode;
class TsdElement;

// Interned names and texts of one document, referred to by number.
class TsdSymbolTable {
public:
    int Add(std::string_view text);
    const std::string& Get(int id) const;
    std::size_t Count() const { return symbols_.size(); }

private:
    std::vector<std::string> symbols_{std::string()}; // id 0 is the empty text
    std::unordered_map<std::string, int> index_{{std::string(), 0}};
};

class TXmlNode {
public:
    TXmlNode(TNativeXml& document, TsdElementType kind) : document_(&document), kind_(kind) {}
    virtual ~TXmlNode() = default;
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    TNativeXml& Document() const { return *document_; }
    TXmlNode* Parent() const { return parent_; }
    TsdElementType ElementType() const { return kind_; }

    virtual TsdContainerNode* AsContainer() { return nullptr; }
    const TsdContainerNode* AsContainer() const { return const_cast<TXmlNode*>(this)->AsContainer(); }

    // Element or attribute name; empty for other nodes.
    virtual std::string NodeName() const { return {}; }
    // Unescaped value; empty for nodes without one.
    virtual std::string ValueText() const { return {}; }
    virtual void SetValueText(std::string_view) {}
    // Throws ConversionError for a value that is not an integer.
    int ValueInt() const;
    void SetValueInt(int value);

    int ChildCount() const;
    TXmlNode* ChildAt(int i) const;
    TsdElement* NewChild(std::string_view name);
    // Detaches the node from where it stands and attaches it here; false (and
    // nothing moves) for this node itself or one of its ancestors.
    bool AdoptNode(TXmlNode* node);
    TXmlNode* FindChild(std::string_view name) const;
    TXmlNode* FindDeep(std::string_view name) const;
    void PutAttrInt(std::string_view name, int value, int defaultValue = 0);
    void PutAttrText(std::string_view name, std::string_view value, std::string_view defaultValue = {});
    void PutChildInt(std::string_view name, int value, int defaultValue = 0);
    int AttrIntByName(std::string_view name, int defaultValue = 0) const;
    std::string AttrTextAt(int n) const;
    int AttrIntAt(int n) const;
    int AttributeCount() const;

    // Number of ancestors, across documents.
    int Depth() const;
    // Diagnostics go to the node's own document.
    void DoDebugOut(TsdWarnStyle level, const std::string& text) const;

protected:
    friend class TsdContainerNode;
    friend class TsdAttribute;
    friend class TNativeXml;
    TNativeXml* document_;
    TXmlNode* parent_ = nullptr;
    TsdElementType kind_;
};

// A text, held unescaped; escaped when written.
class TsdCharData : public TXmlNode {
public:
    explicit TsdCharData(TNativeXml& document, TsdElementType kind = TsdElementType::xeCharData)
        : TXmlNode(document, kind) {}
    std::string ValueText() const override;
    void SetValueText(std::string_view text) override;
    const std::string& RawText() const;

private:
    int text_ = 0;
};

class TsdWhiteSpace : public TsdCharData {
public:
    explicit TsdWhiteSpace(TNativeXml& document) : TsdCharData(document, TsdElementType::xeWhiteSpace) {}
};

class TsdQuotedText : public TsdCharData {
public:
    explicit TsdQuotedText(TNativeXml& document) : TsdCharData(document, TsdElementType::xeQuotedText) {}
    char QuoteChar() const { return quote_; }
    void SetQuoteChar(char quote) { quote_ = quote == '\'' ? '\'' : '"'; }

private:
    char quote_ = '"';
};

class TsdAttribute : public TXmlNode {
public:
    TsdAttribute(TNativeXml& document, std::string_view name);
    std::string NodeName() const override;
    void SetName(std::string_view name);
    std::string ValueText() const override { return value_->RawText(); }
    void SetValueText(std::string_view text) override { value_->SetValueText(text); }
    TsdQuotedText& Value() const { return *value_; }

private:
    int name_ = 0;
    std::unique_ptr<TsdQuotedText> value_;
};

// Children in order; attributes (and whitespace nodes adopted as such) first.
class TsdContainerNode : public TXmlNode {
public:
    using TXmlNode::TXmlNode;
    ~TsdContainerNode() override;
    TsdContainerNode* AsContainer() override { return this; }

    int Count() const { return int(children_.size()); }
    TXmlNode* At(int i) const { return i >= 0 && i < Count() ? children_[std::size_t(i)].get() : nullptr; }
    int FrontCount() const { return front_; }
    bool HasChildElements() const;
    // Appends after the children, or after the front part for attributes and whitespace.
    TXmlNode* Insert(std::unique_ptr<TXmlNode> node);
    TXmlNode* InsertAt(int index, std::unique_ptr<TXmlNode> node);
    std::unique_ptr<TXmlNode> Release(TXmlNode* node);
    void RemoveWhiteSpace();

protected:
    virtual void ChildRemoved(TXmlNode*) {}

private:
    std::vector<std::unique_ptr<TXmlNode>> children_;
    int front_ = 0;
};

class TsdElement : public TsdContainerNode {
public:
    TsdElement(TNativeXml& document, std::string_view name);
    std::string NodeName() const override;
    void SetName(std::string_view name);
    std::string ValueText() const override;
    // Empty text removes the value node; otherwise the value node gets the
    // text, or a new one goes directly after the attributes.
    void SetValueText(std::string_view text) override;
    TsdCharData* ValueNode() const { return value_; }
    // The parser names the first character data child the value.
    void SetValueNode(TsdCharData* node) { value_ = node; }

protected:
    void ChildRemoved(TXmlNode* node) override;

private:
    int name_ = 0;
    TsdCharData* value_ = nullptr;
};

class TsdDeclaration : public TsdContainerNode {
public:
    explicit TsdDeclaration(TNativeXml& document) : TsdContainerNode(document, TsdElementType::xeDeclaration) {}
    std::string NodeName() const override { return "xml"; }
};

// Passes diagnostics to an optional handler; without one they have no effect.
class TDebugComponent {
public:
    using Handler = std::function<void(TsdWarnStyle, const std::string&)>;
    void SetOnDebugOut(Handler handler) { onDebugOut_ = std::move(handler); }
    void DoDebugOut(TsdWarnStyle level, const std::string& text) const
    {
        if (onDebugOut_)
            onDebugOut_(level, text);
    }

private:
    Handler onDebugOut_;
};

class TNativeXml : public TDebugComponent {
public:
    // Empty, for loading.
    TNativeXml();
    // A declaration (version 1.0, encoding utf-8) followed by the root element.
    explicit TNativeXml(std::string_view rootName);
    ~TNativeXml();
    TNativeXml(const TNativeXml&) = delete;
    TNativeXml& operator=(const TNativeXml&) = delete;

    void Clear();
    TsdElement* RootElement() const;
    TsdContainerNode& Nodes() { return *nodes_; }
    const TsdContainerNode& Nodes() const { return *nodes_; }

    TsdXmlOutputStyle OutputStyle() const { return outputStyle_; }
    void SetOutputStyle(TsdXmlOutputStyle style);
    TsdLineBreakStyle LineBreak() const { return lineBreak_; }
    void SetLineBreak(TsdLineBreakStyle style) { lineBreak_ = style; }
    std::string LineBreakText() const { return lineBreak_ == TsdLineBreakStyle::lbCRLF ? "\r\n" : "\n"; }
    std::string IndentString() const { return "\t"; }

    TsdSymbolTable& Symbols() { return symbols_; }
    const TsdSymbolTable& Symbols() const { return symbols_; }
    // Entities declared by a document type, name -> value.
    std::map<std::string, std::string>& Entities() { return entities_; }
    const std::map<std::string, std::string>& Entities() const { return entities_; }

    // Output goes to the sink in pieces of at most 256 bytes; a false from the
    // sink stops the writing and makes the result false.
    using Sink = std::function<bool(const char*, std::size_t)>;
    bool WriteToSink(const Sink& sink) const;
    std::string WriteToString() const;
    // Creates or replaces the file only when it is written whole; throws Error.
    void SaveDocument(const std::string& path) const;

    // Input is pulled from the source 256 bytes at a time; the source returns
    // the count it placed (0 at the end).
    using Source = std::function<std::size_t(char*, std::size_t)>;
    void ReadFromSource(const Source& source);
    void ReadFromString(std::string_view bytes);
    // The outcome of the last parse.
    const TsdParseResult& ParseResult() const { return parseResult_; }
    // Throws Error when the file cannot be opened.
    void LoadDocument(const std::string& path);

private:
    std::unique_ptr<TsdContainerNode> nodes_;
    TsdSymbolTable symbols_;
    std::map<std::string, std::string> entities_;
    TsdParseResult parseResult_;
    TsdXmlOutputStyle outputStyle_ = TsdXmlOutputStyle::xosCompact;
    TsdLineBreakStyle lineBreak_ = TsdLineBreakStyle::lbLF;
};

// Text helpers shared by the document's parts.
bool SameName(std::string_view a, std::string_view b);
std::string EscapeXml(std::string_view text);
// One level: the five entities and the document's declared ones; numeric
// references and unknown names stay as they are. budget: bytes entities may
// still add (decreased); nullptr means unlimited.
std::string UnescapeXml(std::string_view text, const std::map<std::string, std::string>& entities,
                        std::size_t* budget = nullptr);
// Decimal with an optional sign, within int; false otherwise.
bool TryStrToInt(std::string_view text, int& value);
std::string TrimControl(std::string_view text);

} // namespace vk410
