#include "lz.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned kWindow = 100000;
constexpr unsigned kMinOffset = 3;
constexpr int kHashBits = 16;

unsigned leastFrequentByte(const unsigned char* in, unsigned insize)
{
    unsigned counts[256] = {};
    for (unsigned i = 0; i < insize; ++i)
        ++counts[in[i]];
    unsigned marker = 0;
    for (unsigned value = 1; value < 256; ++value) {
        if (counts[value] < counts[marker])
            marker = value;
    }
    return marker;
}

// Whether a copy of this length from this offset is written rather than literals.
bool worthCopying(unsigned length, unsigned offset)
{
    return length >= 8 || (length == 4 && offset <= 127) || (length == 5 && offset <= 16383) ||
           (length == 6 && offset <= 2097151) || (length == 7 && offset <= 268435455);
}

// How many leading bytes of a and b are equal, at most limit.
unsigned commonLength(const unsigned char* a, const unsigned char* b, unsigned limit)
{
    unsigned n = 0;
    while (n + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            return n + static_cast<unsigned>(__builtin_ctzll(x ^ y) / 8);
        n += 8;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// The earlier positions with the same first four bytes, newest first, so that the offsets
// come in ascending order as the search wants them.
class MatchFinder {
public:
    MatchFinder(const unsigned char* in, unsigned size)
        : m_in(in), m_size(size), m_head(1u << kHashBits, -1), m_previous(size, -1)
    {
    }

    // Makes the positions before end searchable.
    void insertUpTo(unsigned end)
    {
        for (; m_inserted < end && m_inserted + 3 < m_size; ++m_inserted) {
            int32_t& head = m_head[hashAt(m_inserted)];
            m_previous[m_inserted] = head;
            head = static_cast<int32_t>(m_inserted);
        }
        m_inserted = std::max(m_inserted, std::min(end, m_size));
    }

    // The longest match at pos of more than 3 bytes within the window, never longer than its
    // offset or than left; the smallest offset among equally long ones. Returns its length (3
    // when there is none) and sets offset.
    unsigned longestMatch(unsigned pos, unsigned left, unsigned& offset) const
    {
        const unsigned window = std::min(pos, kWindow);
        const Run run = runAt(pos, left, window);
        unsigned best = 3;
        offset = 0;
        for (int32_t source = m_head[hashAt(pos)]; source >= 0; source = m_previous[source]) {
            const unsigned distance = pos - static_cast<unsigned>(source);
            if (distance > window)
                break;
            if (distance < kMinOffset)
                continue;
            const unsigned limit = std::min(distance, left);
            if (limit <= best || m_in[source + best] != m_in[pos + best])
                continue;
            const unsigned length = run.covers(distance) ? std::min(run.ahead, limit)
                                                         : commonLength(m_in + source, m_in + pos, limit);
            if (length > best) {
                best = length;
                offset = distance;
                if (best == left)
                    break;
            }
        }
        return best;
    }

private:
    // Where pos lies in a stretch that repeats every `period` bytes (one byte or one 16-bit
    // pixel over and over): from `behind` bytes before pos to `ahead` bytes after it. Within
    // it, every offset that is a multiple of the period matches exactly `ahead` bytes, so a
    // flat picture needs no byte comparisons for its many equal candidates.
    struct Run {
        unsigned period = 0;
        unsigned behind = 0;
        unsigned ahead = 0;
        bool covers(unsigned distance) const
        {
            return period != 0 && distance % period == 0 && distance <= behind + period;
        }
    };

    Run runAt(unsigned pos, unsigned left, unsigned window) const
    {
        for (unsigned period : {1u, 2u}) {
            if (pos < period)
                continue;
            Run run;
            run.period = period;
            while (run.ahead < left && m_in[pos + run.ahead] == m_in[pos + run.ahead - period])
                ++run.ahead;
            if (run.ahead < 4)
                continue;
            while (run.behind < window && pos - run.behind - 1 >= period &&
                   m_in[pos - run.behind - 1] == m_in[pos - run.behind - 1 - period])
                ++run.behind;
            return run;
        }
        return Run();
    }

    unsigned hashAt(unsigned pos) const
    {
        uint32_t key;
        std::memcpy(&key, m_in + pos, 4);
        return (key * 2654435761u) >> (32 - kHashBits);
    }

    const unsigned char* m_in;
    unsigned m_size;
    unsigned m_inserted = 0;
    std::vector<int32_t> m_head;
    std::vector<int32_t> m_previous;
};

unsigned writeLiteral(unsigned char byte, unsigned char marker, unsigned char* out)
{
    out[0] = byte;
    if (byte != marker)
        return 1;
    out[1] = 0;
    return 2;
}

// Reads a variable-size integer at in[*pos]; false when it is cut off or longer than 5 bytes.
bool readVarSize(const unsigned char* in, unsigned insize, unsigned& pos, unsigned& value)
{
    value = 0;
    for (int bytes = 0; bytes < 5; ++bytes) {
        if (pos >= insize)
            return false;
        const unsigned char byte = in[pos++];
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

}  // namespace

int _LZ_WriteVarSize(unsigned int value, unsigned char* buf)
{
    int bytes = 1;
    while (bytes < 5 && value >= (1u << (7 * bytes)))
        ++bytes;
    for (int i = 0; i < bytes; ++i) {
        const unsigned group = (value >> (7 * (bytes - 1 - i))) & 0x7F;
        buf[i] = static_cast<unsigned char>(group | (i + 1 < bytes ? 0x80 : 0));
    }
    return bytes;
}

unsigned int LZ_Compress(unsigned char* in, unsigned char* out, unsigned int insize)
{
    if (insize == 0)
        return 0;
    const unsigned char marker = static_cast<unsigned char>(leastFrequentByte(in, insize));
    out[0] = marker;
    unsigned outpos = 1;
    unsigned pos = 0;
    unsigned left = insize;
    MatchFinder finder(in, insize);
    do {
        finder.insertUpTo(pos);
        unsigned offset = 0;
        const unsigned length = left > 3 ? finder.longestMatch(pos, left, offset) : 3;
        if (offset != 0 && worthCopying(length, offset)) {
            out[outpos++] = marker;
            outpos += static_cast<unsigned>(_LZ_WriteVarSize(length, out + outpos));
            outpos += static_cast<unsigned>(_LZ_WriteVarSize(offset, out + outpos));
            pos += length;
            left -= length;
        } else {
            outpos += writeLiteral(in[pos], marker, out + outpos);
            ++pos;
            --left;
        }
    } while (left > 3);
    for (; pos < insize; ++pos)
        outpos += writeLiteral(in[pos], marker, out + outpos);
    return outpos;
}

int LZ_Uncompress(unsigned char* in, unsigned char* out, unsigned int insize, unsigned int capacity)
{
    if (insize == 0)
        return 0;
    const unsigned char marker = in[0];
    unsigned inpos = 1;
    unsigned outpos = 0;
    while (inpos < insize) {
        const unsigned char byte = in[inpos++];
        if (byte != marker) {
            if (outpos >= capacity)
                return -1;
            out[outpos++] = byte;
            continue;
        }
        if (inpos >= insize)
            return -1;
        if (in[inpos] == 0) {
            ++inpos;
            if (outpos >= capacity)
                return -1;
            out[outpos++] = marker;
            continue;
        }
        unsigned length, offset;
        if (!readVarSize(in, insize, inpos, length) || !readVarSize(in, insize, inpos, offset))
            return -1;
        if (offset == 0 || offset > outpos || length > capacity - outpos)
            return -1;
        for (unsigned i = 0; i < length; ++i, ++outpos)
            out[outpos] = out[outpos - offset];
    }
    return static_cast<int>(outpos);
}
