#pragma once

// An input buffer over bytes that stay where they are, as a host's memory
// stream is, without the copy an istringstream makes. It can seek, so a
// reader can tell how much input is left.

#include <ios>
#include <streambuf>
#include <string>

namespace zulbench {

class MemoryBuf : public std::streambuf {
public:
    explicit MemoryBuf(const std::string& bytes) {
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        char* base = dir == std::ios_base::beg   ? eback()
                     : dir == std::ios_base::cur ? gptr()
                                                 : egptr();
        if (base + off < eback() || base + off > egptr())
            return pos_type(off_type(-1));
        setg(eback(), base + off, egptr());
        return pos_type(gptr() - eback());
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override {
        return seekoff(off_type(pos), std::ios_base::beg, mode);
    }
};

} // namespace zulbench
