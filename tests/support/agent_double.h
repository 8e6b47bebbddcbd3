// Answers for the scripted socket library: reads a request that the code
// under test sent and builds the agent's response to it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codec_support.h"
#include "fake_network.h"
#include "tolvcomm/pdu.h"

namespace tolv::testing {

// A request as the agent received it.
struct Request {
    std::int32_t version = -1;
    std::string community;
    std::int32_t type = -1;
    std::int32_t request_id = 0;
    std::vector<std::string> oids;
};

Request read_request(const Bytes& bytes);

// A response to the request: one binding per (OID, value text), values of
// the tag; error-status and error-index as given; request-id of the request
// unless `request_id` says otherwise.
struct Answer {
    std::vector<std::pair<std::string, std::string>> bindings;
    std::int32_t tag = 4;  // OCTET STRING
    std::int32_t error_status = 0;
    std::int32_t error_index = 0;
    std::int64_t request_id = -1;  // -1: the request's
};

Bytes response_to(const Request& request, const Answer& answer);

// Echoes each requested OID with the value "value of <oid>".
Answer echo(const Request& request);

}  // namespace tolv::testing
