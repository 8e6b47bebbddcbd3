#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "log/file_output.h"
#include "log/output_factories.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;
namespace fs = std::filesystem;

namespace {
std::string read(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Properties final : public ILogProperties {
public:
    explicit Properties(const char* path) : path_(path) {}
    const char* find(const char* key) const override {
        return std::string(key) == "ExtentionName" ? path_ : nullptr;
    }

private:
    const char* path_;
};

class FileOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tolv-log-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = dir / "test.log";
    }
    void TearDown() override { fs::remove_all(dir); }

    ILogFileOutput* new_file_output() {
        Properties properties(path.c_str());
        ILogOutput* output = log::file_factory()->create("file-test", &properties);
        void* file = nullptr;
        EXPECT_EQ(output->query_interface(log_iid::kFileOutput, &file), kOk);
        return static_cast<ILogFileOutput*>(file);
    }

    fs::path dir;
    fs::path path;
};
}  // namespace

TEST_F(FileOutputTest, RotatesIntoOneBackup) {
    ILogFileOutput* output = new_file_output();
    output->set_max_file_size(100);
    const std::string line(40, 'a');
    std::ofstream(path.string() + ".bak") << "an older backup\n";
    EXPECT_EQ(output->write(line.c_str()), kOk);
    EXPECT_EQ(output->write(line.c_str()), kOk);
    EXPECT_FALSE(read(path.string() + ".bak").empty());
    const std::string third(40, 'c');
    EXPECT_EQ(output->write(third.c_str()), kOk);  // 3 x 42 > 100: rotation
    EXPECT_EQ(read(path.string() + ".bak"), line + "\n" + line + "\n");
    EXPECT_EQ(read(path), third + "\n");
    EXPECT_EQ(output->write(std::string(99, 'x').c_str()), kErrNotFound);  // 99 + 2 > 100
    EXPECT_EQ(output->write(std::string(98, 'x').c_str()), kOk);
    output->release();
}

TEST_F(FileOutputTest, AppendsToAnExistingFileAndCountsIt) {
    std::ofstream(path) << std::string(60, 'p') << "\n";
    ILogFileOutput* output = new_file_output();
    output->set_max_file_size(100);
    EXPECT_EQ(output->write(std::string(40, 'n').c_str()), kOk);  // 61 + 42 > 100
    EXPECT_EQ(read(path), std::string(40, 'n') + "\n");
    output->release();
}

TEST_F(FileOutputTest, UnopenablePathOrNoPath) {
    ILogFileOutput* output = new_file_output();
    EXPECT_EQ(output->set_path((dir / "missing-dir" / "x.log").c_str()), kOk);
    EXPECT_EQ(output->write("line"), kErrUnavailable);
    EXPECT_EQ(output->set_path(nullptr), kErrBadArgument);
    output->release();

    ILogOutput* pathless = log::file_factory()->create("pathless", nullptr);
    EXPECT_EQ(pathless->write("line"), kErrUnavailable);
    pathless->release();
}

TEST_F(FileOutputTest, FactoryWithoutThePathKeyGivesTheNullOutput) {
    class Empty final : public ILogProperties {
    public:
        const char* find(const char*) const override { return nullptr; }
    } empty;
    ILogOutput* output = log::file_factory()->create("x", &empty);
    EXPECT_STREQ(output->get_kind(), "null_file");
    EXPECT_STREQ(log::file_factory()->create(nullptr, nullptr)->get_kind(), "null_file");
    EXPECT_STREQ(log::stdout_factory()->create(nullptr, nullptr)->get_kind(), "null_standard");
}
