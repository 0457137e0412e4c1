// Nodes of the XML document model and their operations.
#include <algorithm>
#include <climits>
#include <string>

#include "model/Errors.h"
#include "NativeXml.h"

namespace vk410 {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Lone LFs become CR LF; a CR LF already there stays one line end.
std::string WithCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

} // namespace

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

std::string TrimControl(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) < 33)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) < 33)
        --e;
    return std::string(text.substr(b, e - b));
}

bool TryStrToInt(std::string_view text, int& value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > 1LL + INT_MAX)
            return false;
    }
    v = negative ? -v : v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = int(v);
    return true;
}

// ---- symbol table

int TsdSymbolTable::Add(std::string_view text)
{
    const auto it = index_.find(std::string(text));
    if (it != index_.end())
        return it->second;
    const int id = int(symbols_.size());
    symbols_.emplace_back(text);
    index_.emplace(symbols_.back(), id);
    return id;
}

const std::string& TsdSymbolTable::Get(int id) const
{
    static const std::string empty;
    return id >= 0 && std::size_t(id) < symbols_.size() ? symbols_[std::size_t(id)] : empty;
}

// ---- TXmlNode

int TXmlNode::ValueInt() const
{
    const std::string text = ValueText();
    int value = 0;
    if (!TryStrToInt(TrimControl(text), value))
        throw ConversionError(text);
    return value;
}

void TXmlNode::SetValueInt(int value) { SetValueText(std::to_string(value)); }

int TXmlNode::ChildCount() const
{
    const TsdContainerNode* c = AsContainer();
    return c ? c->Count() : 0;
}

TXmlNode* TXmlNode::ChildAt(int i) const
{
    const TsdContainerNode* c = AsContainer();
    return c ? c->At(i) : nullptr;
}

TsdElement* TXmlNode::NewChild(std::string_view name)
{
    TsdContainerNode* c = AsContainer();
    if (!c)
        return nullptr;
    return static_cast<TsdElement*>(c->Insert(std::make_unique<TsdElement>(*document_, name)));
}

bool TXmlNode::AdoptNode(TXmlNode* node)
{
    TsdContainerNode* c = AsContainer();
    if (!c || !node)
        return false;
    for (const TXmlNode* p = this; p; p = p->parent_)
        if (p == node)
            return false;
    std::unique_ptr<TXmlNode> owned;
    if (node->parent_ && node->parent_->AsContainer())
        owned = node->parent_->AsContainer()->Release(node);
    else
        owned = node->document_->Nodes().Release(node);
    if (!owned)
        return false;
    c->Insert(std::move(owned));
    return true;
}

TXmlNode* TXmlNode::FindChild(std::string_view name) const
{
    for (int i = 0; i < ChildCount(); ++i)
        if (SameName(ChildAt(i)->NodeName(), name))
            return ChildAt(i);
    return nullptr;
}

TXmlNode* TXmlNode::FindDeep(std::string_view name) const
{
    // Depth-first in document order with an explicit stack: hand-built trees
    // have no depth bound.
    std::vector<std::pair<const TXmlNode*, int>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        TXmlNode* child = node->ChildAt(next++);
        if (!child) {
            stack.pop_back();
            continue;
        }
        if (SameName(child->NodeName(), name))
            return child;
        stack.emplace_back(child, 0);
    }
    return nullptr;
}

int TXmlNode::AttributeCount() const
{
    int n = 0;
    for (int i = 0; i < ChildCount(); ++i)
        n += ChildAt(i)->ElementType() == TsdElementType::xeAttribute;
    return n;
}

void TXmlNode::PutAttrText(std::string_view name, std::string_view value, std::string_view)
{
    TsdContainerNode* c = AsContainer();
    if (!c)
        return;
    for (int i = 0; i < c->FrontCount(); ++i) {
        TXmlNode* a = c->At(i);
        if (a->ElementType() == TsdElementType::xeAttribute && SameName(a->NodeName(), name)) {
            a->SetValueText(value);
            return;
        }
    }
    auto attr = std::make_unique<TsdAttribute>(*document_, name);
    attr->SetValueText(value);
    c->Insert(std::move(attr));
}

void TXmlNode::PutAttrInt(std::string_view name, int value, int) { PutAttrText(name, std::to_string(value)); }

void TXmlNode::PutChildInt(std::string_view name, int value, int)
{
    TXmlNode* child = FindChild(name);
    if (!child)
        child = NewChild(name);
    if (child)
        child->SetValueInt(value);
}

int TXmlNode::AttrIntByName(std::string_view name, int defaultValue) const
{
    for (int i = 0; i < ChildCount(); ++i) {
        const TXmlNode* a = ChildAt(i);
        if (a->ElementType() == TsdElementType::xeAttribute && SameName(a->NodeName(), name)) {
            int value = 0;
            return TryStrToInt(TrimControl(a->ValueText()), value) ? value : defaultValue;
        }
    }
    return defaultValue;
}

std::string TXmlNode::AttrTextAt(int n) const
{
    for (int i = 0, k = 0; i < ChildCount(); ++i) {
        const TXmlNode* a = ChildAt(i);
        if (a->ElementType() != TsdElementType::xeAttribute)
            continue;
        if (k++ == n)
            return a->ValueText();
    }
    return {};
}

int TXmlNode::AttrIntAt(int n) const
{
    int value = 0;
    return TryStrToInt(TrimControl(AttrTextAt(n)), value) ? value : 0;
}

int TXmlNode::Depth() const
{
    int depth = 0;
    for (const TXmlNode* p = parent_; p; p = p->parent_)
        ++depth;
    return depth;
}

void TXmlNode::DoDebugOut(TsdWarnStyle level, const std::string& text) const { document_->DoDebugOut(level, text); }

// ---- character data and attributes

std::string TsdCharData::ValueText() const
{
    const std::string& text = RawText();
    if (document_->LineBreak() == TsdLineBreakStyle::lbCRLF && text.find('\n') != std::string::npos)
        return WithCrLf(text);
    return text;
}

void TsdCharData::SetValueText(std::string_view text) { text_ = document_->Symbols().Add(text); }

const std::string& TsdCharData::RawText() const { return document_->Symbols().Get(text_); }

TsdAttribute::TsdAttribute(TNativeXml& document, std::string_view name)
    : TXmlNode(document, TsdElementType::xeAttribute), name_(document.Symbols().Add(name)),
      value_(std::make_unique<TsdQuotedText>(document))
{
    value_->parent_ = this;
}

std::string TsdAttribute::NodeName() const { return document_->Symbols().Get(name_); }
void TsdAttribute::SetName(std::string_view name) { name_ = document_->Symbols().Add(name); }

// ---- containers

TsdContainerNode::~TsdContainerNode()
{
    // Flattened, so that freeing a deep tree does not recurse.
    std::vector<std::unique_ptr<TXmlNode>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<TXmlNode> node = std::move(pending.back());
        pending.pop_back();
        if (TsdContainerNode* c = node->AsContainer()) {
            for (auto& child : c->children_)
                pending.push_back(std::move(child));
            c->children_.clear();
        }
    }
}

bool TsdContainerNode::HasChildElements() const
{
    for (const auto& child : children_)
        if (child->ElementType() == TsdElementType::xeElement)
            return true;
    return false;
}

TXmlNode* TsdContainerNode::Insert(std::unique_ptr<TXmlNode> node)
{
    const TsdElementType kind = node->ElementType();
    const bool front = kind == TsdElementType::xeAttribute || kind == TsdElementType::xeWhiteSpace;
    return InsertAt(front ? front_ : Count(), std::move(node));
}

TXmlNode* TsdContainerNode::InsertAt(int index, std::unique_ptr<TXmlNode> node)
{
    const TsdElementType kind = node->ElementType();
    if (kind == TsdElementType::xeAttribute || kind == TsdElementType::xeWhiteSpace) {
        index = std::min(index, front_);
        ++front_;
    } else {
        index = std::max(index, front_);
    }
    index = std::clamp(index, 0, Count());
    node->parent_ = kind_ == TsdElementType::xeError ? nullptr : this;
    TXmlNode* raw = node.get();
    children_.insert(children_.begin() + index, std::move(node));
    return raw;
}

std::unique_ptr<TXmlNode> TsdContainerNode::Release(TXmlNode* node)
{
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (children_[i].get() != node)
            continue;
        std::unique_ptr<TXmlNode> owned = std::move(children_[i]);
        children_.erase(children_.begin() + std::ptrdiff_t(i));
        if (int(i) < front_)
            --front_;
        owned->parent_ = nullptr;
        ChildRemoved(node);
        return owned;
    }
    return nullptr;
}

void TsdContainerNode::RemoveWhiteSpace()
{
    std::vector<std::pair<TsdContainerNode*, TXmlNode*>> doomed;
    std::vector<TsdContainerNode*> stack{this};
    while (!stack.empty()) {
        TsdContainerNode* c = stack.back();
        stack.pop_back();
        for (const auto& child : c->children_) {
            if (child->ElementType() == TsdElementType::xeWhiteSpace)
                doomed.emplace_back(c, child.get());
            else if (TsdContainerNode* cc = child->AsContainer())
                stack.push_back(cc);
        }
    }
    for (auto [container, node] : doomed)
        container->Release(node);
}

// ---- elements

TsdElement::TsdElement(TNativeXml& document, std::string_view name)
    : TsdContainerNode(document, TsdElementType::xeElement), name_(document.Symbols().Add(name))
{
}

std::string TsdElement::NodeName() const { return document_->Symbols().Get(name_); }
void TsdElement::SetName(std::string_view name) { name_ = document_->Symbols().Add(name); }

std::string TsdElement::ValueText() const { return value_ ? value_->ValueText() : std::string(); }

void TsdElement::SetValueText(std::string_view text)
{
    if (text.empty()) {
        if (value_)
            Release(value_); // the released node dies here
        return;
    }
    if (!value_) {
        auto node = std::make_unique<TsdCharData>(*document_);
        value_ = static_cast<TsdCharData*>(InsertAt(FrontCount(), std::move(node)));
    }
    value_->SetValueText(text);
}

void TsdElement::ChildRemoved(TXmlNode* node)
{
    if (node == value_)
        value_ = nullptr;
}

// ---- document basics

// The top-level list is a container of kind xeError (no node class of its
// own), so that its children keep no parent, as top-level nodes have none.
TNativeXml::TNativeXml() : nodes_(std::make_unique<TsdContainerNode>(*this, TsdElementType::xeError)) {}

TNativeXml::TNativeXml(std::string_view rootName) : TNativeXml()
{
    auto decl = std::make_unique<TsdDeclaration>(*this);
    decl->PutAttrText("version", "1.0");
    decl->PutAttrText("encoding", "utf-8");
    nodes_->Insert(std::move(decl));
    nodes_->Insert(std::make_unique<TsdElement>(*this, rootName));
}

TNativeXml::~TNativeXml() = default;

void TNativeXml::Clear()
{
    nodes_ = std::make_unique<TsdContainerNode>(*this, TsdElementType::xeError);
    entities_.clear();
    parseResult_ = {};
}

TsdElement* TNativeXml::RootElement() const
{
    for (int i = 0; i < nodes_->Count(); ++i)
        if (nodes_->At(i)->ElementType() == TsdElementType::xeElement)
            return static_cast<TsdElement*>(nodes_->At(i));
    return nullptr;
}

void TNativeXml::SetOutputStyle(TsdXmlOutputStyle style)
{
    if (outputStyle_ == TsdXmlOutputStyle::xosPreserve && style != TsdXmlOutputStyle::xosPreserve)
        nodes_->RemoveWhiteSpace();
    outputStyle_ = style;
}

} // namespace vk410
