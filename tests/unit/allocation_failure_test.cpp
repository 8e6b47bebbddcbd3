// Each operation runs once for every allocation it makes, with exactly
// that allocation failing: it must answer -3 (or null with -3), leave the
// objects it was given usable, and leak nothing (the sanitizer build checks).
#include <gtest/gtest.h>

#include <functional>

#include "common/allocation.h"
#include "common/byte_string.h"
#include "log/log_manager.h"
#include "test_objects.h"
#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"
#include "transport/network_address.h"

using namespace tolv;

namespace {
class Armed {
public:
    explicit Armed(long successes) { fault_injection::fail_allocation_after(successes); }
    ~Armed() { fault_injection::fail_allocation_after(-1); }
};

// Runs `attempt(n)` for n = 0, 1, ... until it reports success.
void sweep(const char* what, const std::function<bool(long)>& attempt) {
    for (long n = 0; n < 200; ++n) {
        if (attempt(n)) return;
    }
    ADD_FAILURE() << what << " never succeeded";
}

Owned<IPmsPdu> sample_trap() {
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kTrap);
    IPmsValue* ticks = pms_create_value(pms_tag::kTimeTicks, nullptr);
    pdu->set_timestamp(ticks);
    pdu->set_trap_oid(pms_create_value_from_text("1.3.6.1.4.1.9.0.7", pms_tag::kObjectIdentifier, nullptr));
    for (int i = 0; i < 4; ++i) {
        pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.1.0", nullptr),
                 pms_create_value_from_text("text", pms_tag::kOctetString, nullptr));
    }
    return pdu;
}
}  // namespace

TEST(AllocationFailure, ValueFactories) {
    for (const std::int32_t tag : {pms_tag::kInteger, pms_tag::kOctetString, pms_tag::kObjectIdentifier,
                                   pms_tag::kIpAddress, pms_tag::kCounter64, pms_tag::kNoSuchObject}) {
        sweep("pms_create_value_from_text", [tag](long n) {
            std::int32_t result = 1;
            IPmsValue* value = nullptr;
            {
                Armed armed(n);
                value = pms_create_value_from_text(tag == pms_tag::kIpAddress ? "1.2.3.4" : "12", tag, &result);
            }
            if (value == nullptr) {
                EXPECT_TRUE(result == kErrNoMemory || result == kErrNotSupported) << result;
                return result == kErrNotSupported;
            }
            value->release();
            return true;
        });
    }
}

TEST(AllocationFailure, OidOperations) {
    sweep("oid append and split", [](long n) {
        auto oid = own(pms_create_oid_from_text("1.3.6.1.2.1", nullptr));
        std::int32_t result = kOk;
        {
            Armed armed(n);
            result = oid->append("25.3.2.1.5.1234567890.1234567890.1234567890");
            if (result == kOk) {
                IPmsOid* front = oid->split_front(3, &result);
                if (front != nullptr) front->release();
            }
        }
        EXPECT_TRUE(result == kOk || result == kErrNoMemory) << result;
        return result == kOk;
    });
    sweep("oid index", [](long n) {
        auto oid = own(pms_create_oid_from_text("1.3", nullptr));
        std::int32_t result = kOk;
        IPmsValue* value = nullptr;
        {
            Armed armed(n);
            result = oid->append_index("abcdef", pms_tag::kOctetString, 0);
            if (result == kOk) value = oid->pop_index(pms_tag::kObjectIdentifier, &result, 1, 3);
        }
        if (value != nullptr) value->release();
        EXPECT_TRUE(result == kOk || result == kErrNoMemory) << result;
        return result == kOk;
    });
}

TEST(AllocationFailure, PduCloneAndCopy) {
    auto source = sample_trap();
    sweep("pdu clone", [&](long n) {
        std::int32_t result = 1;
        IPmsPdu* copy = nullptr;
        {
            Armed armed(n);
            copy = source->clone(&result);
        }
        if (copy == nullptr) {
            EXPECT_EQ(result, kErrNoMemory);
            return false;
        }
        EXPECT_TRUE(copy->equals(source.get()));
        copy->release();
        return true;
    });
    sweep("pdu add", [](long n) {
        auto pdu = own(pms_create_pdu(nullptr));
        IPmsOid* oid = pms_create_oid_from_text("1.3", nullptr);
        std::int32_t result = kOk;
        {
            Armed armed(n);
            result = pdu->add(oid, nullptr);
        }
        if (result != kOk) {
            EXPECT_EQ(result, kErrNoMemory);
            oid->release();  // a failed add leaves the OID with the caller
            return false;
        }
        return true;
    });
}

TEST(AllocationFailure, TargetsPacketsAndLists) {
    auto address = own(pmc_create_network_address(nullptr));
    address->assign("10.0.0.1", IPmcNetworkAddress::IPv4, 161);
    auto packet = own(pms_create_packet(nullptr));
    auto* target = pms_create_usm_target(nullptr);
    target->set_address(address.get());
    target->set_security_name("user");
    target->set_auth_passphrase("phrase one");
    target->set_engine_id("\x80\x00", 2);
    packet->set_target(target);
    packet->set_pdu(sample_trap().release());
    sweep("packet clone", [&](long n) {
        std::int32_t result = 1;
        IPmsSnmpPacket* copy = nullptr;
        {
            Armed armed(n);
            copy = packet->clone(&result);
        }
        if (copy == nullptr) {
            // A network address that cannot be copied reports -2.
            EXPECT_TRUE(result == kErrNoMemory || result == kErrBadArgument) << result;
            return false;
        }
        EXPECT_TRUE(copy->equals(packet.get()));
        copy->release();
        return true;
    });
    sweep("list add", [](long n) {
        auto list = own(pms_create_pdu_list(nullptr));
        IPmsPdu* pdu = pms_create_pdu(nullptr);
        std::int32_t result = kOk;
        {
            Armed armed(n);
            result = list->add_tail(pdu);
        }
        if (result != kOk) {
            EXPECT_EQ(result, kErrNoMemory);
            pdu->release();
            return false;
        }
        return true;
    });
}

TEST(AllocationFailure, ByteStringKeepsOldContent) {
    auto text = own(pmc_create_byte_string("old", 3, nullptr));
    {
        Armed armed(0);
        EXPECT_EQ(text->set("new"), kErrNoMemory);
    }
    EXPECT_TRUE(text->equals("old"));
    {
        Armed armed(0);
        EXPECT_EQ(text->append("er"), kErrNoMemory);
    }
    EXPECT_TRUE(text->equals("old"));
}

TEST(AllocationFailure, LogSessionCreation) {
    ILogManager* manager = log::log_manager();
    int attempt = 0;
    sweep("get_session", [&](long n) {
        const std::string name = "alloc-" + std::to_string(attempt++);
        std::int32_t result = 1;
        ILogSession* session = nullptr;
        {
            Armed armed(n);
            session = manager->get_session(name.c_str(), &result);
        }
        if (result != kOk) {
            EXPECT_EQ(result, kErrNoMemory);
            EXPECT_STREQ(session->get_name(), "null_session");
            return false;
        }
        return true;
    });
}
