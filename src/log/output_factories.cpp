#include "log/output_factories.h"

#include "common/allocation.h"
#include "log/file_output.h"
#include "log/stdout_output.h"

namespace tolv::log {
namespace {
class StdoutFactory final : public ILogOutputFactory {
public:
    ILogOutput* create(const char* output_name, const ILogProperties*) override {
        if (output_name == nullptr) return null_standard_output();
        auto* output = tolv::create<StdoutOutput>();
        if (output == nullptr) return nullptr;
        if (output->set_name(output_name) != kOk) {
            output->release();
            return nullptr;
        }
        return output;
    }
    const char* get_kind() const override { return "stdout"; }
    void release() override {}
};

class FileFactory final : public ILogOutputFactory {
public:
    ILogOutput* create(const char* output_name, const ILogProperties* properties) override {
        if (output_name == nullptr) return null_file_output();
        auto* output = tolv::create<FileOutput>();
        if (output == nullptr) return nullptr;
        if (output->set_name(output_name) != kOk) {
            output->release();
            return nullptr;
        }
        if (properties == nullptr) return output;  // the host sets the path later
        const char* path = properties->find(kExtentionNameKey);
        if (path == nullptr || output->set_path(path) != kOk) {
            output->release();
            return null_file_output();
        }
        return output;
    }
    const char* get_kind() const override { return "file"; }
    void release() override {}
};
}  // namespace

ILogOutputFactory* stdout_factory() {
    static StdoutFactory factory;
    return &factory;
}

ILogOutputFactory* file_factory() {
    static FileFactory factory;
    return &factory;
}

}  // namespace tolv::log
