#include <gtest/gtest.h>

#include <thread>

#include "fake_network.h"
#include "log_capture.h"
#include "platform/module_registry.h"
#include "tolvcomm/result_codes.h"
#include "transport/socket_api.h"

using namespace tolv;
using tolv::testing::FakeNetwork;
using tolv::testing::LogCapture;

namespace {
// Forgets the binding before and after, so each test binds anew.
class SocketApiTest : public ::testing::Test {
protected:
    void SetUp() override { NPmcSocketAPI::unload(); }
    void TearDown() override {
        NPmcSocketAPI::unload();
        platform::restore_builtin_modules();
    }
    LogCapture log;
};

platform::Function no_op_function = platform::as_export(+[] {});
}  // namespace

TEST_F(SocketApiTest, BindsTheCurrentLibraryWithAddrinfo) {
    EXPECT_FALSE(NPmcSocketAPI::is_loaded());
    EXPECT_EQ(NPmcSocketAPI::load(), kOk);
    EXPECT_TRUE(NPmcSocketAPI::is_loaded());
    EXPECT_TRUE(NPmcSocketAPI::has_addrinfo());
    EXPECT_EQ(NPmcSocketAPI::startup_2_2(), kOk);
    NPmcSocketAPI::cleanup();
    EXPECT_TRUE(log.contains("Trace, [NPmcSocketAPI::set_api] enter."));
    EXPECT_TRUE(log.contains("Trace, [NPmcSocketAPI::set_api] exit."));
}

TEST_F(SocketApiTest, FallsBackToTheOlderLibrary) {
    platform::hide_module("ws2_32.dll");
    EXPECT_EQ(NPmcSocketAPI::load(), kOk);
    EXPECT_FALSE(NPmcSocketAPI::has_addrinfo());  // getaddrinfo not found (127): a normal case
    EXPECT_EQ(NPmcSocketAPI::getaddrinfo, nullptr);
    EXPECT_EQ(platform::load_count("wsock32.dll"), 1);
    EXPECT_FALSE(log.contains("Error"));
    // The older library starts only as version 1.1.
    EXPECT_EQ(NPmcSocketAPI::startup_1_1(), kOk);
    NPmcSocketAPI::cleanup();
    EXPECT_EQ(NPmcSocketAPI::startup_2_2(), kErrPlatform);
    EXPECT_TRUE(log.contains("Error, fail WSAStartup(2.2). WSAGetLastError()=10092"));
}

TEST_F(SocketApiTest, NoLibraryAtAll) {
    platform::hide_module("ws2_32.dll");
    platform::hide_module("wsock32.dll");
    EXPECT_EQ(NPmcSocketAPI::load(), kErrUnavailable);
    EXPECT_FALSE(NPmcSocketAPI::has_addrinfo());
    EXPECT_EQ(NPmcSocketAPI::startup_1_1(), kErrUnavailable);
    NPmcSocketAPI::cleanup();  // nothing loaded: does nothing
}

TEST_F(SocketApiTest, MissingRequiredFunctionFailsAndIsTriedAgain) {
    static const platform::Export incomplete[] = {
        {"WSAStartup", no_op_function}, {"WSACleanup", no_op_function}, {nullptr, nullptr}};
    platform::register_module("ws2_32.dll", incomplete);
    EXPECT_EQ(NPmcSocketAPI::load(), kErrPlatform);
    EXPECT_FALSE(NPmcSocketAPI::is_loaded());
    EXPECT_EQ(platform::load_count("ws2_32.dll"), 0);  // freed again
    EXPECT_TRUE(log.contains("Error, [NPmcSocketAPI::set_api] fail GetProcAddress \"WSAGetLastError\": "
                             "GetLastError()=127"));
    platform::restore_builtin_modules();
    EXPECT_EQ(NPmcSocketAPI::load(), kOk);
}

TEST_F(SocketApiTest, ConcurrentFirstUsersLoadOnce) {
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            if (NPmcSocketAPI::load() != kOk) ++failures;
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(platform::load_count("ws2_32.dll"), 1);
}

TEST_F(SocketApiTest, ModuleRegistryReportsMissingModulesAndFunctions) {
    EXPECT_EQ(platform::load_library("nosuch.dll"), nullptr);
    EXPECT_EQ(platform::get_last_error(), platform::kErrorModuleNotFound);
    platform::ModuleHandle module = platform::load_library("WS2_32.DLL");  // names ignore case
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(platform::get_proc_address(module, "nosuch"), nullptr);
    EXPECT_EQ(platform::get_last_error(), platform::kErrorProcNotFound);
    EXPECT_NE(platform::get_proc_address(module, "recvfrom"), nullptr);
    EXPECT_TRUE(platform::free_library(module));
    EXPECT_EQ(platform::get_proc_address(nullptr, "recvfrom"), nullptr);
    EXPECT_EQ(platform::get_last_error(), platform::kErrorModuleNotFound);
}
