#pragma once
#include <cstddef>
#include <string>

#include "NativeXml.h"
#include "NativeXmlEncodings.h"

namespace vk410::xmlparse {

// Pulls raw bytes from a source 256 at a time and hands them out as UTF-8,
// one byte at a time, decoding as the current encoding says. The encoding can
// change between two bytes (after the declaration names it).
class Reader {
public:
    explicit Reader(const TNativeXml::Source& source) : source_(source) {}

    // Fills the first raw buffer; the count of bytes available at the start.
    std::size_t Prime();
    const unsigned char* RawStart() const { return raw_; }
    void SkipRaw(std::size_t n) { rawPos_ += n; }
    void SetCodePage(int codePage) { codePage_ = codePage; }
    int CodePage() const { return codePage_; }

    bool AtEnd();
    // The byte n places ahead without consuming it; -1 past the end.
    int Peek(std::size_t n = 0);
    // Consumes one byte; -1 at the end.
    int Next();
    // Case-insensitive (ASCII) look ahead.
    bool LookingAt(std::string_view text);
    void Skip(std::size_t n);

    std::size_t Pos() const { return pos_; }
    int Line() const { return line_; }
    // Column of the next character on its line, from 1.
    int Column() const { return chars_ + 1; }

private:
    bool RawByte(unsigned char& b);
    bool DecodeMore();

    const TNativeXml::Source& source_;
    unsigned char raw_[256];
    std::size_t rawLen_ = 0;
    std::size_t rawPos_ = 0;
    bool sourceDone_ = false;
    int codePage_ = xmlenc::kUtf8;
    std::string decoded_; // decoded bytes not yet consumed
    std::size_t decodedPos_ = 0;
    std::size_t pos_ = 0;
    int line_ = 1;
    int chars_ = 0; // characters consumed on this line
};

} // namespace vk410::xmlparse
