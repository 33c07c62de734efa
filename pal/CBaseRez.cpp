// The text-resource reader: a small state machine fed one byte at a time, so
// that files of any length and any content are read in bounded memory per line.
#include "pal/CBaseRez.h"

#include "pal/PalTypes.h"

namespace ZVNPal {
namespace {

constexpr int kEndOfFile = std::char_traits<char>::eof();
constexpr int kByteOrderMarkLead = 0xEF;

char unescape(int byte)
{
    switch (byte) {
    case '0': return '\0';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    default: return static_cast<char>(byte); // a backslash, a line break, "|", anything
    }
}

CBaseRez::Alternatives splitAlternatives(const std::string& value)
{
    CBaseRez::Alternatives alternatives(1);
    for (char c : value) {
        if (c == '|')
            alternatives.emplace_back();
        else
            alternatives.back().push_back(c);
    }
    return alternatives;
}

} // namespace

// The state of one pass over a file; the flags are those of a line being read.
class CBaseRez::Reader {
public:
    Reader(std::streambuf& bytes, Entries& entries) : m_bytes(bytes), m_entries(entries) {}

    int32_t run()
    {
        bool firstByte = true;
        for (int byte = next(); byte != kEndOfFile; byte = next()) {
            if (firstByte) {
                firstByte = false;
                if (byte == kByteOrderMarkLead) {
                    // The mark's other two bytes are skipped unseen.
                    if (next() == kEndOfFile || next() == kEndOfFile)
                        return kPalFail;
                    continue;
                }
            }
            if (!take(byte))
                return kPalFail;
        }
        endLine();
        return kPalOk;
    }

private:
    int next() { return m_bytes.sbumpc(); }

    // One byte of a line; false when the input ends right after a backslash.
    bool take(int byte)
    {
        if (byte == '\n' || byte == '\r') {
            m_bAtLineStart = true;
            m_bInComment = false;
            endLine();
        } else if (m_bAfterComma) {
            if (byte == '\\') {
                byte = next();
                if (byte == kEndOfFile)
                    return false;
                append(m_value, unescape(byte), kMaxValueBytes);
            } else {
                append(m_value, static_cast<char>(byte), kMaxValueBytes);
            }
        } else if (m_bAtLineStart && byte == ';') {
            m_bInComment = true;
        } else {
            if (!m_bInComment) {
                if (byte == ',')
                    m_bAfterComma = true;
                else
                    append(m_key, static_cast<char>(byte), kMaxKeyBytes);
            }
            m_bAtLineStart = false;
        }
        return true;
    }

    void append(std::string& buffer, char byte, size_t limit)
    {
        if (buffer.size() < limit)
            buffer.push_back(byte);
        else
            m_bOverlong = true;
    }

    // A line without a comma is dropped with its bytes: were they kept in
    // front of the next key, one stray line would silently rename the entry
    // after it.
    void endLine()
    {
        if (m_bAfterComma && !m_bOverlong)
            m_entries.emplace(m_key, splitAlternatives(m_value));
        m_bAfterComma = false;
        m_bOverlong = false;
        m_key.clear();
        m_value.clear();
    }

    std::streambuf& m_bytes;
    Entries& m_entries;
    std::string m_key;
    std::string m_value;
    bool m_bAtLineStart = true;
    bool m_bInComment = false;
    bool m_bAfterComma = false;
    bool m_bOverlong = false;
};

int32_t CBaseRez::Parse(std::streambuf& bytes)
{
    const int32_t result = Reader(bytes, m_entries).run();
    if (result == kPalOk)
        m_bLoaded = true;
    return result;
}

} // namespace ZVNPal
