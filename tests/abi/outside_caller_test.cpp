// A caller outside the library: it includes only the public headers, loads
// libtolvcomm.so at run time and finds its exports by their symbol names.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "tolvcomm/get_data.h"
#include "tolvcomm/log.h"
#include "tolvcomm/ptr_list.h"
#include "tolvcomm/result_codes.h"

namespace {
using CreatePduList = IPmcPtrList<IPmsPdu>* (*)(std::int32_t*);
using GetLogManager = ILogManager* (*)();
using CreateGetData = IPmcGetData* (*)(std::int32_t*);

class Library {
public:
    Library() : handle_(dlopen(TOLVCOMM_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~Library() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    template <class F>
    F find(const char* symbol) const {
        return reinterpret_cast<F>(dlsym(handle_, symbol));
    }
    bool loaded() const { return handle_ != nullptr; }

private:
    void* handle_;
};

// A PDU of the caller's own making: the list must call its release().
class CallerPdu final : public IPmsPdu {
public:
    explicit CallerPdu(int* released) : released_(released) {}
    void release() override {
        ++*released_;
        delete this;
    }
    void clear() override {}
    IPmsPdu* clone(std::int32_t*) const override { return nullptr; }
    std::int32_t copy(const IPmsPdu*) override { return tolv::kErrNotSupported; }
    std::int32_t copy_header(const IPmsPdu*) override { return tolv::kErrNotSupported; }
    bool equals(const IPmsPdu*) const override { return false; }
    std::int32_t get_type() const override { return pms_pdu_type::kResponse; }
    void set_type(std::int32_t) override {}
    IPmsVarBindList* get_bindings() const override { return nullptr; }
    void set_bindings(IPmsVarBindList*) override {}
    IPmsVarBindList* take_bindings() override { return nullptr; }
    std::int32_t add(IPmsOid*, IPmsValue*) override { return tolv::kErrNotSupported; }
    std::int32_t append(IPmsVarBind*) override { return tolv::kErrNotSupported; }
    std::int32_t add_front(IPmsOid*, IPmsValue*) override { return tolv::kErrNotSupported; }
    std::int32_t insert_front(IPmsVarBind*) override { return tolv::kErrNotSupported; }
    void pop_front(IPmsOid**, IPmsValue**) override {}
    IPmsVarBind* pop_front() override { return nullptr; }
    std::int32_t get_request_id() const override { return 42; }
    std::int32_t get_error_status() const override { return 0; }
    std::int32_t get_error_index() const override { return 0; }
    void set_request_id(std::int32_t) override {}
    void set_error_status(std::int32_t) override {}
    void set_error_index(std::int32_t) override {}
    IPmsValue* get_timestamp() const override { return nullptr; }
    IPmsOid* get_trap_oid() const override { return nullptr; }
    IPmsValue* take_timestamp() override { return nullptr; }
    IPmsOid* take_trap_oid() override { return nullptr; }
    std::int32_t set_timestamp(IPmsValue*) override { return tolv::kErrNotSupported; }
    std::int32_t set_trap_oid(IPmsValue*) override { return tolv::kErrNotSupported; }

private:
    int* released_;
};
}  // namespace

TEST(OutsideCaller, WorksThePduListThroughThePublicHeader) {
    Library library;
    ASSERT_TRUE(library.loaded()) << dlerror();
    auto create = library.find<CreatePduList>("_Z19pms_create_pdu_listPi");
    ASSERT_NE(create, nullptr) << dlerror();

    std::int32_t result = 1;
    IPmcPtrList<IPmsPdu>* list = create(&result);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(result, tolv::kOk);
    EXPECT_EQ(list->get_count(), 0u);
    EXPECT_EQ(list->add_head(nullptr), tolv::kErrBadArgument);
    list->delete_head();

    int released = 0;
    EXPECT_EQ(list->add_tail(new CallerPdu(&released)), tolv::kOk);
    EXPECT_EQ(list->add_head(new CallerPdu(&released)), tolv::kOk);
    IPmcPtrListIterator* it = list->create_iterator(&result);
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(list->get_at(it)->get_request_id(), 42);
    list->next(list->next(it));
    EXPECT_EQ(list->get_at(it), nullptr);
    list->release_iterator(it);
    list->delete_tail();
    EXPECT_EQ(released, 1);
    list->release();  // releases what is still in it
    EXPECT_EQ(released, 2);

    IPmcPtrList<IPmsPdu>* another = create(nullptr);  // a null result pointer is allowed
    ASSERT_NE(another, nullptr);
    another->release();
}

TEST(OutsideCaller, ReachesTheLogManager) {
    Library library;
    ASSERT_TRUE(library.loaded()) << dlerror();
    auto manager_of = library.find<GetLogManager>("tolvcomm_log_manager");
    ASSERT_NE(manager_of, nullptr);
    ILogManager* manager = manager_of();
    ASSERT_NE(manager, nullptr);
    std::int32_t result = 1;
    ILogSession* all = manager->get_session("All", &result);
    EXPECT_EQ(result, tolv::kOk);
    EXPECT_EQ(all->set_level_mask(log_level::kError | log_level::kWarn), tolv::kOk);
    ILogSession* snmp = manager->get_session("snmp", &result);
    EXPECT_EQ(snmp->get_level_mask(), log_level::kError | log_level::kWarn);
    EXPECT_EQ(library.find<void*>("_ZN4tolv8allocateEm"), nullptr);  // internals stay hidden
}

TEST(OutsideCaller, WalksATableOnTheAgent) {
    Library library;
    ASSERT_TRUE(library.loaded()) << dlerror();
    auto create_get_data = library.find<CreateGetData>("_Z19pmc_create_get_dataPi");
    auto create_list = library.find<CreatePduList>("_Z19pms_create_pdu_listPi");
    ASSERT_NE(create_get_data, nullptr);
    ASSERT_NE(create_list, nullptr);

    std::int32_t result = 1;
    IPmcGetData* data = create_get_data(&result);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(result, tolv::kOk);
    ASSERT_EQ(data->init("127.0.0.1", IPmcNetworkAddress::IPv4, TOLV_AGENT_PORT, 0, nullptr, 0, 0, 0, nullptr,
                         nullptr, nullptr, 3000, 1, 0),
              tolv::kOk);
    ASSERT_EQ(data->add_oid_string("1.3.6.1.2.1.25.3.2.1.3", false), tolv::kOk);
    IPmcPtrList<IPmsPdu>* rows = create_list(nullptr);
    ASSERT_EQ(data->get_data(rows, "1.3.6.1.2.1.25.3.2.1.3"), tolv::kOk);
    EXPECT_EQ(rows->get_count(), 5u);
    IPmcPtrListIterator* it = rows->create_iterator(nullptr);
    const IPmsValue* value = rows->get_at(it)->get_bindings()->get(0)->get_value();
    std::uint32_t length = 0;
    const std::uint8_t* bytes = value->get_bytes(&length, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length), "device number 1");
    rows->release_iterator(it);
    rows->release();

    data->release();

    // A new object for a new request: the walk's last answer stays in the PDU
    // of the first one.
    IPmcGetData* name_data = create_get_data(nullptr);
    ASSERT_EQ(name_data->init("127.0.0.1", IPmcNetworkAddress::IPv4, TOLV_AGENT_PORT, 0, nullptr, 0, 0, 0, nullptr,
                              nullptr, nullptr, 3000, 1, 0),
              tolv::kOk);
    name_data->add_oid_string("1.3.6.1.2.1.1.5", true);
    char name[64];
    EXPECT_EQ(name_data->get_text(name, sizeof name), tolv::kOk);
    EXPECT_STREQ(name, "sim-printer");
    name_data->release();
}
