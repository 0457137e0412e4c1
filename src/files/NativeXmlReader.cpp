// The parser's input: a 256-byte raw buffer decoded to UTF-8 on demand.
#include "NativeXmlReader.h"

namespace vk410::xmlparse {

std::size_t Reader::Prime()
{
    while (rawLen_ < sizeof raw_ && !sourceDone_) {
        const std::size_t got = source_(reinterpret_cast<char*>(raw_) + rawLen_, sizeof raw_ - rawLen_);
        if (got == 0 || got > sizeof raw_ - rawLen_)
            sourceDone_ = true;
        else
            rawLen_ += got;
    }
    return rawLen_ - rawPos_;
}

bool Reader::RawByte(unsigned char& b)
{
    if (rawPos_ == rawLen_) {
        rawPos_ = rawLen_ = 0;
        if (Prime() == 0)
            return false;
    }
    b = raw_[rawPos_++];
    return true;
}

bool Reader::DecodeMore()
{
    if (decodedPos_ == decoded_.size() || decodedPos_ > 4096) {
        decoded_.erase(0, decodedPos_);
        decodedPos_ = 0;
    }
    unsigned char b0 = 0;
    if (!RawByte(b0))
        return false;
    if (codePage_ == xmlenc::kUtf8) {
        decoded_.push_back(char(b0));
        return true;
    }
    if (codePage_ != xmlenc::kUtf16LE && codePage_ != xmlenc::kUtf16BE) {
        xmlenc::AppendSingleByte(decoded_, b0, codePage_);
        return true;
    }
    const bool le = codePage_ == xmlenc::kUtf16LE;
    unsigned char b1 = 0;
    if (!RawByte(b1)) {
        decoded_.push_back('?'); // an odd byte at the end
        return true;
    }
    unsigned unit = le ? (b0 | (b1 << 8)) : ((b0 << 8) | b1);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        unsigned char c0 = 0, c1 = 0;
        if (!RawByte(c0) || !RawByte(c1)) {
            decoded_.push_back('?');
            return true;
        }
        const unsigned low = le ? (c0 | (c1 << 8)) : ((c0 << 8) | c1);
        if (low < 0xDC00 || low > 0xDFFF) {
            decoded_.push_back('?');
            xmlenc::AppendUtf8(decoded_, low >= 0xD800 && low <= 0xDBFF ? '?' : low);
            return true;
        }
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        unit = '?';
    }
    xmlenc::AppendUtf8(decoded_, unit);
    return true;
}

int Reader::Peek(std::size_t n)
{
    while (decoded_.size() - decodedPos_ <= n)
        if (!DecodeMore())
            return -1;
    return static_cast<unsigned char>(decoded_[decodedPos_ + n]);
}

bool Reader::AtEnd() { return Peek() < 0; }

int Reader::Next()
{
    const int c = Peek();
    if (c < 0)
        return c;
    ++decodedPos_;
    ++pos_;
    if (c == '\n') {
        ++line_;
        chars_ = 0;
    } else if ((c & 0xC0) != 0x80) { // not inside a UTF-8 sequence
        ++chars_;
    }
    return c;
}

bool Reader::LookingAt(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int c = Peek(i);
        const char ch = char(c);
        if (c < 0 || !SameName(std::string_view(&ch, 1), text.substr(i, 1)))
            return false;
    }
    return true;
}

void Reader::Skip(std::size_t n)
{
    while (n-- > 0 && Next() >= 0) {
    }
}

} // namespace vk410::xmlparse
