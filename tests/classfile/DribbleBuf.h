#pragma once

#include <streambuf>
#include <string>

namespace cftest {

/// A stream buffer that cannot seek and hands out its bytes one at a time,
/// like a pipe: the reader cannot learn how much input is left.
class DribbleBuf : public std::streambuf {
public:
    explicit DribbleBuf(std::string bytes) : mBytes(std::move(bytes)) {}
    size_t delivered() const { return mPos; }

protected:
    int_type underflow() override {
        if (mPos >= mBytes.size())
            return traits_type::eof();
        mCurrent = mBytes[mPos++];
        setg(&mCurrent, &mCurrent, &mCurrent + 1);
        return traits_type::to_int_type(mCurrent);
    }

private:
    std::string mBytes;
    size_t mPos = 0;
    char mCurrent = 0;
};

} // namespace cftest
