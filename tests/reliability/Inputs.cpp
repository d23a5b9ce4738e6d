#include "Inputs.h"

#include "AllocationCounter.h"

#include "sgb/SGBDecoder.h"
#include "zul/RuleFileInfo.h"
#include "zulx/SGB.h"
#include "zulx/StatusException.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace fs = boost::filesystem;

namespace reliability {
namespace {

void collect(const fs::path& root, const std::string& extension, std::vector<Input>& out) {
    std::vector<fs::path> paths;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        if (fs::is_regular_file(entry.path()) && entry.path().extension() == extension)
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        std::ifstream file(path.string(), std::ios::binary);
        out.push_back(
            {fs::relative(path, root.parent_path()).generic_string(),
             std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())});
    }
}

/// A stream buffer that cannot seek and hands its bytes out a few at a time.
class PipeBuf : public std::streambuf {
public:
    explicit PipeBuf(const std::string& bytes) : mBytes(bytes) {}

protected:
    int_type underflow() override {
        if (mPos >= mBytes.size())
            return traits_type::eof();
        const size_t n = std::min<size_t>(5, mBytes.size() - mPos);
        char* begin = const_cast<char*>(mBytes.data()) + mPos;
        mPos += n;
        setg(begin, begin, begin + n);
        return traits_type::to_int_type(*begin);
    }

private:
    const std::string& mBytes;
    size_t mPos = 0;
};

std::string renderXml(const zul::Object& object) {
    size_t size = 0;
    object.toXML(nullptr, &size);
    std::string text(size, '\0');
    zul::Status status = zul::STATUS_UNSPECIFIED_ERROR;
    object.toXML(&text[0], &size, &status);
    if (status != zul::STATUS_OK)
        throw BrokenPromise{"toXML failed with status " + std::to_string(status)};
    return text;
}

void decodeInto(std::istream& in) {
    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results;
    decoder.decode(results, in, nullptr, L"");
    if (results.size() != 1)
        throw BrokenPromise{"the decoder appended " + std::to_string(results.size()) + " objects"};
    const auto* object = dynamic_cast<const zulx::SGB*>(results[0].get());
    if (!object || !object->data || !object->data->ruleFileInfo)
        throw BrokenPromise{"the decoder returned no compiled-rule object"};
    renderXml(*object->data->ruleFileInfo);
}

} // namespace

const std::vector<Input>& wellFormedInputs() {
    static const std::vector<Input> inputs = [] {
        std::vector<Input> all;
        collect(ZUL_EXAMPLES_DIR, ".sgb", all);
        collect(ZUL_CLASSFILE_DATA_DIR, ".class", all);
        return all;
    }();
    return inputs;
}

Decoded decode(const std::string& bytes, bool seekable) {
    Decoded result;
    const PeakScope scope;
    try {
        if (seekable) {
            std::istringstream in(bytes);
            decodeInto(in);
        } else {
            PipeBuf buf(bytes);
            std::istream in(&buf);
            decodeInto(in);
        }
        result.ok = true;
    } catch (const std::runtime_error& e) {
        // The failures documented for bad input; any other exception (a
        // bad_alloc, a logic error such as out_of_range) escapes to the test.
        result.error = e.what();
    } catch (const std::length_error& e) {
        result.error = e.what();
    } catch (const zulx::StatusException& e) {
        result.error = e.what();
    }
    result.peakBytes = scope.peak();
    return result;
}

size_t memoryBudget(size_t size) {
    // Intact examples peak at under 10 times their size. The allowance
    // covers the reader's block cache, reservations of at most a thousand
    // records for counts that a stream of unknown size cannot check, and
    // reads of long texts in 64 KiB steps.
    return 256 * 1024 + 64 * size;
}

std::string mutate(const std::string& bytes, std::mt19937& random) {
    std::string out = bytes;
    if (out.empty())
        return std::string(1, static_cast<char>(random()));
    const size_t at = random() % out.size();
    switch (random() % 6) {
    case 0:
        out[at] = static_cast<char>(random());
        break;
    case 1:
        out[at] = static_cast<char>(static_cast<unsigned char>(out[at]) ^ (1u << (random() % 8)));
        break;
    case 2: {
        // A count or a length set to an extreme value.
        static const uint32_t kExtremes[] = {0,      1,      0x7F,       0x80,       0xFF,
                                             0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
        const uint32_t value = kExtremes[random() % (sizeof kExtremes / sizeof kExtremes[0])];
        const size_t width = (random() & 1) ? 2 : 4;
        for (size_t i = 0; i < width && at + i < out.size(); ++i)
            out[at + i] = static_cast<char>(value >> (8 * (width - 1 - i)));
        break;
    }
    case 3:
        out.insert(at, 1 + random() % 4, static_cast<char>(random()));
        break;
    case 4:
        out.erase(at, 1 + random() % 4);
        break;
    default: {
        // A piece repeated: records that seem to go on.
        const size_t length = std::min<size_t>(1 + random() % 16, out.size() - at);
        out.insert(at, out.substr(at, length));
        break;
    }
    }
    return out;
}

} // namespace reliability
