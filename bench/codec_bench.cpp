// Encodes and decodes the same three messages with our codec and with
// Net-SNMP, in one run:
//   M1  GetRequest for sysObjectID.0 (43 bytes)
//   M2  GetResponse of 12 bindings of mixed types, one job-table row (395 bytes)
//   M3  GetResponse of 40 OCTET STRING bindings of 24 bytes (1795 bytes)
// Decode: bytes to a PDU object and its release. Encode: PDU object to bytes.
//
// With --count OP MESSAGE N the binary instead runs one operation N times
// inside measured_loop(), for instruction counts under callgrind
// (bench/run_codec_bench.sh does both).
#include <benchmark/benchmark.h>

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/snmp_impl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "snmp/packet.h"
#include "snmp/packet_buffer.h"
#include "snmp/target.h"
#include "snmp/translator_registry.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
constexpr std::int32_t kMaxMessageSize = 2048;

Bytes load(const std::string& name) {
    std::ifstream in(std::string(TOLV_BENCH_DATA) + "/" + name + ".hex");
    std::string hex;
    in >> hex;
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    }
    return bytes;
}

const Bytes& message(int index) {
    static const Bytes messages[3] = {load("m1"), load("m2"), load("m3")};
    return messages[index];
}

// Ours ---------------------------------------------------------------------

struct OurDecoder {
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    explicit OurDecoder(const Bytes& bytes) {
        buffer->attach(const_cast<std::uint8_t*>(bytes.data()), static_cast<std::uint32_t>(bytes.size()),
                       pms_buffer_owner::kCaller);
    }
    ~OurDecoder() { buffer->release(); }
    bool run() {
        IPmsSnmpPacket* packet = pms_create_packet(nullptr);
        const bool ok = pms_get_translator_registry()->decode(buffer, packet, 0) == 0;
        packet->release();
        return ok;
    }
};

struct OurEncoder {
    IPmsSnmpPacket* packet = pms_create_packet(nullptr);
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    explicit OurEncoder(const Bytes& bytes) {
        OurDecoder decoder(bytes);
        pms_get_translator_registry()->decode(decoder.buffer, packet, 0);
        packet->get_target()->set_max_size(kMaxMessageSize);
    }
    ~OurEncoder() {
        packet->release();
        buffer->release();
    }
    bool run() { return pms_get_translator_registry()->encode(packet, buffer, nullptr) == 0; }
};

// Net-SNMP -------------------------------------------------------------------

// Net-SNMP's own path for a v1/v2c message: version and community, then the
// PDU, into a new netsnmp_pdu that keeps a copy of the community.
netsnmp_pdu* netsnmp_decode(const Bytes& bytes) {
    u_char community[256];
    size_t community_length = sizeof community;
    size_t length = bytes.size();
    long version = 0;
    u_char* data = snmp_comstr_parse(const_cast<u_char*>(bytes.data()), &length, community, &community_length,
                                     &version);
    if (data == nullptr) return nullptr;
    netsnmp_pdu* pdu = snmp_pdu_create(0);
    pdu->version = version;
    pdu->community = static_cast<u_char*>(std::malloc(community_length));
    std::memcpy(pdu->community, community, community_length);
    pdu->community_len = community_length;
    if (snmp_pdu_parse(pdu, data, &length) != 0) {
        snmp_free_pdu(pdu);
        return nullptr;
    }
    return pdu;
}

struct NetSnmpDecoder {
    const Bytes& bytes;
    explicit NetSnmpDecoder(const Bytes& b) : bytes(b) {}
    bool run() {
        netsnmp_pdu* pdu = netsnmp_decode(bytes);
        if (pdu == nullptr) return false;
        snmp_free_pdu(pdu);
        return true;
    }
};

struct NetSnmpEncoder {
    netsnmp_pdu* pdu;
    netsnmp_session session{};
    explicit NetSnmpEncoder(const Bytes& bytes) : pdu(netsnmp_decode(bytes)) {
        session.version = pdu->version;
        session.community = pdu->community;
        session.community_len = pdu->community_len;
        session.rcvMsgMaxSize = kMaxMessageSize;
        session.sndMsgMaxSize = kMaxMessageSize;
    }
    ~NetSnmpEncoder() { snmp_free_pdu(pdu); }
    bool run() {
        size_t length = kMaxMessageSize;
        size_t offset = 0;
        auto* packet = static_cast<u_char*>(std::malloc(length));
        const bool ok = snmp_build(&packet, &length, &offset, &session, pdu) == 0;
        std::free(packet);
        return ok;
    }
};

template <class Operation>
void run_benchmark(benchmark::State& state) {
    Operation operation(message(static_cast<int>(state.range(0))));
    if (!operation.run()) {
        state.SkipWithError("the operation failed");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(operation.run());
    char label[16];
    std::snprintf(label, sizeof label, "M%d", static_cast<int>(state.range(0)) + 1);
    state.SetLabel(label);
}

BENCHMARK_TEMPLATE(run_benchmark, OurDecoder)->Name("decode/ours")->DenseRange(0, 2);
BENCHMARK_TEMPLATE(run_benchmark, NetSnmpDecoder)->Name("decode/netsnmp")->DenseRange(0, 2);
BENCHMARK_TEMPLATE(run_benchmark, OurEncoder)->Name("encode/ours")->DenseRange(0, 2);
BENCHMARK_TEMPLATE(run_benchmark, NetSnmpEncoder)->Name("encode/netsnmp")->DenseRange(0, 2);

double thread_cpu_ns() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

template <class Operation>
double batch_ns(Operation& operation, int iterations) {
    const double start = thread_cpu_ns();
    for (int i = 0; i < iterations; ++i) benchmark::DoNotOptimize(operation.run());
    return (thread_cpu_ns() - start) / iterations;
}

// Alternates short batches of ours and Net-SNMP and reports the medians:
// on a noisy machine the drift between two long separate runs is larger
// than the difference being measured.
template <class Ours, class Theirs>
void paired(const char* name, int index, int rounds) {
    Ours ours(message(index));
    Theirs theirs(message(index));
    const int iterations = index == 0 ? 2000 : 200;
    std::vector<double> ratios, ours_ns, theirs_ns;
    for (int round = 0; round < rounds; ++round) {
        const bool ours_first = round % 2 == 0;
        const double a = ours_first ? batch_ns(ours, iterations) : batch_ns(theirs, iterations);
        const double b = ours_first ? batch_ns(theirs, iterations) : batch_ns(ours, iterations);
        ours_ns.push_back(ours_first ? a : b);
        theirs_ns.push_back(ours_first ? b : a);
        ratios.push_back(ours_ns.back() / theirs_ns.back());
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%-8s M%-2d %10.0f %10.0f %7.2f\n", name, index + 1, median(ours_ns), median(theirs_ns),
                median(ratios));
}

template <class Operation>
__attribute__((noinline)) int measured_loop(Operation& operation, long count) {
    int ok = 0;
    for (long i = 0; i < count; ++i) ok += operation.run();
    return ok;
}

template <class Operation>
int count_run(int index, long count) {
    Operation operation(message(index));
    return measured_loop(operation, count) == count ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--paired") == 0) {
        const int rounds = std::atoi(argv[2]);
        std::printf("%-8s %-3s %10s %10s %7s\n", "op", "msg", "ours", "net-snmp", "ratio");
        for (int i = 0; i < 3; ++i) paired<OurDecoder, NetSnmpDecoder>("decode", i, rounds);
        for (int i = 0; i < 3; ++i) paired<OurEncoder, NetSnmpEncoder>("encode", i, rounds);
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "--count") == 0) {
        const std::string operation = argv[2];
        const int index = std::atoi(argv[3]) - 1;
        const long count = std::atol(argv[4]);
        if (operation == "decode/ours") return count_run<OurDecoder>(index, count);
        if (operation == "decode/netsnmp") return count_run<NetSnmpDecoder>(index, count);
        if (operation == "encode/ours") return count_run<OurEncoder>(index, count);
        if (operation == "encode/netsnmp") return count_run<NetSnmpEncoder>(index, count);
        std::fprintf(stderr, "unknown operation %s\n", operation.c_str());
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
