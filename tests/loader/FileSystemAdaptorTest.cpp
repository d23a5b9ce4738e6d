// The file-system adaptor extension library, loaded from the build's plugin
// directory as the zul command loads it.
#include "TestSupport.h"

#include "zulx/Extension.h"
#include "zulx/URI.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

class FileSystemAdaptorTest : public zt::ManagerTest {
protected:
    FileSystemAdaptorTest() {
        zt::addPluginPaths(*manager, {ZUL_PLUGIN_DIR});
        content.assign("\x00\x01\r\n\xff zul", 9);
        file = dir.path() + "/a file.bin";
        std::ofstream(file, std::ios::binary) << content;
    }

    std::string read(const std::string& text) {
        const auto uri = zulx::URI::create(text);
        const auto adaptor = manager->createStreamAdaptor(uri);
        const auto stream = adaptor->createStream(uri);
        return std::string(std::istreambuf_iterator<char>(*stream), {});
    }

    std::string failure(const std::string& text) {
        const auto uri = zulx::URI::create(text);
        try {
            manager->createStreamAdaptor(uri)->createStream(uri);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "no failure";
    }

    zt::TempDir dir;
    std::string content;
    std::string file;
};

TEST_F(FileSystemAdaptorTest, IsRegisteredFromThePluginDirectory) {
    EXPECT_EQ(manager->getFactories().count(L"com.ulno.zul.adaptors.FileSystemAdaptor"), 1u);
    EXPECT_TRUE(log.contains(2, "    com.ulno.zul.adaptors.FileSystemAdaptor       (0.0) Opens "
                                "local files as binary streams"));
}

TEST_F(FileSystemAdaptorTest, ReadsPlainPathsAndFileUrisAsBinary) {
    EXPECT_EQ(read(file), content);
    EXPECT_EQ(read("file://" + dir.path() + "/a%20file.bin"), content);
}

TEST_F(FileSystemAdaptorTest, FailureNamesTheFile) {
    EXPECT_EQ(failure(dir.path() + "/missing.bin"),
              "cannot open file '" + dir.path() + "/missing.bin': No such file or directory");
    EXPECT_EQ(failure(dir.path()), "cannot open file '" + dir.path() + "': it is a directory");
}

TEST_F(FileSystemAdaptorTest, IsTheFallbackForSchemesNobodyAccepts) {
    // Declined by every adaptor, the URI goes to the file-system adaptor, which
    // takes its whole text for a file name.
    EXPECT_EQ(failure("zip:archive/entry"),
              "cannot open file 'zip:archive/entry': No such file or directory");
}

} // namespace
