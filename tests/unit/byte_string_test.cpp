#include <gtest/gtest.h>

#include <cstring>

#include "common/byte_string.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

TEST(ByteString, NewStringIsEmptyWithoutStorage) {
    auto text = own(pmc_create_byte_string(nullptr));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->get_length(), 0u);
    EXPECT_EQ(text->get_data(), nullptr);
}

TEST(ByteString, KeepsBytesWithTerminatingNul) {
    auto text = own(pmc_create_byte_string(nullptr));
    const char bytes[] = {'a', '\0', 'b'};
    ASSERT_EQ(text->set(bytes, 3), kOk);
    EXPECT_EQ(text->get_length(), 3u);
    EXPECT_EQ(std::memcmp(text->get_data(), bytes, 3), 0);
    EXPECT_EQ(text->get_data()[3], '\0');
    ASSERT_EQ(text->set(static_cast<const char*>(nullptr)), kOk);
    EXPECT_EQ(text->get_length(), 0u);
}

TEST(ByteString, AppendsEveryKindOfSource) {
    auto text = own(pmc_create_byte_string(nullptr));
    auto other = own(pmc_create_byte_string("!?", 2, nullptr));
    EXPECT_EQ(text->append("ab"), kOk);
    EXPECT_EQ(text->append("cd", 1), kOk);
    EXPECT_EQ(text->append(static_cast<const char*>(nullptr)), kOk);
    EXPECT_EQ(text->append("zz", 0), kOk);
    EXPECT_EQ(text->append(other.get()), kOk);
    EXPECT_EQ(text->append(static_cast<const IPmcByteString*>(nullptr)), kOk);
    EXPECT_STREQ(text->get_data(), "abc!?");
    // Appending a string to itself reads the old bytes, not the freed ones.
    EXPECT_EQ(text->append(text.get()), kOk);
    EXPECT_STREQ(text->get_data(), "abc!?abc!?");
}

TEST(ByteString, EqualityComparesLengthAndBytes) {
    auto text = own(pmc_create_byte_string("abc", 3, nullptr));
    auto empty = own(pmc_create_byte_string(nullptr));
    struct Case {
        const void* data;
        std::uint32_t length;
        bool equal_to_abc;
        bool equal_to_empty;
    } cases[] = {
        {"abc", 3, true, false}, {"abd", 3, false, false}, {"ab", 2, false, false},
        {"", 0, false, true},    {nullptr, 0, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text->equals(c.data, c.length), c.equal_to_abc) << static_cast<const char*>(c.data);
        EXPECT_EQ(empty->equals(c.data, c.length), c.equal_to_empty);
    }
    EXPECT_TRUE(text->equals("abc"));
    EXPECT_FALSE(text->equals(static_cast<const char*>(nullptr)));
    EXPECT_FALSE(text->equals(static_cast<const IPmcByteString*>(nullptr)));
    EXPECT_FALSE(text->equals(empty.get()));
}

TEST(ByteString, CloneCopiesBytes) {
    auto text = own(pmc_create_byte_string("xyz", 3, nullptr));
    IPmcByteString* copy = nullptr;
    ASSERT_EQ(text->clone(&copy), kOk);
    auto owned_copy = own(copy);
    EXPECT_TRUE(copy->equals(text.get()));
    EXPECT_NE(copy->get_data(), text->get_data());
    EXPECT_EQ(text->clone(nullptr), kErrBadArgument);
}
