#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "jpeg_probe.hpp"
#include "outline_reader.hpp"
#include "tools/standin/data_set.hpp"

using namespace standin;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() /
                ("standin_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

TEST(DataSet, WritesEveryPictureAndOutlineReadably) {
    TempDir dir;
    auto written = write_data_set(dir.path(), DataSetParts{.textures = true, .outlines = true, .music = false});
    EXPECT_EQ(written.size(), 113u);
    std::set<std::string> on_disk;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        if (entry.is_regular_file()) on_disk.insert(fs::relative(entry.path(), dir.path()).generic_string());
    EXPECT_EQ(on_disk, std::set<std::string>(written.begin(), written.end()));
    EXPECT_EQ(on_disk.count("textures/-.jpg"), 1u);
    EXPECT_EQ(on_disk.count("textures/-_flow.jpg"), 1u);

    for (const std::string& name : written) {
        auto bytes = read_file_bytes((dir.path() / name).string());
        if (name.ends_with(".jpg")) {
            std::string error;
            auto probe = probe_jpeg(bytes, &error);
            ASSERT_TRUE(probe.has_value()) << name << ": " << error;
            EXPECT_EQ(probe->components, 3) << name;
        } else {
            EXPECT_TRUE(read_outline_bytes(bytes).has_value()) << name;
        }
    }
}

TEST(DataSet, ReportsAnUnwritableDestination) {
    TempDir dir;
    fs::create_directories(dir.path());
    // A file where the textures folder should go.
    { std::ofstream blocker(dir.path() / "textures"); }
    EXPECT_ANY_THROW(write_data_set(dir.path(), DataSetParts{.textures = false, .outlines = true, .music = false}));
}
