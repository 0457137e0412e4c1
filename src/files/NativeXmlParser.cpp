// Parsing text into a document. Never recurses: open elements sit on an
// explicit stack of at most kMaxXmlDepth entries. Faults end the parse early
// (or spoil a tag) with a diagnostic, keep the nodes built so far, and the
// first of them is handed back as the parse result.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/Errors.h"
#include "NativeXml.h"
#include "NativeXmlReader.h"

namespace vk410 {

namespace {

using xmlparse::Reader;

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

class Parser {
public:
    Parser(TNativeXml& doc, Reader& in) : doc_(doc), in_(in) {}
    void Run();
    const TsdParseResult& Result() const { return result_; }

private:
    void Diag(TsdWarnStyle level, const std::string& text) { doc_.DoDebugOut(level, text); }
    // Records the first structural fault, found at the current tag or, with
    // here, at the next character.
    void Fault(TsdParseFault kind, const std::string& text, bool here = false)
    {
        if (result_.ok())
            result_ = {kind, here ? in_.Line() : tagLine_, here ? in_.Column() : tagColumn_, text};
    }
    std::string Pos() const { return std::to_string(in_.Pos()); }
    void Premature()
    {
        const std::string text = "stream terminated prematurely at pos " + Pos();
        Diag(TsdWarnStyle::wsWarn, text);
        Fault(TsdParseFault::PrematureEnd, text, true);
        stop_ = true;
    }
    TsdContainerNode& Current() { return open_.empty() ? doc_.Nodes() : *open_.back(); }
    bool DetectEncoding();
    void AddText(const std::string& text, bool unescape);
    void Tag();
    void Element();
    void EndTag();
    void Declaration();
    // Attributes up to the tag's end; returns the character that ended them
    // ('>', '/', '?' or another one), -1 at the end of the input.
    int Attributes(TsdContainerNode& owner);
    bool SkipPast(std::string_view terminator);
    bool SkipDeclaration(); // up to '>' outside quotes
    void DocType();
    void Entity();
    std::string ReadName();
    std::string Unescape(std::string_view text) { return UnescapeXml(text, doc_.Entities(), &budget_); }

    TNativeXml& doc_;
    Reader& in_;
    std::vector<TsdElement*> open_;
    bool stop_ = false;
    bool declarationDecides_ = false;
    std::size_t budget_ = kEntityBudget;
    TsdParseResult result_;
    int tagLine_ = 1, tagColumn_ = 1; // where the current tag's "<" stands
};

bool Parser::DetectEncoding()
{
    if (in_.Prime() <= 4) {
        Diag(TsdWarnStyle::wsWarn, "stream terminated prematurely at pos 0");
        Fault(TsdParseFault::PrematureEnd, "stream terminated prematurely at pos 0");
        return false;
    }
    const unsigned char* b = in_.RawStart();
    const auto is = [b](const char* sig) { return std::memcmp(b, sig, 4) == 0; };
    if (is("\0\0\xFE\xFF") || is("\xFF\xFE\0\0") || is("\0\0\xFF\xFE") || is("\xFE\xFF\0\0") ||
        is("\0\0\0<") || is("<\0\0\0") || is("\0\0<\0") || is("\0<\0\0")) {
        Diag(TsdWarnStyle::wsFail, "unsupported encoding (UCS-4)");
        Fault(TsdParseFault::UnsupportedEncoding, "unsupported encoding (UCS-4)");
        return false;
    }
    if (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        in_.SkipRaw(3);
    } else if (b[0] == 0xFE && b[1] == 0xFF) {
        in_.SkipRaw(2);
        in_.SetCodePage(xmlenc::kUtf16BE);
    } else if (b[0] == 0xFF && b[1] == 0xFE) {
        in_.SkipRaw(2);
        in_.SetCodePage(xmlenc::kUtf16LE);
    } else if (std::memcmp(b, "<?xm", 4) == 0) {
        declarationDecides_ = true; // ASCII until the declaration names the encoding
    } else {
        Diag(TsdWarnStyle::wsWarn, "unknown encoding");
        declarationDecides_ = true;
    }
    return true;
}

void Parser::Run()
{
    if (!DetectEncoding())
        return;
    std::string text;
    while (!stop_) {
        text.clear();
        int c;
        while ((c = in_.Peek()) >= 0 && c != '<')
            text.push_back(char(in_.Next()));
        AddText(text, true);
        if (c < 0) {
            if (!open_.empty())
                Premature();
            return;
        }
        tagLine_ = in_.Line();
        tagColumn_ = in_.Column();
        in_.Next();
        Tag();
    }
}

void Parser::AddText(const std::string& text, bool unescape)
{
    const bool preserve = doc_.OutputStyle() == TsdXmlOutputStyle::xosPreserve;
    const std::string trimmed = TrimControl(text);
    if (trimmed.empty()) {
        if (preserve && !text.empty())
            Current().Insert(std::make_unique<TsdWhiteSpace>(doc_))->SetValueText(text);
        return;
    }
    auto node = std::make_unique<TsdCharData>(doc_);
    node->SetValueText(unescape ? Unescape(preserve ? text : trimmed) : (preserve ? text : trimmed));
    auto* raw = static_cast<TsdCharData*>(Current().Insert(std::move(node)));
    if (!open_.empty() && !open_.back()->ValueNode())
        open_.back()->SetValueNode(raw);
}

void Parser::Tag()
{
    if (in_.LookingAt("?xml-stylesheet") || (in_.LookingAt("?") && !in_.LookingAt("?xml"))) {
        if (!SkipPast("?>"))
            Premature();
    } else if (in_.LookingAt("?xml")) {
        in_.Skip(4);
        Declaration();
    } else if (in_.LookingAt("!--")) {
        if (!SkipPast("-->"))
            Premature();
    } else if (in_.LookingAt("![CDATA[")) {
        in_.Skip(8);
        std::string text;
        while (!in_.LookingAt("]]>")) {
            const int c = in_.Next();
            if (c < 0)
                return Premature();
            text.push_back(char(c));
        }
        in_.Skip(3);
        AddText(text, false);
    } else if (in_.LookingAt("!DOCTYPE")) {
        in_.Skip(8);
        DocType();
    } else if (in_.LookingAt("!ENTITY")) {
        in_.Skip(7);
        Entity();
    } else if (in_.LookingAt("!ELEMENT") || in_.LookingAt("!ATTLIST") || in_.LookingAt("!NOTATION")) {
        if (!SkipDeclaration())
            Premature();
    } else if (in_.LookingAt("!")) {
        std::string tag = "<";
        for (int c; tag.size() < 32 && (c = in_.Peek()) >= 0 && c != '>' && !IsSpace(c);)
            tag.push_back(char(in_.Next()));
        const std::string text = "illegal tag (\"" + tag + "\") at pos " + Pos();
        Diag(TsdWarnStyle::wsFail, text);
        Diag(TsdWarnStyle::wsWarn, text);
        Fault(TsdParseFault::IllegalTag, text);
        stop_ = true;
    } else if (in_.LookingAt("/")) {
        in_.Next();
        EndTag();
    } else {
        Element();
    }
}

std::string Parser::ReadName()
{
    std::string name;
    for (int c; (c = in_.Peek()) >= 0 && !IsSpace(c) && c != '/' && c != '>' && c != '[';)
        name.push_back(char(in_.Next()));
    return name;
}

void Parser::Element()
{
    if (open_.size() >= std::size_t(kMaxXmlDepth)) {
        const std::string text = "nesting deeper than " + std::to_string(kMaxXmlDepth) + " levels at pos " + Pos();
        Diag(TsdWarnStyle::wsFail, text);
        Fault(TsdParseFault::DepthBound, text);
        stop_ = true;
        return;
    }
    auto* e = static_cast<TsdElement*>(Current().Insert(std::make_unique<TsdElement>(doc_, ReadName())));
    const int end = Attributes(*e);
    if (end < 0)
        return Premature();
    if (end == '>') {
        open_.push_back(e);
        return;
    }
    if (end == '/' && in_.Peek() == '>') {
        in_.Next();
        return;
    }
    // Anything else ends the element where it stands.
    const std::string text = "illegal end tag (\"" + e->NodeName() + "\") at line " + std::to_string(in_.Line()) +
                             " (streampos " + Pos() + ")";
    Diag(TsdWarnStyle::wsWarn, text);
    Fault(TsdParseFault::IllegalEndTag, text);
}

int Parser::Attributes(TsdContainerNode& owner)
{
    for (;;) {
        while (IsSpace(in_.Peek()))
            in_.Next();
        const int c = in_.Peek();
        if (c < 0)
            return c;
        if (c == '>' || c == '/' || c == '?' || c == '[') {
            in_.Next();
            return c;
        }
        std::string name;
        for (int d; (d = in_.Peek()) >= 0 && !IsSpace(d) && d != '=' && d != '/' && d != '>' && d != '?';)
            name.push_back(char(in_.Next()));
        while (IsSpace(in_.Peek()))
            in_.Next();
        const bool equals = in_.Peek() == '=';
        if (equals)
            in_.Next();
        while (IsSpace(in_.Peek()))
            in_.Next();
        if (name.empty() && !equals)
            return in_.Next(); // nothing an attribute can start with
        auto* attr = static_cast<TsdAttribute*>(owner.Insert(std::make_unique<TsdAttribute>(doc_, name)));
        const int quote = in_.Peek();
        if (quote != '"' && quote != '\'') {
            const std::string text = "quote char expected at pos " + Pos();
            Diag(TsdWarnStyle::wsWarn, text);
            Fault(TsdParseFault::QuoteExpected, text, true);
            continue;
        }
        in_.Next();
        std::string value;
        for (int d; (d = in_.Next()) != quote;) {
            if (d < 0)
                return d;
            value.push_back(char(d));
        }
        attr->Value().SetQuoteChar(char(quote));
        attr->SetValueText(Unescape(value));
    }
}

void Parser::EndTag()
{
    std::string name;
    for (int c; (c = in_.Next()) != '>';) {
        if (c < 0)
            return Premature();
        name.push_back(char(c));
    }
    name = TrimControl(name);
    if (open_.empty()) {
        const std::string text = "end tag \"" + name + "\" without element at pos " + Pos();
        Diag(TsdWarnStyle::wsWarn, text);
        Fault(TsdParseFault::StrayEndTag, text);
        return;
    }
    const std::string open = open_.back()->NodeName();
    if (name != open) {
        const std::string text = "begin and end tag mismatch: \"" + open + "\" and \"" + name + "\" at line " +
                                 std::to_string(in_.Line()) + " (pos " + Pos() + ")";
        Diag(TsdWarnStyle::wsWarn, text);
        Fault(TsdParseFault::TagMismatch, text);
    }
    open_.pop_back();
}

void Parser::Declaration()
{
    auto* decl = static_cast<TsdDeclaration*>(Current().Insert(std::make_unique<TsdDeclaration>(doc_)));
    const int end = Attributes(*decl);
    if (end < 0)
        return Premature();
    if (end == '?' && in_.Peek() == '>')
        in_.Next();
    else if (!SkipPast(">"))
        return Premature();
    if (!declarationDecides_)
        return; // a byte-order mark has decided already
    declarationDecides_ = false;
    const TXmlNode* encoding = decl->FindChild("encoding");
    const int cp = xmlenc::CodePageByName(encoding ? TrimControl(encoding->ValueText()) : std::string());
    // The declaration was read as bytes, so the text cannot be UTF-16.
    if (cp != xmlenc::kUtf16LE && cp != xmlenc::kUtf16BE)
        in_.SetCodePage(cp);
}

bool Parser::SkipPast(std::string_view terminator)
{
    while (!in_.LookingAt(terminator))
        if (in_.Next() < 0)
            return false;
    in_.Skip(terminator.size());
    return true;
}

bool Parser::SkipDeclaration()
{
    for (int quote = 0;;) {
        const int c = in_.Next();
        if (c < 0)
            return false;
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            return true;
    }
}

void Parser::DocType()
{
    for (int quote = 0;;) {
        const int c = in_.Next();
        if (c < 0)
            return Premature();
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return;
        } else if (c == '[') {
            break;
        }
    }
    // The internal subset: entity declarations are kept, the rest skipped.
    while (!stop_) {
        const int c = in_.Peek();
        if (c < 0)
            return Premature();
        if (c == ']') {
            in_.Next();
            if (!SkipDeclaration())
                Premature();
            return;
        }
        if (in_.LookingAt("<!ENTITY")) {
            in_.Skip(8);
            Entity();
        } else if (in_.LookingAt("<!--")) {
            if (!SkipPast("-->"))
                Premature();
        } else if (in_.LookingAt("<?")) {
            if (!SkipPast("?>"))
                Premature();
        } else if (c == '<') {
            if (!SkipDeclaration())
                Premature();
        } else {
            in_.Next();
        }
    }
}

void Parser::Entity()
{
    while (IsSpace(in_.Peek()))
        in_.Next();
    if (in_.Peek() == '%') { // parameter entities are not used
        if (!SkipDeclaration())
            Premature();
        return;
    }
    const std::string name = ReadName();
    while (IsSpace(in_.Peek()))
        in_.Next();
    const int quote = in_.Peek();
    if (quote == '"' || quote == '\'') {
        in_.Next();
        std::string value;
        for (int c; (c = in_.Next()) != quote;) {
            if (c < 0)
                return Premature();
            value.push_back(char(c));
        }
        doc_.Entities().emplace(name, value); // the first declaration counts
    }
    if (!SkipDeclaration())
        Premature();
}

} // namespace

std::string UnescapeXml(std::string_view text, const std::map<std::string, std::string>& entities,
                        std::size_t* budget)
{
    static const std::pair<std::string_view, char> kFive[] = {
        {"quot", '"'}, {"amp", '&'}, {"apos", '\''}, {"lt", '<'}, {"gt", '>'}};
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos)
            break;
        out.append(text.substr(i, amp - i));
        const std::size_t end = text.find_first_of("&;", amp + 1);
        if (end == std::string_view::npos || text[end] == '&') {
            out.push_back('&');
            i = amp + 1;
            continue;
        }
        const std::string name(text.substr(amp + 1, end - amp - 1));
        i = end + 1;
        bool done = false;
        for (const auto& [n, ch] : kFive)
            if (name == n) {
                out.push_back(ch);
                done = true;
            }
        if (done)
            continue;
        const auto it = entities.find(name);
        if (it != entities.end() && (!budget || it->second.size() <= *budget)) {
            if (budget)
                *budget -= it->second.size();
            out += it->second; // inserted as it stands: one level only
        } else {
            out.append(text.substr(amp, end + 1 - amp));
        }
    }
    out.append(text.substr(std::min(i, text.size())));
    return out;
}

void TNativeXml::ReadFromSource(const Source& source)
{
    Clear();
    Reader in(source);
    Parser parser(*this, in);
    parser.Run();
    parseResult_ = parser.Result();
}

void TNativeXml::ReadFromString(std::string_view bytes)
{
    ReadFromSource([&bytes](char* buf, std::size_t size) {
        const std::size_t n = std::min(size, bytes.size());
        std::memcpy(buf, bytes.data(), n);
        bytes.remove_prefix(n);
        return n;
    });
}

void TNativeXml::LoadDocument(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw Error("Cannot open file \"" + path + "\": " + std::strerror(errno));
    bool failed = false;
    ReadFromSource([file, &failed](char* buf, std::size_t size) {
        const std::size_t n = std::fread(buf, 1, size, file);
        failed = failed || std::ferror(file);
        return n;
    });
    std::fclose(file);
    if (failed)
        throw Error("Cannot read file \"" + path + "\"");
}

} // namespace vk410
