#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/log_manager.h"
#include "log/module_logger.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
// An output of the host's own, recording the lines it receives.
class MemoryOutput final : public ILogOutput {
public:
    explicit MemoryOutput(std::string name) : name_(std::move(name)) {}
    std::int32_t query_interface(const char*, void** out) override {
        if (out) *out = nullptr;
        return kErrUnknownInterface;
    }
    std::int32_t find_interface(const char* id, void** out) override { return query_interface(id, out); }
    std::int32_t reserved(void*, void*) override { return kErrNotSupported; }
    void release() override {}
    const char* get_kind() const override { return "memory"; }
    const char* get_name() const override { return name_.c_str(); }
    std::int32_t write(const char* line) override {
        lines.emplace_back(line);
        return kOk;
    }
    std::vector<std::string> lines;

private:
    std::string name_;
};

class LogManagerTest : public ::testing::Test {
protected:
    void SetUp() override { manager->reset(); }
    void TearDown() override { manager->reset(); }

    ILogSession* session(const char* name) {
        std::int32_t result = 1;
        ILogSession* s = manager->get_session(name, &result);
        EXPECT_EQ(result, kOk);
        return s;
    }
    ILogSession* all() { return session("All"); }

    ILogManager* manager = tolvcomm_log_manager();
    MemoryOutput memory{"memory"};
};
}  // namespace

TEST_F(LogManagerTest, NewSessionWritesNothingUntilConfigured) {
    ILogSession* s = session("module");
    EXPECT_EQ(s->get_level_mask(), 0u);
    EXPECT_EQ(s->log(log_level::kError, "dropped"), kOk);
    s->add_output(&memory);
    EXPECT_EQ(s->log(log_level::kError, "still dropped"), kOk);
    s->set_level_mask(log_level::kError);
    s->log(log_level::kError, "kept %d", 1);
    s->log(log_level::kDebug, "not in the mask");
    ASSERT_EQ(memory.lines.size(), 1u);
    EXPECT_NE(memory.lines[0].find("Error, kept 1"), std::string::npos);
}

TEST_F(LogManagerTest, GroupAllReachesExistingAndLaterSessions) {
    ILogSession* before = session("before");
    all()->set_level_mask(log_level::kAll);
    all()->add_output(&memory);
    all()->set_header_fields(0);
    ILogSession* after = session("after");
    EXPECT_EQ(before->get_level_mask(), 31u);
    EXPECT_EQ(after->get_level_mask(), 31u);
    EXPECT_EQ(after->get_header_fields(), 0u);
    before->log(log_level::kInfo, "one");
    after->log(log_level::kInfo, "two");
    EXPECT_EQ(memory.lines.size(), 2u);
    EXPECT_EQ(all()->log(log_level::kInfo, "x"), kErrSessionNotFound);
    EXPECT_EQ(all()->reserved_slot(), kErrSessionNotFound);
    EXPECT_STREQ(all()->get_name(), "All");
}

TEST_F(LogManagerTest, CombinedLevelIsWrittenWithoutName) {
    ILogSession* s = session("levels");
    s->add_output(&memory);
    s->set_header_fields(0);
    s->set_level_mask(log_level::kWarn);
    s->log(3, "both");
    ASSERT_EQ(memory.lines.size(), 1u);
    EXPECT_EQ(memory.lines[0].substr(memory.lines[0].size() - 6), ", both");
}

TEST_F(LogManagerTest, SessionSettings) {
    ILogSession* s = session("settings");
    EXPECT_EQ(s->set_number_base(12), kErrBadArgument);
    EXPECT_EQ(s->get_number_base(), 10);
    EXPECT_EQ(s->set_number_base(16), kOk);
    EXPECT_EQ(s->get_number_base(), 16);
    EXPECT_EQ(s->add_output(nullptr), kErrBadArgument);
    MemoryOutput same_name{"memory"};
    s->add_output(&memory);
    s->add_output(&same_name);  // an output of that name is there already
    s->set_level_mask(log_level::kInfo);
    s->set_indent(2);
    EXPECT_EQ(s->get_indent(), 2u);
    s->log(log_level::kInfo, "indented");
    EXPECT_EQ(same_name.lines.size(), 0u);
    ASSERT_EQ(memory.lines.size(), 1u);
    EXPECT_NE(memory.lines[0].find("Info ,         indented"), std::string::npos) << memory.lines[0];
    EXPECT_EQ(s->reserved_slot(), kErrSessionNotFound);
    EXPECT_EQ(s->reserved(nullptr, nullptr), kErrNotSupported);
}

TEST_F(LogManagerTest, SessionsAreFoundByExactName) {
    std::int32_t result = 0;
    ILogSession* null_session = manager->get_session(nullptr, &result);
    EXPECT_EQ(result, kErrBadArgument);
    EXPECT_STREQ(null_session->get_name(), "null_session");
    EXPECT_EQ(null_session->get_number_base(), 10);
    EXPECT_EQ(session("Snmp"), session("Snmp"));
    EXPECT_NE(session("Snmp"), session("snmp"));
    // A session created with an output receives it.
    ILogSession* with_output = manager->get_session("with-output", &memory, &result);
    with_output->set_level_mask(log_level::kInfo);
    with_output->log(log_level::kInfo, "x");
    EXPECT_EQ(memory.lines.size(), 1u);
}

TEST_F(LogManagerTest, FindGroup) {
    session("ordinary");
    const struct {
        const char* name;
        std::int32_t code;
        bool found;
    } cases[] = {{"All", kOk, true}, {"ordinary", kErrPlatform, false}, {"missing", kErrSessionNotFound, false}};
    for (const auto& c : cases) {
        std::int32_t result = 1;
        EXPECT_EQ(manager->find_group(c.name, &result) != nullptr, c.found) << c.name;
        EXPECT_EQ(result, c.code);
        EXPECT_EQ(manager->lookup_group(c.name, &result) != nullptr, c.found);
    }
    std::int32_t result = 0;
    ILogGroup* null_group = manager->find_group(nullptr, &result);
    EXPECT_EQ(result, kErrBadArgument);
    ASSERT_NE(null_group, nullptr);
    EXPECT_EQ(null_group->add_member(nullptr), kOk);
    EXPECT_EQ(null_group->remove_member(nullptr), nullptr);
}

TEST_F(LogManagerTest, GroupMembership) {
    ILogGroup* group = manager->find_group("All", nullptr);
    ILogSession* s = session("member");
    EXPECT_EQ(group->remove_member(s), s);
    EXPECT_EQ(group->remove_member(s), nullptr);
    all()->set_level_mask(log_level::kWarn);
    EXPECT_EQ(s->get_level_mask(), 0u);  // no longer a member
    all()->add_output(&memory);
    EXPECT_EQ(group->add_member(s), kOk);
    EXPECT_EQ(group->add_member(s), kOk);  // already a member
    EXPECT_EQ(group->add_member(nullptr), kErrBadArgument);
    EXPECT_EQ(s->get_level_mask(), log_level::kWarn);
    s->log(log_level::kWarn, "via group output");
    EXPECT_EQ(memory.lines.size(), 1u);
}

TEST_F(LogManagerTest, Outputs) {
    ILogOutput* console = manager->get_output("stdout", "console");
    ASSERT_NE(console, nullptr);
    EXPECT_STREQ(console->get_kind(), "stdout");
    EXPECT_EQ(manager->get_output(nullptr, "console"), console);  // null kind is stdout
    ILogOutput* taken = manager->get_output("file", "console");
    EXPECT_STREQ(taken->get_kind(), "null_file");
    EXPECT_STREQ(taken->get_name(), "null_file");
    EXPECT_STREQ(manager->get_output("stdout", nullptr)->get_kind(), "null_standard");
    EXPECT_EQ(manager->get_output("telegraph", "x"), nullptr);
    ILogOutput* file = manager->get_output("file", "logfile");
    EXPECT_STREQ(file->get_kind(), "file");

    std::int32_t result = 1;
    EXPECT_EQ(manager->find_output("console", &result), console);
    EXPECT_EQ(result, kOk);
    EXPECT_STREQ(manager->find_output("missing", &result)->get_kind(), "null_standard");
    EXPECT_STREQ(manager->find_output(nullptr, &result)->get_kind(), "null_standard");
    EXPECT_EQ(result, kErrBadArgument);

    // Kept outputs belong to the manager: a holder's release changes nothing.
    console->release();
    EXPECT_EQ(manager->find_output("console", nullptr), console);

    ::testing::internal::CaptureStdout();
    ILogSession* s = session("to-console");
    s->add_output(console);
    s->set_header_fields(0);
    s->set_level_mask(log_level::kInfo);
    s->log(log_level::kInfo, "hello");
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Info , hello\n"), std::string::npos);
}

TEST_F(LogManagerTest, QueryInterfaceIdentifiers) {
    ILogSession* s = session("ids");
    ILogOutput* file = manager->get_output("file", "ids-file");
    ILogOutput* console = manager->get_output("stdout", "ids-console");
    ILogSession* null_session = manager->get_session(nullptr, nullptr);
    const struct {
        ILogObject* object;
        const char* id;
        bool answers;
    } cases[] = {
        {s, log_iid::kBase, true},          {s, log_iid::kSession, true},       {s, log_iid::kSessionImpl, true},
        {s, log_iid::kGroup, false},        {s, log_iid::kOutput, false},       {all(), log_iid::kGroup, true},
        {all(), log_iid::kGroupAll, true},  {all(), log_iid::kSessionImpl, true}, {null_session, log_iid::kGroup, true},
        {null_session, log_iid::kSessionImpl, false}, {file, log_iid::kFileOutput, true},
        {file, log_iid::kOutput, true},     {console, log_iid::kFileOutput, false}, {console, log_iid::kBase, true},
        {s, "not-an-id", false},
    };
    for (const auto& c : cases) {
        void* part = reinterpret_cast<void*>(1);
        const std::int32_t result = c.object->query_interface(c.id, &part);
        EXPECT_EQ(result == kOk, c.answers) << c.id;
        EXPECT_EQ(part != nullptr, c.answers) << c.id;
        if (!c.answers) {
            EXPECT_EQ(result, kErrUnknownInterface);
        }
        EXPECT_EQ(c.object->find_interface(c.id, &part) == kOk, c.answers);
    }
}

TEST_F(LogManagerTest, ResetForgetsSessionsAndModulesFollow) {
    ILogSession* old_snmp = session("snmp");
    old_snmp->set_level_mask(log_level::kAll);
    all()->set_level_mask(log_level::kAll);
    manager->reset();
    EXPECT_EQ(all()->get_level_mask(), 0u);
    ILogSession* fresh = session("snmp");
    EXPECT_EQ(fresh->get_level_mask(), 0u);
    // A module logger takes the new session after a reset.
    fresh->add_output(&memory);
    fresh->set_level_mask(log_level::kInfo);
    log::snmp_logger().log(log_level::kInfo, "module line %d", 7);
    ASSERT_EQ(memory.lines.size(), 1u);
    EXPECT_NE(memory.lines[0].find("module line 7"), std::string::npos);
}

TEST_F(LogManagerTest, CustomFactory) {
    class MemoryFactory final : public ILogOutputFactory {
    public:
        explicit MemoryFactory(MemoryOutput* output) : output_(output) {}
        ILogOutput* create(const char*, const ILogProperties*) override { return output_; }
        const char* get_kind() const override { return "memory"; }
        void release() override { delete this; }

    private:
        MemoryOutput* output_;
    };
    EXPECT_EQ(manager->register_factory(nullptr), kErrBadArgument);
    // The manager owns the factory from here on and releases it when it ends.
    EXPECT_EQ(manager->register_factory(new MemoryFactory(&memory)), kOk);
    EXPECT_EQ(manager->get_output("memory", "memory"), &memory);
}
