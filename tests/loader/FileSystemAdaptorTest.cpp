// The file-system adaptor extension library, loaded from the build's plugin
// directory as the zul command loads it.
#include "TestSupport.h"

#include "zulx/Extension.h"
#include "zulx/URI.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

using FileSystemAdaptorTest = zt::ManagerTest;

/// The bytes that the adaptor chosen for `text` reads, or its error text.
std::string read(loader::ExtensionManagerImpl& manager, const std::string& text) {
    const auto uri = zulx::URI::create(text);
    try {
        const auto stream = manager.createStreamAdaptor(uri)->createStream(uri);
        return std::string(std::istreambuf_iterator<char>(*stream), {});
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

TEST_F(FileSystemAdaptorTest, ReadsLocalFilesAsBinaryAndIsTheFallback) {
    zt::addPluginPaths(*manager, {ZUL_PLUGIN_DIR});
    EXPECT_TRUE(log.contains(2, "    com.ulno.zul.adaptors.FileSystemAdaptor       (0.0) Opens "
                                "local files as binary streams"));
    testsupport::TempDir dir;
    const std::string content("\x00\x01\r\n\xff zul", 9);
    dir.write("a file.bin", content);
    const std::pair<std::string, std::string> cases[] = {
        {"file://" + dir.path() + "/a%20file.bin", content},
        {dir.file("missing.bin"),
         "cannot open file '" + dir.file("missing.bin") + "': No such file or directory"},
        {dir.path(), "cannot open file '" + dir.path() + "': it is a directory"},
        // Declined by every adaptor, the URI goes to the file-system adaptor,
        // which takes its whole text for a file name.
        {"zip:archive/entry", "cannot open file 'zip:archive/entry': No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(read(*manager, c.first), c.second);
    }
}

} // namespace
