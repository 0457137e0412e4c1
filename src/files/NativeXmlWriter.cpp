// Writing a document as text (UTF-8 without byte-order mark).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

#include "model/Errors.h"
#include "NativeXml.h"

namespace vk410 {

namespace {

// Collects output and hands it to the sink 256 bytes at a time.
class BufferedWriter {
public:
    explicit BufferedWriter(const TNativeXml::Sink& sink) : sink_(sink) {}

    void Put(std::string_view text)
    {
        while (!text.empty() && ok_) {
            const std::size_t n = std::min(text.size(), sizeof buf_ - used_);
            std::memcpy(buf_ + used_, text.data(), n);
            used_ += n;
            text.remove_prefix(n);
            if (used_ == sizeof buf_)
                Flush();
        }
    }
    bool Finish()
    {
        Flush();
        return ok_;
    }

private:
    void Flush()
    {
        if (ok_ && used_ > 0)
            ok_ = sink_(buf_, used_);
        used_ = 0;
    }

    const TNativeXml::Sink& sink_;
    char buf_[256];
    std::size_t used_ = 0;
    bool ok_ = true;
};

bool Readable(const TXmlNode& node) { return node.Document().OutputStyle() == TsdXmlOutputStyle::xosReadable; }

// depth: the node's ancestors, known to the walk.
std::string Indentation(const TXmlNode& node, int depth)
{
    if (!Readable(node))
        return {};
    std::string out;
    const std::string unit = node.Document().IndentString();
    for (int i = depth; i > 0; --i)
        out += unit;
    return out;
}

std::string LineEnd(const TXmlNode& node) { return Readable(node) ? node.Document().LineBreakText() : std::string(); }

bool IsCharData(const TXmlNode& node) { return node.ElementType() == TsdElementType::xeCharData; }

void WriteAttributes(BufferedWriter& out, const TsdContainerNode& c)
{
    for (int i = 0; i < c.FrontCount(); ++i) {
        const TXmlNode* node = c.At(i);
        if (node->ElementType() != TsdElementType::xeAttribute)
            continue;
        const auto* a = static_cast<const TsdAttribute*>(node);
        const char q = a->Value().QuoteChar();
        out.Put(" ");
        out.Put(a->NodeName());
        out.Put("=");
        out.Put(std::string_view(&q, 1));
        out.Put(EscapeXml(a->ValueText()));
        out.Put(std::string_view(&q, 1));
    }
}

// An element whose start tag is written and whose children are being written.
struct OpenElement {
    const TsdElement* element;
    int depth;
    int next; // the child written next
    bool hasElements;
};

// Writes the start tag; false for an element without children, which it
// closes at once.
bool StartElement(BufferedWriter& out, const TsdElement& e, int depth)
{
    out.Put(Indentation(e, depth));
    out.Put("<");
    out.Put(e.NodeName());
    WriteAttributes(out, e);
    if (e.Count() == e.FrontCount()) {
        out.Put("/>");
        out.Put(LineEnd(e));
        return false;
    }
    out.Put(">");
    return true;
}

void EndElement(BufferedWriter& out, const OpenElement& open)
{
    const TsdElement& e = *open.element;
    if (open.hasElements)
        out.Put(Indentation(e, open.depth));
    out.Put("</");
    out.Put(e.NodeName());
    out.Put(">");
    out.Put(LineEnd(e));
}

// Everything but elements.
void WriteLeaf(BufferedWriter& out, const TXmlNode& node, int depth)
{
    switch (node.ElementType()) {
    case TsdElementType::xeDeclaration:
        out.Put(Indentation(node, depth));
        out.Put("<?xml");
        WriteAttributes(out, static_cast<const TsdDeclaration&>(node));
        out.Put("?>");
        out.Put(LineEnd(node));
        break;
    case TsdElementType::xeCharData:
        out.Put(EscapeXml(node.ValueText()));
        if (!node.Parent())
            out.Put(LineEnd(node));
        break;
    default: // whitespace and anything else the writer does not produce
        break;
    }
}

// Depth-first with an explicit stack of open elements: hand-built trees have
// no depth bound.
void WriteTree(BufferedWriter& out, const TXmlNode& top)
{
    if (top.ElementType() != TsdElementType::xeElement)
        return WriteLeaf(out, top, 0);
    const auto& root = static_cast<const TsdElement&>(top);
    std::vector<OpenElement> open;
    if (StartElement(out, root, 0))
        open.push_back({&root, 0, root.FrontCount(), root.HasChildElements()});
    while (!open.empty()) {
        OpenElement& parent = open.back();
        const TsdElement& e = *parent.element;
        if (parent.next == e.Count()) {
            EndElement(out, parent);
            open.pop_back();
            continue;
        }
        const TXmlNode& child = *e.At(parent.next);
        const bool first = parent.next == e.FrontCount();
        const bool hasElements = parent.hasElements;
        const int depth = parent.depth + 1;
        ++parent.next;
        if (first && !IsCharData(child))
            out.Put(LineEnd(e));
        if (child.ElementType() == TsdElementType::xeElement) {
            const auto& c = static_cast<const TsdElement&>(child);
            if (StartElement(out, c, depth))
                open.push_back({&c, depth, c.FrontCount(), c.HasChildElements()}); // parent dangles now
            continue;
        }
        if (IsCharData(child) && !first && hasElements)
            out.Put(Indentation(child, depth));
        WriteLeaf(out, child, depth);
        if (IsCharData(child) && hasElements)
            out.Put(LineEnd(e));
    }
}

} // namespace

std::string EscapeXml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '"': out += "&quot;"; break;
        case '&': out += "&amp;"; break;
        case '\'': out += "&apos;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

bool TNativeXml::WriteToSink(const Sink& sink) const
{
    BufferedWriter out(sink);
    for (int i = 0; i < nodes_->Count(); ++i)
        WriteTree(out, *nodes_->At(i));
    return out.Finish();
}

std::string TNativeXml::WriteToString() const
{
    std::string text;
    WriteToSink([&text](const char* data, std::size_t size) {
        text.append(data, size);
        return true;
    });
    return text;
}

void TNativeXml::SaveDocument(const std::string& path) const
{
    // A temporary beside the target, renamed over it only when complete; a
    // target that is not a regular file (a device, a folder) is never replaced.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw Error("Cannot write file \"" + path + "\": not a regular file");
    const std::string temp = path + ".~tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        throw Error("Cannot create file \"" + path + "\": " + std::strerror(errno));
    bool ok = WriteToSink([file](const char* data, std::size_t size) {
        return std::fwrite(data, 1, size, file) == size;
    });
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    // std::filesystem::rename replaces the target also where rename() will
    // not (Windows).
    std::error_code renamed;
    if (ok)
        std::filesystem::rename(temp, path, renamed);
    if (!ok || renamed) {
        const std::string why = renamed ? renamed.message() : std::strerror(errno);
        std::remove(temp.c_str());
        throw Error("Cannot write file \"" + path + "\": " + why);
    }
}

} // namespace vk410
