// Walks a 1000-row table on the agent three ways and reports the client's
// CPU time (user + sys) per exchange:
//   GetData   the library's walk (one GetNextRequest per row)
//   snmpwalk  Net-SNMP's tool, run as a child (snmpwalk -v1)
//   floor     what the operating system must do per exchange when every
//             exchange has its own socket: socket, bind, send the same
//             request bytes, receive the answer, close
//   floor+wait the same with a poll before the receive: the least an
//             exchange with a time-out needs (a blocking receive cannot
//             time out)
// Rounds of GetData and floor alternate, so that a noisy machine's drift
// cancels out; the ratio is the median of the rounds.
//
//   walk_bench ADDRESS PORT [ROUNDS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "snmp/packet_buffer.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/translator_registry.h"
#include "snmp/value_factory.h"
#include "tolvcomm/get_data.h"
#include "cpu_time.h"

namespace {
using tolv::bench::cpu_seconds;
using tolv::bench::median;
constexpr const char* kColumn = "1.3.6.1.4.1.46712.20.1.1";
constexpr const char* kCommunity = "bench";

// User time alone of the last GetData walk and floor loop, per exchange.
double last_user_ours = 0;
double last_user_floor = 0;

// CPU per exchange of one GetData walk; *exchanges receives their number.
double getdata_walk(const char* address, std::uint16_t port, int* exchanges) {
    const double start = cpu_seconds(RUSAGE_SELF);
    const double user_start = cpu_seconds(RUSAGE_SELF, true, false);
    IPmcGetData* data = pmc_create_get_data(nullptr);
    data->set_community(kCommunity);
    data->init(address, IPmcNetworkAddress::IPv4, port, 0, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, 3000, 1, 0);
    data->add_oid_string(kColumn, false);
    IPmcPtrList<IPmsPdu>* rows = pms_create_pdu_list(nullptr);
    if (data->get_data(rows, kColumn) != 0) std::fprintf(stderr, "walk failed\n");
    *exchanges = static_cast<int>(rows->get_count()) + 1;  // the last answer lies outside
    rows->release();
    data->release();
    last_user_ours = (cpu_seconds(RUSAGE_SELF, true, false) - user_start) / *exchanges;
    return (cpu_seconds(RUSAGE_SELF) - start) / *exchanges;
}

// The bytes of the first GetNextRequest of the walk.
std::vector<std::uint8_t> first_request() {
    IPmsPdu* pdu = pms_create_pdu(nullptr);
    pdu->set_type(pms_pdu_type::kGetNextRequest);
    pdu->set_request_id(1);
    pdu->add(pms_create_oid_from_text(kColumn, nullptr), nullptr);
    IPmsCommunity* target = pms_create_community_target(nullptr);
    target->set_version(0);
    target->set_community(kCommunity);
    target->set_max_size(1400);
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    pms_get_translator_registry()->encode(pdu, target, buffer, nullptr);
    std::vector<std::uint8_t> bytes(buffer->cur(), buffer->data() + buffer->size());
    buffer->release();
    target->release();
    pdu->release();
    return bytes;
}

double floor_loop(const char* address, std::uint16_t port, int exchanges, const std::vector<std::uint8_t>& request,
                  bool with_wait) {
    sockaddr_in agent{};
    agent.sin_family = AF_INET;
    agent.sin_port = htons(port);
    inet_pton(AF_INET, address, &agent.sin_addr);
    std::vector<std::uint8_t> answer(65535);
    const double start = cpu_seconds(RUSAGE_SELF);
    const double user_start = cpu_seconds(RUSAGE_SELF, true, false);
    for (int i = 0; i < exchanges; ++i) {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any);
        sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&agent), sizeof agent);
        if (with_wait) {  // what an exchange that can time out needs at least
            pollfd readable{fd, POLLIN, 0};
            poll(&readable, 1, 3000);
        }
        recv(fd, answer.data(), answer.size(), 0);
        close(fd);
    }
    last_user_floor = (cpu_seconds(RUSAGE_SELF, true, false) - user_start) / exchanges;
    return (cpu_seconds(RUSAGE_SELF) - start) / exchanges;
}

double snmpwalk_run(const char* address, std::uint16_t port, int exchanges) {
    const std::string target = std::string(address) + ":" + std::to_string(port);
    const double start = cpu_seconds(RUSAGE_CHILDREN);
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        execlp("snmpwalk", "snmpwalk", "-v1", "-c", kCommunity, "-On", "-m", "", "-M", "/nonexistent", target.c_str(),
               kColumn, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return (cpu_seconds(RUSAGE_CHILDREN) - start) / exchanges;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: walk_bench ADDRESS PORT [ROUNDS]\n");
        return 2;
    }
    const char* address = argv[1];
    const auto port = static_cast<std::uint16_t>(std::atoi(argv[2]));
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const std::vector<std::uint8_t> request = first_request();
    std::vector<double> ours, floors, waits, walks, ratios, wait_ratios, ours_user, floor_user;
    int exchanges = 0;
    for (int round = 0; round < rounds; ++round) {
        ours.push_back(getdata_walk(address, port, &exchanges));
        floors.push_back(floor_loop(address, port, exchanges, request, false));
        waits.push_back(floor_loop(address, port, exchanges, request, true));
        wait_ratios.push_back(ours.back() / waits.back());
        walks.push_back(snmpwalk_run(address, port, exchanges));
        ratios.push_back(ours.back() / floors.back());
        ours_user.push_back(last_user_ours);
        floor_user.push_back(last_user_floor);
    }
    std::printf("exchanges per walk: %d, rounds: %d (medians)\n", exchanges, rounds);
    std::printf("client CPU per exchange (user + sys):\n");
    std::printf("  GetData   %7.2f us (user %.2f)\n", median(ours) * 1e6, median(ours_user) * 1e6);
    std::printf("  snmpwalk  %7.2f us\n", median(walks) * 1e6);
    std::printf("  floor     %7.2f us (user %.2f)\n", median(floors) * 1e6, median(floor_user) * 1e6);
    std::printf("  floor+wait%7.2f us\n", median(waits) * 1e6);
    std::printf(
        "ratios: GetData / floor %.3f, GetData / floor+wait %.3f, snmpwalk / floor %.3f, GetData / snmpwalk "
        "%.3f\n",
        median(ratios), median(wait_ratios), median(walks) / median(floors), median(ours) / median(walks));
    return 0;
}
