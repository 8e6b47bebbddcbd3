// The SNMPv1 Trap-PDU fields and the trap OID that the PDU model holds:
// standard traps as 1.3.6.1.6.3.1.1.5.0.<generic + 1>, enterprise-specific
// traps as <enterprise>.0.<specific>.
#pragma once

#include <cstdint>

#include "tolvcomm/pdu.h"

namespace tolv {

struct TrapV1Fields {
    IPmsOid* enterprise = nullptr;  // owned by the caller
    std::int32_t generic = 0;
    std::int32_t specific = 0;
};

// The fields to write for a trap PDU: -2 without time-stamp or trap OID, or
// with a trap OID of fewer than 2 arcs or without the 0 arc before the last.
std::int32_t trap_v1_fields_of(const IPmsPdu* pdu, TrapV1Fields* out);

// Turns the enterprise OID read from a Trap-PDU into the trap OID, in
// place. -250 for a generic trap number above 6 (read as unsigned).
std::int32_t make_trap_oid(IPmsOid* enterprise, std::int32_t generic, std::int32_t specific);

}  // namespace tolv
