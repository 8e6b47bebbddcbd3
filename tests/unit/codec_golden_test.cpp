// The codec against byte-exact examples: each row names a message or a
// value, its bytes, and what it must encode from or decode to.
#include <gtest/gtest.h>

#include "codec_support.h"
#include "log_capture.h"
#include "snmp/ber_reader.h"
#include "snmp/ber_writer.h"
#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/translator_registry.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;
using namespace tolv::testing;

namespace {
// A PDU of the type with one binding per (OID, value) pair.
Owned<IPmsPdu> pdu_of(std::int32_t type, std::int32_t request_id, std::vector<std::pair<const char*, IPmsValue*>> bindings) {
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(type);
    pdu->set_request_id(request_id);
    for (auto& [oid, value] : bindings) pdu->add(pms_create_oid_from_text(oid, nullptr), value);
    return pdu;
}

IPmsValue* value_of(std::int32_t tag, const char* text) {
    IPmsValue* value = pms_create_value(tag, nullptr);
    if (text != nullptr) value->set_text(text);
    return value;
}

// The message a value travels in: v1 Response, request-id 1, binding 1.3.
Bytes response_around(const Bytes& value) {
    Bytes binding = hex("06012B");
    binding.insert(binding.end(), value.begin(), value.end());
    auto wrap = [](std::uint8_t tag, Bytes content) {
        Bytes out{tag};
        if (content.size() < 128) {
            out.push_back(static_cast<std::uint8_t>(content.size()));
        } else {
            out.push_back(0x82);
            out.push_back(static_cast<std::uint8_t>(content.size() >> 8));
            out.push_back(static_cast<std::uint8_t>(content.size()));
        }
        out.insert(out.end(), content.begin(), content.end());
        return out;
    };
    Bytes list = wrap(0x30, wrap(0x30, binding));
    Bytes pdu = hex("020101 020100 020100");
    pdu.insert(pdu.end(), list.begin(), list.end());
    Bytes message = hex("020100 0406 7075626C6963");
    Bytes whole_pdu = wrap(0xA2, pdu);
    message.insert(message.end(), whole_pdu.begin(), whole_pdu.end());
    return wrap(0x30, message);
}

const IPmsValue* first_value(const Decoded& decoded) {
    return decoded.packet->get_pdu()->get_bindings()->get(0)->get_value();
}
}  // namespace

TEST(CodecGolden, GetRequestOf40Bytes) {
    const Bytes expected = hex(
        "30 26 02 01 01 04 06 70 75 62 6C 69 63 A0 19 02 01 01 02 01 00 02 01 00 30 0E 30 0C 06 08 2B 06 01 02 01 "
        "01 01 00 05 00");
    auto pdu = pdu_of(pms_pdu_type::kGetRequest, 1, {{"1.3.6.1.2.1.1.1.0", nullptr}});
    auto target = own(community_target(pms_version::kV2c, "public"));
    const Encoded encoded = encode(pdu.get(), target.get());
    ASSERT_EQ(encoded.code, kOk);
    EXPECT_EQ(to_hex(encoded.bytes), to_hex(expected));
    EXPECT_EQ(encoded.count, 1u);

    const Decoded decoded = decode(expected);
    auto packet = own(decoded.packet);
    ASSERT_EQ(decoded.code, kOk);
    EXPECT_TRUE(packet->get_pdu()->equals(pdu.get()));
    EXPECT_TRUE(packet->get_target()->equals(target.get()));
    EXPECT_EQ(packet->get_target()->get_version(), pms_version::kV2c);
}

TEST(CodecGolden, ValuesEncode) {
    const struct {
        std::int32_t tag;
        const char* text;
        const char* bytes;
    } cases[] = {
        {pms_tag::kInteger, "-1", "0201FF"},
        {pms_tag::kInteger, "128", "02020080"},
        {pms_tag::kInteger, "-129", "0202FF7F"},
        {pms_tag::kInteger, "0", "020100"},
        {pms_tag::kInteger, "127", "02017F"},
        {pms_tag::kInteger, "-128", "020180"},
        {pms_tag::kInteger, "2147483647", "02047FFFFFFF"},
        {pms_tag::kInteger, "-2147483648", "020480000000"},
        {pms_tag::kGauge32, "4294967295", "420500FFFFFFFF"},
        {pms_tag::kCounter32, "128", "41020080"},
        {pms_tag::kTimeTicks, "0", "430100"},
        {pms_tag::kCounter64, "4294967296", "46050100000000"},
        {pms_tag::kCounter64, "5", "460105"},
        {pms_tag::kCounter64, "18446744073709551615", "460900FFFFFFFFFFFFFFFF"},
        {pms_tag::kOctetString, "abc", "0403616263"},
        {pms_tag::kOctetString, "", "0400"},
        {pms_tag::kOpaque, "ab", "44026162"},
        {pms_tag::kIpAddress, "1.2.3.4", "400401020304"},
        {pms_tag::kObjectIdentifier, "1.3", "06012B"},
        {pms_tag::kObjectIdentifier, "", "0600"},
        {pms_tag::kObjectIdentifier, "2.999", "06028837"},
        {pms_tag::kObjectIdentifier, "1.3.6.1.4.1.46712", "06082B06010401 82EC78"},
        {pms_tag::kObjectIdentifier, "1.3.4294967295", "06062B8FFFFFFF7F"},
        {pms_tag::kNull, nullptr, "0500"},
        {pms_tag::kNoSuchObject, nullptr, "8000"},
        {pms_tag::kEndOfMibView, nullptr, "8200"},
    };
    auto target = own(community_target(pms_version::kV1, "public"));
    for (const auto& c : cases) {
        auto pdu = pdu_of(pms_pdu_type::kResponse, 1, {{"1.3", value_of(c.tag, c.text)}});
        const Encoded encoded = encode(pdu.get(), target.get());
        ASSERT_EQ(encoded.code, kOk) << c.bytes;
        EXPECT_EQ(to_hex(encoded.bytes), to_hex(response_around(hex(c.bytes)))) << c.tag << " " << (c.text ? c.text : "");
        // And back.
        const Decoded decoded = decode(encoded.bytes);
        auto packet = own(decoded.packet);
        ASSERT_EQ(decoded.code, kOk) << c.bytes;
        EXPECT_TRUE(first_value(decoded)->equals(pdu->get_bindings()->get(0)->get_value())) << c.bytes;
    }
}

TEST(CodecGolden, ValuesThatDoNotEncode) {
    LogCapture log;
    auto target = own(community_target(pms_version::kV1, "public"));
    const struct {
        std::int32_t tag;
        const char* text;
        std::int32_t code;
    } cases[] = {
        {pms_tag::kObjectIdentifier, "1", kErrBadArgument},
        {pms_tag::kUdpAddress, "1.2.3.4/5", kErrNotSupported},
        {pms_tag::kIpxAddress, "00000001:000000000002/3", kErrNotSupported},
    };
    for (const auto& c : cases) {
        auto pdu = pdu_of(pms_pdu_type::kResponse, 1, {{"1.3", value_of(c.tag, c.text)}});
        EXPECT_EQ(encode(pdu.get(), target.get()).code, c.code) << c.tag;
    }
    EXPECT_EQ(log.count("Error, encode error:oid size is 1."), 1);
    // A USM target has no header in this codec.
    auto pdu = pdu_of(pms_pdu_type::kGetRequest, 1, {{"1.3", nullptr}});
    auto usm = own(pms_create_usm_target(nullptr));
    usm->set_max_size(1400);
    EXPECT_EQ(encode(pdu.get(), usm.get()).code, kErrNotSupported);
}

TEST(CodecGolden, ValuesDecode) {
    const struct {
        const char* bytes;
        std::int32_t code;
        std::int32_t tag;
        const char* text;
    } cases[] = {
        {"4104FFFFFFFF", kOk, pms_tag::kCounter32, "4294967295"},
        {"410500FFFFFFFF", kOk, pms_tag::kCounter32, "4294967295"},
        {"41050100000000", kErrDecode, 0, nullptr},
        {"4201FF", kOk, pms_tag::kGauge32, "4294967295"},  // sign-extended
        {"4106000000000001", kOk, pms_tag::kCounter32, "1"},  // longer contents keep the low 32 bits
        {"0200", kOk, pms_tag::kInteger, "0"},
        {"0201FF", kOk, pms_tag::kInteger, "-1"},
        {"060150", kOk, pms_tag::kObjectIdentifier, "2.0"},
        {"060128", kOk, pms_tag::kObjectIdentifier, "1.0"},
        {"0600", kOk, pms_tag::kObjectIdentifier, ""},
        {"06022B86", kErrDecode, 0, nullptr},           // last sub-identifier unfinished
        {"06062B9080808000", kErrDecode, 0, nullptr},   // arc of 2^32
        {"0501 00", kErrDecode, 0, nullptr},            // NULL with content
        {"8001 00", kErrDecode, 0, nullptr},
        {"4600", kOk, pms_tag::kCounter64, "0"},
        {"4603010203", kOk, pms_tag::kCounter64, "66051"},
        {"46050100000005", kOk, pms_tag::kCounter64, "4294967301"},
        {"40050102030405", kErrBadArgument, 0, nullptr},  // an IpAddress must have 4 bytes
        {"0410 616263", kErrDecode, 0, nullptr},          // runs past the end
    };
    for (const auto& c : cases) {
        const Decoded decoded = decode(response_around(hex(c.bytes)));
        auto packet = own(decoded.packet);
        EXPECT_EQ(decoded.code, c.code) << c.bytes;
        if (c.code != kOk || decoded.code != kOk) continue;
        const IPmsValue* value = first_value(decoded);
        EXPECT_EQ(value->get_type(), c.tag) << c.bytes;
        auto text = own(value->to_text(static_cast<std::int32_t*>(nullptr)));
        EXPECT_EQ(text->get_length() ? std::string(text->get_data()) : "", c.text) << c.bytes;
    }
}

TEST(CodecGolden, RefusedValueTags) {
    LogCapture log;
    for (const char* bytes : {"4800", "4500", "0300", "A000"}) {
        const Decoded decoded = decode(response_around(hex(bytes)));
        auto packet = own(decoded.packet);
        EXPECT_EQ(decoded.code, kErrDecode) << bytes;
    }
    EXPECT_EQ(log.count("Error, decode error: unknown asn type."), 4);
}

TEST(CodecGolden, Lengths) {
    const struct {
        std::size_t length;
        const char* bytes;
    } cases[] = {{0, "00"}, {127, "7F"}, {128, "8180"}, {255, "81FF"}, {256, "820100"}, {65536, "83010000"}};
    for (const auto& c : cases) {
        std::uint8_t storage[8];
        ber::Writer writer(storage, sizeof storage);
        writer.put_length(c.length);
        EXPECT_EQ(to_hex(Bytes(writer.position(), storage + sizeof storage)), c.bytes);
        const Bytes bytes = hex(c.bytes);
        ber::Reader reader(bytes.data(), bytes.data() + bytes.size());
        std::size_t read = 0;
        EXPECT_EQ(reader.read_length(&read), kOk);
        EXPECT_EQ(read, c.length);
    }
    const Bytes indefinite = hex("80");
    ber::Reader reader(indefinite.data(), indefinite.data() + 1);
    std::size_t read = 0;
    EXPECT_EQ(reader.read_length(&read), kErrDecode);
    // A message in the indefinite form is refused.
    const Decoded decoded = decode(hex("3080020100"));
    auto packet = own(decoded.packet);
    EXPECT_EQ(decoded.code, kErrDecode);
}

TEST(CodecGolden, RedundantAndShortDatagrams) {
    LogCapture log;
    const Bytes message = hex("302602010104067075626C6963A019020101020100020100300E300C06082B060102010101000500");
    Bytes longer = message;
    longer.insert(longer.end(), {0xDE, 0xAD, 0xBF});
    const Decoded redundant = decode(longer);
    auto first = own(redundant.packet);
    EXPECT_EQ(redundant.code, kOk);
    EXPECT_EQ(log.count("Info , received packet is redundancy. be cut down."), 1);

    Bytes shorter(message.begin(), message.end() - 1);
    const Decoded short_one = decode(shorter);
    auto second = own(short_one.packet);
    EXPECT_EQ(short_one.code, kErrDecode);
    EXPECT_EQ(log.count("Error, decode error: lack of received packet. can't go on decoding any more."), 1);

    // A length field claiming far more than the datagram, and nothing at all.
    for (const char* bytes : {"3084FFFFFFFF020100", "30", ""}) {
        const Decoded d = decode(hex(bytes));
        auto p = own(d.packet);
        EXPECT_EQ(d.code, kErrDecode) << bytes;
    }
}

TEST(CodecGolden, DecoderChecksInOrderWithTheirLines) {
    const struct {
        const char* bytes;
        std::int32_t code;
        const char* line;
    } cases[] = {
        {"300B 020103 0400 A0 04 300230 00", kErrDecode, "decode error: unsupported snmp version."},
        {"300E 020100 0400 A9 07 020100020100 0200", kErrDecode, "decode error: unknown pdu type."},
        {"3010 020100 0400 A0 08 020101020100020100 3000", kErrDecode, "decode error: pdu length is wrong."},
        {"3012 020100 0400 A2 0B 020101020113020100 3000", kErrDecode, "decode error: error_status's value is wrong."},
        {"3012 020100 0400 A2 0B 020101020100020100 3001", kErrDecode,
         "decode error: length of var bind list is wrong."},
        {"301B 020100 0400 A2 14 020101020100020100 3009 3007 06012B 020101 00", kErrDecode,
         "decode error: length of var bind is wrong."},
        {"301A 020100 0400 A2 13 020101020100020100 3008 3006 06022B86 0500", kErrDecode,
         "decode error. oid format is wrong."},
        {"301B 020100 0400 A2 14 020101020100020100 3009 3007 06012B 4603 0102", kErrDecode,
         "decode error: counter64 format is wrong."},
        {"301B 020100 0400 A4 14 06012B 400400000000 020107 020100 430100 3000", kErrDecode,
         "decode error: generic trap No. > 6. "},
    };
    for (const auto& c : cases) {
        LogCapture log;
        const Decoded decoded = decode(hex(c.bytes));
        auto packet = own(decoded.packet);
        EXPECT_EQ(decoded.code, c.code) << c.bytes;
        EXPECT_EQ(log.count(std::string("Error, ") + c.line), 1) << c.bytes << " " << c.line;
    }
    // Error-status 18 is the highest accepted.
    const Decoded eighteen = decode(hex("3012 020100 0400 A2 0B 020101020112020100 3000"));
    auto packet = own(eighteen.packet);
    EXPECT_EQ(eighteen.code, kOk);
}

TEST(CodecGolden, UnknownTranslateTypeWithoutTarget) {
    LogCapture log;
    const Bytes message = hex("302602010104067075626C6963A019020101020100020100300E300C06082B060102010101000500");
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    auto owned_buffer = own(buffer);
    buffer->attach(const_cast<std::uint8_t*>(message.data()), static_cast<std::uint32_t>(message.size()),
                   pms_buffer_owner::kCaller);
    auto packet = own(pms_create_packet(nullptr));
    EXPECT_EQ(pms_get_translator_registry()->decode(buffer, packet.get(), -1), kErrBadArgument);
    EXPECT_TRUE(log.contains("Error, decode error: unknown translate type."));
    EXPECT_EQ(pms_get_translator_registry()->decode(buffer, packet.get(), 5), kErrBadArgument);
}

TEST(CodecGolden, Traps) {
    const struct {
        const char* trap_oid;
        const char* bytes;
    } cases[] = {
        {"1.3.6.1.6.3.1.1.5.0.3",
         "3028 020100 0406 7075626C6963 A41B 06082B06010603010105 400400000000 020102 020100 430105 3000"},
        {"1.3.6.1.4.1.9.0.7", "3026 020100 0406 7075626C6963 A419 06062B0601040109 400400000000 020106 020107 "
                              "430105 3000"},
    };
    auto target = own(community_target(pms_version::kV1, "public"));
    for (const auto& c : cases) {
        auto pdu = own(pms_create_pdu(nullptr));
        pdu->set_type(pms_pdu_type::kTrap);
        pdu->set_timestamp(value_of(pms_tag::kTimeTicks, "5"));
        pdu->set_trap_oid(value_of(pms_tag::kObjectIdentifier, c.trap_oid));
        const Encoded encoded = encode(pdu.get(), target.get());
        ASSERT_EQ(encoded.code, kOk) << c.trap_oid;
        EXPECT_EQ(to_hex(encoded.bytes), to_hex(hex(c.bytes))) << c.trap_oid;
        const Decoded decoded = decode(encoded.bytes);
        auto packet = own(decoded.packet);
        ASSERT_EQ(decoded.code, kOk);
        EXPECT_EQ(packet->get_pdu()->get_trap_oid()->compare(c.trap_oid, nullptr), pms_oid_relation::kEqual);
        EXPECT_EQ(packet->get_pdu()->get_timestamp()->get_uint32(nullptr), 5u);
    }
    // Under the standard prefix, a last arc that is no generic number is
    // written as an enterprise-specific trap and reads back unchanged.
    for (const char* odd : {"1.3.6.1.6.3.1.1.5.0.0", "1.3.6.1.6.3.1.1.5.0.7"}) {
        auto pdu = own(pms_create_pdu(nullptr));
        pdu->set_type(pms_pdu_type::kTrap);
        pdu->set_timestamp(value_of(pms_tag::kTimeTicks, "5"));
        pdu->set_trap_oid(value_of(pms_tag::kObjectIdentifier, odd));
        const Encoded encoded = encode(pdu.get(), target.get());
        ASSERT_EQ(encoded.code, kOk) << odd;
        const Decoded decoded = decode(encoded.bytes);
        auto packet = own(decoded.packet);
        ASSERT_EQ(decoded.code, kOk) << odd;
        EXPECT_EQ(packet->get_pdu()->get_trap_oid()->compare(odd, nullptr), pms_oid_relation::kEqual) << odd;
    }
    // Trap OIDs that cannot be written as a Trap-PDU, and traps without fields.
    for (const char* refused : {"1", "1.3.6.1.4.1.9.1.7"}) {
        auto pdu = own(pms_create_pdu(nullptr));
        pdu->set_type(pms_pdu_type::kTrap);
        pdu->set_timestamp(value_of(pms_tag::kTimeTicks, "5"));
        pdu->set_trap_oid(value_of(pms_tag::kObjectIdentifier, refused));
        EXPECT_EQ(encode(pdu.get(), target.get()).code, kErrBadArgument) << refused;
    }
    auto bare = own(pms_create_pdu(nullptr));
    bare->set_type(pms_pdu_type::kTrap);
    EXPECT_EQ(encode(bare.get(), target.get()).code, kErrBadArgument);
    // SNMPv2-Trap PDUs are neither written nor read.
    auto v2c = own(community_target(pms_version::kV2c, "public"));
    auto v2_trap = pdu_of(pms_pdu_type::kTrap, 1, {{"1.3", nullptr}});
    EXPECT_EQ(encode(v2_trap.get(), v2c.get()).code, kErrNotSupported);
    const Decoded v2_read = decode(hex("3012 020101 0400 A7 0B 020101020100020100 3000"));
    auto packet = own(v2_read.packet);
    EXPECT_EQ(v2_read.code, kErrNotSupported);
}

TEST(CodecGolden, OverflowCountsTheBindingsThatFitted) {
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    for (int i = 0; i < 40; ++i) {
        pdu->add(pms_create_oid_from_text("1.3.6.1.4.1.46712.1.2.3.4.5.6.7", nullptr),
                 value_of(pms_tag::kOctetString, "abcdefghijabcdefghijabcdefghij"));
    }
    auto target = own(community_target(pms_version::kV1, "public", 484));
    const Encoded encoded = encode(pdu.get(), target.get());
    EXPECT_EQ(encoded.code, kErrRequestTooLarge);
    // Each binding takes 2 + 17 + 32 = 51 bytes: 9 fit into 484, the 10th does not.
    EXPECT_EQ(encoded.count, 9u);

    auto enough = own(community_target(pms_version::kV1, "public", 4096));
    const Encoded whole = encode(pdu.get(), enough.get());
    EXPECT_EQ(whole.code, kOk);
    EXPECT_EQ(whole.count, 40u);
}

TEST(CodecGolden, DecodingIntoAnExistingPduReusesAndTrims) {
    const Bytes response = hex("3012 020100 0400 A2 0B 020107020102020101 3000");
    // Build a response with two bindings and error-status 2 at index 1.
    auto answer = pdu_of(pms_pdu_type::kResponse, 7,
                         {{"1.3.6.1.2.1.1.1.0", value_of(pms_tag::kOctetString, "text")},
                          {"1.3.6.1.2.1.1.3.0", value_of(pms_tag::kTimeTicks, "99")}});
    answer->set_error_status(2);
    answer->set_error_index(1);
    auto target = own(community_target(pms_version::kV1, "public"));
    const Encoded encoded = encode(answer.get(), target.get());
    ASSERT_EQ(encoded.code, kOk);

    // The request had three bindings: two are refilled, the third removed.
    auto request = pdu_of(pms_pdu_type::kGetRequest, 7,
                          {{"1.3.6.1.2.1.1.1.0", nullptr}, {"1.3.6.1.2.1.1.3.0", nullptr}, {"1.3.6.1.2.1.1.5.0", nullptr}});
    IPmsVarBind* first_binding = request->get_bindings()->get(0);
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    auto owned_buffer = own(buffer);
    buffer->attach(const_cast<std::uint8_t*>(encoded.bytes.data()), static_cast<std::uint32_t>(encoded.bytes.size()),
                   pms_buffer_owner::kCaller);
    ASSERT_EQ(pms_get_translator_registry()->decode(buffer, request.get(), target.get(), 0), kOk);
    EXPECT_EQ(request->get_type(), pms_pdu_type::kResponse);
    ASSERT_EQ(request->get_bindings()->get_count(), 2u);
    EXPECT_EQ(request->get_bindings()->get(0), first_binding);
    EXPECT_EQ(request->get_bindings()->get(0)->get_status(), 2);
    EXPECT_EQ(request->get_bindings()->get(1)->get_status(), kPmsStatusOtherInError);
    EXPECT_EQ(request->get_bindings()->get(1)->get_value()->get_uint32(nullptr), 99u);

    std::int32_t error_status = -1;
    std::int32_t request_id = -1;
    EXPECT_EQ(pms_get_translator_registry()->peek_header(buffer, &error_status, &request_id, 0), kOk);
    EXPECT_EQ(error_status, 2);
    EXPECT_EQ(request_id, 7);
    EXPECT_EQ(pms_get_translator_registry()->peek_header(buffer, nullptr, &request_id, 0), kErrBadArgument);
    (void)response;
}

TEST(CodecGolden, RegistrySelection) {
    CPmsTranslatorRegistry* registry = pms_get_translator_registry();
    EXPECT_STREQ(registry->current_name(), "TransStream");
    EXPECT_EQ(registry->select("Other"), kErrBadArgument);
    EXPECT_STREQ(registry->current_name(), "TransStream");
    EXPECT_EQ(registry->select(nullptr), kOk);
    EXPECT_EQ(registry->current_name(), nullptr);
    auto pdu = pdu_of(pms_pdu_type::kGetRequest, 1, {{"1.3", nullptr}});
    auto target = own(community_target(pms_version::kV1, "public"));
    EXPECT_EQ(encode(pdu.get(), target.get()).code, kErrEmpty);
    std::int32_t a = 0;
    std::int32_t b = 0;
    auto buffer = own(pms_create_packet_buffer(nullptr));
    EXPECT_EQ(registry->peek_header(buffer.get(), &a, &b, 0), kErrEmpty);
    EXPECT_EQ(registry->select("TransStream"), kOk);
    EXPECT_EQ(registry->encode(static_cast<IPmsSnmpPacket*>(nullptr), buffer.get(), nullptr), kErrBadArgument);
}
